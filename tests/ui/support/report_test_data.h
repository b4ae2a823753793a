#pragma once
// Stays of the ICU report windows' tests, stored with their record type 1 row and their survey days
// in a department database made by AddDepartmentWithStays.

#include <string>
#include <vector>

#include "support/ui_test_data.h"

namespace kalvora::test {

struct SurveyDayRecord {
    std::string recDate;                       // JJJJMMTT
    std::string items = std::string(28, '0');  // one value per item, in the order of TissItems()
    std::string score = "000";
    std::string qualifier = "3";
};

struct StayRecord {
    std::string kisId;    // as stored (10 characters)
    std::string dob;      // JJJJMMTT
    std::string admDate;  // JJJJMMTThhmm
    std::string disDate = "201601100900";
    std::string typ = "INT";
    std::string flag = "O";
    std::string icuOutcome = "1";
    bool withRecordType1 = true;
    std::string hospDisDate = "";
    std::string hospMort = "";
    std::vector<SurveyDayRecord> days = {};
};

void AddStay(UiTestData& data, const std::string& dataFile, const StayRecord& stay);

}  // namespace kalvora::test

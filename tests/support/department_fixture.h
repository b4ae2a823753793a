#pragma once
// A system data directory for the ICU report and export tests: iadmin.mdb, the template ibds.mdb, an
// export directory and department databases filled with the stays each test needs.

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace kalvora::test {

struct SurveyDayFixture {
    std::string recDate;
    std::string qualifier = "3";
    std::string items = std::string(28, '0');  // one character per item, in line order
    std::string score = "000";
};

struct StayFixture {
    std::string kisId;    // as stored (10 characters)
    std::string dob;      // JJJJMMTT
    std::string admDate;  // JJJJMMTThhmm
    std::string disDate;  // JJJJMMTThhmm; DIS_YEARMONTH is its first six characters
    std::string typ = "INT";
    std::string flag = "O";
    std::string icuOutcome = "1";
    bool withRecordType1 = true;
    std::string hospDisDate = "";
    std::string hospMort = "";
    std::vector<SurveyDayFixture> days = {};
};

class SystemFixture {
public:
    SystemFixture();

    std::string systemPath() const;
    std::string exportPath() const;
    std::string file(const std::string& name) const { return directory_.file(name); }

    void addHospital(const std::string& kanr, const std::string& name);
    void addDepartmentName(const std::string& code, const std::string& name);
    // Registers a department in Dateiverwaltung and creates its database; returns the database path.
    std::string addDepartment(const std::string& kanr, const std::string& abteilung,
                              const std::string& mdbDatei, const std::string& status = "EXTERN");
    void addStay(const std::string& mdbDatei, const StayFixture& stay);
    // Many stays at once, each with `daysPerStay` survey days of qualifier "3".
    void addGeneratedStays(const std::string& mdbDatei, int stays, int daysPerStay,
                           const std::string& kisPrefix);
    // An ini file naming the directories, for the command-line tests.
    std::string writeSettingsFile() const;

private:
    TempDir directory_;
};

}  // namespace kalvora::test

#pragma once
// A system data directory for classification tests: iadmin.mdb with reference names and
// department databases filled with stays and survey days.

#include <string>

#include "store/database.h"
#include "support/temp_dir.h"

namespace kalvora::test {

struct StayData {
    std::string kisId = "0000000001";
    std::string dob = "19600101";
    std::string admission = "201201010800";  // ADM_DATE
    std::string discharge = "201201051000";  // DIS_DATE
    std::string age = "52";                  // Alter
    std::string hours = "99";                // STUNDEN
    std::string typ = "INT";
    std::string flag = "O";
};

struct DayData {
    std::string recDate;
    std::string score = "020";
    std::string qualifier = "3";
    bool nullScore = false;
};

class ClassificationFixture {
public:
    ClassificationFixture();

    const std::string& systemDir() const { return system_; }
    std::string path(const std::string& name) const { return temp_.file(name); }

    // Adds a Dateiverwaltung row and creates its department database (empty schema).
    void addDepartment(const std::string& kanr, const std::string& abteilung, const std::string& dataFile,
                       double dgkp, long long beds, const std::string& preset);
    void addHospitalName(const std::string& kanr, const std::string& name);
    void addDepartmentName(const std::string& code, const std::string& name);

    // Adds a stay and its day records (STUNDEN copied from the stay) to a department database.
    void addStay(const std::string& dataFile, const StayData& stay);
    void addDay(const std::string& dataFile, const StayData& stay, const DayData& day);
    // A stay with one delivered day record per day from `first` to `last` (JJJJMMTT, same month).
    void addStayWithDays(const std::string& dataFile, const StayData& stay, int firstDay, int lastDay,
                         const std::string& yearMonth, const std::string& score);

    Database openAdmin() const;
    Database openDepartment(const std::string& dataFile) const;

private:
    TempDir temp_;
    std::string system_;
};

}  // namespace kalvora::test

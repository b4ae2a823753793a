#include "classification_fixture.h"

#include <filesystem>

#include "base/paths.h"
#include "store/schema.h"

namespace kalvora::test {

ClassificationFixture::ClassificationFixture() : system_(temp_.file("system")) {
    std::filesystem::create_directories(system_);
    Database admin(JoinPath(system_, "iadmin.mdb"), OpenMode::Create);
    admin.execute("PRAGMA synchronous = OFF");
    CreateAdminSchema(admin);
}

namespace {

// Test data need not survive a power loss; unsynced writes keep the tests fast.
Database Unsynced(const std::string& path) {
    Database db(path);
    db.execute("PRAGMA synchronous = OFF");
    return db;
}

}  // namespace

Database ClassificationFixture::openAdmin() const { return Unsynced(JoinPath(system_, "iadmin.mdb")); }

Database ClassificationFixture::openDepartment(const std::string& dataFile) const {
    return Unsynced(JoinPath(system_, dataFile));
}

void ClassificationFixture::addDepartment(const std::string& kanr, const std::string& abteilung,
                                          const std::string& dataFile, double dgkp, long long beds,
                                          const std::string& preset) {
    Database admin = openAdmin();
    Statement insert = admin.prepare(
        "INSERT INTO Dateiverwaltung (KANR, ABTEILUNG, MDB_DATEI, SBETT, DGKP, VOREINSTUFUNG, Status) "
        "VALUES (?, ?, ?, ?, ?, ?, 'EXTERN')");
    insert.bind(1, std::string_view(kanr))
        .bind(2, std::string_view(abteilung))
        .bind(3, std::string_view(dataFile));
    insert.bind(4, beds).bind(5, dgkp).bind(6, std::string_view(preset));
    insert.run();
    Database department(JoinPath(system_, dataFile), OpenMode::Create);
    department.execute("PRAGMA synchronous = OFF");
    CreateDepartmentSchema(department);
}

void ClassificationFixture::addHospitalName(const std::string& kanr, const std::string& name) {
    Database admin = openAdmin();
    Statement insert = admin.prepare("INSERT INTO \"KANR-Bezeichnung\" (KANR, BEZEICHNUNG) VALUES (?, ?)");
    insert.bind(1, std::string_view(kanr)).bind(2, std::string_view(name)).run();
}

void ClassificationFixture::addDepartmentName(const std::string& code, const std::string& name) {
    Database admin = openAdmin();
    Statement insert =
        admin.prepare("INSERT INTO \"ABT-Bezeichnung\" (ABTEILUNG, BEZEICHNUNG) VALUES (?, ?)");
    insert.bind(1, std::string_view(code)).bind(2, std::string_view(name)).run();
}

void ClassificationFixture::addStay(const std::string& dataFile, const StayData& stay) {
    Database department = openDepartment(dataFile);
    Statement insert = department.prepare(
        "INSERT INTO \"Gesamt - Patientenadministration\" (KA_ID, ICU_FUN_ID, ICU_FUN_SID, KIS_ID, DOB, "
        "ADM_DATE, Satzart_1, Satzart_3, FLAG, DIS_YEARMONTH, DIS_DATE, BD, \"Alter\", TYP, ICU_OUTCOME, "
        "STUNDEN) VALUES ('K123', '121010', '01', ?, ?, ?, 1, 0, ?, substr(?, 1, 6), ?, '', ?, ?, '1', ?)");
    insert.bind(1, std::string_view(stay.kisId)).bind(2, std::string_view(stay.dob));
    insert.bind(3, std::string_view(stay.admission)).bind(4, std::string_view(stay.flag));
    insert.bind(5, std::string_view(stay.discharge)).bind(6, std::string_view(stay.discharge));
    insert.bind(7, std::string_view(stay.age)).bind(8, std::string_view(stay.typ));
    insert.bind(9, std::string_view(stay.hours));
    insert.run();
}

void ClassificationFixture::addDay(const std::string& dataFile, const StayData& stay, const DayData& day) {
    Database department = openDepartment(dataFile);
    Statement insert = department.prepare(
        "INSERT INTO \"Satzart 3 - TISS28\" (QUALIFIER, KA_ID, ICU_FUN_ID, ICU_FUN_SID, KIS_ID, DOB, "
        "ADM_DATE, "
        "REC_DATE, T28_SCORE, STUNDEN) VALUES (?, 'K123', '121010', '01', ?, ?, ?, ?, ?, ?)");
    insert.bind(1, std::string_view(day.qualifier)).bind(2, std::string_view(stay.kisId));
    insert.bind(3, std::string_view(stay.dob)).bind(4, std::string_view(stay.admission));
    insert.bind(5, std::string_view(day.recDate));
    if (day.nullScore) {
        insert.bindNull(6);
    } else {
        insert.bind(6, std::string_view(day.score));
    }
    insert.bind(7, std::string_view(stay.hours));
    insert.run();
}

void ClassificationFixture::addStayWithDays(const std::string& dataFile, const StayData& stay, int firstDay,
                                            int lastDay, const std::string& yearMonth,
                                            const std::string& score) {
    addStay(dataFile, stay);
    for (int day = firstDay; day <= lastDay; ++day) {
        const std::string dayText = (day < 10 ? "0" : "") + std::to_string(day);
        addDay(dataFile, stay, DayData{yearMonth + dayText, score, "3", false});
    }
}

}  // namespace kalvora::test

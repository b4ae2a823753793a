#include "support/department_fixture.h"

#include <cstdio>
#include <filesystem>

#include "base/paths.h"
#include "base/text.h"
#include "store/database.h"
#include "store/schema.h"
#include "tiss/tiss_item.h"

namespace kalvora::test {

namespace {

std::string recordType3Insert() {
    std::string sql =
        "INSERT INTO \"Satzart 3 - TISS28\" (QUALIFIER, KA_ID, ICU_FUN_ID, ICU_FUN_SID, KIS_ID, DOB, "
        "ADM_DATE, "
        "REC_DATE";
    for (const TissItem& item : TissItems()) sql += ", " + std::string(item.field);
    sql += ", T28_SCORE, STUNDEN) VALUES (?, 'K001', '121010', '01', ?, ?, ?, ?";
    for (int item = 0; item < kTissItemCount; ++item) sql += ", ?";
    sql += ", ?, '99')";
    return sql;
}

struct DepartmentWriter {
    explicit DepartmentWriter(const std::string& path)
        : db(path, OpenMode::ReadWrite),
          stay(db.prepare("INSERT INTO \"Gesamt - Patientenadministration\" VALUES"
                          " ('K001', '121010', '01', ?, ?, ?, 1, ?, ?, ?, ?, '5', '60', ?, ?, '99')")),
          recordType1(db.prepare("INSERT INTO \"Satzart 1 - Patientenadministration Intensiv\" VALUES"
                                 " ('1', 'K001', '121010', '01', ?, ?, ?, ?, ?, ?, ?)")),
          recordType3(db.prepare(recordType3Insert())) {}

    void add(const StayFixture& s) {
        stay.bind(1, s.kisId).bind(2, s.dob).bind(3, s.admDate);
        stay.bind(4, static_cast<long long>(s.days.size())).bind(5, s.flag).bind(6, s.disDate.substr(0, 6));
        stay.bind(7, s.disDate).bind(8, s.typ).bind(9, s.icuOutcome);
        stay.run();
        if (s.withRecordType1) {
            recordType1.bind(1, s.kisId).bind(2, s.dob).bind(3, s.admDate).bind(4, s.disDate);
            recordType1.bind(5, s.icuOutcome).bind(6, s.hospDisDate).bind(7, s.hospMort);
            recordType1.run();
        }
        for (const SurveyDayFixture& day : s.days) {
            recordType3.bind(1, day.qualifier)
                .bind(2, s.kisId)
                .bind(3, s.dob)
                .bind(4, s.admDate)
                .bind(5, day.recDate);
            for (int item = 0; item < kTissItemCount; ++item)
                recordType3.bind(6 + item,
                                 std::string_view(day.items).substr(static_cast<std::size_t>(item), 1));
            recordType3.bind(6 + kTissItemCount, day.score);
            recordType3.run();
        }
    }

    Database db;
    Statement stay;
    Statement recordType1;
    Statement recordType3;
};

}  // namespace

SystemFixture::SystemFixture() {
    std::filesystem::create_directories(systemPath());
    std::filesystem::create_directories(exportPath());
    Database admin(JoinPath(systemPath(), files::AdminDb), OpenMode::Create);
    CreateAdminSchema(admin);
    Database templateDb(JoinPath(systemPath(), files::TemplateDb), OpenMode::Create);
    CreateDepartmentSchema(templateDb);
}

std::string SystemFixture::systemPath() const { return directory_.file("system"); }
std::string SystemFixture::exportPath() const { return directory_.file("export"); }

void SystemFixture::addHospital(const std::string& kanr, const std::string& name) {
    Database admin(JoinPath(systemPath(), files::AdminDb));
    admin.prepare("INSERT INTO \"KANR-Bezeichnung\" VALUES (?, ?)").bind(1, kanr).bind(2, name).run();
}

void SystemFixture::addDepartmentName(const std::string& code, const std::string& name) {
    Database admin(JoinPath(systemPath(), files::AdminDb));
    admin.prepare("INSERT INTO \"ABT-Bezeichnung\" VALUES (?, ?)").bind(1, code).bind(2, name).run();
}

std::string SystemFixture::addDepartment(const std::string& kanr, const std::string& abteilung,
                                         const std::string& mdbDatei, const std::string& status) {
    Database admin(JoinPath(systemPath(), files::AdminDb));
    admin.prepare("INSERT INTO Dateiverwaltung VALUES (?, ?, ?, 0, 0, ' ', ?)")
        .bind(1, kanr)
        .bind(2, abteilung)
        .bind(3, mdbDatei)
        .bind(4, status)
        .run();
    const std::string path = JoinPath(systemPath(), mdbDatei);
    Database department(path, OpenMode::Create);
    CreateDepartmentSchema(department);
    return path;
}

void SystemFixture::addStay(const std::string& mdbDatei, const StayFixture& stay) {
    DepartmentWriter writer(JoinPath(systemPath(), mdbDatei));
    writer.add(stay);
}

void SystemFixture::addGeneratedStays(const std::string& mdbDatei, int stays, int daysPerStay,
                                      const std::string& kisPrefix) {
    DepartmentWriter writer(JoinPath(systemPath(), mdbDatei));
    Transaction transaction(writer.db);
    char buffer[32];
    for (int index = 0; index < stays; ++index) {
        StayFixture stay;
        std::snprintf(buffer, sizeof buffer, "%07d", index);
        stay.kisId = FixedWidth(kisPrefix + buffer, 10);
        stay.dob = "19600101";
        stay.admDate = "201201010800";
        std::snprintf(buffer, sizeof buffer, "2012%02d150900", index % 12 + 1);
        stay.disDate = buffer;
        for (int day = 0; day < daysPerStay; ++day) {
            std::snprintf(buffer, sizeof buffer, "201201%02d", day + 1);
            stay.days.push_back({buffer, "3", std::string(28, '1'), "078"});
        }
        writer.add(stay);
    }
    transaction.commit();
}

std::string SystemFixture::writeSettingsFile() const {
    const std::string path = directory_.file("Kalvora10_0.ini");
    WriteFile(path, "[Path]\nImportDataPath=" + directory_.file("import") +
                        "\nExportDataPath=" + exportPath() + "\nSystemDataPath=" + systemPath() +
                        "\n[Plausibilitaet]\nPlausLevel=Warning\n[Einstufung]\nErhebungvon=20120101\n"
                        "Erhebungbis=20121231\nMindestStd=0\nMehrfachTISS=N\nErsatzTISS=N\n");
    return path;
}

}  // namespace kalvora::test

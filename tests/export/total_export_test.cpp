#include "export/total_export.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/status_sink.h"
#include "export/export_file_name.h"
#include "reports/department_line.h"
#include "store/database.h"
#include "support/department_fixture.h"

namespace kalvora {
namespace {

namespace fs = std::filesystem;
using test::StayFixture;
using test::SurveyDayFixture;
using test::SystemFixture;

StayFixture stayWithDays(const std::string& kis, std::vector<std::string> dates) {
    StayFixture stay{kis, "19600101", "201201010800", "201201050800"};
    for (const std::string& date : dates) stay.days.push_back({date});
    stay.days.push_back({"20111231", "E"});
    return stay;
}

class ExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        system.addDepartment("K001", "12101001", "12101001.001");
        system.addDepartment("K001", "12101002", "12101002.001");
        system.addStay("12101001.001", stayWithDays("0000000001", {"20120101", "20120102"}));
        system.addStay("12101001.001", stayWithDays("0000000002", {"20120101"}));
        system.addStay("12101002.001", stayWithDays("0000000003", {"20120101"}));
    }
    Result<ExportDone> run(const std::vector<Department>& lines, const std::string& name = "gesamt.mdb") {
        return ExportTotalDatabase({lines, name, system.systemPath(), system.exportPath()}, status);
    }
    long long count(const std::string& sql) {
        return Database(system.file("export/gesamt.mdb"), OpenMode::ReadOnly).scalar(sql);
    }
    std::vector<Department> allDepartments() { return LoadDepartments(system.systemPath()).value(); }

    SystemFixture system;
    NullStatusSink status;
};

TEST_F(ExportTest, twoDepartments_copiesStaysAndOnlyDeliveredSurveyDays) {
    Result<ExportDone> result = run(allDepartments());

    ASSERT_TRUE(result.ok()) << result.message();
    EXPECT_EQ(ExportSuccessText(result->refusedRows), " Daten erfolgreich exportiert!");
    EXPECT_EQ(result->refusedRows, 0);
    EXPECT_EQ(count("SELECT count(*) FROM \"Gesamt - Patientenadministration\""), 3);
    EXPECT_EQ(count("SELECT count(*) FROM \"Satzart 1 - Patientenadministration Intensiv\""), 3);
    EXPECT_EQ(count("SELECT count(*) FROM \"Satzart 3 - TISS28\""), 4);
    EXPECT_EQ(count("SELECT count(*) FROM \"Satzart 3 - TISS28\" WHERE QUALIFIER <> '3'"), 0);
    EXPECT_FALSE(fs::exists(system.file("export/gesamt.mdb.new")));
}

TEST_F(ExportTest, duplicateStayKey_isCountedAndItsRowsStayOut) {
    // The same stay in the second department, with a survey day the first one does not have.
    system.addStay("12101002.001", stayWithDays("0000000002", {"20120101", "20120103"}));

    Result<ExportDone> result = run(allDepartments());

    ASSERT_TRUE(result.ok()) << result.message();
    EXPECT_EQ(result->refusedRows, 4);  // stay, record type 1, two survey days
    EXPECT_EQ(
        ExportSuccessText(result->refusedRows),
        " Daten erfolgreich exportiert!\n 4 Datensätze mit bereits vorhandenem Schlüssel nicht übernommen.");
    EXPECT_EQ(count("SELECT count(*) FROM \"Satzart 3 - TISS28\" WHERE KIS_ID = '0000000002'"), 1);
    EXPECT_EQ(count("SELECT count(*) FROM \"Gesamt - Patientenadministration\""), 3);
}

TEST_F(ExportTest, surveyDayWithoutItsStay_isCountedWhenRefused) {
    // A survey day stored without a stay row in the second department, with the key of a day of the first.
    Database second(system.file("system/12101002.001"));
    second.execute(
        "INSERT INTO \"Satzart 3 - TISS28\" (QUALIFIER, KIS_ID, DOB, ADM_DATE, REC_DATE)"
        " VALUES ('3', '0000000001', '19600101', '201201010800', '20120102'),"
        " ('3', '0000000001', '19600101', '201201010800', '20120109')");
    second.close();

    Result<ExportDone> result = run(allDepartments());

    ASSERT_TRUE(result.ok()) << result.message();
    EXPECT_EQ(result->refusedRows, 1);
    EXPECT_EQ(count("SELECT count(*) FROM \"Satzart 3 - TISS28\""), 5);
}

TEST_F(ExportTest, noDepartment_writesEmptyCopyOfTemplate) {
    Result<ExportDone> result = run({});
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(count("SELECT count(*) FROM \"Gesamt - Patientenadministration\""), 0);
    EXPECT_EQ(count("SELECT count(*) FROM sqlite_master WHERE type = 'table'"), 4);
}

TEST_F(ExportTest, secondExport_replacesFirst) {
    ASSERT_TRUE(run(allDepartments()).ok());
    ASSERT_TRUE(run({allDepartments()[1]}).ok());
    EXPECT_EQ(count("SELECT count(*) FROM \"Gesamt - Patientenadministration\""), 1);
}

TEST_F(ExportTest, missingDepartmentDatabase_writesNothingAndKeepsEarlierExport) {
    ASSERT_TRUE(run(allDepartments()).ok());
    fs::remove(system.file("system/12101002.001"));

    Result<ExportDone> result = run(allDepartments());

    ASSERT_FALSE(result.ok());
    EXPECT_EQ(
        result.message(),
        "Die Abteilungsdatenbank 12101002.001 fehlt im Systemdatenverzeichnis! Es wurde nichts exportiert.");
    EXPECT_EQ(count("SELECT count(*) FROM \"Gesamt - Patientenadministration\""), 3);
}

TEST_F(ExportTest, targetInSystemDirectory_neverReplacesItsDatabases) {
    for (const char* name : {"ibds.mdb", "iadmin.mdb", "12101001.001"}) {
        Result<ExportDone> result =
            ExportTotalDatabase({{}, name, system.systemPath(), system.systemPath()}, status);
        EXPECT_FALSE(result.ok()) << name;
        EXPECT_NE(result.message().find("darf nicht überschrieben werden"), std::string::npos);
    }
    EXPECT_EQ(Database(system.file("system/12101001.001"), OpenMode::ReadOnly)
                  .scalar("SELECT count(*) FROM \"Gesamt - Patientenadministration\""),
              2);
}

TEST_F(ExportTest, invalidName_isRefusedBeforeAnythingIsWritten) {
    Result<ExportDone> result = run(allDepartments(), "gesamtdaten.mdb");
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.message(), " Ungültiger Dateiname!");
    EXPECT_TRUE(fs::is_empty(system.exportPath()));
}

struct NameCase {
    const char* name;
    bool valid;
};

class ExportFileNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(ExportFileNames, check_followsShortNameRule) {
    EXPECT_EQ(IsValidExportFileName(GetParam().name), GetParam().valid) << '"' << GetParam().name << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Names, ExportFileNames,
    ::testing::Values(NameCase{"gesamt.mdb", true}, NameCase{"GESAMT", true}, NameCase{"abcdefgh.mdb", true},
                      NameCase{"gesamt.mdb  ", true}, NameCase{"gesamtdaten.mdb", false},
                      NameCase{"abcdefghi.txt", false}, NameCase{"abcdefgh.mdbx", false}, NameCase{"", false},
                      NameCase{"   ", false}, NameCase{" gesamt.mdb", false}, NameCase{"ges-amt.mdb", false},
                      NameCase{"gesämt.mdb", false}, NameCase{"a/b.mdb", false}, NameCase{"..\\a.mdb", false},
                      NameCase{"c:a.mdb", false}, NameCase{"/gesamt", false}, NameCase{"..", false},
                      NameCase{".", false}));

TEST(ExportTexts, refusedRows_singularAndPlural) {
    EXPECT_EQ(RefusedRowsText(1), " 1 Datensatz mit bereits vorhandenem Schlüssel nicht übernommen.");
    EXPECT_EQ(ExportSuccessText(0), " Daten erfolgreich exportiert!");
}

}  // namespace
}  // namespace kalvora

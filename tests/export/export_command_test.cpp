// kalvora-cli export on small databases of the test.

#include <gtest/gtest.h>

#include <filesystem>

#include "store/database.h"
#include "support/cli_runner.h"
#include "support/department_fixture.h"

namespace kalvora {
namespace {

namespace fs = std::filesystem;
using test::CliRun;
using test::StayFixture;
using test::SystemFixture;

class ExportCommand : public ::testing::Test {
protected:
    void SetUp() override {
        system.addDepartment("K001", "12101001", "12101001.001");
        system.addDepartment("K001", "12101002", "12101002.001");
        StayFixture stay{"4711      ", "19600201", "201201010800", "201201050800"};
        stay.days = {{"20120101"}};
        system.addStay("12101001.001", stay);
        system.addStay("12101002.001", stay);
        system.addStay("12101002.001", {"0815      ", "19700301", "201202010800", "201202050800"});
        ini = system.writeSettingsFile();
    }
    CliRun run(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--ini", ini});
        return test::RunCliInProcess(arguments);
    }
    long long stays(const std::string& name) {
        return Database(system.file("export/" + name), OpenMode::ReadOnly)
            .scalar("SELECT count(*) FROM \"Gesamt - Patientenadministration\"");
    }

    SystemFixture system;
    std::string ini;
};

TEST_F(ExportCommand, allDepartments_reportsRefusedRowsOnBothStreams) {
    CliRun result = run({"export"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(
        result.out,
        "Daten erfolgreich exportiert!\n3 Datensätze mit bereits vorhandenem Schlüssel nicht übernommen.\n");
    EXPECT_EQ(result.err, "3 Datensätze mit bereits vorhandenem Schlüssel nicht übernommen.\n");
    EXPECT_EQ(stays("gesamt.mdb"), 2);
}

TEST_F(ExportCommand, namedDepartmentAndOutput_writesOnlyThat) {
    CliRun result = run({"export", "--output", "abt2.mdb", "12101002.001"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "Daten erfolgreich exportiert!\n");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(stays("abt2.mdb"), 2);
}

TEST_F(ExportCommand, pathAsOutputName_isRefused) {
    for (const char* name : {"../x.mdb", "sub/x.mdb", "gesamtdaten.mdb"}) {
        CliRun result = run({"export", "--output", name});
        EXPECT_EQ(result.exitCode, 1) << name;
        EXPECT_EQ(result.err, "Ungültiger Dateiname!\n");
    }
    EXPECT_TRUE(fs::is_empty(system.exportPath()));
}

TEST_F(ExportCommand, unknownDepartment_isRefused) {
    CliRun result = run({"export", "12101001.001", "nix.mdb"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Keine Abteilung mit der Datenbank nix.mdb vorhanden!\n");
}

TEST_F(ExportCommand, noImportedData_isRefused) {
    Database(system.file("system/iadmin.mdb")).execute("DELETE FROM Dateiverwaltung");
    CliRun result = run({"export"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Es wurden noch keine Daten importiert!\n");
}

}  // namespace
}  // namespace kalvora

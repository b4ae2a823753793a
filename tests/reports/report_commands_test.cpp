// kalvora-cli departments, stays, stay, search, analysis and remove on small databases of the test.

#include <gtest/gtest.h>

#include <filesystem>

#include "reports/department_line.h"
#include "support/cli_runner.h"
#include "support/department_fixture.h"

namespace kalvora {
namespace {

namespace fs = std::filesystem;
using test::CliRun;
using test::StayFixture;
using test::SurveyDayFixture;
using test::SystemFixture;

class ReportCommands : public ::testing::Test {
protected:
    void SetUp() override {
        system.addHospital("K001", "LKH Musterstadt");
        system.addDepartmentName("121010", "Interne Intensiv");
        system.addDepartment("K001", "12101002", "12101002.001");
        system.addDepartment("K001", "12101001", "12101001.001");
        StayFixture stay{"4711      ", "19600201", "201201010800", "201201050800"};
        stay.days = {SurveyDayFixture{"20120102", "3", "1" + std::string(27, '0'), "005"},
                     SurveyDayFixture{"20120101", "3", std::string(28, '0'), "000"},
                     SurveyDayFixture{"20120103", "L", std::string(28, ' '), "005"}};
        system.addStay("12101001.001", stay);
        system.addStay("12101001.001",
                       {"0815      ", "19700301", "201202010800", "201202050800", "INT", "W"});
        system.addStay("12101002.001", {"4711      ", "19600201", "201203010800", "201203050800"});
        ini = system.writeSettingsFile();
    }
    CliRun run(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--ini", ini});
        return test::RunCliInProcess(arguments);
    }
    std::vector<std::string> lines() {
        std::vector<std::string> lines;
        for (const Department& department : LoadDepartments(system.systemPath()).value())
            lines.push_back(BuildDepartmentLine(department));
        return lines;
    }

    SystemFixture system;
    std::string ini;
};

TEST_F(ReportCommands, departments_printsLinesInListOrder) {
    CliRun result = run({"departments"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string first = "K001 - LKH Musterstadt" + std::string(7, ' ') + "12101001 - Interne Intensiv" +
                              std::string(28, ' ') + "12101001.001 EXTERN\n";
    EXPECT_EQ(result.out.substr(0, first.size()), first);
    EXPECT_EQ(result.out, lines()[0] + "\n" + lines()[1] + "\n");
}

TEST_F(ReportCommands, stays_printsPatientLines) {
    CliRun result = run({"stays", "12101001.001"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out,
              "0815         01.03.1970   01.02.2012, 08:00   05.02.2012, 08:00   INT   Inkorrekt \n"
              "4711         01.02.1960   01.01.2012, 08:00   05.01.2012, 08:00   INT   Korrekt   \n");
}

TEST_F(ReportCommands, stay_printsBaseDataAndDeliveredSurveyDays) {
    CliRun result = run({"stay", "12101001.001", "4711", "19600201", "201201010800"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(
        result.out.find("KIS_ID=4711      \nDOB=19600201\nADM_DATE=201201010800\nDIS_DATE=201201050800\n"),
        std::string::npos);
    const std::size_t firstDay = result.out.find("REC_DATE=20120101\nT28_STAND_MON=0\n");
    const std::size_t secondDay = result.out.find("REC_DATE=20120102\nT28_STAND_MON=1\n");
    EXPECT_NE(firstDay, std::string::npos);
    EXPECT_NE(secondDay, std::string::npos);
    EXPECT_LT(firstDay, secondDay);
    EXPECT_EQ(result.out.find("REC_DATE=20120103"), std::string::npos);
    EXPECT_NE(result.out.find("T28_DIAG_EX_ICU=0\nT28_SCORE=005\n"), std::string::npos);
}

TEST_F(ReportCommands, stay_unknownStayFails) {
    CliRun result = run({"stay", "12101001.001", "9999", "19600201", "201201010800"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Der Aufenthalt ist in der Abteilungsdatenbank nicht vorhanden!\n");
}

TEST_F(ReportCommands, search_continuesAcrossDepartmentsAndEndsWithNothingFound) {
    CliRun first = run({"search", "--kis-id", "4711"});
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(first.out, lines()[0] + "\n");

    CliRun second = run({"search", "--kis-id", "4711", "--after", "12101001.001"});
    ASSERT_EQ(second.exitCode, 0) << second.err;
    EXPECT_EQ(second.out, lines()[1] + "\n");

    CliRun third = run({"search", "--kis-id", "4711", "--after", "12101002.001"});
    EXPECT_EQ(third.exitCode, 3);
    EXPECT_EQ(third.out, "");
    EXPECT_EQ(third.err, "Keinen entsprechenden Patienten gefunden!\n");
}

TEST_F(ReportCommands, search_byBirthDateAndRefusals) {
    EXPECT_EQ(run({"search", "--dob", "19700301"}).out, lines()[0] + "\n");
    EXPECT_EQ(run({"search", "--dob", "1.3.1970", "--kis-id", "0815"}).exitCode, 0);

    CliRun noTerm = run({"search"});
    EXPECT_EQ(noTerm.exitCode, 1);
    EXPECT_EQ(noTerm.err, "Geben Sie mindestens einen Suchbegriff ein!\n");
    EXPECT_EQ(run({"search", "--dob", "19701301"}).err,
              "--dob „19701301“: Ungültiges Datum (JJJJMMTT) oder (TT.MM.JJJJ)!\n");
    EXPECT_EQ(run({"search", "--kis-id", "1", "--after", "nix"}).exitCode, 1);
}

TEST_F(ReportCommands, analysis_printsCopiedTableInListOrder) {
    CliRun result = run({"analysis", "12101002.001", "12101001.001"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string hospital = "K001 - LKH Musterstadt     ";
    auto department = [](const std::string& code) {
        return code + " - Interne Intensiv" + std::string(22, ' ');
    };
    EXPECT_EQ(result.out, "KA\tAbteilung\tJahr\tMonat\tINT-Patienten\n" + hospital + "\t" +
                              department("12101001") + "\t2012\t01\t1\n" + hospital + "\t" +
                              department("12101001") + "\t2012\t02\t1\n" + hospital + "\t" +
                              department("12101002") + "\t2012\t03\t1\n");
}

TEST_F(ReportCommands, analysis_unknownDepartmentFails) {
    CliRun result = run({"analysis", "12101001.001", "99999999.999"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "Keine Abteilung mit der Datenbank 99999999.999 vorhanden!\n");
}

TEST_F(ReportCommands, remove_removesNamedDepartmentsAndReportsMissingFile) {
    fs::remove(system.file("system/12101002.001"));
    CliRun result = run({"remove", "12101002.001", "12101001.001"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.err.find("12101002.001 war bereits nicht mehr vorhanden"), std::string::npos);
    EXPECT_TRUE(lines().empty());
    EXPECT_FALSE(fs::exists(system.file("system/12101001.001")));
    EXPECT_EQ(run({"remove", "12101001.001"}).err, "Es wurden noch keine Daten importiert!\n");
}

TEST_F(ReportCommands, binary_printsDepartmentList) {
    CliRun result = test::RunCliBinary(KALVORA_CLI_BINARY, {"--ini", ini, "departments"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, lines()[0] + "\n" + lines()[1] + "\n");
}

}  // namespace
}  // namespace kalvora

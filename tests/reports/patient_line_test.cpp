#include "reports/patient_line.h"

#include <gtest/gtest.h>

#include "reports/department_line.h"
#include "support/department_fixture.h"

namespace kalvora {
namespace {

using test::StayFixture;
using test::SystemFixture;

TEST(PatientLine, build_fillsEveryColumnRangeExactly) {
    PatientLineFields fields{"0000012345", "19600201", "201201310805", "201202021430", "INT", "O"};
    EXPECT_EQ(BuildPatientLine(fields),
              "0000012345   01.02.1960   31.01.2012, 08:05   02.02.2012, 14:30   INT   Korrekt   ");
}

TEST(PatientLine, build_blankDischargeKeepsTypeAndStatusColumns) {
    PatientLineFields fields{"123       ", "19600201", "201201310805", "            ", "INT", "W"};
    const std::string line = BuildPatientLine(fields);
    EXPECT_EQ(line.substr(46, 17), std::string(17, ' '));
    EXPECT_EQ(PatientStayType(line), "INT");
    EXPECT_EQ(line.substr(72), "Inkorrekt ");
    EXPECT_EQ(line.size(), 82U);
}

TEST(PatientLine, build_emptyTypeStillKeepsStatusColumn) {
    PatientLineFields fields{"0000000001", "19600201", "201201310805", "", "", "U"};
    const std::string line = BuildPatientLine(fields);
    EXPECT_EQ(PatientStayType(line), "   ");
    EXPECT_EQ(line.substr(72), "In Arbeit ");
}

struct FlagCase {
    const char* flag;
    const char* text;
};

class PatientStatus : public ::testing::TestWithParam<FlagCase> {};

TEST_P(PatientStatus, statusText_matchesFlag) {
    EXPECT_EQ(PatientStatusText(GetParam().flag), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Flags, PatientStatus,
                         ::testing::Values(FlagCase{"O", "Korrekt"}, FlagCase{"W", "Inkorrekt"},
                                           FlagCase{"E", "Entlassen"}, FlagCase{"U", "In Arbeit"},
                                           FlagCase{"A", "A"}, FlagCase{"B", "B"}, FlagCase{"o", "o"},
                                           FlagCase{"", ""}));

TEST(PatientList, load_unknownFlagShowsItselfNotThePreviousLinesText) {
    SystemFixture system;
    system.addDepartment("K001", "12101001", "12101001.001");
    system.addStay("12101001.001", {"0000000001", "19600101", "201201010800", "201201050800", "INT", "W"});
    system.addStay("12101001.001", {"0000000002", "19600101", "201201010800", "201201050800", "INT", "A"});

    PatientList list = LoadPatientLines(system.file("system/12101001.001"));

    ASSERT_EQ(list.error, "");
    ASSERT_EQ(list.lines.size(), 2U);
    EXPECT_EQ(list.lines[0].substr(72), "Inkorrekt ");
    EXPECT_EQ(list.lines[1].substr(72), "A         ");
}

TEST(PatientList, load_sortsLinesByText) {
    SystemFixture system;
    system.addDepartment("K001", "12101001", "12101001.001");
    system.addStay("12101001.001", {"0000000009", "19600101", "201201010800", "201201050800"});
    system.addStay("12101001.001", {"0000000003", "19700101", "201201010800", "201201050800"});
    system.addStay("12101001.001", {"0000000003", "19500101", "201201010800", "201201050800"});

    PatientList list = LoadPatientLines(system.file("system/12101001.001"));

    ASSERT_EQ(list.lines.size(), 3U);
    EXPECT_EQ(list.lines[0].substr(0, 23), "0000000003   01.01.1950");
    EXPECT_EQ(list.lines[1].substr(0, 23), "0000000003   01.01.1970");
    EXPECT_EQ(list.lines[2].substr(0, 10), "0000000009");
}

TEST(PatientList, load_missingDatabaseGivesMessage) {
    SystemFixture system;
    PatientList list = LoadPatientLines(system.file("system/12101001.001"));
    EXPECT_TRUE(list.lines.empty());
    EXPECT_EQ(list.error, "Die Abteilungsdatenbank 12101001.001 fehlt im Systemdatenverzeichnis!");
}

TEST(StayKey, fromPatientLine_givesStoredForms) {
    const std::string line = BuildPatientLine({"12345     ", "19600201", "201201310805", "", "INT", "O"});
    StayKey key = StayKeyFromPatientLine(line);
    EXPECT_EQ(key.admissionNumber, "12345     ");
    EXPECT_EQ(key.birthDate, "19600201");
    EXPECT_EQ(key.admissionTime, "201201310805");
}

TEST(CurrentDepartmentStatus, fromDepartmentLine_externOnlyForE) {
    Department row{"K001", "12101001", "12101001.001", "EXTERN", "A", "B", 0.0, 0, ""};
    EXPECT_EQ(CurrentDepartmentStatus(BuildDepartmentLine(row)), "EXTERN");
    row.status = "INTERN";
    EXPECT_EQ(CurrentDepartmentStatus(BuildDepartmentLine(row)), "INTERN");
    row.status = "";
    EXPECT_EQ(CurrentDepartmentStatus(BuildDepartmentLine(row)), "INTERN");
}

}  // namespace
}  // namespace kalvora

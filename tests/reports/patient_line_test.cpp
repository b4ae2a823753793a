#include "reports/patient_line.h"

#include <gtest/gtest.h>

#include "support/department_fixture.h"

namespace kalvora {
namespace {

using test::StayFixture;
using test::SystemFixture;

StayOverview Stay(const char* kisId, const char* dob, const char* admDate, const char* disDate,
                  const char* typ, const char* flag) {
    return {{kisId, dob, admDate}, disDate, typ, flag};
}

std::vector<std::string> Lines(const std::vector<StayOverview>& stays) {
    std::vector<std::string> lines;
    for (const StayOverview& stay : stays) lines.push_back(BuildPatientLine(stay));
    return lines;
}

TEST(PatientLine, build_fillsEveryColumnRangeExactly) {
    const StayOverview stay = Stay("0000012345", "19600201", "201201310805", "201202021430", "INT", "O");
    EXPECT_EQ(BuildPatientLine(stay),
              "0000012345   01.02.1960   31.01.2012, 08:05   02.02.2012, 14:30   INT   Korrekt   ");
}

TEST(PatientLine, build_blankDischargeKeepsTypeAndStatusColumns) {
    const StayOverview stay = Stay("123       ", "19600201", "201201310805", "            ", "INT", "W");
    const std::string line = BuildPatientLine(stay);
    EXPECT_EQ(line.substr(46, 17), std::string(17, ' '));
    EXPECT_EQ(line.substr(66, 3), "INT");
    EXPECT_EQ(line.substr(72), "Inkorrekt ");
    EXPECT_EQ(line.size(), 82U);
}

TEST(PatientLine, build_emptyTypeStillKeepsStatusColumn) {
    const StayOverview stay = Stay("0000000001", "19600201", "201201310805", "", "", "U");
    const std::string line = BuildPatientLine(stay);
    EXPECT_EQ(line.substr(66, 3), "   ");
    EXPECT_EQ(PatientStayType(stay), "   ");
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

    Result<std::vector<StayOverview>> list = LoadPatientStays(system.file("system/12101001.001"));

    ASSERT_TRUE(list.ok()) << list.message();
    const std::vector<std::string> lines = Lines(*list);
    ASSERT_EQ(lines.size(), 2U);
    EXPECT_EQ(lines[0].substr(72), "Inkorrekt ");
    EXPECT_EQ(lines[1].substr(72), "A         ");
}

TEST(PatientList, load_sortsLinesByText) {
    SystemFixture system;
    system.addDepartment("K001", "12101001", "12101001.001");
    system.addStay("12101001.001", {"0000000009", "19600101", "201201010800", "201201050800"});
    system.addStay("12101001.001", {"0000000003", "19700101", "201201010800", "201201050800"});
    system.addStay("12101001.001", {"0000000003", "19500101", "201201010800", "201201050800"});

    Result<std::vector<StayOverview>> list = LoadPatientStays(system.file("system/12101001.001"));

    ASSERT_TRUE(list.ok()) << list.message();
    const std::vector<std::string> lines = Lines(*list);
    ASSERT_EQ(lines.size(), 3U);
    EXPECT_EQ(lines[0].substr(0, 23), "0000000003   01.01.1950");
    EXPECT_EQ(lines[1].substr(0, 23), "0000000003   01.01.1970");
    EXPECT_EQ(lines[2].substr(0, 10), "0000000009");
    // Each line keeps its stay's key as stored, for the detail view.
    EXPECT_EQ((*list)[0].key, (StayKey{"0000000003", "19500101", "201201010800"}));
}

TEST(PatientList, load_missingDatabaseGivesMessage) {
    SystemFixture system;
    Result<std::vector<StayOverview>> list = LoadPatientStays(system.file("system/12101001.001"));
    ASSERT_FALSE(list.ok());
    EXPECT_EQ(list.message(), "Die Abteilungsdatenbank 12101001.001 fehlt im Systemdatenverzeichnis!");
}

}  // namespace
}  // namespace kalvora

#include "reports/department_line.h"

#include <gtest/gtest.h>

#include "reports/patient_line.h"
#include "support/department_fixture.h"

namespace kalvora {
namespace {

using test::SystemFixture;

TEST(DepartmentLine, build_fillsEveryColumnRangeExactly) {
    Department row{"K001", "12101001", "12101001.001", "EXTERN", "LKH Musterstadt", "Interne Intensiv", 0.0,
                   0,      ""};
    const std::string expected = "K001 - LKH Musterstadt" + std::string(7, ' ') +
                                 "12101001 - Interne Intensiv" + std::string(28, ' ') + "12101001.001 EXTERN";
    EXPECT_EQ(BuildDepartmentLine(row), expected);
    EXPECT_EQ(expected.substr(84, 12), "12101001.001");  // columns 85-96
    EXPECT_EQ(expected.substr(97), "EXTERN");            // from column 98
}

TEST(DepartmentLine, build_cutsLongNamesToTheirColumns) {
    Department row{"K002",
                   "12202002",
                   "12202002.002",
                   "X",
                   "Allgemeines Krankenhaus der Stadt",
                   std::string(50, 'd'),
                   0.0,
                   0,
                   ""};
    const std::string line = BuildDepartmentLine(row);
    EXPECT_EQ(line.substr(7, 20), "Allgemeines Krankenh");
    EXPECT_EQ(line.substr(40, 41), std::string(41, 'd'));
    EXPECT_EQ(line.substr(81, 3), "   ");
    EXPECT_EQ(DepartmentDatabaseName(line), "12202002.002");
}

TEST(DepartmentLine, build_umlautNameKeepsCharacterColumns) {
    Department row{"K003", "12303003", "12303003.003", "EXTERN", "Klinik Göß", "Chirurgie Süd", 0.0, 0, ""};
    const std::string line = BuildDepartmentLine(row);
    EXPECT_EQ(DepartmentHospitalPart(line), "K003 - Klinik Göß" + std::string(11, ' '));
    EXPECT_EQ(DepartmentDatabaseName(line), "12303003.003");
    EXPECT_EQ(CurrentDepartmentStatus(line), "EXTERN");
}

TEST(DepartmentLine, build_withoutNameRowsShowsPlaceholder) {
    Department row{"K004", "12404004", "12404004.004", "EXTERN", std::nullopt, std::nullopt, 0.0, 0, ""};
    const std::string line = BuildDepartmentLine(row);
    EXPECT_EQ(line.substr(7, 20), "(ohne Bezeichnung)  ");
    EXPECT_EQ(line.substr(40, 41), "(ohne Bezeichnung)" + std::string(23, ' '));
    EXPECT_EQ(DepartmentDatabaseName(line), "12404004.004");
}

TEST(DepartmentLine, readers_takeTheirColumnRanges) {
    Department row{"K001", "12101001", "12101001.001", "EXTERN", "LKH Musterstadt", "Interne Intensiv", 0.0,
                   0,      ""};
    const std::string line = BuildDepartmentLine(row);
    EXPECT_EQ(DepartmentHospitalPart(line), "K001 - LKH Musterstadt      ");
    EXPECT_EQ(DepartmentHospitalColumn(line), "K001 - LKH Musterstadt     ");
    EXPECT_EQ(DepartmentPanelPart(line), " 12101001 - Interne Intensiv" + std::string(16, ' '));
    EXPECT_EQ(DepartmentPart(line), "12101001 - Interne Intensiv" + std::string(17, ' '));
    EXPECT_EQ(ExportListLine(line), line.substr(0, 96));
}

TEST(DepartmentList, load_sortsLinesAndLooksUpNamesByFirstSixCharacters) {
    SystemFixture system;
    system.addHospital("K001", "LKH Musterstadt");
    system.addHospital("K002", "KH Beispielort");
    system.addDepartmentName("121010", "Interne Intensiv");
    system.addDepartment("K002", "12101002", "12101002.002");
    system.addDepartment("K001", "12101001", "12101001.001");
    system.addDepartment("K001", "12999901", "12999901.001", "INTERN");

    DepartmentList list = LoadDepartmentLines(system.systemPath());

    ASSERT_EQ(list.error, "");
    ASSERT_EQ(list.lines.size(), 3U);
    EXPECT_EQ(DepartmentDatabaseName(list.lines[0]), "12101001.001");
    EXPECT_EQ(DepartmentDatabaseName(list.lines[1]), "12999901.001");
    EXPECT_EQ(DepartmentDatabaseName(list.lines[2]), "12101002.002");
    EXPECT_EQ(list.lines[0].substr(40, 16), "Interne Intensiv");
    EXPECT_EQ(list.lines[1].substr(40, 18), "(ohne Bezeichnung)");
    EXPECT_EQ(list.lines[2].substr(7, 14), "KH Beispielort");
}

TEST(DepartmentList, load_withoutAdminDatabaseGivesMessage) {
    test::TempDir empty;
    DepartmentList list = LoadDepartmentLines(empty.path().string());
    EXPECT_TRUE(list.lines.empty());
    EXPECT_NE(list.error.find("iadmin.mdb"), std::string::npos);
}

TEST(DepartmentChoice, choose_returnsListOrderAndRefusesUnknownNames) {
    std::vector<std::string> lines;
    for (const char* name : {"11111111.001", "22222222.002", "33333333.003"})
        lines.push_back(BuildDepartmentLine({"K001", "12101001", name, "EXTERN", "A", "B", 0.0, 0, ""}));

    DepartmentChoice chosen = ChooseDepartments(lines, {"33333333.003", "11111111.001", "33333333.003"});
    ASSERT_EQ(chosen.error, "");
    ASSERT_EQ(chosen.lines.size(), 2U);
    EXPECT_EQ(chosen.lines[0], lines[0]);
    EXPECT_EQ(chosen.lines[1], lines[2]);

    DepartmentChoice unknown = ChooseDepartments(lines, {"11111111.001", "44444444.004"});
    EXPECT_TRUE(unknown.lines.empty());
    EXPECT_EQ(unknown.error, "Keine Abteilung mit der Datenbank 44444444.004 vorhanden!");
}

}  // namespace
}  // namespace kalvora

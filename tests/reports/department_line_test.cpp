#include "reports/department_line.h"

#include <gtest/gtest.h>

#include "base/text.h"
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
    EXPECT_EQ(line.substr(84, 12), "12202002.002");
}

TEST(DepartmentLine, build_umlautNameKeepsCharacterColumns) {
    Department row{"K003", "12303003", "12303003.003", "EXTERN", "Klinik Göß", "Chirurgie Süd", 0.0, 0, ""};
    EXPECT_EQ(DepartmentHospitalPart(row), "K003 - Klinik Göß" + std::string(11, ' '));
    EXPECT_EQ(DepartmentPart(row), "12303003 - Chirurgie Süd" + std::string(20, ' '));
    EXPECT_EQ(LineColumns(BuildDepartmentLine(row), 85, 96), "12303003.003");
}

TEST(DepartmentLine, build_withoutNameRowsShowsPlaceholder) {
    Department row{"K004", "12404004", "12404004.004", "EXTERN", std::nullopt, std::nullopt, 0.0, 0, ""};
    const std::string line = BuildDepartmentLine(row);
    EXPECT_EQ(line.substr(7, 20), "(ohne Bezeichnung)  ");
    EXPECT_EQ(line.substr(40, 41), "(ohne Bezeichnung)" + std::string(23, ' '));
    EXPECT_EQ(line.substr(84, 12), "12404004.004");
}

TEST(DepartmentLine, readers_takeTheirColumnRanges) {
    Department row{"K001", "12101001", "12101001.001", "EXTERN", "LKH Musterstadt", "Interne Intensiv", 0.0,
                   0,      ""};
    const std::string line = BuildDepartmentLine(row);
    EXPECT_EQ(DepartmentHospitalPart(row), "K001 - LKH Musterstadt      ");
    EXPECT_EQ(DepartmentHospitalColumn(row), "K001 - LKH Musterstadt     ");
    EXPECT_EQ(DepartmentPanelPart(row), " 12101001 - Interne Intensiv" + std::string(16, ' '));
    EXPECT_EQ(DepartmentPart(row), "12101001 - Interne Intensiv" + std::string(17, ' '));
    EXPECT_EQ(ExportListLine(row), line.substr(0, 96));
}

// The patient level tells imported data ("EXTERN") by the first letter of the department's Status.
TEST(DepartmentLine, currentStatus_externOnlyForE) {
    Department row{"K001", "12101001", "12101001.001", "EXTERN", "A", "B", 0.0, 0, ""};
    EXPECT_EQ(CurrentDepartmentStatus(row), "EXTERN");
    for (const char* status : {"INTERN", "", " E", "eXTERN"}) {
        row.status = status;
        EXPECT_EQ(CurrentDepartmentStatus(row), "INTERN") << status;
    }
}

TEST(DepartmentList, load_sortsLinesAndLooksUpNamesByFirstSixCharacters) {
    SystemFixture system;
    system.addHospital("K001", "LKH Musterstadt");
    system.addHospital("K002", "KH Beispielort");
    system.addDepartmentName("121010", "Interne Intensiv");
    system.addDepartment("K002", "12101002", "12101002.002");
    system.addDepartment("K001", "12101001", "12101001.001");
    system.addDepartment("K001", "12999901", "12999901.001", "INTERN");

    Result<std::vector<Department>> list = LoadDepartments(system.systemPath());

    ASSERT_TRUE(list.ok()) << list.message();
    ASSERT_EQ(list->size(), 3U);
    EXPECT_EQ((*list)[0].fileName(), "12101001.001");
    EXPECT_EQ((*list)[1].fileName(), "12999901.001");
    EXPECT_EQ((*list)[2].fileName(), "12101002.002");
    EXPECT_EQ(BuildDepartmentLine((*list)[0]).substr(40, 16), "Interne Intensiv");
    EXPECT_EQ(BuildDepartmentLine((*list)[1]).substr(40, 18), "(ohne Bezeichnung)");
    EXPECT_EQ(BuildDepartmentLine((*list)[2]).substr(7, 14), "KH Beispielort");
    EXPECT_EQ(DepartmentDatabasePath(system.systemPath(), (*list)[0]), system.systemPath() + "/12101001.001");
}

TEST(DepartmentList, load_withoutAdminDatabaseGivesMessage) {
    test::TempDir empty;
    Result<std::vector<Department>> list = LoadDepartments(empty.path().string());
    ASSERT_FALSE(list.ok());
    EXPECT_NE(list.message().find("iadmin.mdb"), std::string::npos);
}

TEST(DepartmentChoice, choose_returnsListOrderAndRefusesUnknownNames) {
    std::vector<Department> departments;
    for (const char* name : {"11111111.001", "22222222.002", "33333333.003"})
        departments.push_back({"K001", "12101001", name, "EXTERN", "A", "B", 0.0, 0, ""});

    Result<std::vector<Department>> chosen =
        ChooseDepartments(departments, {"33333333.003", " 11111111.001", "33333333.003"});
    ASSERT_TRUE(chosen.ok()) << chosen.message();
    ASSERT_EQ(chosen->size(), 2U);
    EXPECT_EQ((*chosen)[0].fileName(), "11111111.001");
    EXPECT_EQ((*chosen)[1].fileName(), "33333333.003");

    Result<std::vector<Department>> unknown =
        ChooseDepartments(departments, {"11111111.001", "44444444.004"});
    ASSERT_FALSE(unknown.ok());
    EXPECT_EQ(unknown.message(), "Keine Abteilung mit der Datenbank 44444444.004 vorhanden!");
}

}  // namespace
}  // namespace kalvora

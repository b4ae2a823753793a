#include "classification/classification_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "classification/department_staffing.h"
#include "classification_fixture.h"
#include "store/admin_database.h"
#include "support/temp_dir.h"

namespace kalvora {
namespace {

using test::ClassificationFixture;
using test::StayData;

StayData Stay(const std::string& typ, const std::string& flag) {
    StayData stay;
    stay.typ = typ;
    stay.flag = flag;
    return stay;
}

TEST(ClassificationListTest, ClassificationDialogEntries_listsDepartmentsWithIcuStaysInKeyOrder) {
    ClassificationFixture fixture;
    fixture.addHospitalName("K100", "Nord");
    fixture.addDepartmentName("121010", "Intensiv");
    fixture.addDepartment("K200", "12101001", "12200101.111", 0, 0, " ");
    fixture.addDepartment("K100", "12101002", "12100102.111", 0, 0, " ");
    fixture.addDepartment("K100", "12101001", "12100101.111", 0, 0, " ");
    fixture.addDepartment("K300", "12101001", "12300101.111", 0, 0, " ");  // only a stay in work
    fixture.addDepartment("K400", "12101001", "12400101.111", 0, 0, " ");  // no ICU stay
    fixture.addDepartment("K500", "12101001", "12500101.111", 0, 0, " ");  // database missing
    for (const char* file : {"12200101.111", "12100102.111", "12100101.111"})
        fixture.addStay(file, Stay("INT", "W"));
    fixture.addStay("12300101.111", Stay("INT", "U"));
    fixture.addStay("12400101.111", Stay("", "O"));
    std::filesystem::remove(fixture.systemDir() + "/12500101.111");

    const std::vector<ClassificationEntry> entries =
        LoadClassificationDialogList(fixture.systemDir())->entries;
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(EntryDataFileName(entries[0]), "12100101.111");
    EXPECT_EQ(EntryDataFileName(entries[1]), "12100102.111");
    EXPECT_EQ(EntryDataFileName(entries[2]), "12200101.111");
    EXPECT_EQ(EntryHospitalText(entries[0]), "K100 - Nord" + std::string(16, ' '));
    EXPECT_EQ(EntryDepartmentText(entries[0]).substr(0, 19), "12101001 - Intensiv");
    EXPECT_EQ(EntryHospitalText(entries[2]), "K200 - " + std::string(20, ' '));
}

TEST(ClassificationListTest,
     LoadClassificationDialogList_namesDepartmentsWhoseDatabaseIsMissingOrUnreadable) {
    ClassificationFixture fixture;
    fixture.addDepartment("K100", "12101001", "12100101.111", 0, 0, " ");
    fixture.addDepartment("K100", "12101002", "12100102.111", 0, 0, " ");  // database missing
    fixture.addDepartment("K100", "12101003", "12100103.111", 0, 0, " ");  // not a database
    fixture.addDepartment("K100", "12101004", "12100104.111", 0, 0, " ");  // nothing to classify
    fixture.addStay("12100101.111", Stay("INT", "O"));
    fixture.addStay("12100104.111", Stay("INT", "U"));
    std::filesystem::remove(fixture.systemDir() + "/12100102.111");
    std::filesystem::remove(fixture.systemDir() + "/12100103.111");
    {
        std::ofstream garbage(fixture.systemDir() + "/12100103.111");
        garbage << std::string(4096, 'x');
    }

    const ClassificationDialogList list = LoadClassificationDialogList(fixture.systemDir()).value();

    ASSERT_EQ(list.entries.size(), 1u);
    EXPECT_EQ(EntryDataFileName(list.entries[0]), "12100101.111");
    ASSERT_EQ(list.unlisted.size(), 2u);
    EXPECT_EQ(list.unlisted[0].dataFile, "12100102.111");
    EXPECT_TRUE(list.unlisted[0].fileMissing);
    EXPECT_EQ(list.unlisted[1].dataFile, "12100103.111");
    EXPECT_FALSE(list.unlisted[1].fileMissing);
}

TEST(ClassificationListTest, LoadClassificationDialogList_withoutAdminDatabase_fails) {
    test::TempDir empty;
    const Result<ClassificationDialogList> list = LoadClassificationDialogList(empty.path().string());
    ASSERT_FALSE(list.ok());
    EXPECT_NE(list.message().find("iadmin.mdb"), std::string::npos);
}

TEST(ClassificationListTest, StoreDepartmentStaffing_roundTrip_readsBackTheStoredValues) {
    ClassificationFixture fixture;
    fixture.addDepartment("K100", "12101001", "12100101.111", 0, 0, " ");
    const auto stored = [&] {
        return AdminDatabase::ForReading(fixture.systemDir()).findByFileName("12100101.111");
    };

    Department department = *stored();
    ASSERT_TRUE(StoreDepartmentStaffing(fixture.systemDir(), department, {{550, 2}, 4, "E3"}).ok());
    std::optional<Department> record = stored();
    ASSERT_TRUE(record.has_value());
    EXPECT_DOUBLE_EQ(record->dgkp, 5.5);
    EXPECT_EQ(record->beds, 4);
    EXPECT_EQ(record->preset, "E3");

    ASSERT_TRUE(StoreDepartmentStaffing(fixture.systemDir(), department, {{0, 2}, 0, ""}).ok());
    record = stored();
    EXPECT_EQ(record->preset, "");
    EXPECT_EQ(EntryPresetText(EntryOfDepartment(*record)), "  ");
}

TEST(ClassificationListTest, StoreDepartmentStaffing_unknownDepartment_storesNothing) {
    ClassificationFixture fixture;
    fixture.addDepartment("K100", "12101001", "12100101.111", 1.0, 1, " ");
    Department unknown;
    unknown.kanr = "K100";
    unknown.abteilung = "12101009";
    EXPECT_TRUE(StoreDepartmentStaffing(fixture.systemDir(), unknown, {{550, 2}, 4, "E3"}).ok());
    AdminDatabase admin = AdminDatabase::ForReading(fixture.systemDir());
    EXPECT_EQ(admin.findByFileName("12100101.111")->beds, 1);
    EXPECT_EQ(admin.findByFileName(" 12100101 .111")->beds, 1);
    EXPECT_FALSE(admin.findByFileName("12999999.999").has_value());
}

TEST(ClassificationListTest, StoreDepartmentStaffing_withoutDataDirectory_failsWithMessage) {
    Department department;
    department.kanr = "K100";
    department.abteilung = "12101001";
    const Outcome stored = StoreDepartmentStaffing("/nicht/vorhanden", department, {{550, 2}, 4, "E3"});
    ASSERT_FALSE(stored.ok());
    EXPECT_NE(stored.message().find("/nicht/vorhanden"), std::string::npos) << stored.message();
}

}  // namespace
// Departments named on the command line come in the list's order, each once; a name no department
// has is reported and nothing is chosen.
TEST(ClassificationListTest, EntriesOfNamedDepartments_keepListOrderAndRefuseUnknownNames) {
    std::vector<Department> departments(3);
    const char* files[] = {"12100101.101", "12100201.101", "12100301.101"};
    for (int i = 0; i < 3; ++i) {
        departments[i].kanr = "K101";
        departments[i].abteilung = std::string(files[i]).substr(0, 8);
        departments[i].dataFile = files[i];
    }
    const Result<std::vector<ClassificationEntry>> chosen =
        EntriesOfNamedDepartments(departments, {"12100301.101", " 12100101.101", "12100301.101"});
    ASSERT_TRUE(chosen.ok()) << chosen.message();
    ASSERT_EQ(chosen->size(), 2u);
    EXPECT_EQ((*chosen)[0].department.dataFile, "12100101.101");
    EXPECT_EQ((*chosen)[1].department.dataFile, "12100301.101");

    const Result<std::vector<ClassificationEntry>> refused =
        EntriesOfNamedDepartments(departments, {"12100101.101", "99999999.999"});
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.message(), "Keine Abteilung mit der Datenbank 99999999.999 vorhanden!");
}

}  // namespace kalvora

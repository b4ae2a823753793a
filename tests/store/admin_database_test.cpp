// The administration database as the lists and the commands read it, and the registration the
// store changes together with a department file.

#include "store/admin_database.h"

#include <gtest/gtest.h>

#include "store/schema.h"
#include "support/temp_dir.h"

namespace kalvora {
namespace {

using test::TempDir;

class AdminDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        Database admin(dir.file(std::string(files::AdminDb)), OpenMode::Create);
        CreateAdminSchema(admin);
        admin.execute(
            "INSERT INTO \"KANR-Bezeichnung\" VALUES ('K200', 'Süd');"
            "INSERT INTO \"ABT-Bezeichnung\" VALUES ('121001', 'Intensiv');"
            "INSERT INTO Dateiverwaltung (KANR, ABTEILUNG, MDB_DATEI, SBETT, DGKP, Status, VOREINSTUFUNG)"
            " VALUES ('K200', '12100101', '12100101.200', 4, 5.5, 'EXTERN', 'E2'),"
            " ('K100', '12100201', ' 12100201.100', 0, 0, 'INTERN', ' ');");
    }
    AdminDatabase open() { return AdminDatabase(Database(dir.file(std::string(files::AdminDb)))); }

    TempDir dir;
};

TEST_F(AdminDatabaseTest, readDepartments_inKeyOrderWithNamesAndStaffing) {
    const Result<std::vector<Department>> departments = ReadDepartments(dir.path().string());
    ASSERT_TRUE(departments.ok()) << departments.message();
    ASSERT_EQ(departments->size(), 2u);
    const Department& first = (*departments)[0];
    EXPECT_EQ(first.kanr, "K100");
    EXPECT_EQ(first.fileName(), "12100201.100");
    EXPECT_FALSE(first.hospitalName.has_value());
    EXPECT_FALSE(first.departmentName.has_value());
    const Department& second = (*departments)[1];
    EXPECT_EQ(second.hospitalName, std::optional<std::string>("Süd"));
    EXPECT_EQ(second.departmentName, std::optional<std::string>("Intensiv"));
    EXPECT_DOUBLE_EQ(second.dgkp, 5.5);
    EXPECT_EQ(second.beds, 4);
    EXPECT_EQ(second.preset, "E2");
}

TEST_F(AdminDatabaseTest, readDepartments_withoutAdministrationDatabase_namesIt) {
    TempDir empty;
    const Result<std::vector<Department>> departments = ReadDepartments(empty.path().string());
    ASSERT_FALSE(departments.ok());
    EXPECT_NE(departments.message().find(empty.file("iadmin.mdb")), std::string::npos)
        << departments.message();
}

// A department's row is found by its file name as stored, and by the same name with other blanks.
TEST_F(AdminDatabaseTest, findRegisteredFile_byStoredNameOrTheNameWithoutBlanks) {
    AdminDatabase admin = open();
    Department stored;
    stored.dataFile = " 12100201.100";
    Department typed;
    typed.dataFile = "12100201.100";
    Department unknown;
    unknown.dataFile = "99999999.999";
    const std::optional<RegisteredFile> byStored = admin.findRegisteredFile(stored);
    const std::optional<RegisteredFile> byTyped = admin.findRegisteredFile(typed);
    ASSERT_TRUE(byStored && byTyped);
    EXPECT_EQ(byStored->rowid, byTyped->rowid);
    EXPECT_EQ(byTyped->fileName, "12100201.100");
    EXPECT_FALSE(admin.findRegisteredFile(unknown).has_value());
}

// Registering twice changes nothing more; taking a new department back leaves the others.
TEST_F(AdminDatabaseTest, registration_appliedTwiceAndTakenBack) {
    AdminDatabase admin = open();
    const DepartmentRegistration fresh{"K300", "12100301", "12100301.300", true};
    admin.applyRegistration(fresh);
    admin.applyRegistration(fresh);
    EXPECT_EQ(admin.departments().size(), 3u);
    EXPECT_EQ(admin.statusOf("K300", "12100301"), std::optional<std::string>("EXTERN"));

    admin.applyRegistration({"K100", "12100201", " 12100201.100", false});
    EXPECT_EQ(admin.statusOf("K100", "12100201"), std::optional<std::string>("EXTERN"));
    admin.restoreStatus({"K100", "12100201", "", false}, "INTERN");
    EXPECT_EQ(admin.statusOf("K100", "12100201"), std::optional<std::string>("INTERN"));

    admin.removeRegistration(fresh);
    EXPECT_EQ(admin.departments().size(), 2u);
    EXPECT_FALSE(admin.statusOf("K300", "12100301").has_value());
}

}  // namespace
}  // namespace kalvora

// The imported-data check: a row in Dateiverwaltung, none, or an administration database that
// cannot be read.

#include "store/imported_data_check.h"

#include <gtest/gtest.h>

#include "store/database.h"
#include "store/schema.h"
#include "support/temp_dir.h"

namespace kalvora {
namespace {

using test::TempDir;

void CreateAdminDatabase(const TempDir& dir, bool withDepartment) {
    Database admin(dir.file(std::string(files::AdminDb)), OpenMode::Create);
    CreateAdminSchema(admin);
    if (!withDepartment) return;
    admin
        .prepare("INSERT INTO " + QuoteIdentifier(tables::Dateiverwaltung) +
                 " (KANR, ABTEILUNG, MDB_DATEI) VALUES (?, ?, ?)")
        .bind(1, "K101")
        .bind(2, "12100101")
        .bind(3, "12100101.101")
        .run();
}

TEST(ImportedDataCheck, emptyDateiverwaltung_reportsNoData) {
    TempDir dir;
    CreateAdminDatabase(dir, false);
    const Result<bool> imported = CheckImportedData(dir.path().string());
    ASSERT_TRUE(imported.ok()) << imported.message();
    EXPECT_FALSE(*imported);
}

TEST(ImportedDataCheck, registeredDepartment_reportsData) {
    TempDir dir;
    CreateAdminDatabase(dir, true);
    const Result<bool> imported = CheckImportedData(dir.path().string());
    ASSERT_TRUE(imported.ok()) << imported.message();
    EXPECT_TRUE(*imported);
}

TEST(ImportedDataCheck, missingAdminDatabase_reportsErrorNamingFile) {
    TempDir dir;
    const Result<bool> imported = CheckImportedData(dir.file("fehlt"));
    ASSERT_FALSE(imported.ok());
    EXPECT_NE(imported.message().find("iadmin.mdb"), std::string::npos);
}

TEST(ImportedDataCheck, adminDatabaseWithoutTable_reportsError) {
    TempDir dir;
    { Database empty(dir.file(std::string(files::AdminDb)), OpenMode::Create); }
    const Result<bool> imported = CheckImportedData(dir.path().string());
    ASSERT_FALSE(imported.ok());
    EXPECT_FALSE(imported.message().empty());
}

}  // namespace
}  // namespace kalvora

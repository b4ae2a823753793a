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
    const ImportedDataCheck check = CheckImportedData(dir.path().string());
    EXPECT_FALSE(check.present);
    EXPECT_EQ(check.error, "");
}

TEST(ImportedDataCheck, registeredDepartment_reportsData) {
    TempDir dir;
    CreateAdminDatabase(dir, true);
    const ImportedDataCheck check = CheckImportedData(dir.path().string());
    EXPECT_TRUE(check.present);
    EXPECT_EQ(check.error, "");
}

TEST(ImportedDataCheck, missingAdminDatabase_reportsErrorNamingFile) {
    TempDir dir;
    const ImportedDataCheck check = CheckImportedData(dir.file("fehlt"));
    EXPECT_FALSE(check.present);
    EXPECT_NE(check.error.find("iadmin.mdb"), std::string::npos);
}

TEST(ImportedDataCheck, adminDatabaseWithoutTable_reportsError) {
    TempDir dir;
    { Database empty(dir.file(std::string(files::AdminDb)), OpenMode::Create); }
    const ImportedDataCheck check = CheckImportedData(dir.path().string());
    EXPECT_FALSE(check.present);
    EXPECT_FALSE(check.error.empty());
}

}  // namespace
}  // namespace kalvora

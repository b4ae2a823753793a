// The total database takes the departments in key order when their keys cannot meet, in list order
// otherwise, copies stored rows as they are into an empty table and maps fields by name where a
// department's table has them in another order. Whatever way a table goes, the total database must
// hold the same rows and refuse the same ones as appending department by department in list order.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "base/status_sink.h"
#include "export/total_export.h"
#include "reports/department_line.h"
#include "store/database.h"
#include "support/department_fixture.h"
#include "support/temp_dir.h"

namespace kalvora {
namespace {

using test::StayFixture;
using test::SystemFixture;

StayFixture Stay(const std::string& kis, const std::string& discharge = "201201050800") {
    StayFixture stay{kis, "19600101", "201201010800", discharge};
    stay.days = {{"20120101"}, {"20120102"}, {"20120103", "E"}};
    return stay;
}

class ExportOrderTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Listed top to bottom in this order.
        system.addDepartment("K001", "12101001", "12101001.001");
        system.addDepartment("K001", "12101002", "12101002.001");
        system.addDepartment("K001", "12101003", "12101003.001");
    }
    Result<ExportDone> run() {
        NullStatusSink status;
        return ExportTotalDatabase({LoadDepartments(system.systemPath()).value(), "gesamt.mdb",
                                    system.systemPath(), system.exportPath()},
                                   status);
    }
    Database total() { return Database(system.file("export/gesamt.mdb"), OpenMode::ReadOnly); }
    // KIS_ID and discharge of every stay, and KIS_ID, survey day and qualifier of every survey day.
    std::set<std::string> content() {
        Database db = total();
        std::set<std::string> rows;
        Statement stays =
            db.prepare("SELECT KIS_ID || '|' || DIS_DATE FROM \"Gesamt - Patientenadministration\"");
        while (stays.step() == StepResult::Row) rows.insert("stay " + stays.text(0));
        Statement days =
            db.prepare("SELECT KIS_ID || '|' || REC_DATE || '|' || QUALIFIER FROM \"Satzart 3 - TISS28\"");
        while (days.step() == StepResult::Row) rows.insert("day " + days.text(0));
        Statement firsts = db.prepare("SELECT KIS_ID FROM \"Satzart 1 - Patientenadministration Intensiv\"");
        while (firsts.step() == StepResult::Row) rows.insert("type1 " + firsts.text(0));
        return rows;
    }

    SystemFixture system;
};

TEST_F(ExportOrderTest, keyRangesApartInReverseListOrder_exportsEveryRowAndRefusesNone) {
    system.addStay("12101001.001", Stay("0000000007"));
    system.addStay("12101001.001", Stay("0000000009"));
    system.addStay("12101002.001", Stay("0000000004"));
    system.addStay("12101002.001", Stay("0000000005"));
    system.addStay("12101003.001", Stay("0000000001"));

    const Result<ExportDone> result = run();

    ASSERT_TRUE(result.ok()) << result.message();
    EXPECT_EQ(result->refusedRows, 0);
    std::set<std::string> expected;
    for (const char* kis : {"0000000001", "0000000004", "0000000005", "0000000007", "0000000009"}) {
        expected.insert(std::string("stay ") + kis + "|201201050800");
        expected.insert(std::string("type1 ") + kis);
        expected.insert(std::string("day ") + kis + "|20120101|3");
        expected.insert(std::string("day ") + kis + "|20120102|3");
    }
    EXPECT_EQ(content(), expected);
    Database db = total();
    Statement check = db.prepare("PRAGMA integrity_check");
    ASSERT_EQ(check.step(), StepResult::Row);
    EXPECT_EQ(check.text(0), "ok");
}

TEST_F(ExportOrderTest, overlappingKeyRanges_keepTheUpperDepartmentsRowOfAKey) {
    // The third department's range lies below the others, but it shares a key with the first one:
    // the first department's stay, listed above, stays, and the third one's is refused with its rows.
    system.addStay("12101001.001", Stay("0000000005", "201201050800"));
    system.addStay("12101001.001", Stay("0000000008", "201201050800"));
    system.addStay("12101002.001", Stay("0000000009", "201201050800"));
    system.addStay("12101003.001", Stay("0000000001", "201201060800"));
    system.addStay("12101003.001", Stay("0000000005", "201201060800"));

    const Result<ExportDone> result = run();

    ASSERT_TRUE(result.ok()) << result.message();
    EXPECT_EQ(result->refusedRows, 4);  // the stay, its record type 1 row and its two survey days
    const std::set<std::string> rows = content();
    EXPECT_EQ(rows.count("stay 0000000005|201201050800"), 1U);
    EXPECT_EQ(rows.count("stay 0000000005|201201060800"), 0U);
    EXPECT_EQ(rows.count("stay 0000000001|201201060800"), 1U);
    EXPECT_EQ(total().scalar("SELECT count(*) FROM \"Satzart 3 - TISS28\" WHERE KIS_ID = '0000000005'"), 2);
}

TEST_F(ExportOrderTest, touchingKeyRanges_countAsOverlapping) {
    system.addStay("12101002.001", Stay("0000000003", "201201050800"));
    system.addStay("12101002.001", Stay("0000000006", "201201050800"));
    system.addStay("12101003.001", Stay("0000000001", "201201060800"));
    system.addStay("12101003.001", Stay("0000000003", "201201060800"));

    const Result<ExportDone> result = run();

    ASSERT_TRUE(result.ok()) << result.message();
    EXPECT_EQ(result->refusedRows, 4);
    EXPECT_EQ(content().count("stay 0000000003|201201050800"), 1U);
}

TEST_F(ExportOrderTest, fieldsInAnotherOrder_areCopiedByName) {
    system.addStay("12101001.001", Stay("0000000001"));
    system.addStay("12101002.001", Stay("0000000002"));
    {
        // The second department's record type 1 table with its fields in reverse order.
        Database second(system.file("system/12101002.001"));
        second.execute(
            "DROP TRIGGER \"Stay removal\";"
            "CREATE TABLE reordered (HOSP_MORT TEXT, HOSP_DIS_DATE TEXT, ICU_OUTCOME TEXT, DIS_DATE TEXT,"
            " ADM_DATE TEXT NOT NULL, DOB TEXT NOT NULL, KIS_ID TEXT NOT NULL, ICU_FUN_SID TEXT, ICU_FUN_ID "
            "TEXT,"
            " KA_ID TEXT, QUALIFIER TEXT, PRIMARY KEY (KIS_ID, DOB, ADM_DATE)) WITHOUT ROWID;"
            "INSERT INTO reordered (HOSP_MORT, HOSP_DIS_DATE, ICU_OUTCOME, DIS_DATE, ADM_DATE, DOB, KIS_ID,"
            " ICU_FUN_SID, ICU_FUN_ID, KA_ID, QUALIFIER) SELECT HOSP_MORT, HOSP_DIS_DATE, ICU_OUTCOME, "
            "DIS_DATE,"
            " ADM_DATE, DOB, KIS_ID, ICU_FUN_SID, ICU_FUN_ID, KA_ID, QUALIFIER"
            " FROM \"Satzart 1 - Patientenadministration Intensiv\";"
            "DROP TABLE \"Satzart 1 - Patientenadministration Intensiv\";"
            "ALTER TABLE reordered RENAME TO \"Satzart 1 - Patientenadministration Intensiv\";"
            "UPDATE \"Satzart 1 - Patientenadministration Intensiv\" SET HOSP_MORT = 'M', KA_ID = 'K001'");
    }

    const Result<ExportDone> result = run();

    ASSERT_TRUE(result.ok()) << result.message();
    Database db = total();
    EXPECT_EQ(db.scalar("SELECT count(*) FROM \"Satzart 1 - Patientenadministration Intensiv\""
                        " WHERE KIS_ID = '0000000002' AND HOSP_MORT = 'M' AND KA_ID = 'K001'"
                        " AND DOB = '19600101' AND ADM_DATE = '201201010800'"),
              1);
}

TEST_F(ExportOrderTest, substituteDaysCopiedAndRemovedAgain_leaveNothingInTheFile) {
    // The first department's rows go into the empty tables as stored; its substitute days are
    // removed afterwards and must not linger in the file's free space.
    StayFixture stay = Stay("0000000001");
    stay.days.push_back({"20120104", "E", std::string(28, '0'), "Q7Z"});
    system.addStay("12101001.001", stay);

    const Result<ExportDone> result = run();

    ASSERT_TRUE(result.ok()) << result.message();
    EXPECT_EQ(total().scalar("SELECT count(*) FROM \"Satzart 3 - TISS28\""), 2);
    EXPECT_EQ(test::ReadFile(system.file("export/gesamt.mdb")).find("Q7Z"), std::string::npos);
}

TEST_F(ExportOrderTest, totalDatabase_hasTheTemplatesTablesFieldsAndIndexes) {
    system.addStay("12101001.001", Stay("0000000001"));
    ASSERT_TRUE(run().ok());

    const auto schema = [](Database db) {
        std::set<std::tuple<std::string, std::string, std::string>> entries;
        Statement rows = db.prepare("SELECT type, name, sql FROM sqlite_master");
        while (rows.step() == StepResult::Row) entries.emplace(rows.text(0), rows.text(1), rows.text(2));
        return entries;
    };
    EXPECT_EQ(schema(total()), schema(Database(system.file("system/ibds.mdb"), OpenMode::ReadOnly)));
}

}  // namespace
}  // namespace kalvora

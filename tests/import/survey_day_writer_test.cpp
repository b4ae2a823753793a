// The day writer of the walk: rows handed over a batch at a time are all stored, with their own copy
// of every text; a day stored twice stops the walk with its message instead of being lost; a walk
// given up ends the writer.

#include "import/survey_day_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/database.h"
#include "store/schema.h"
#include "support/temp_dir.h"

namespace kalvora {
namespace {

std::string EmptyDepartment(test::TempDir& dir) {
    const std::string path = dir.file("days.mdb");
    Database db(path, OpenMode::Create);
    CreateDepartmentSchema(db);
    return path;
}

// A day row whose texts live only as long as `texts`.
RecordType3Row DayRow(const std::vector<std::string>& texts, bool substitute) {
    RecordType3Row row;
    row.utf8 = true;
    row.QUALIFIER = substitute ? "M" : "3";
    row.KA_ID = texts[0];
    row.KIS_ID = texts[1];
    row.DOB = "19500615";
    row.ADM_DATE = "201203011000";
    row.REC_DATE = texts[2];
    row.hasItems = !substitute;
    for (auto& item : row.items) item = "1";
    row.T28_SCORE = "042";
    row.hasScore = true;
    return row;
}

TEST(SurveyDayWriter, rowsOfEveryBatch_areStoredFromTheirOwnCopies) {
    test::TempDir dir;
    const std::string path = EmptyDepartment(dir);
    {
        SurveyDayWriter writer(path);
        for (int batch = 0; batch < 5; ++batch) {
            for (int day = 1; day <= 200; ++day) {
                std::vector<std::string> texts{"K101", "S" + std::to_string(batch),
                                               std::to_string(20120000 + day)};
                writer.store(DayRow(texts, day % 7 == 0), day % 7 == 0);
                texts.assign(3, std::string(40, '#'));  // the walk's texts go on to other rows
            }
            writer.batchDone();
        }
        writer.finish();
    }
    Database db(path, OpenMode::ReadOnly);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM \"Satzart 3 - TISS28\""), 1000);
    EXPECT_EQ(
        db.scalar("SELECT count(*) FROM \"Satzart 3 - TISS28\" WHERE KA_ID <> 'K101' OR T28_SCORE <> '042'"),
        0);
    EXPECT_EQ(
        db.scalar(
            "SELECT count(*) FROM \"Satzart 3 - TISS28\" WHERE QUALIFIER = 'M' AND T28_STAND_MON IS NULL"),
        5 * 28);
}

TEST(SurveyDayWriter, dayStoredTwice_stopsTheWalkWithItsMessage) {
    for (const bool substitute : {false, true}) {
        test::TempDir dir;
        SurveyDayWriter writer(EmptyDepartment(dir));
        const std::vector<std::string> texts{"K101", "S1", "20120301"};
        writer.store(DayRow(texts, false), false);
        writer.store(DayRow(texts, substitute), substitute);
        try {
            // Reported by the batch after, or at the latest by the end of the walk.
            writer.batchDone();
            writer.store(DayRow({"K101", "S2", "20120301"}, false), false);
            writer.batchDone();
            writer.finish();
            FAIL() << "no failure";
        } catch (const StoreError& error) {
            EXPECT_STREQ(error.what(), substitute
                                           ? "Der Ersatz-Erhebungstag 20120301 ist bereits gespeichert."
                                           : "Der Erhebungstag 20120301 ist bereits gespeichert.");
        }
    }
}

TEST(SurveyDayWriter, walkGivenUp_endsTheWriterWithBatchesStillWaiting) {
    test::TempDir dir;
    const std::string path = EmptyDepartment(dir);
    // No finish (the walk failed): the writer ends at once, whatever it still had to write; the run
    // removes the day file.
    SurveyDayWriter writer(path);
    for (int batch = 0; batch < 3; ++batch) {
        for (int day = 1; day <= 500; ++day)
            writer.store(DayRow({"K101", "S" + std::to_string(batch), std::to_string(20120000 + day)}, false),
                         false);
        writer.batchDone();
    }
}

}  // namespace
}  // namespace kalvora

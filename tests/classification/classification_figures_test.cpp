// The classification counts its figures row by row in the program and merges multiple day records in
// a few steps; these tests hold both against plain statements and groupings over random tables with
// unusual values (NULLs, blanks, texts that are no numbers, invalid days).

#include "classification/classification_figures.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "base/conversions.h"
#include "classification/classification_run.h"
#include "classification/classification_sql_functions.h"
#include "classification/classify_department.h"
#include "classification/rate_department.h"
#include "classification/stored_value.h"
#include "classification_fixture.h"
#include "store/database.h"

namespace kalvora {
namespace {

using Field = std::optional<std::string>;

constexpr const char* kFile = "12101001.123";

// The children's days and day figures as single statements over the tables, with Val on every field.
constexpr std::string_view kReferenceChildrenDays =
    R"(SELECT TOTAL((CASE WHEN d <= Val(?2) THEN dischargeDay ELSE ?5 END)
                  - (CASE WHEN a >= Val(?1) THEN admissionDay ELSE ?4 END) + 1)
       FROM (SELECT Val(substr(ADM_DATE, 1, 8)) AS a, Val(substr(DIS_DATE, 1, 8)) AS d,
                    ReferenceDayNumber(ADM_DATE) AS admissionDay, ReferenceDayNumber(DIS_DATE) AS dischargeDay,
                    Val(STUNDEN) AS hours, "Alter" AS age
             FROM "Gesamt - Patientenadministration")
       WHERE NOT (a < Val(?1) AND d < Val(?1)) AND NOT (a > Val(?2) AND d > Val(?2))
         AND hours >= Val(?3) AND ltrim(age) GLOB '[0-9]*' AND Val(age) < 16
         AND admissionDay IS NOT NULL AND dischargeDay IS NOT NULL;)";
constexpr std::string_view kReferenceDayFigures =
    R"(SELECT COUNT(CASE WHEN QUALIFIER <> '3' THEN T28_SCORE END),
              COUNT(CASE WHEN reported THEN T28_SCORE END),
              TOTAL(CASE WHEN reported THEN score END),
              COUNT(CASE WHEN reported AND score >= 16 THEN T28_SCORE END),
              TOTAL(CASE WHEN reported AND score >= 16 THEN score END)
       FROM (SELECT QUALIFIER, T28_SCORE, Val(T28_SCORE) AS score, (?4 OR QUALIFIER = '3') AS reported
             FROM "Satzart 3 - TISS28 TEMP"
             WHERE Val(REC_DATE) >= Val(?1) AND Val(REC_DATE) <= Val(?2) AND Val(STUNDEN) >= Val(?3));)";

void ReferenceDayNumber(sqlite3_context* context, int, sqlite3_value** argv) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    if (text == nullptr || !IsClassificationDay(text)) {
        sqlite3_result_null(context);
        return;
    }
    sqlite3_result_int64(context, DayNumber(text));
}

void BindOptional(Statement& statement, int index, const Field& value) {
    if (value)
        statement.bind(index, std::string_view(*value));
    else
        statement.bindNull(index);
}

// Random field values, the usual ones most often, with the unusual ones mixed in.
class RandomFields {
public:
    explicit RandomFields(unsigned seed) : random_(seed) {}

    Field pick(const std::vector<Field>& values) {
        return values[std::uniform_int_distribution<std::size_t>(0, values.size() - 1)(random_)];
    }
    bool chance(int percent) { return std::uniform_int_distribution<int>(0, 99)(random_) < percent; }

    std::string day() {
        const int month = std::uniform_int_distribution<int>(1, 12)(random_);
        const int dayOfMonth = std::uniform_int_distribution<int>(1, 28)(random_);
        const int year = std::uniform_int_distribution<int>(2011, 2013)(random_);
        char text[9];
        std::snprintf(text, sizeof text, "%04d%02d%02d", year, month, dayOfMonth);
        return text;
    }
    Field dateTime() {
        if (chance(85)) return day() + "0800";
        return pick({std::nullopt, "", "20120231", "2012", " 20120301", "abc", "201203011", "20121301xxxx"});
    }
    Field recordDate() {
        if (chance(85)) return day();
        return pick({std::nullopt, "", "2012030", "20120301 ", "x", "2012 0301"});
    }
    Field hours() { return pick({"99", "99", "99", "4 ", "3 ", "12", "", "0", " 5", "4.5", std::nullopt}); }
    Field age() { return pick({"52", "70", "15", "0", " 5", "16", "15.9", "abc", "", std::nullopt, "-1"}); }
    Field score() {
        return pick({"020", "016", "015", "045", "030", "", std::nullopt, "1e1", "abc", " 17", "16.5"});
    }
    Field qualifier() { return pick({"3", "3", "3", "3", "A", "", std::nullopt, "3 "}); }

private:
    std::mt19937 random_;
};

struct Period {
    std::string from, to, minimumHours;
};

const Period kPeriods[] = {{"20120101", "20121231", "0 "},
                           {"20120301", "20120331", "4 "},
                           {"20111201", "20130131", "12"},
                           {"20120615", "20120615", "5 "}};

ClassificationRun RunOf(const Period& period, const std::string& multiple, const std::string& substitutes) {
    return {period.from, period.to, period.minimumHours, multiple, substitutes};
}

class ClassificationFiguresTest : public ::testing::Test {
protected:
    ClassificationFiguresTest() { fixture.addDepartment("K123", "12101001", kFile, 10.0, 4, " "); }

    void addRandomStays(Database& db, RandomFields& fields, int count) {
        Statement insert = db.prepare(
            "INSERT INTO \"Gesamt - Patientenadministration\" (KIS_ID, DOB, ADM_DATE, DIS_DATE, STUNDEN, "
            "\"Alter\", TYP) VALUES (?, '19600101', ?, ?, ?, ?, 'INT')");
        for (int stay = 0; stay < count; ++stay) {
            insert.bind(1, std::to_string(stay));
            insert.bind(2, std::string_view(fields.dateTime().value_or("")));
            BindOptional(insert, 3, fields.dateTime());
            BindOptional(insert, 4, fields.hours());
            BindOptional(insert, 5, fields.age());
            insert.run();
        }
    }

    void addRandomWorkRecords(Database& db, RandomFields& fields, int count) {
        Statement insert = db.prepare(
            "INSERT INTO \"Satzart 3 - TISS28 TEMP\" (QUALIFIER, KIS_ID, DOB, REC_DATE, T28_SCORE, STUNDEN) "
            "VALUES (?, '1', '19600101', ?, ?, ?)");
        for (int record = 0; record < count; ++record) {
            BindOptional(insert, 1, fields.qualifier());
            BindOptional(insert, 2, fields.recordDate());
            BindOptional(insert, 3, fields.score());
            BindOptional(insert, 4, fields.hours());
            insert.run();
        }
    }

    // Day records of a few patients, most with several stays whose days overlap.
    void addRandomDayRecords(Database& db, RandomFields& fields, int patients) {
        Statement insert = db.prepare(
            "INSERT OR IGNORE INTO \"Satzart 3 - TISS28\" (QUALIFIER, KIS_ID, DOB, ADM_DATE, REC_DATE, "
            "T28_SCORE, STUNDEN) VALUES (?, ?, ?, ?, ?, ?, ?)");
        const std::vector<Field> days = {"20120301", "20120302", "20120303", "", "2012030 "};
        for (int patient = 0; patient < patients; ++patient) {
            const std::string kisId = std::to_string(patient % 7);
            const std::string dob = patient % 2 == 0 ? "19600101" : "";
            const int stays = fields.chance(70) ? 3 : 1;
            for (int stay = 0; stay < stays; ++stay) {
                for (int record = 0; record < 4; ++record) {
                    BindOptional(insert, 1, fields.qualifier());
                    insert.bind(2, std::string_view(kisId)).bind(3, std::string_view(dob));
                    insert.bind(4, "20120301080" + std::to_string(stay));
                    insert.bind(5, std::string_view(*fields.pick(days)));
                    BindOptional(insert, 6, fields.score());
                    BindOptional(insert, 7, fields.hours());
                    insert.run();
                }
            }
        }
    }

    static ClassificationFigures ReferenceFigures(Database& db, const ClassificationRun& run) {
        if (sqlite3_create_function_v2(db.handle(), "ReferenceDayNumber", 1, SQLITE_UTF8, nullptr,
                                       ReferenceDayNumber, nullptr, nullptr, nullptr) != SQLITE_OK)
            throw StoreError("cannot register ReferenceDayNumber");
        ClassificationFigures figures;
        Statement children = db.prepare(kReferenceChildrenDays);
        children.bind(1, std::string_view(run.Erhebungvon)).bind(2, std::string_view(run.Erhebungbis));
        children.bind(3, std::string_view(run.MindestStd));
        children.bind(4, DayNumber(run.Erhebungvon)).bind(5, DayNumber(run.Erhebungbis));
        EXPECT_EQ(children.step(), StepResult::Row);
        figures.childrenDays = static_cast<long long>(children.real(0));

        Statement days = db.prepare(kReferenceDayFigures);
        days.bind(1, std::string_view(run.Erhebungvon)).bind(2, std::string_view(run.Erhebungbis));
        days.bind(3, std::string_view(run.MindestStd)).bind(4, run.countsSubstitutes() ? 1 : 0);
        EXPECT_EQ(days.step(), StepResult::Row);
        figures.missingDays = days.integer(0);
        figures.reportedDays = days.integer(1);
        figures.overallMean = MeanOfScores(Decimal::fromDouble(days.real(2), 3), figures.reportedDays);
        figures.classificationDays = days.integer(3);
        figures.classificationMean =
            MeanOfScores(Decimal::fromDouble(days.real(4), 3), figures.classificationDays);
        return figures;
    }

    static void ExpectSameFigures(const ClassificationFigures& actual,
                                  const ClassificationFigures& expected) {
        EXPECT_EQ(actual.childrenDays, expected.childrenDays);
        EXPECT_EQ(actual.missingDays, expected.missingDays);
        EXPECT_EQ(actual.reportedDays, expected.reportedDays);
        EXPECT_EQ(actual.classificationDays, expected.classificationDays);
        EXPECT_EQ(actual.overallMean.units, expected.overallMean.units);
        EXPECT_EQ(actual.classificationMean.units, expected.classificationMean.units);
    }

    test::ClassificationFixture fixture;
};

TEST_F(ClassificationFiguresTest, CountClassificationFigures_randomRows_matchStatementsOverTheTables) {
    for (unsigned seed = 1; seed <= 4; ++seed) {
        Database db = fixture.openDepartment(kFile);
        db.execute(
            "DELETE FROM \"Gesamt - Patientenadministration\"; DELETE FROM \"Satzart 3 - TISS28 TEMP\"");
        RandomFields fields(seed);
        addRandomStays(db, fields, 300);
        addRandomWorkRecords(db, fields, 600);
        for (const Period& period : kPeriods) {
            for (const char* substitutes : {"N", "J"}) {
                SCOPED_TRACE("seed " + std::to_string(seed) + ", period " + period.from + "-" + period.to +
                             ", ErsatzTISS " + substitutes);
                const ClassificationRun run = RunOf(period, "N", substitutes);
                ExpectSameFigures(CountClassificationFigures(db, run), ReferenceFigures(db, run));
            }
        }
    }
}

TEST_F(ClassificationFiguresTest, FillClassificationWorkTable_tallyWhileWriting_equalsCountOfWrittenTable) {
    Database db = fixture.openDepartment(kFile);
    RandomFields fields(7);
    addRandomDayRecords(db, fields, 40);
    RegisterClassificationFunctions(db);
    for (const char* multiple : {"N", "J"}) {
        for (const Period& period : kPeriods) {
            SCOPED_TRACE(std::string("MehrfachTISS ") + multiple + ", period " + period.from);
            const ClassificationRun run = RunOf(period, multiple, "J");
            const DayTally tally = FillClassificationWorkTable(db, run);
            const ClassificationFigures counted = CountClassificationFigures(db, run);
            EXPECT_EQ(tally.missingDays(), counted.missingDays);
            EXPECT_EQ(tally.reportedDays(), counted.reportedDays);
            EXPECT_EQ(tally.classificationDays(), counted.classificationDays);
            EXPECT_EQ(MeanOfScores(Decimal::fromDouble(tally.reportedSum(), 3), tally.reportedDays()).units,
                      counted.overallMean.units);
        }
    }
}

// A work table row: QUALIFIER, KIS_ID, DOB, REC_DATE, T28_SCORE, STUNDEN.
using WorkRow = std::tuple<Field, Field, Field, Field, Field, Field>;

std::vector<WorkRow> ReadRows(Database& db, std::string_view sql) {
    std::vector<WorkRow> rows;
    Statement select = db.prepare(sql);
    const auto field = [&](int column) {
        return select.isNull(column) ? Field() : Field(select.text(column));
    };
    while (select.step() == StepResult::Row)
        rows.emplace_back(field(0), field(1), field(2), field(3), field(4), field(5));
    std::sort(rows.begin(), rows.end());
    return rows;
}

// Of two texts the one with the higher value, of equal values the greater text; NULL gives way.
Field Higher(const Field& kept, const Field& offered) {
    if (!kept) return offered;
    if (!offered) return kept;
    const double keptValue = NumericValue(*kept), offeredValue = NumericValue(*offered);
    return offeredValue > keptValue || (offeredValue == keptValue && *offered > *kept) ? offered : kept;
}

TEST_F(ClassificationFiguresTest,
       FillClassificationWorkTable_multipleTissJ_mergesRecordsOfOnePatientDayAndQualifier) {
    Database db = fixture.openDepartment(kFile);
    RandomFields fields(11);
    addRandomDayRecords(db, fields, 60);

    std::map<std::tuple<Field, Field, Field, Field>, WorkRow> expected;
    for (const auto& [qualifier, kisId, dob, day, score, hours] : ReadRows(
             db, "SELECT QUALIFIER, KIS_ID, DOB, REC_DATE, T28_SCORE, STUNDEN FROM \"Satzart 3 - TISS28\"")) {
        const auto key = std::tuple(kisId, dob, day, qualifier);
        auto [entry, added] = expected.try_emplace(key, qualifier, kisId, dob, day, score, hours);
        if (added) continue;
        std::get<4>(entry->second) = Higher(std::get<4>(entry->second), score);
        std::get<5>(entry->second) = Higher(std::get<5>(entry->second), hours);
    }
    std::vector<WorkRow> expectedRows;
    for (const auto& [key, row] : expected) expectedRows.push_back(row);
    std::sort(expectedRows.begin(), expectedRows.end());

    RegisterClassificationFunctions(db);
    FillClassificationWorkTable(db, RunOf(kPeriods[0], "J", "N"));
    const auto rows = ReadRows(db, "SELECT * FROM \"Satzart 3 - TISS28 TEMP\"");
    EXPECT_EQ(rows, expectedRows);
    EXPECT_LT(rows.size(),
              static_cast<std::size_t>(db.scalar("SELECT count(*) FROM \"Satzart 3 - TISS28\"")));
}

TEST(StoredValueTest, StoredValue_anyText_equalsNumericValue) {
    for (const std::string text : {"",
                                   "0",
                                   "020",
                                   "99",
                                   "20120301",
                                   "201203010800",
                                   "999999999999999",
                                   "1000000000000000",
                                   "12345678901234567890",
                                   "9 ",
                                   " 9",
                                   "1 2",
                                   "-5",
                                   "+5",
                                   "4.5",
                                   "1e3",
                                   "1D2",
                                   "abc",
                                   "3a",
                                   ".",
                                   "0000000000000000016"}) {
        SCOPED_TRACE("text \"" + text + "\"");
        EXPECT_EQ(StoredValue(text), NumericValue(text));
    }
}

}  // namespace
}  // namespace kalvora

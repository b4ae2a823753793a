// The findings of the two record readers, as protocol rows, for one faulty field at a time, and the
// rows of survey lines rebuilt from their item values.

#include "import/record_readers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <optional>

#include "import/held_back_days.h"
#include "store/database.h"
#include "support/import_fixture.h"

namespace kalvora::test {
namespace {

const std::string kFile = "A2100101.101";

std::string Row(const std::string& line, const std::string& level, const std::string& parameter,
                const std::string& comment) {
    auto cut = [&](size_t from, size_t count) { return from < line.size() ? line.substr(from, count) : ""; };
    return kFile + ";" + cut(1, 4) + ";" + cut(5, 8) + ";" + cut(0, 1) + ";" + cut(13, 10) + ";" +
           cut(23, 8) + ";" + cut(31, 12) + ";" + level + ";" + parameter + ";" + comment;
}

struct Type1Case {
    const char* name;
    std::function<void(Type1&)> change;
    bool plausError;
    std::vector<std::pair<std::string, std::string>> findings;  // level, parameter
    const char* comment = "Parameter ungültig";
};

class RecordType1Findings : public ::testing::TestWithParam<Type1Case> {};

TEST_P(RecordType1Findings, lineWithOneFault_writesItsRowsInStepOrder) {
    const Type1Case& c = GetParam();
    ImportFixture fixture;
    if (c.plausError) fixture.settings.PlausLevel = "Error  ";
    Type1 record;
    c.change(record);
    std::string line = Line(record);
    fixture.importLines(kFile, {line, SumLine(1, 0, 0, 0)});
    std::vector<std::string> expected;
    for (const auto& [level, parameter] : c.findings)
        expected.push_back(Row(line, level, parameter,
                               parameter == "Aufnahmezeitpunkt" && std::string(c.name).find("before") == 0
                                   ? "Entlassung vor Aufnahme"
                                   : c.comment));
    auto rows = fixture.protocolRows();
    // Every stay without survey days ends with the structure finding of the stay checks.
    ASSERT_FALSE(rows.empty());
    EXPECT_NE(rows.back().find("Satzarten 1 und 3 obligatorisch"), std::string::npos);
    rows.pop_back();
    EXPECT_EQ(rows, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, RecordType1Findings,
    ::testing::Values(
        Type1Case{"clean", [](Type1&) {}, false, {}},
        Type1Case{"hospital", [](Type1& r) { r.ka = "K102"; }, false, {{"Error", "KA"}}},
        Type1Case{"department", [](Type1& r) { r.department = "12100102"; }, false, {{"Error", "Abteilung"}}},
        Type1Case{"kisId", [](Type1& r) { r.kisId = ""; }, false, {{"Error", "KH-Aufnahmezahl"}}},
        Type1Case{"birth", [](Type1& r) { r.dob = "19500631"; }, false, {{"Error", "Geburtsdatum"}}},
        Type1Case{"admission",
                  [](Type1& r) { r.admission = "201203012400"; },
                  false,
                  {{"Error", "Aufnahmezeitpunkt"}}},
        Type1Case{"discharge",
                  [](Type1& r) { r.discharge = "201202301200"; },
                  false,
                  {{"Error", "Entlassungszeitpunkt"}}},
        Type1Case{"blankDischarge",
                  [](Type1& r) { r.discharge = std::string(12, ' '); },
                  false,
                  {{"Error", "Entlassungszeitpunkt"}}},
        Type1Case{
            "outcomeBlank", [](Type1& r) { r.outcome = " "; }, false, {{"Error", "Entlassungszustand"}}},
        Type1Case{"outcomeFive", [](Type1& r) { r.outcome = "5"; }, false, {{"Error", "Entlassungszustand"}}},
        Type1Case{"hospitalDischargeWarning",
                  [](Type1& r) { r.hospitalDischarge = "20120230"; },
                  false,
                  {{"Warning", "Spitalsentlassungsdatum"}}},
        Type1Case{"hospitalDischargeError",
                  [](Type1& r) { r.hospitalDischarge = "20120230"; },
                  true,
                  {{"Error", "Spitalsentlassungsdatum"}}},
        Type1Case{"hospitalStateWarning",
                  [](Type1& r) { r.hospitalState = "3"; },
                  false,
                  {{"Warning", "Spitalsentlassungszustand"}}},
        Type1Case{"hospitalStateError",
                  [](Type1& r) { r.hospitalState = "3"; },
                  true,
                  {{"Error", "Spitalsentlassungszustand"}}},
        Type1Case{"beforeSameDay",
                  [](Type1& r) {
                      r.admission = "201203011230";
                      r.discharge = "201203011200";
                  },
                  false,
                  {{"Error", "Aufnahmezeitpunkt"}}},
        Type1Case{"beforeOneDay",
                  [](Type1& r) { r.discharge = "201202291200"; },
                  false,
                  {{"Error", "Aufnahmezeitpunkt"}}},
        Type1Case{
            "severalInOrder",
            [](Type1& r) {
                r.ka = "K999";
                r.dob = "1950061x";
                r.outcome = " ";
                r.hospitalState = "9";
            },
            false,
            {{"Error", "KA"}, {"Error", "Entlassungszustand"}, {"Warning", "Spitalsentlassungszustand"}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RecordType1Reader, shortLine_readsPresentCharactersOnly) {
    ImportFixture fixture;
    Type1 record;
    std::string line = Line(record).substr(0, 80);  // hospital discharge date has two characters
    fixture.importLines(kFile, {line, SumLine(1, 0, 0, 0)});
    auto rows = fixture.protocolRows();
    ASSERT_GE(rows.size(), 1u);
    EXPECT_EQ(rows[0], Row(line, "Warning", "Spitalsentlassungsdatum", "Parameter ungültig"));
}

TEST(RecordType1Reader, stayFigures_areStoredInTheirWidths) {
    ImportFixture fixture;
    Type1 sameDay;
    sameDay.kisId = "S";
    sameDay.admission = "201203011000";
    sameDay.discharge = "201203011230";
    Type1 sameDayDied = sameDay;
    sameDayDied.kisId = "T";
    sameDayDied.outcome = "3";
    Type1 overnight;
    overnight.kisId = "U";
    overnight.admission = "201203012330";
    overnight.discharge = "201203020010";
    Type3 day{"S", "19500615", "201203011000", "20120301"};
    Type3 dayDied{"T", "19500615", "201203011000", "20120301"};
    Type3 night1{"U", "19500615", "201203012330", "20120301"};
    Type3 night2{"U", "19500615", "201203012330", "20120302"};
    fixture.importLines(kFile, {Line(sameDay), Line(day), Line(sameDayDied), Line(dayDied), Line(overnight),
                                Line(night1), Line(night2), SumLine(3, 0, 4, 0)});
    Database db(fixture.departmentDb("12100101.101"));
    Statement stays = db.prepare(
        "SELECT KIS_ID, BD, \"Alter\", STUNDEN, ICU_OUTCOME, DIS_YEARMONTH, TYP, FLAG, Satzart_1, Satzart_3 "
        "FROM \"Gesamt - Patientenadministration\" ORDER BY KIS_ID");
    std::vector<std::string> got;
    while (stays.step() == StepResult::Row) {
        std::string row;
        for (int i = 0; i < 10; ++i) row += "[" + stays.text(i) + "]";
        got.push_back(row);
    }
    EXPECT_EQ(got, (std::vector<std::string>{
                       "[S         ][0    ][61 ][2 ][1][201203][INT][O][1][1]",
                       "[T         ][0    ][61 ][99][3][201203][INT][O][1][1]",
                       "[U         ][1    ][61 ][99][1][201203][INT][O][1][2]",
                   }));
    // The survey days carry the hours of their stay.
    EXPECT_EQ(
        db.scalar(
            "SELECT count(*) FROM \"Satzart 3 - TISS28\" WHERE KIS_ID = 'S         ' AND STUNDEN = '2 '"),
        1);
}

struct Type3Case {
    const char* name;
    std::function<void(Type3&)> change;
    bool plausError;
    std::vector<std::tuple<std::string, std::string, std::string>> findings;  // level, parameter, comment
    const char* storedScore;                                                  // nullptr: no score
};

class RecordType3Findings : public ::testing::TestWithParam<Type3Case> {};

TEST_P(RecordType3Findings, surveyLine_givesRowsAndScore) {
    const Type3Case& c = GetParam();
    ImportFixture fixture;
    if (c.plausError) fixture.settings.PlausLevel = "Error";
    Type1 stay;
    stay.discharge = "201203011200";  // one survey day
    Type3 day;
    c.change(day);
    std::string line = Line(day);
    fixture.importLines(kFile, {Line(stay), line, SumLine(1, 0, 1, 0)});
    std::vector<std::string> expected;
    for (const auto& [level, parameter, comment] : c.findings)
        expected.push_back(Row(line, level, parameter, comment));
    auto rows = fixture.protocolRows();
    rows.resize(std::min(rows.size(), expected.size()));
    EXPECT_EQ(rows, expected);
    if (c.storedScore) {
        Database db(fixture.departmentDb("12100101.101"));
        Statement score = db.prepare("SELECT T28_SCORE FROM \"Satzart 3 - TISS28\" WHERE QUALIFIER = '3'");
        ASSERT_EQ(score.step(), StepResult::Row);
        EXPECT_EQ(score.text(0), c.storedScore);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Fields, RecordType3Findings,
    ::testing::Values(Type3Case{"clean", [](Type3&) {}, false, {}, "006"},
                      Type3Case{"allZero",
                                [](Type3& r) { r.items = std::string(28, '0'); },
                                false,
                                {{"Warning", "TISS28", "Score beträgt 0 Punkte"}},
                                nullptr},
                      Type3Case{"monitoringLabPulmonary",
                                [](Type3& r) { r.items = "1100000000000001000000000000"; },
                                false,
                                {},
                                "014"},
                      Type3Case{"itemTwoWarning",
                                [](Type3& r) { r.items = "1100000000000002000000000000"; },
                                false,
                                {{"Warning", "Pulmonaliskatheter", "Parameter ungültig"}},
                                "006"},
                      Type3Case{"itemTwoError",
                                [](Type3& r) { r.items = "1100000000000002000000000000"; },
                                true,
                                {{"Error", "Pulmonaliskatheter", "Parameter ungültig"}},
                                nullptr},
                      Type3Case{"letterAndBlankPass",
                                [](Type3& r) { r.items = "11x     00000000000000000000"; },
                                false,
                                {},
                                "006"},
                      Type3Case{"badSurveyDay",
                                [](Type3& r) { r.day = "20120230"; },
                                false,
                                {{"Error", "Erhebungsdatum", "Parameter ungültig"}},
                                nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RecordType3Reader, sameDayTwice_isReportedOnceAsDuplicate) {
    ImportFixture fixture;
    Type1 stay;
    stay.discharge = "201203011200";
    Type3 day;
    std::string line = Line(day);
    fixture.importLines(kFile, {Line(stay), line, line, SumLine(1, 0, 1, 0)});
    auto rows = fixture.protocolRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], Row(line, "Warning", "Datensatz", "Mehrfacheinträge"));
    Database db(fixture.departmentDb("12100101.101"));
    EXPECT_EQ(db.scalar("SELECT Satzart_3 FROM \"Gesamt - Patientenadministration\""), 1);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM \"Gesamt - Patientenadministration\" WHERE FLAG = 'W'"), 1);
}

}  // namespace
}  // namespace kalvora::test

namespace kalvora::test {
namespace {

// A survey line whose row follows from its stay, date and items gives the very row its checks give;
// every other line is read again in full.
struct ItemValuesCase {
    const char* name;
    std::function<void(Type3&)> change;
    bool itemsOnly;
};

class ItemValueRows : public ::testing::TestWithParam<ItemValuesCase> {};

TEST_P(ItemValueRows, rowOfTheItemValues_isTheRowOfTheLinesChecks) {
    const ItemValuesCase& c = GetParam();
    const LineRules rules{"K101", "12100101", false};
    Type3 record;
    c.change(record);
    const std::string line = Line(record);
    const CheckedType3 checked = [&] {
        CheckedType3 result = CheckRecordType3(rules, line);
        CompleteRecordType3(result);
        return result;
    }();
    const std::optional<std::uint32_t> items = ItemValuesOnly(rules, line, checked);
    ASSERT_EQ(items.has_value(), c.itemsOnly);
    if (!items) return;
    const std::string kisId(LinePart(line, 14, 10)), dob(LinePart(line, 24, 8)),
        admission(LinePart(line, 32, 12));
    char date[9];
    std::snprintf(date, sizeof date, "%08u",
                  static_cast<unsigned>(HeldBackDays::DateOf(checked.row.REC_DATE)));
    CheckedType3 rebuilt;
    RowOfItemValues(RowCodes{"K101", "121001", "01"}, kisId, dob, admission, date, *items, rebuilt);
    const auto fields = [](const RecordType3Row& row) {
        std::vector<std::string> texts{std::string(row.QUALIFIER),
                                       std::string(row.KA_ID),
                                       std::string(row.ICU_FUN_ID),
                                       std::string(row.ICU_FUN_SID),
                                       std::string(row.KIS_ID),
                                       std::string(row.DOB),
                                       std::string(row.ADM_DATE),
                                       std::string(row.REC_DATE),
                                       std::string(row.T28_SCORE),
                                       row.hasScore ? "score" : "none",
                                       row.hasItems ? "items" : "no items"};
        for (std::string_view item : row.items) texts.emplace_back(item);
        return texts;
    };
    EXPECT_EQ(fields(rebuilt.row), fields(checked.row));
    EXPECT_TRUE(rebuilt.row.utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ItemValueRows,
    ::testing::Values(ItemValuesCase{"plain", [](Type3&) {}, true},
                      ItemValuesCase{"everyItem", [](Type3& r) { r.items = std::string(28, '1'); }, true},
                      ItemValuesCase{"lastItemOnly", [](Type3& r) { r.items = std::string(27, '0') + "1"; },
                                     true},
                      ItemValuesCase{"scoreZero", [](Type3& r) { r.items = std::string(28, '0'); }, true},
                      ItemValuesCase{"longKisId", [](Type3& r) { r.kisId = "1234567890"; }, true},
                      ItemValuesCase{"itemTwo", [](Type3& r) { r.items[15] = '2'; }, false},
                      ItemValuesCase{"itemBlank", [](Type3& r) { r.items[3] = ' '; }, false},
                      ItemValuesCase{"itemLetter", [](Type3& r) { r.items[2] = 'x'; }, false},
                      ItemValuesCase{"otherHospital", [](Type3& r) { r.ka = "K102"; }, false},
                      ItemValuesCase{"otherDepartment", [](Type3& r) { r.department = "12100102"; }, false},
                      ItemValuesCase{"badSurveyDay", [](Type3& r) { r.day = "20120230"; }, false},
                      ItemValuesCase{"badBirthDate", [](Type3& r) { r.dob = "19501301"; }, false},
                      ItemValuesCase{"blankKisId", [](Type3& r) { r.kisId = ""; }, false},
                      ItemValuesCase{"notAscii", [](Type3& r) { r.kisId = "M\xfcller"; }, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kalvora::test

#include "classification/result_table.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "base/status_sink.h"
#include "classification/department_entry.h"
#include "classification/rate_department.h"
#include "classification_fixture.h"

namespace kalvora {
namespace {

using test::ClassificationFixture;
using test::StayData;

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts(1);
    for (const char c : text) {
        if (c == separator) {
            parts.emplace_back();
        } else {
            parts.back().push_back(c);
        }
    }
    return parts;
}

ClassificationRun PeriodRun() { return {"20120101", "20121231", "4 ", "J", "N"}; }

ClassificationEntry Entry(const std::string& file = "12101001.123") {
    Department record;
    record.kanr = "K123";
    record.abteilung = "12101001";
    record.dataFile = file;
    record.hospitalName = "Nord";
    record.departmentName = "Intensiv";
    record.dgkp = 4.3;
    record.beds = 2;
    record.preset = "E1";
    return EntryOfDepartment(record);
}

ClassificationResult LevelTwoResult() {
    ClassificationResult result;
    result.level = 2;
    result.levelText = "Stufe 2                 ";
    result.points = 1134;
    result.classificationMean = {240, 1};
    result.overallMean = {245, 1};
    result.tissExcess = {-25, 1};
    result.dgkpPerBed = {120, 2};
    result.dgkpExcess = {-130, 2};
    result.factor = 0;
    result.basePoints = 1134;
    result.pointsPerTenth = {42, 1};
    result.reportedDays = 1234;
    result.classificationDays = 1000;
    result.missingDays = 7;
    return result;
}

class RecordingStatus : public StatusSink {
public:
    void setPanel(int panel, std::string_view text) override { panels[panel] = std::string(text); }
    void yield(const Progress&) override { ++yields; }
    std::string panels[5];
    int yields = 0;
};

TEST(ResultTableTest, ClassifiedRow_germanNotation_showsEachColumnInItsForm) {
    const ClassificationEntry entry = Entry();
    const ResultRow row = ClassifiedRow(entry, DepartmentInputsOf(entry, NumberNotation::German()),
                                        LevelTwoResult(), PeriodRun(), ResultNotation::German());
    const ResultRow expected = {EntryHospitalText(entry),
                                EntryDepartmentText(entry),
                                "Stufe 2                 ",
                                "1.134",
                                "24,0",
                                "24,5",
                                "-2,5",
                                "1,20",
                                "-1,3",
                                "0,0",
                                "1.134",
                                "4,2",
                                "1.234",
                                "1.000",
                                "7",
                                "N",
                                "J",
                                "4 ",
                                "01.01.2012",
                                "31.12.2012",
                                "2",
                                "4,3",
                                "E1",
                                ""};
    EXPECT_EQ(row, expected);
}

TEST(ResultTableTest, ClassifiedRow_plainNotation_showsNumbersWithoutGrouping) {
    const ClassificationEntry entry = Entry();
    ClassificationResult result = LevelTwoResult();
    result.dgkpExcess = {15, 2};
    result.factor = 15;
    const ResultRow row = ClassifiedRow(entry, DepartmentInputsOf(entry, NumberNotation::German()), result,
                                        PeriodRun(), ResultNotation::Plain());
    EXPECT_EQ(row[3], "1134");
    EXPECT_EQ(row[4], "24.0");
    EXPECT_EQ(row[8], "0.15");
    EXPECT_EQ(row[9], "15.0");
    EXPECT_EQ(row[21], "4.3");
}

TEST(ResultTableTest, ClassifiedRow_noLevel_showsZerosAndStaffingRemark) {
    DepartmentInputs inputs{"12101001.123", {100, 2}, 0, "  "};
    ClassificationFigures figures;
    const ClassificationResult result = RateDepartment(figures, inputs, 366);
    const ResultRow row = ClassifiedRow(Entry(), inputs, result, PeriodRun(), ResultNotation::German());
    EXPECT_EQ(row[2], "Keine Einstufung möglich");
    EXPECT_EQ(row[3], "0");
    EXPECT_EQ(row[6], "0,0");
    EXPECT_EQ(row[8], "0");
    EXPECT_EQ(row[9], "0,0");
    EXPECT_EQ(row[10], "0");
    EXPECT_EQ(row[11], "0,0");
    EXPECT_EQ(row[23], remarks::NoStaffingLevel);
}

TEST(ResultTableTest, ClipboardText_rows_haveTwentyFourFieldsSeparatedByTabsAndCarriageReturns) {
    ResultTable table;
    const ClassificationEntry entry = Entry();
    const DepartmentInputs inputs = DepartmentInputsOf(entry, NumberNotation::German());
    table.rows.push_back(
        ClassifiedRow(entry, inputs, LevelTwoResult(), PeriodRun(), ResultNotation::German()));
    table.rows.push_back(FailedRow(entry, inputs, PeriodRun(), "* Fehler *", ResultNotation::German()));
    const std::string text = table.ClipboardText();

    const std::vector<std::string> lines = Split(text, '\r');
    ASSERT_EQ(lines.size(), 3u);
    for (const std::string& line : lines) EXPECT_EQ(Split(line, '\t').size(), 24u);
    EXPECT_EQ(Split(lines[0], '\t')[0], "KA");
    EXPECT_EQ(Split(lines[1], '\t')[23], "");
    EXPECT_EQ(Split(lines[2], '\t')[23], "* Fehler *");
    EXPECT_EQ(Split(lines[2], '\t')[3], "");
    EXPECT_NE(text.back(), '\r');
}

TEST(ResultTableTest, ClipboardText_noRows_isTheHeaderLine) {
    const std::string text = ResultTable{}.ClipboardText();
    EXPECT_EQ(text.back(), '\r');
    EXPECT_EQ(Split(text.substr(0, text.size() - 1), '\t').size(), 24u);
}

TEST(ResultTableTest, ClassifyEntries_failingDepartment_getsFailureRowAndRunGoesOn) {
    ClassificationFixture fixture;
    fixture.addDepartment("K123", "12101001", "12101001.123", 4.3, 2, "E1");
    StayData stay;
    stay.admission = "201203010800";
    stay.discharge = "201203031000";
    fixture.addStayWithDays("12101001.123", stay, 1, 3, "201203", "024");

    RecordingStatus status;
    const ResultTable table = ClassifyEntries({Entry("missing.123"), Entry("12101001.123")}, PeriodRun(),
                                              fixture.systemDir(), ResultNotation::German(), status)
                                  .value();
    ASSERT_EQ(table.rows.size(), 2u);
    EXPECT_EQ(table.rows[0][23], "* Abteilungsdatenbank missing.123 nicht gefunden *");
    EXPECT_EQ(table.rows[0][2], "");
    EXPECT_EQ(table.rows[1][2], "Stufe 1                 ");
    EXPECT_EQ(table.rows[1][12], "3");
    EXPECT_EQ(table.rows[1][5], "24,0");
    EXPECT_EQ(status.panels[1], " Bereit");
    EXPECT_EQ(status.yields, 2);
}

TEST(ResultTableTest, ClassifyEntries_unreadableDatabase_namesItInComment) {
    ClassificationFixture fixture;
    test::WriteFile(fixture.systemDir() + "/broken.123", "no database");
    NullStatusSink status;
    const ResultTable table = ClassifyEntries({Entry("broken.123")}, PeriodRun(), fixture.systemDir(),
                                              ResultNotation::German(), status)
                                  .value();
    ASSERT_EQ(table.rows.size(), 1u);
    EXPECT_EQ(table.rows[0][23], "* Abteilungsdatenbank broken.123 kann nicht gelesen werden *");
}

TEST(ResultTableTest, ClassifyEntries_invalidPeriod_isRefusedBeforeAnyRow) {
    ClassificationRun run = PeriodRun();
    run.Erhebungbis = "        ";
    NullStatusSink status;
    const Result<ResultTable> refused =
        ClassifyEntries({Entry()}, run, "/nowhere", ResultNotation::German(), status);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.message(), CheckClassificationRun(run).message());
}

}  // namespace
}  // namespace kalvora

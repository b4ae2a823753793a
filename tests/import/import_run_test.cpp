// Whole import runs: stays replaced and appended, stay checks with substitute days, the sum check,
// rejections, the summary rows and the handling of broken input.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "base/encoding.h"
#include "base/status_sink.h"
#include "delivery_generator.h"
#include "store/database.h"
#include "support/import_fixture.h"

namespace kalvora::test {
namespace {

const std::string kFile = "A2100101.101";
const std::string kDepartmentDb = "12100101.101";

std::vector<std::string> Query(const std::string& path, const std::string& sql) {
    Database db(path, OpenMode::ReadOnly);
    Statement statement = db.prepare(sql);
    std::vector<std::string> rows;
    while (statement.step() == StepResult::Row) {
        std::string row;
        for (int i = 0; i < statement.columnCount(); ++i) {
            if (i) row += "|";
            row += statement.isNull(i) ? "NULL" : statement.text(i);
        }
        rows.push_back(row);
    }
    return rows;
}

// Every row of the three department tables, in key order.
std::vector<std::string> StoredContent(const std::string& path) {
    std::vector<std::string> rows;
    for (const char* table : {"Gesamt - Patientenadministration",
                              "Satzart 1 - Patientenadministration Intensiv", "Satzart 3 - TISS28"}) {
        for (std::string& row :
             Query(path, std::string("SELECT * FROM \"") + table + "\" ORDER BY KIS_ID, DOB, ADM_DATE" +
                             (std::string(table) == "Satzart 3 - TISS28" ? ", REC_DATE" : "")))
            rows.push_back(std::string(table) + ": " + row);
    }
    return rows;
}

std::vector<std::string> Comments(const std::vector<std::string>& rows) {
    std::vector<std::string> comments;
    for (const auto& row : rows) comments.push_back(row.substr(row.rfind(';') + 1));
    return comments;
}

Type1 Stay(const std::string& kisId, const std::string& admission, const std::string& discharge) {
    Type1 stay;
    stay.kisId = kisId;
    stay.admission = admission;
    stay.discharge = discharge;
    return stay;
}

Type3 Day(const std::string& kisId, const std::string& admission, const std::string& day,
          const std::string& items = "1100000000000000000000000000") {
    return Type3{kisId, "19500615", admission, day, items};
}

TEST(ImportRun, cleanFile_storesStaysAndRegistersDepartment) {
    ImportFixture fixture;
    auto result = fixture.importLines(
        kFile, {Line(Stay("A1", "201203011000", "201203021000")), Line(Day("A1", "201203011000", "20120301")),
                Line(Day("A1", "201203011000", "20120302")), SumLine(1, 0, 2, 0)});
    ASSERT_FALSE(result.failed()) << result.failure;
    ASSERT_EQ(result.summary.size(), 1u);
    EXPECT_EQ(result.summary[0].cells(),
              (std::vector<std::string>{"A2100101.101", "K101 - Landesklinikum Muste",
                                        "12100101 - Intensivmedizin Anästhesie            ", " 1    ",
                                        " 1    ", ""}));
    EXPECT_TRUE(fixture.protocolRows().empty());
    EXPECT_EQ(Query(fixture.dir.file("sys/iadmin.mdb"), "SELECT * FROM Dateiverwaltung"),
              (std::vector<std::string>{"K101|12100101|12100101.101|0|0.0| |EXTERN"}));
    EXPECT_EQ(
        Query(
            fixture.departmentDb(kDepartmentDb),
            "SELECT QUALIFIER, KA_ID, ICU_FUN_ID, ICU_FUN_SID, KIS_ID, DOB, ADM_DATE, DIS_DATE, ICU_OUTCOME,"
            " HOSP_DIS_DATE, HOSP_MORT FROM \"Satzart 1 - Patientenadministration Intensiv\""),
        (std::vector<std::string>{
            "1|K101|121001|01|A1        |19500615|201203011000|201203021000|1|20120310|1"}));
    EXPECT_FALSE(std::filesystem::exists(fixture.dir.file("sys/temp.mdb")));
}

TEST(ImportRun, stayDeliveredAgainInFile_replacesEarlierStayAndItsDays) {
    ImportFixture fixture;
    Type1 first = Stay("A1", "201203011000", "201203021000");
    Type1 again = first;
    again.discharge = "201203011200";
    fixture.importLines(kFile, {Line(first), Line(Day("A1", "201203011000", "20120301")),
                                Line(Day("A1", "201203011000", "20120302")), Line(again),
                                Line(Day("A1", "201203011000", "20120301", "1110000000000000000000000000")),
                                SumLine(1, 0, 1, 0)});
    EXPECT_TRUE(fixture.protocolRows().empty());
    EXPECT_EQ(
        Query(fixture.departmentDb(kDepartmentDb), "SELECT REC_DATE, T28_SCORE FROM \"Satzart 3 - TISS28\""),
        (std::vector<std::string>{"20120301|008"}));
    EXPECT_EQ(Query(fixture.departmentDb(kDepartmentDb),
                    "SELECT Satzart_1, Satzart_3, DIS_DATE FROM \"Gesamt - Patientenadministration\""),
              (std::vector<std::string>{"1|1|201203011200"}));
}

TEST(ImportRun, appendAndInitialise_keepOrReplaceStoredStays) {
    ImportFixture fixture;
    auto stayLines = [](const std::string& kisId) {
        return std::vector<std::string>{Line(Stay(kisId, "201203011000", "201203011100")),
                                        Line(Day(kisId, "201203011000", "20120301"))};
    };
    auto first = stayLines("A1");
    first.push_back(SumLine(1, 0, 1, 0));
    fixture.importLines(kFile, first);
    auto second = stayLines("B2");
    second.push_back(SumLine(1, 0, 1, 0));
    auto appended = fixture.importLines("B2100101.101", second);
    EXPECT_EQ(appended.summary[0].patients, " 1    ");
    EXPECT_EQ(Query(fixture.departmentDb(kDepartmentDb),
                    "SELECT trim(KIS_ID), FLAG FROM \"Gesamt - Patientenadministration\" ORDER BY 1"),
              (std::vector<std::string>{"A1|O", "B2|O"}));

    auto initialised = fixture.importLines("C2100101.101", second, ImportMode::Initialise);
    EXPECT_EQ(initialised.summary[0].imported, " 1    ");
    EXPECT_EQ(Query(fixture.departmentDb(kDepartmentDb),
                    "SELECT trim(KIS_ID) FROM \"Gesamt - Patientenadministration\""),
              (std::vector<std::string>{"B2"}));
    // One department row, whatever the number of imports.
    EXPECT_EQ(Query(fixture.dir.file("sys/iadmin.mdb"), "SELECT count(*) FROM Dateiverwaltung"),
              (std::vector<std::string>{"1"}));
}

TEST(ImportRun, surveyDaysForStoredStay_areAddedAndStayCountsAsOld) {
    ImportFixture fixture;
    fixture.importLines(kFile, {Line(Stay("A1", "201203011000", "201203021000")),
                                Line(Day("A1", "201203011000", "20120301")), SumLine(1, 0, 1, 0)});
    // The first import filled the missing last day with a substitute and warned about the count.
    auto result = fixture.importLines("B2100101.101", {Line(Day("A1", "201203011000", "20120303"))});
    EXPECT_EQ(result.summary[0].patients, " 0    ");
    EXPECT_EQ(result.summary[0].imported, " 0    ");
    EXPECT_EQ(
        Query(fixture.departmentDb(kDepartmentDb),
              "SELECT QUALIFIER, REC_DATE, T28_SCORE, STUNDEN FROM \"Satzart 3 - TISS28\" ORDER BY REC_DATE"),
        (std::vector<std::string>{"3|20120301|006|99", "L|20120302|006|99", "3|20120303|006|99"}));
    EXPECT_EQ(Query(fixture.departmentDb(kDepartmentDb),
                    "SELECT FLAG, Satzart_3 FROM \"Gesamt - Patientenadministration\""),
              (std::vector<std::string>{"W|2"}));
}

TEST(ImportRun, missingDays_getSubstitutesWithNeighbourScores) {
    ImportFixture fixture;
    // 1st to 4th with days 2 and 3 delivered; 11th to 14th with days 11 and 14 delivered.
    fixture.importLines(
        kFile, {Line(Stay("A1", "201203011000", "201203041000")),
                Line(Day("A1", "201203011000", "20120302", "1110000000000000000000000000")),
                Line(Day("A1", "201203011000", "20120303", "1101000000000000000000000000")),
                Line(Stay("B2", "201203111000", "201203141000")), Line(Day("B2", "201203111000", "20120311")),
                Line(Day("B2", "201203111000", "20120314")), SumLine(2, 0, 4, 0)});
    EXPECT_EQ(
        Query(fixture.departmentDb(kDepartmentDb),
              "SELECT trim(KIS_ID), QUALIFIER, REC_DATE, T28_SCORE, T28_LAB FROM \"Satzart 3 - TISS28\""
              " ORDER BY KIS_ID, REC_DATE"),
        (std::vector<std::string>{"A1|E|20120301|008|NULL", "A1|3|20120302|008|1", "A1|3|20120303|009|1",
                                  "A1|L|20120304|009|NULL", "B2|3|20120311|006|1", "B2|M|20120312|000|NULL",
                                  "B2|M|20120313|000|NULL", "B2|3|20120314|006|1"}));
    EXPECT_EQ(Comments(fixture.protocolRows()),
              (std::vector<std::string>{"2 TISS28-Tage vs. 4 Pflegetage", "2 TISS28-Tage vs. 4 Pflegetage"}));
}

// Stay A1 (1st to 4th, days 2 and 3 delivered, the 3rd without standard monitoring), B2 (delivered
// twice: the second delivery replaces the first) and C3 (one day short), in different line orders.
TEST(ImportRun, stayChecks_giveTheSameFindingsWhateverTheLineOrder) {
    const std::string a1 = Line(Stay("A1", "201203011000", "201203041000"));
    const std::string a1Day2 = Line(Day("A1", "201203011000", "20120302", "1110000000000000000000000000"));
    const std::string a1Day3 = Line(Day("A1", "201203011000", "20120303", "0101000000000000000000000000"));
    const std::string b2 = Line(Stay("B2", "201203111000", "201203121000"));
    const std::string b2Old = Line(Stay("B2", "201203111000", "201203151000"));
    const std::string b2Day11 = Line(Day("B2", "201203111000", "20120311"));
    const std::string b2Day12 = Line(Day("B2", "201203111000", "20120312"));
    const std::string c3 = Line(Stay("C3", "201203211000", "201203221000"));
    const std::string c3Day21 = Line(Day("C3", "201203211000", "20120321", "1100000000000000000000000011"));
    const std::string sum = SumLine(3, 0, 5, 0);
    const std::vector<std::vector<std::string>> orders = {
        {a1, a1Day2, a1Day3, b2Old, b2Day11, b2, b2Day11, b2Day12, c3, c3Day21, sum},
        // A1's days in reverse order, C3 first, A1's last day after the other stays.
        {c3, c3Day21, a1, a1Day3, b2Old, b2, b2Day12, b2Day11, a1Day2, sum},
        // A1 split around B2, whose second delivery comes after C3.
        {a1, a1Day3, b2Old, b2Day12, c3, c3Day21, a1Day2, b2, b2Day11, b2Day12, sum},
    };
    std::vector<std::string> firstRows, firstContent;
    for (size_t order = 0; order < orders.size(); ++order) {
        SCOPED_TRACE("order " + std::to_string(order));
        ImportFixture fixture;
        auto result = fixture.importLines(kFile, orders[order]);
        ASSERT_FALSE(result.failed()) << result.failure;
        std::vector<std::string> checkRows = fixture.protocolRows();
        std::vector<std::string> content = StoredContent(fixture.departmentDb(kDepartmentDb));
        if (order == 0) {
            EXPECT_EQ(Comments(checkRows),
                      (std::vector<std::string>{"2 TISS28-Tage vs. 4 Pflegetage",
                                                "Erhebungstag 03.03.2012 ohne Standardmonitoring unplausibel",
                                                "1 TISS28-Tage vs. 2 Pflegetage"}));
            EXPECT_EQ(Query(fixture.departmentDb(kDepartmentDb),
                            "SELECT trim(KIS_ID) || ' ' || QUALIFIER || ' ' || REC_DATE || ' ' || T28_SCORE"
                            " FROM \"Satzart 3 - TISS28\" ORDER BY KIS_ID, REC_DATE"),
                      (std::vector<std::string>{"A1 E 20120301 008", "A1 3 20120302 008", "A1 3 20120303 004",
                                                "A1 L 20120304 004", "B2 3 20120311 006", "B2 3 20120312 006",
                                                "C3 3 20120321 016", "C3 L 20120322 016"}));
            firstRows = checkRows;
            firstContent = content;
        } else {
            EXPECT_EQ(checkRows, firstRows);
            EXPECT_EQ(content, firstContent);
        }
    }
}

TEST(ImportRun, dayRules_warnInTableOrderPerDay) {
    ImportFixture fixture;
    fixture.importLines(kFile, {Line(Stay("A1", "201203011000", "201203011100")),
                                Line(Day("A1", "201203011000", "20120301", "0011000111111000000000000110")),
                                SumLine(1, 0, 1, 0)});
    EXPECT_EQ(
        Comments(fixture.protocolRows()),
        (std::vector<std::string>{
            "Unplausible Kombination einmalige und mehrfache Medikation am 01.03.2012 erhoben",
            "Unplausible Kombination Atemunterstützung und mechanische Beatmung am 01.03.2012 erhoben",
            "Unplausible Kombination einmalige und mehrfache vasoaktive Medikation am 01.03.2012 erhoben",
            "Unplausible Kombination einfache und mehrfache Intervention am 01.03.2012 erhoben",
            "Erhebungstag 01.03.2012 ohne Standardmonitoring unplausibel"}));
    EXPECT_EQ(fixture.protocolRows()[0].substr(0, 69),
              "A2100101.101;K101;12100101;3;A1        ;19500615;201203011000;Warning");
}

TEST(ImportRun, childrensDepartment_refusesPatientsUnderSixteen) {
    ImportFixture fixture;
    Type1 child = Stay("C1", "201203011000", "201203011100");
    child.department = "12510101";
    child.dob = "19960302";  // 15 on admission
    Type1 sixteen = child;
    sixteen.kisId = "C2";
    sixteen.dob = "19960301";
    auto day = [](const std::string& kisId, const std::string& dob) {
        Type3 d = Day(kisId, "201203011000", "20120301");
        d.department = "12510101";
        d.dob = dob;
        return Line(d);
    };
    auto result = fixture.importLines("A2510101.101", {Line(child), day("C1", "19960302"), Line(sixteen),
                                                       day("C2", "19960301"), SumLine(2, 0, 2, 0)});
    EXPECT_EQ(
        fixture.protocolRows(),
        (std::vector<std::string>{"A2510101.101;K101;12510101; ;C1        ;19960302;201203011000;Error; ;"
                                  "Ausgewählter Patiententyp für angegebenes Alter ungültig"}));
    EXPECT_EQ(result.summary[0].patients, " 2    ");
    EXPECT_EQ(result.summary[0].imported, " 1    ");
}

TEST(ImportRun, sumRecord_missingOrWrongIsReported) {
    ImportFixture fixture;
    std::vector<std::string> stay = {Line(Stay("A1", "201203011000", "201203011100")),
                                     Line(Day("A1", "201203011000", "20120301"))};
    fixture.importLines(kFile, stay);
    EXPECT_EQ(fixture.protocolRows(),
              (std::vector<std::string>{"A2100101.101;K101;12100101;0;;;;Warning; ;Summensatz fehlt"}));
    auto wrong = stay;
    wrong.push_back(SumLine(3, 0, 10, 0));
    wrong.push_back(SumLine(1, 0, 1, 0));  // the last one counts
    fixture.importLines(kFile, wrong);
    EXPECT_TRUE(fixture.protocolRows().empty());
    wrong.push_back(SumLine(3, 0, 10, 0));
    auto result = fixture.importLines(kFile, wrong);
    EXPECT_EQ(Comments(fixture.protocolRows()), (std::vector<std::string>{"Summensatz falsch"}));
    EXPECT_EQ(result.summary[0].comment, "Detailinformation siehe Protokolldatei");
}

TEST(ImportRun, stayWithoutSurveyDaysOrWithoutType1_isRemoved) {
    ImportFixture fixture;
    fixture.importLines(kFile, {Line(Stay("A1", "201203011000", "201203011100")),
                                Line(Day("A1", "201203011000", "20120301")), SumLine(1, 0, 1, 0)});
    // Append: B2 has no survey day; A1 gets a day but its record type 1 line is only stored.
    auto result = fixture.importLines(
        "B2100101.101", {Line(Stay("B2", "201203011000", "201203011100")), SumLine(1, 0, 0, 0)});
    EXPECT_EQ(Comments(fixture.protocolRows()),
              (std::vector<std::string>{"Satzarten 1 und 3 obligatorisch"}));
    EXPECT_EQ(result.summary[0].patients, " 1    ");
    EXPECT_EQ(result.summary[0].imported, " 0    ");
    EXPECT_EQ(Query(fixture.departmentDb(kDepartmentDb),
                    "SELECT trim(KIS_ID) FROM \"Gesamt - Patientenadministration\""),
              (std::vector<std::string>{"A1"}));
}

TEST(ImportRun, duplicateType1InStore_leavesTypEmptyAndStayIsRemoved) {
    ImportFixture fixture;
    // Two lines whose birth dates are both invalid are stored with the same blanked key.
    Type1 first = Stay("A1", "201203011000", "201203011100");
    first.dob = "19501332";
    Type1 second = first;
    second.dob = "19501333";
    fixture.importLines(kFile, {Line(first), Line(second), SumLine(2, 0, 0, 0)});
    auto comments = Comments(fixture.protocolRows());
    EXPECT_EQ(comments, (std::vector<std::string>{"Parameter ungültig", "Parameter ungültig",
                                                  "Mehrfacheinträge", "Satzarten 1 und 3 obligatorisch",
                                                  "Datensatzaufbau entspricht nicht der Verordnung",
                                                  "Summensatz falsch"}));
    EXPECT_FALSE(std::filesystem::exists(fixture.departmentDb(kDepartmentDb)));
}

struct RejectionCase {
    const char* name;
    std::string fileName;
    std::string bytes;
    const char* comment;
    bool kaFilled;
    bool departmentFilled;
};

class ImportRejections : public ::testing::TestWithParam<RejectionCase> {};

TEST_P(ImportRejections, rejectedFile_storesNothingAndExplainsWhy) {
    const RejectionCase& c = GetParam();
    ImportFixture fixture;
    fixture.writeDelivery(c.fileName, c.bytes);
    auto result = fixture.import({c.fileName});
    ASSERT_FALSE(result.failed()) << result.failure;
    const ImportSummaryRow& row = result.summary[0];
    EXPECT_EQ(row.comment, c.comment);
    EXPECT_EQ(row.patients, "      ");
    EXPECT_EQ(row.imported, "      ");
    EXPECT_EQ(row.ka != std::string(27, ' '), c.kaFilled);
    EXPECT_EQ(row.department != std::string(49, ' '), c.departmentFilled);
    EXPECT_EQ(Query(fixture.dir.file("sys/iadmin.mdb"), "SELECT count(*) FROM Dateiverwaltung"),
              (std::vector<std::string>{"0"}));
    EXPECT_FALSE(std::filesystem::exists(fixture.dir.file("sys/temp.mdb")));
}

const std::string kGoodLines =
    DeliveryFile({Line(Stay("A1", "201203011000", "201203011100")),
                  Line(Day("A1", "201203011000", "20120301")), SumLine(1, 0, 1, 0)});

INSTANTIATE_TEST_SUITE_P(
    Files, ImportRejections,
    ::testing::Values(
        RejectionCase{"periodT", "T2100101.101", kGoodLines, "Periode, Jahr, Abteilung oder KA ungültig",
                      false, false},
        RejectionCase{"yearLetter", "AX100101.101", kGoodLines, "Periode, Jahr, Abteilung oder KA ungültig",
                      false, false},
        RejectionCase{"hospitalUnknown", "A2100101.999", kGoodLines,
                      "Periode, Jahr, Abteilung oder KA ungültig", false, false},
        RejectionCase{"departmentUnknown", "A2999901.101", kGoodLines,
                      "Periode, Jahr, Abteilung oder KA ungültig", true, false},
        RejectionCase{"empty", "A2100101.101", "", "kein Datensatz der Satzarten 1 oder 3", true, true},
        RejectionCase{"blankLines", "A2100101.101", "\r\n   \r\n\n", "kein Datensatz der Satzarten 1 oder 3",
                      true, true},
        RejectionCase{"sumOnly", "A2100101.101", DeliveryFile({SumLine(0, 0, 0, 0)}),
                      "kein Datensatz der Satzarten 1 oder 3", true, true},
        RejectionCase{"byteOrderMark", "A2100101.101", "\xEF\xBB\xBF" + kGoodLines,
                      "nur gültige Satzarten verarbeitbar", true, true},
        RejectionCase{"leadingBlank", "A2100101.101", " " + kGoodLines, "nur gültige Satzarten verarbeitbar",
                      true, true},
        RejectionCase{"binaryGarbage", "A2100101.101", std::string("\x00\x01\xff\xfe garbage\n", 14),
                      "nur gültige Satzarten verarbeitbar", true, true},
        RejectionCase{"allStaysFaulty", "A2100101.101",
                      DeliveryFile({Line(Stay("A1", "201203011000", "201202011100")),
                                    Line(Day("A1", "201203011000", "20120301")), SumLine(1, 0, 1, 0)}),
                      "kein Datensatz der Satzarten 1 oder 3", true, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ImportRun, lowerCasePeriodLetter_isAccepted) {
    ImportFixture fixture;
    fixture.writeDelivery("a2100101.101", kGoodLines);
    auto result = fixture.import({"a2100101.101"});
    EXPECT_EQ(result.summary[0].imported, " 1    ");
}

TEST(ImportRun, rejectedFileInAppendMode_leavesDepartmentUntouched) {
    ImportFixture fixture;
    fixture.writeDelivery(kFile, kGoodLines);
    fixture.import({kFile});
    std::string before = ReadFile(fixture.departmentDb(kDepartmentDb));
    auto result = fixture.importLines("B2100101.101", {Line(Stay("B2", "201203011000", "201202011100")),
                                                       Line(Day("B2", "201203011000", "20120301"))});
    EXPECT_EQ(result.summary[0].comment, "Detailinformation siehe Protokolldatei");
    EXPECT_EQ(result.summary[0].imported, " 0    ");
    // Old stays keep their flags and content.
    EXPECT_EQ(Query(fixture.departmentDb(kDepartmentDb),
                    "SELECT trim(KIS_ID), FLAG FROM \"Gesamt - Patientenadministration\""),
              (std::vector<std::string>{"A1|O"}));
    // A file rejected for its record type leaves the stored rows as they are.
    std::vector<std::string> stored = StoredContent(fixture.departmentDb(kDepartmentDb));
    fixture.writeDelivery("C2100101.101", "9 not a record\r\n");
    auto rejected = fixture.import({"C2100101.101"});
    EXPECT_EQ(rejected.summary[0].comment, "nur gültige Satzarten verarbeitbar");
    EXPECT_EQ(StoredContent(fixture.departmentDb(kDepartmentDb)), stored);
    (void)before;
}

TEST(ImportRun, surveyLineWhoseKeyDiffersInLetterCase_belongsToNoStay) {
    // Keys compare exactly, as the department tables compare them: "a1" is not the stay "A1".
    ImportFixture fixture;
    auto result = fixture.importLines(kFile, {Line(Stay("A1", "201203011000", "201203011100")),
                                              Line(Day("a1", "201203011000", "20120301"))});
    ASSERT_TRUE(result.failed());
    EXPECT_NE(result.failure.find("Zeile 2"), std::string::npos) << result.failure;
}

TEST(ImportRun, surveyLineWithoutItsStay_failsWithFileAndLineAndStoresNothing) {
    ImportFixture fixture;
    fixture.writeDelivery(kFile, kGoodLines);
    fixture.import({kFile});
    std::string before = ReadFile(fixture.departmentDb(kDepartmentDb));
    fixture.writeDelivery("B2100101.101", DeliveryFile({Line(Stay("B2", "201203011000", "201203011100")),
                                                        Line(Day("X9", "201203011000", "20120301"))}));
    fixture.writeDelivery("C2100101.101", kGoodLines);
    auto result = fixture.import({"B2100101.101", "C2100101.101"});
    ASSERT_TRUE(result.failed());
    EXPECT_NE(result.failure.find("B2100101.101, Zeile 2"), std::string::npos) << result.failure;
    EXPECT_EQ(result.summary.size(), 1u);  // the batch stops
    EXPECT_EQ(ReadFile(fixture.departmentDb(kDepartmentDb)), before);
    EXPECT_FALSE(std::filesystem::exists(fixture.dir.file("sys/temp.mdb")));
}

TEST(ImportRun, unreadableInput_failsWithAClearCause) {
    ImportFixture fixture;
    std::filesystem::create_directories(fixture.dir.file("import/A2100101.101"));
    auto directory = fixture.import({"A2100101.101"});
    EXPECT_NE(directory.failure.find("keine Datei"), std::string::npos) << directory.failure;
    auto missing = fixture.import({"B2100101.101"});
    EXPECT_NE(missing.failure.find("nicht vorhanden"), std::string::npos) << missing.failure;
    std::filesystem::remove(fixture.dir.file("sys/ibds.mdb"));
    fixture.writeDelivery("C2100101.101", kGoodLines);
    auto noTemplate = fixture.import({"C2100101.101"});
    EXPECT_NE(noTemplate.failure.find("ibds.mdb"), std::string::npos) << noTemplate.failure;
    std::filesystem::remove(fixture.dir.file("sys/iadmin.mdb"));
    auto noAdmin = fixture.import({"C2100101.101"});
    EXPECT_NE(noAdmin.failure.find("iadmin.mdb"), std::string::npos) << noAdmin.failure;
}

TEST(ImportRun, lineEndsAndLongLines_areReadAsLines) {
    ImportFixture fixture;
    std::string lfOnly = Line(Stay("A1", "201203011000", "201203011100")) + "\n" +
                         Line(Day("A1", "201203011000", "20120301")) + "\n" +
                         SumLine(1, 0, 1, 0);  // no final end
    fixture.writeDelivery(kFile, lfOnly);
    auto result = fixture.import({kFile});
    EXPECT_EQ(result.summary[0].imported, " 1    ");
    EXPECT_TRUE(fixture.protocolRows().empty());

    std::string longLine = kGoodLines + "2" + std::string(10 * 1024 * 1024, 'x');
    fixture.writeDelivery("B2100101.101", longLine);
    auto withLong = fixture.import({"B2100101.101"}, ImportMode::Initialise);
    EXPECT_EQ(withLong.summary[0].imported, " 1    ");
}

TEST(ImportRun, windows1252AdmissionNumber_isStoredAsUtf8AndProtocolledAsDelivered) {
    ImportFixture fixture;
    std::string kisId = "M\xFC\x6Cler";  // "Müller" in Windows-1252
    Type1 stay = Stay(kisId, "201203011000", "201203021000");
    fixture.importLines(kFile,
                        {Line(stay), Line(Day(kisId, "201203011000", "20120301")), SumLine(1, 0, 1, 0)});
    EXPECT_EQ(
        Query(fixture.departmentDb(kDepartmentDb), "SELECT KIS_ID FROM \"Gesamt - Patientenadministration\""),
        (std::vector<std::string>{"Müller    "}));
    std::string protocol = ReadFile(fixture.protocolPath());
    EXPECT_NE(protocol.find(";M\xFC"
                            "ller    ;"),
              std::string::npos);
}

TEST(ImportSummary, clipboardText_hasHeaderAndOneLinePerFile) {
    ImportSummaryRow done = ImportSummaryRow::ForFile("A2100101.101");
    done.setCounts(12, 10, true);
    ImportSummaryRow rejected = ImportSummaryRow::ForFile("T2100101.101x");
    rejected.reject("            Periode, Jahr, Abteilung oder KA ungültig");
    std::string ka(27, ' '), department(49, ' ');
    EXPECT_EQ(SummaryClipboardText({done, rejected}),
              "Datei\tKA\tAbteilung\t#Patienten\tdavon importiert\tKommentar\r"
              "A2100101.101\t" +
                  ka + "\t" + department +
                  "\t 12   \t 10   \tDetailinformation siehe Protokolldatei\r"
                  "T2100101.101\t" +
                  ka + "\t" + department + "\t      \t      \tPeriode, Jahr, Abteilung oder KA ungültig");
    ImportSummaryRow large = ImportSummaryRow::ForFile("B");
    large.setCounts(100000, 99999, false);
    EXPECT_EQ(large.patients, " 100000");  // never cut
    EXPECT_EQ(large.imported, " 99999");
}

}  // namespace
}  // namespace kalvora::test

namespace kalvora::test {
namespace {

class RecordingStatus : public StatusSink {
public:
    std::vector<std::string> panels[5];
    void setPanel(int panel, std::string_view text) override { panels[panel].emplace_back(text); }
};

TEST(ImportRun, substituteDays_walkAcrossMonthEndsAndLeapDays) {
    ImportFixture fixture;
    fixture.importLines(
        "A2100101.101",
        {Line(Stay("A1", "201202281000", "201203021000")),
         Line(Day("A1", "201202281000", "20120301", "1110000000000000000000000000")), SumLine(1, 0, 1, 0)});
    EXPECT_EQ(
        Query(fixture.departmentDb("12100101.101"),
              "SELECT QUALIFIER, REC_DATE, T28_SCORE FROM \"Satzart 3 - TISS28\" ORDER BY REC_DATE"),
        (std::vector<std::string>{"E|20120228|000", "M|20120229|000", "3|20120301|008", "L|20120302|008"}));
}

TEST(ImportRun, statusPanels_showHospitalDepartmentAndProgress) {
    ImportFixture fixture;
    fixture.writeDelivery("A2100101.101", kGoodLines);
    fixture.writeDelivery("B2100101.999", kGoodLines);
    ImportBatchRequest request{{{"A2100101.101", fixture.dir.file("import/A2100101.101")},
                                {"B2100101.999", fixture.dir.file("import/B2100101.999")}},
                               ImportMode::Append,
                               fixture.protocolPath()};
    RecordingStatus status;
    RunImportBatch(request, fixture.settings, status);
    EXPECT_EQ(status.panels[2],
              (std::vector<std::string>{"K101 - Landesklinikum Musterstadt                  ", " ", " "}));
    EXPECT_EQ(status.panels[3].front(), "12100101 - Intensivmedizin Anästhesie" + std::string(14, ' '));
    std::vector<std::string> expected = {
        " Überprüfe Datensatz 1 ... (1/2)", " Überprüfe Datensatz 2 ... (1/2)",
        " Überprüfe Datensatz 3 ... (1/2)", " Prüfe Aufenthalte...",
        " Importiere gültige Datensätze ",  " Bereit"};
    EXPECT_EQ(status.panels[1], expected);
    EXPECT_EQ(status.panels[3].back(), " ");
}

// After the last line of a long file the stays are checked for a while: the window is told what
// happens and gets the chance to repaint during it.
TEST(ImportRun, stayChecksOfALongFile_areAnnouncedAndLetTheWindowRepaint) {
    class PhaseRecorder : public StatusSink {
    public:
        std::string phase;
        std::map<std::string, int> yieldsInPhase;
        void setPanel(int panel, std::string_view text) override {
            if (panel == 1) phase = std::string(text);
        }
        void lineChecked(const Progress&) override { phase = "lines"; }
        void yield(const Progress&) override { ++yieldsInPhase[phase]; }
    };
    ImportFixture fixture;
    tools::GeneratorOptions options;
    options.seed = 5;
    options.stays = 7000;
    options.hospital = "K101";
    options.department = "12100101";
    options.firstAdmission = "20160104";
    const tools::WrittenDelivery written =
        tools::WriteDeliveryFile(options, fixture.dir.file("import"), 'A', '6');
    ASSERT_TRUE(written.result.ok()) << written.result.error;
    ImportBatchRequest request{{{written.path.filename().string(), written.path.string()}},
                               ImportMode::Append,
                               fixture.protocolPath()};
    PhaseRecorder status;
    const ImportBatchResult result = RunImportBatch(request, fixture.settings, status);
    ASSERT_FALSE(result.failed()) << result.failure;
    EXPECT_GE(status.yieldsInPhase[std::string(kCheckingStaysStatus)], 3);
}

// The department file is written anew after every import, table by table in key order: a delivery
// in hospital order (and the rows it replaces in append mode) must not leave the pages a third empty,
// and the file keeps the schema of the template, its trigger included.
TEST(ImportRun, departmentFile_isWrittenCompactlyWithTheTemplateSchema) {
    ImportFixture fixture;
    tools::GeneratorOptions options;
    options.seed = 11;
    options.stays = 3000;
    options.faultRate = 0.3;
    options.shuffleStays = true;
    options.interleavedStays = 32;
    options.hospital = "K101";
    options.department = "12100101";
    const tools::WrittenDelivery written =
        tools::WriteDeliveryFile(options, fixture.dir.file("import"), 'A', '6');
    ASSERT_TRUE(written.result.ok()) << written.result.error;
    const std::string name = written.path.filename().string();
    const std::string schemaSql = "SELECT type, name, sql FROM sqlite_schema ORDER BY type, name";
    const std::vector<std::string> templateSchema = Query(fixture.dir.file("sys/ibds.mdb"), schemaSql);
    const std::string department = fixture.departmentDb(kDepartmentDb);

    for (ImportMode mode : {ImportMode::Initialise, ImportMode::Append, ImportMode::Append}) {
        const ImportBatchResult result = fixture.import({name}, mode);
        ASSERT_FALSE(result.failed()) << result.failure;
        EXPECT_EQ(Query(department, schemaSql), templateSchema);
        const std::vector<std::string> content = StoredContent(department);
        ASSERT_GT(content.size(), 3000u);

        // Rebuilt by SQLite itself, the same rows need as many pages.
        const std::string rebuilt = fixture.dir.file("rebuilt.db");
        std::filesystem::remove(rebuilt);
        {
            Database db(department, OpenMode::ReadOnly);
            Statement vacuum = db.prepare("VACUUM INTO ?");
            vacuum.bind(1, std::string_view(rebuilt));
            vacuum.run();
        }
        const long long pages = std::stoll(Query(department, "PRAGMA page_count").at(0));
        const long long rebuiltPages = std::stoll(Query(rebuilt, "PRAGMA page_count").at(0));
        EXPECT_LE(pages, rebuiltPages + 1) << "pages " << pages << ", rebuilt " << rebuiltPages;
        EXPECT_EQ(Query(department, "PRAGMA freelist_count"), std::vector<std::string>{"0"});
        EXPECT_EQ(Query(department, "PRAGMA page_size"), std::vector<std::string>{"65536"});
        EXPECT_EQ(Query(department, "PRAGMA integrity_check"), std::vector<std::string>{"ok"});
        EXPECT_EQ(StoredContent(rebuilt), content);

        // Nothing of the run is left beside the department file.
        for (const auto& entry : std::filesystem::directory_iterator(fixture.systemDir()))
            EXPECT_EQ(entry.path().filename().string().rfind("temp-", 0), std::string::npos) << entry.path();
    }

    // Deleting a stay still takes its record rows along.
    {
        Database db(department, OpenMode::ReadWrite);
        const std::string key =
            Query(department,
                  "SELECT KIS_ID FROM \"Gesamt - Patientenadministration\" ORDER BY KIS_ID "
                  "LIMIT 1")
                .at(0);
        Statement removal = db.prepare("DELETE FROM \"Gesamt - Patientenadministration\" WHERE KIS_ID = ?");
        removal.bind(1, std::string_view(key));
        removal.run();
        Statement days = db.prepare("SELECT count(*) FROM \"Satzart 3 - TISS28\" WHERE KIS_ID = ?");
        days.bind(1, std::string_view(key));
        ASSERT_EQ(days.step(), StepResult::Row);
        EXPECT_EQ(days.integer(0), 0);
    }
}

}  // namespace
}  // namespace kalvora::test

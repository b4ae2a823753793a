// Delivered fields in the protocol file: one text cell of a spreadsheet each, whatever they hold.

#include <gtest/gtest.h>

#include "import/protocol_file.h"
#include "support/import_fixture.h"

namespace kalvora::test {
namespace {

TEST(ProtocolCell, fieldsThatASpreadsheetWouldSplitOrRun_becomeOneTextCell) {
    const std::pair<std::string, std::string> cases[] = {
        {"A1        ", "A1        "},
        {"", ""},
        {" =1+1", " =1+1"},
        {"=1+1", "'=1+1"},
        {"+43", "'+43"},
        {"-1", "'-1"},
        {"@SUMME(A1)", "'@SUMME(A1)"},
        {"a;b", "\"a;b\""},
        {"sagt \"ja\"", "\"sagt \"\"ja\"\"\""},
        {"=1+1;b;c;d", "\"'=1+1;b;c;d\""},
        {"zwei\r\nZeilen", "\"zwei\r\nZeilen\""},
    };
    for (const auto& [field, cell] : cases) EXPECT_EQ(SpreadsheetCell(field), cell) << field;
}

TEST(ProtocolCell, rowOfAFieldWithSemicolons_keepsItsTenColumnsAndTheOtherRowsStayAsTheyWere) {
    ImportFixture fixture;
    Type1 formula;
    formula.kisId = "=1+1;b;c;d";
    formula.outcome = "5";
    Type1 plain;
    plain.kisId = "A2";
    plain.outcome = "5";
    fixture.importLines("A2100101.101", {Line(formula), Line(plain)});
    std::vector<std::string> rows;
    for (const std::string& row : fixture.protocolRows()) {
        if (row.find(";Entlassungszustand;") != std::string::npos) rows.push_back(row);
    }
    ASSERT_EQ(rows.size(), 2u) << ::testing::PrintToString(fixture.protocolRows());
    EXPECT_EQ(rows[0],
              "A2100101.101;K101;12100101;1;\"'=1+1;b;c;d\";19500615;201203011000;Error;Entlassungszustand;"
              "Parameter ungültig");
    EXPECT_EQ(rows[1],
              "A2100101.101;K101;12100101;1;A2        ;19500615;201203011000;Error;Entlassungszustand;"
              "Parameter ungültig");
}

}  // namespace
}  // namespace kalvora::test

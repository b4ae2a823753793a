// The helpers for fixed-column texts: columns and widths count characters, not bytes, and only
// blanks count as padding.

#include "base/text.h"

#include <gtest/gtest.h>

#include <string>

namespace kalvora {
namespace {

TEST(Text, columnsCountCharactersOfUtf8Texts) {
    struct Case {
        std::string line;
        int first, last;
        std::string columns;
    };
    const Case cases[] = {
        {"K101 - Göß", 8, 10, "Göß"},  // umlauts are one column each
        {"Göß - K101", 1, 3, "Göß"},
        {"Göß - K101", 7, 20, "K101"},  // as far as the line goes
        {"Göß", 5, 9, ""},              // beyond the end
        {"abc", 0, 2, "ab"},            // columns start at 1
        {"abc", 3, 2, ""},              // an empty range
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line + " " + std::to_string(c.first) + "-" + std::to_string(c.last));
        EXPECT_EQ(LineColumns(c.line, c.first, c.last), c.columns);
    }
    EXPECT_EQ(LineColumnsFrom("Süd 12100101", 5), "12100101");
    EXPECT_EQ(CharacterCount("Süd"), 3u);
    EXPECT_EQ(ByteOffsetOfCharacter("Süd", 2), 3u);
    EXPECT_EQ(ByteOffsetOfCharacter("Süd", 7), 4u);
}

TEST(Text, fixedWidthCutsOrPadsByCharacters) {
    EXPECT_EQ(FixedWidth("Göß", 5), "Göß  ");
    EXPECT_EQ(FixedWidth("Universitätsklinikum", 12), "Universitäts");
    EXPECT_EQ(FixedWidth("abc", 0), "");
}

TEST(Text, blanksAreTheOnlyPadding) {
    EXPECT_EQ(TrimBlanks("  12100101.101 "), "12100101.101");
    EXPECT_EQ(TrimBlanks("\t12 "), "\t12");
    EXPECT_EQ(TrimBlanks("   "), "");
    EXPECT_EQ(WithoutBlanks(" 1210 0101.101 "), "12100101.101");
    EXPECT_TRUE(IsBlankText("   "));
    EXPECT_TRUE(IsBlankText(""));
    EXPECT_FALSE(IsBlankText(" \t "));
}

}  // namespace
}  // namespace kalvora

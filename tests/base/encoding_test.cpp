#include "base/encoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kalvora {
namespace {

TEST(EncodingTest, windows1252ToUtf8_mapsEveryRange) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"plain ASCII text, long enough for words", "plain ASCII text, long enough for words"},
        {"\x80", "\xE2\x82\xAC"},          // euro sign
        {"\x8A\x9F", "\xC5\xA0\xC5\xB8"},  // Š Ÿ
        {"\x93"
         "a\x94",
         "\xE2\x80\x9C"
         "a\xE2\x80\x9D"},  // quotes
        {"\xA0\xE4\xF6\xFC\xDF\xFF", "\xC2\xA0\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F\xC3\xBF"},
        {"\x81\x8D\x8F\x90\x9D", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},  // undefined bytes
        {"M\xFCller, Stra\xDF"
         "e 12345678",
         "M\xC3\xBCller, Stra\xC3\x9F"
         "e 12345678"},
    };
    for (const auto& [bytes, utf8] : cases) EXPECT_EQ(Windows1252ToUtf8(bytes), utf8);
}

TEST(EncodingTest, roundTripOfAllBytes_isIdentity) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte) all.push_back(static_cast<char>(byte));
    const std::string utf8 = Windows1252ToUtf8(all);
    EXPECT_TRUE(IsValidUtf8(utf8));
    EXPECT_EQ(Utf8ToWindows1252(utf8), all);
}

TEST(EncodingTest, utf8ToWindows1252_writesQuestionMarkWithoutForm) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"\xE2\x82\xAC", "\x80"},
        {"\xC4\x80", "?"},                   // U+0100
        {"\xE6\x97\xA5\xE6\x9C\xAC", "??"},  // two CJK characters
        {"\xF0\x9F\x98\x80", "?"},           // outside the BMP
        {"\xC2\x80", "?"},                   // U+0080: byte 0x80 is the euro sign
        {"\xC3", "?"},                       // truncated
        {"a\xE2\x82"
         "b",
         "a?b"},                  // truncated sequence is one character
        {"\xC0\xAF", "??"},       // overlong
        {"\xED\xA0\x80", "???"},  // surrogate
    };
    for (const auto& [utf8, bytes] : cases) EXPECT_EQ(Utf8ToWindows1252(utf8), bytes);
}

TEST(EncodingTest, isValidUtf8_refusesIllFormedSequences) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"", true},
        {"abc", true},
        {"\xC3\xA4\xC3\xB6", true},
        {"\xE2\x82\xAC", true},
        {"\xF0\x9F\x98\x80", true},
        {"\xF4\x8F\xBF\xBF", true},
        {"\xC3", false},
        {"\x80", false},
        {"\xC0\xAF", false},
        {"\xE0\x80\xAF", false},
        {"\xED\xA0\x80", false},
        {"\xF4\x90\x80\x80", false},
        {"\xF5\x80\x80\x80", false},
        {"0123456789abcdef\xC3", false},
        {"0123456789abcdef\xC3\xA4 and more ASCII", true},
    };
    for (const auto& [bytes, valid] : cases) EXPECT_EQ(IsValidUtf8(bytes), valid) << bytes;
}

TEST(EncodingTest, isAscii_detectsHighByteAnywhere) {
    EXPECT_TRUE(IsAscii(""));
    EXPECT_TRUE(IsAscii(std::string(100, 'x') + "\x7F"));
    for (std::size_t pos : {0u, 7u, 8u, 15u, 99u}) {
        std::string text(100, 'x');
        text[pos] = '\x80';
        EXPECT_FALSE(IsAscii(text)) << pos;
    }
}

}  // namespace
}  // namespace kalvora

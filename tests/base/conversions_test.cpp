#include "base/conversions.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

namespace kalvora {
namespace {

TEST(ConversionsTest, numericValue_readsLeadingNumberOnly) {
    const std::vector<std::pair<std::string, double>> cases = {
        {"", 0},
        {"x", 0},
        {" 12", 12},
        {"1,5", 1},
        {"1 2", 12},
        {"- 5", -5},
        {"+7", 7},
        {"1.5", 1.5},
        {".5", 0.5},
        {"5.", 5},
        {"1.2.3", 1.2},
        {"1E3", 1000},
        {"1d3", 1000},
        {"1D3", 1000},
        {"2.5e-1", 0.25},
        {"12E", 12},
        {"3 . 2 5", 3.25},
        {"--5", 0},
        {"12abc", 12},
        {"0.1", 0.1},
        {"1E-400", 0},
        {"007", 7},
        {"-.", 0},
        {"\t5", 0},
        {"123456789012345678901234567890", 123456789012345678901234567890.0},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(NumericValue(text), expected) << '"' << text << '"';
    EXPECT_TRUE(std::isinf(NumericValue("1E400")));
    EXPECT_FALSE(std::signbit(NumericValue("-0")));
}

TEST(ConversionsTest, wholeNumericValue_roundsHalvesToEven) {
    const std::vector<std::pair<std::string, long long>> cases = {
        {"0.5", 0},   {"1.5", 2},  {"2.5", 2},  {"-2.5", -2},
        {"-3.5", -4}, {"2.51", 3}, {"2.49", 2}, {"1E30", LLONG_MAX},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(WholeNumericValue(text), expected) << text;
}

TEST(ConversionsTest, isDateCodeValid_checksRangeAndCalendar) {
    const std::vector<std::pair<std::string, int>> cases = {
        {"20000229", 0},  {"19000229", 50}, {"21000229", 50},   {"20120229", 0},  {"20130229", 50},
        {"18491231", 50}, {"18500101", 0},  {"22001231", 0},    {"22010101", 50}, {"20120431", 50},
        {"20121300", 50}, {"20120100", 50}, {"20121131", 50},   {"20121231", 0},  {"", 50},
        {"abcdefgh", 50}, {"2012013", 0},   {"20120131xyz", 0},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(IsDateCodeValid(text), expected) << text;
}

TEST(ConversionsTest, normaliseDateEntry_completesOrRefusesEntry) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"20120131", "31.01.2012"},
        {"2012013", "3.01.2012"},
        {"20121301", " "},
        {"", " "},
        {"31.12.12", "31.12.2012"},
        {"31.1.12", "31.01.2012"},
        {"1.1.5", "01.01.2005"},
        {"1.1.2012", "01.01.2012"},
        {"29.2.12", "29.02.2012"},
        {"31.12", ""},
        {"1.2.2012.", ""},
        {"123.1.2012", ""},
        {"29.2.13", ""},
        {".1.2012", ""},
        {"1..2012", ""},
        {"1.123.2012", ""},
        {"1.1.012", "01.01.2012"},
        {"1.1.20121", ""},
    };
    for (const auto& [entry, expected] : cases)
        EXPECT_EQ(NormaliseDateEntry(entry, "2000"), expected) << entry;
}

TEST(ConversionsTest, normaliseDateEntryWithPrefix8_acceptsOnlyFourDigitYears) {
    EXPECT_EQ(NormaliseDateEntry("1.1.1950", "8"), "01.01.1950");
    EXPECT_EQ(NormaliseDateEntry("1.1.50", "8"), "");
    EXPECT_EQ(NormaliseDateEntry("1.1.5", "8"), "");
    EXPECT_EQ(NormaliseDateEntry("1.1.1849", "8"), "");
}

TEST(ConversionsTest, formatDateCode_givesDisplayForm) {
    EXPECT_EQ(FormatDateCode("20120131", 8), "31.01.2012");
    EXPECT_EQ(FormatDateCode("201201311405", 12), "31.01.2012, 14:05");
    EXPECT_EQ(FormatDateCode("", 12), std::string(17, ' '));
    EXPECT_EQ(FormatDateCode("        ", 8), std::string(10, ' '));
    // Missing characters count as blanks, so the width stays fixed.
    EXPECT_EQ(FormatDateCode("20120131", 12), "31.01.2012,   :  ");
    EXPECT_EQ(FormatDateCode("2012", 8), "  .  .2012");
}

TEST(ConversionsTest, displayToDateCode_givesStoredForm) {
    EXPECT_EQ(DisplayToDateCode("31.01.2012, 14:05", 12), "201201311405");
    EXPECT_EQ(DisplayToDateCode("31.01.2012", 8), "20120131");
    EXPECT_EQ(DisplayToDateCode(std::string(10, ' '), 8), std::string(8, ' '));
    EXPECT_EQ(DisplayToDateCode("", 12), std::string(12, ' '));
    EXPECT_EQ(DisplayToDateCode("31.01.2012", 12), "20120131    ");
}

TEST(ConversionsTest, nextAndPreviousDayCode_carryOverMonthAndYear) {
    const std::vector<std::pair<std::string, std::string>> next = {
        {"31.12.2011", "20120101"}, {"31.01.2012", "20120201"}, {"28.02.2000", "20000229"},
        {"28.02.1900", "19000301"}, {"28.02.2012", "20120229"}, {"30.04.2012", "20120501"},
    };
    for (const auto& [day, expected] : next) EXPECT_EQ(NextDayCode(day), expected) << day;
    const std::vector<std::pair<std::string, std::string>> previous = {
        {"01.03.2012", "20120229"}, {"01.03.2013", "20130228"}, {"01.01.2012", "20111231"},
        {"01.05.2012", "20120430"}, {"15.06.2012", "20120614"},
    };
    for (const auto& [day, expected] : previous) EXPECT_EQ(PreviousDayCode(day), expected) << day;
}

TEST(ConversionsTest, daysBetween_countsCalendarDays) {
    struct Case {
        const char* first;
        const char* second;
        int days;
    };
    const std::vector<Case> cases = {
        {"20120101", "20121231", 365},   {"20120101", "20130101", 366},    {"20130101", "20120101", -366},
        {"20000228", "20000301", 2},     {"19000228", "19000301", 1},      {"20120131", "20120131", 0},
        {"201201311405", "20120201", 1}, {"18500101", "22001231", 128199},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DaysBetween(c.first, c.second), c.days) << c.first << ' ' << c.second;
}

TEST(ConversionsTest, wholeHoursBetween_dropsStartedHour) {
    EXPECT_EQ(WholeHoursBetween("0830", "1015"), 1);
    EXPECT_EQ(WholeHoursBetween("0830", "1030"), 2);
    EXPECT_EQ(WholeHoursBetween("1000", "0959"), -1);
    EXPECT_EQ(WholeHoursBetween("2359", "0000"), -24);
    EXPECT_EQ(WholeHoursBetween("0000", "2359"), 23);
}

TEST(ConversionsTest, ageInYears_countsCompletedYears) {
    EXPECT_EQ(AgeInYears("20120614", "19500615"), 61);
    EXPECT_EQ(AgeInYears("20120615", "19500615"), 62);
    EXPECT_EQ(AgeInYears("201206151200", "19500615"), 62);
    EXPECT_EQ(AgeInYears("20120615", "20120615"), 0);
    // A 29 February birthday falls on 1 March outside leap years.
    EXPECT_EQ(AgeInYears("20130228", "20000229"), 12);
    EXPECT_EQ(AgeInYears("20130301", "20000229"), 13);
    EXPECT_EQ(AgeInYears("20120228", "20000229"), 11);
    EXPECT_EQ(AgeInYears("20120229", "20000229"), 12);
}

TEST(ConversionsTest, padNumber_fillsZerosAndTrimsCallerText) {
    std::string text = " 7 ";
    EXPECT_EQ(PadNumber(text, 3), "007");
    EXPECT_EQ(text, "7");
    std::string blank = "   ";
    EXPECT_EQ(PadNumber(blank, 3), "   ");
    EXPECT_EQ(blank, "");
    const std::vector<std::tuple<std::string, int, std::string>> cases = {
        {"35", 3, "035"},         {"078", 3, "078"},        {"12,5", 3, "125"},
        {"1.234,5", 6, "1.2345"}, {"1,234.5", 6, "1,2345"},
    };
    for (auto [input, width, expected] : cases) EXPECT_EQ(PadNumber(input, width), expected);
}

TEST(ConversionsTest, checkNumberEntry_rewritesOrReports) {
    struct Case {
        const char* text;
        int decimals;
        int maximum;
        bool refuseNegative;
        const char* expectedText;
        const char* message;  // nullptr: none
    };
    const char* invalid = "Die Eingabe ist ungültig!";
    const char* negative = "Negative Werte sind unzulässig!";
    const std::vector<Case> cases = {
        {"", 2, 6, false, "", nullptr},
        {"   ", 2, 6, false, "   ", nullptr},
        {"abc", 2, 6, false, "abc", invalid},
        {"1.5", 2, 6, false, "1.5", invalid},  // misplaced grouping
        {"1,2,3", 2, 6, false, "1,2,3", invalid},
        {"-5", 0, 3, true, "-5", negative},
        {"-5", 0, 3, false, "-5", nullptr},
        {"-0", 0, 3, true, "", nullptr},
        {"0", 0, 3, false, "", nullptr},
        {"0,4", 0, 3, false, "", nullptr},
        {"2,5", 0, 3, false, "3", nullptr},
        {"12", 0, 3, false, "12", nullptr},
        {"1234", 0, 4, false, "1.234", nullptr},
        {"1234", 0, 3, false, "1234", "Maximal  3 Stellen zulässig!"},
        {"1234,5", 2, 6, false, "1234,5", "Maximal  6 Stellen zulässig!"},
        {"01234,500", 2, 6, false, "1234,5", "Maximal  6 Stellen zulässig!"},
        {",5", 2, 3, false, "0,5", "Maximal  3 Stellen zulässig!"},
        {"-0,001", 2, 6, false, "0,00", nullptr},
        {"1.234,5", 2, 7, false, "1.234,50", nullptr},
        {"0012,50", 1, 6, false, "12,5", nullptr},
        {"12,345", 2, 6, false, "12,35", nullptr},
        {"9,995", 2, 6, false, "10,00", nullptr},
        {",5", 2, 6, false, "0,50", nullptr},
        {"-1,5", 2, 5, false, "-1,50", nullptr},
        {"-1,5", 2, 4, false, "-1,5", "Maximal  4 Stellen zulässig!"},
        {"12345678901", 0, 10, false, "12345678901", "Maximal  10 Stellen zulässig!"},
    };
    for (const auto& c : cases) {
        const NumberEntryResult result =
            CheckNumberEntry(c.text, c.decimals, c.maximum, c.refuseNegative, NumberNotation::German());
        EXPECT_EQ(result.text, c.expectedText) << c.text;
        EXPECT_EQ(result.message.value_or("<none>"), c.message ? c.message : "<none>") << c.text;
    }
}

TEST(ConversionsTest, checkNumberEntryPlain_usesPointAndCommaGrouping) {
    const NumberEntryResult result = CheckNumberEntry("1,234.5", 2, 8, false, NumberNotation::Plain());
    EXPECT_EQ(result.text, "1,234.50");
    EXPECT_FALSE(result.message);
}

TEST(ConversionsTest, parseLocaleNumber_acceptsOnlyLocaleNotation) {
    const NumberNotation german = NumberNotation::German();
    EXPECT_EQ(ParseLocaleNumber("1.234,5", german), 1234.5);
    EXPECT_EQ(ParseLocaleNumber(" 12 ", german), 12.0);
    EXPECT_EQ(ParseLocaleNumber("-0,25", german), -0.25);
    EXPECT_EQ(ParseLocaleNumber("12.345.678", german), 12345678.0);
    EXPECT_EQ(ParseLocaleNumber(",5", german), 0.5);
    EXPECT_EQ(ParseLocaleNumber("+3", german), 3.0);
    EXPECT_EQ(ParseLocaleNumber("1.5", NumberNotation::Plain()), 1.5);
    for (const char* text : {"", "-", ",", "1,2,3", "12a", "1.23", "1234.567", "- 3", "1 234"}) {
        EXPECT_FALSE(ParseLocaleNumber(text, german)) << text;
    }
}

TEST(ConversionsTest, shortOrOddInput_doesNotFail) {
    for (const char* text : {"", "1", "x.y", "..", "1E99999999999", "-", "99999999999999999999"}) {
        NumericValue(text);
        IsDateCodeValid(text);
        NormaliseDateEntry(text, "2000");
        FormatDateCode(text, 12);
        DisplayToDateCode(text, 12);
        NextDayCode(text);
        PreviousDayCode(text);
        AgeInYears(text, text);
        DaysBetween(text, "20120101");
        WholeHoursBetween(text, "1");
    }
    EXPECT_EQ(PreviousDayCode("").size(), 8u);
}

}  // namespace
}  // namespace kalvora

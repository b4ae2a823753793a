#include "base/decimal.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <tuple>
#include <vector>

namespace kalvora {
namespace {

using Quotient = std::tuple<long long, long long, long long>;  // numerator, denominator, result

TEST(DecimalTest, roundQuotientHalfAwayFromZero_roundsTiesOutward) {
    const std::vector<Quotient> cases = {
        {5, 2, 3},
        {-5, 2, -3},
        {5, -2, -3},
        {-5, -2, 3},
        {7, 2, 4},
        {4, 3, 1},
        {2, 3, 1},
        {1, 3, 0},
        {2245, 10, 225},
        {-2245, 10, -225},
        {0, 7, 0},
        {9, 0, 0},
        {LLONG_MIN, -1, LLONG_MAX},
        {LLONG_MIN, LLONG_MAX, -1},
        {LLONG_MAX, 2, 4611686018427387904LL},
    };
    for (const auto& [n, d, expected] : cases)
        EXPECT_EQ(RoundQuotientHalfAwayFromZero(n, d), expected) << n << '/' << d;
}

TEST(DecimalTest, roundQuotientHalfToEven_roundsTiesToEvenNeighbour) {
    const std::vector<Quotient> cases = {
        {5, 2, 2},       {7, 2, 4},       {-5, 2, -2},     {-7, 2, -4}, {3, 2, 2},
        {2245, 10, 224}, {2255, 10, 226}, {2246, 10, 225}, {1, 4, 0},   {3, 4, 1},
    };
    for (const auto& [n, d, expected] : cases)
        EXPECT_EQ(RoundQuotientHalfToEven(n, d), expected) << n << '/' << d;
}

TEST(DecimalTest, rescaled_roundsDroppedPlacesHalfAwayFromZero) {
    const std::vector<std::tuple<Decimal, int, long long>> cases = {
        {{2245, 2}, 1, 225},
        {{-2245, 2}, 1, -225},
        {{2244, 2}, 1, 224},
        {{125, 2}, 0, 1},
        {{150, 2}, 0, 2},
        {{25, 1}, 3, 2500},
        {{LLONG_MAX, 0}, 2, LLONG_MAX},
        {{LLONG_MAX, 20}, 0, 0},
    };
    for (const auto& [value, places, units] : cases) {
        const Decimal result = value.rescaled(places);
        EXPECT_EQ(result.units, units) << value.units << " at " << value.places;
        EXPECT_EQ(result.places, places);
    }
}

TEST(DecimalTest, toText_writesAllPlaces) {
    EXPECT_EQ((Decimal{-130, 2}.toText()), "-1.30");
    EXPECT_EQ((Decimal{5, 2}.toText()), "0.05");
    EXPECT_EQ((Decimal{-5, 2}.toText()), "-0.05");
    EXPECT_EQ((Decimal{123, 0}.toText()), "123");
    EXPECT_EQ((Decimal{2245, 2}.toText(',')), "22,45");
    EXPECT_EQ((Decimal{LLONG_MIN, 0}.toText()), "-9223372036854775808");
}

TEST(DecimalTest, parse_readsExactlyAndRoundsHalfAwayFromZero) {
    const std::vector<std::tuple<std::string, int, long long>> cases = {
        {"12.5", 2, 1250},   {"-0,25", 2, -25}, {" 22.45 ", 1, 225}, {"22.449", 1, 224},
        {"-22.45", 1, -225}, {"7", 2, 700},     {"+.5", 0, 1},       {"0.0049", 2, 0},
    };
    for (const auto& [text, places, units] : cases) {
        Decimal value;
        ASSERT_TRUE(Decimal::parse(text, places, value)) << text;
        EXPECT_EQ(value.units, units) << text;
        EXPECT_EQ(value.places, places);
    }
    Decimal untouched{42, 1};
    for (const char* text : {"", "abc", "1.2.3", ".", "-", "1 2", "99999999999999999999"}) {
        EXPECT_FALSE(Decimal::parse(text, 0, untouched)) << text;
    }
    EXPECT_EQ(untouched.units, 42);
}

TEST(DecimalTest, fromDouble_roundsTheDecimalValue) {
    EXPECT_EQ(Decimal::fromDouble(22.45, 1).units, 225);
    EXPECT_EQ(Decimal::fromDouble(-22.45, 1).units, -225);
    EXPECT_EQ(Decimal::fromDouble(2.675, 2).units, 268);
    EXPECT_EQ(Decimal::fromDouble(1.005, 2).units, 101);
    EXPECT_EQ(Decimal::fromDouble(0.0, 2).units, 0);
    EXPECT_EQ(Decimal::fromDouble(1e-30, 2).units, 0);
    EXPECT_EQ(Decimal::fromDouble(NAN, 2).units, 0);
    EXPECT_EQ(Decimal::fromDouble(1e300, 2).units, LLONG_MAX);
    EXPECT_EQ(Decimal::fromDouble(-1e300, 2).units, LLONG_MIN);
}

TEST(DecimalTest, toDouble_givesNearestDouble) {
    EXPECT_EQ((Decimal{2245, 2}.toDouble()), 22.45);
    EXPECT_EQ((Decimal{-1, 3}.toDouble()), -0.001);
    EXPECT_EQ((Decimal{123456789012345678, 2}.toDouble()), 1234567890123456.78);
}

TEST(DecimalTest, groupDigits_insertsSeparatorEveryThreeDigits) {
    const std::vector<std::pair<long long, std::string>> cases = {
        {0, "0"},          {999, "999"},   {1000, "1.000"},        {1134, "1.134"},
        {-1134, "-1.134"}, {-999, "-999"}, {1234567, "1.234.567"}, {LLONG_MIN, "-9.223.372.036.854.775.808"},
    };
    for (const auto& [value, expected] : cases) EXPECT_EQ(GroupDigits(value, '.'), expected);
    EXPECT_EQ(GroupDigits(1234567, ','), "1,234,567");
}

}  // namespace
}  // namespace kalvora

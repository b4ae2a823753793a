// The score of a survey day: points of the set items, one item per exclusive pair.

#include <gtest/gtest.h>

#include <set>

#include "tiss/tiss_item.h"

namespace kalvora {
namespace {

std::array<std::string_view, kTissItemCount> Items(std::initializer_list<std::string_view> setFields,
                                                   std::string_view setValue = "1") {
    std::array<std::string_view, kTissItemCount> items;
    items.fill("0");
    for (std::string_view field : setFields) {
        bool found = false;
        for (const TissItem& item : TissItems()) {
            if (item.field == field) {
                items[item.number - 1] = setValue;
                found = true;
            }
        }
        EXPECT_TRUE(found) << field;
    }
    return items;
}

struct ScoreCase {
    std::initializer_list<std::string_view> fields;
    const char* score;
};

TEST(TissScore, setItems_giveThePointsOfTheHigherItemOfEachPair) {
    const ScoreCase cases[] = {
        {{}, "000"},
        {{"T28_MECH_VENT", "T28_SUPP_VENT"}, "005"},
        {{"T28_SUPP_VENT"}, "002"},
        {{"T28_S_VASODR", "T28_M_VASODR"}, "004"},
        {{"T28_S_VASODR"}, "003"},
        {{"T28_S_MED", "T28_M_MED"}, "003"},
        {{"T28_S_MED"}, "002"},
        {{"T28_S_INT", "T28_M_INT"}, "005"},
        {{"T28_S_INT"}, "003"},
        {{"T28_R_DRESS", "T28_F_DRESS"}, "002"},  // not a pair: both count
        {{"T28_PCL"}, "008"},
        {{"T28_STAND_MON", "T28_LAB", "T28_PCL"}, "014"},
    };
    for (const ScoreCase& c : cases) EXPECT_EQ(TissScoreText(ComputeTissScore(Items(c.fields))), c.score);
}

TEST(TissScore, allItemsSet_giveTheMaximum) {
    std::array<std::string_view, kTissItemCount> all;
    all.fill("1");
    EXPECT_EQ(ComputeTissScore(all), kMaximumTissScore);
    EXPECT_EQ(TissScoreText(ComputeTissScore(all)), "078");
}

TEST(TissScore, oddItemValues_countAsUnset) {
    for (std::string_view value : {"2", "x", " ", "", "0", "-1", "1.5"})
        EXPECT_EQ(ComputeTissScore(Items({"T28_PCL"}, value)), 0) << value;
    // Anything whose leading number is 1 counts as set.
    for (std::string_view value : {"1", " 1", "1x", "1.0"})
        EXPECT_EQ(ComputeTissScore(Items({"T28_PCL"}, value)), 8);
}

TEST(TissItemTable, itemsAreInLineOrderWithSymmetricPairs) {
    const auto& items = TissItems();
    std::set<std::string_view> fields;
    int pointSum = 0;
    for (int i = 0; i < kTissItemCount; ++i) {
        EXPECT_EQ(items[i].number, i + 1);
        EXPECT_EQ(items[i].linePosition, 52 + i);
        EXPECT_TRUE(fields.insert(items[i].field).second);
        EXPECT_EQ(
            items[i].checkBoxName, "chk_" + [&] {
                std::string lower(items[i].field);
                for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                return lower;
            }());
        if (items[i].exclusiveWith) {
            EXPECT_EQ(items[items[i].exclusiveWith - 1].exclusiveWith, items[i].number);
        }
        pointSum += items[i].points;
    }
    // 78 plus the lower items of the four pairs (2 + 2 + 3 + 3).
    EXPECT_EQ(pointSum, 88);
    EXPECT_EQ(items[4].caption, "Routineverbandswechsel ");
    EXPECT_EQ(items[16].caption, "Katheter zentralvenös ");
}

}  // namespace
}  // namespace kalvora

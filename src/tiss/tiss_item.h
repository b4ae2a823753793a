#pragma once
// The 28 TISS-28 items of a survey day and the day's score.

#include <array>
#include <string>
#include <string_view>

namespace kalvora {

struct TissItem {
    int number;              // 1 to 28, line order
    std::string_view field;  // field of "Satzart 3 - TISS28"
    int linePosition;        // position in a record type 3 line, from 1
    std::string_view protocolLabel;
    std::string_view checkBoxName;  // control of the detail view
    std::string_view caption;       // caption of that check box
    int points;
    int exclusiveWith;  // number of the exclusive partner, 0 when the item has none
};

inline constexpr int kTissItemCount = 28;
inline constexpr int kMaximumTissScore = 78;

const std::array<TissItem, kTissItemCount>& TissItems();

// An item is set exactly when the numeric value of its text is 1.
bool IsTissItemSet(std::string_view value);

// Score of a day from its 28 item values (line order): the sum of the points of the set items,
// where of each exclusive pair only the higher counts.
int ComputeTissScore(const std::array<std::string_view, kTissItemCount>& items);

// Stored form of a score: three digits with leading zeros ("000" to "078").
std::string TissScoreText(int score);

}  // namespace kalvora

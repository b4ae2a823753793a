#pragma once
// One stored survey day as the checks of a stay see it, and the items they look at.

#include <array>
#include <string>
#include <string_view>

namespace kalvora {

// The items the survey-day rules look at.
enum DayItem { StandMon, SMed, MMed, MechVent, SuppVent, SVasodr, MVasodr, SInt, MInt, DayItemCount };

// The fields of record type 3 that hold these items, in the order of DayItem.
inline constexpr std::string_view kDayItemFields[DayItemCount] = {
    "T28_STAND_MON", "T28_S_MED",    "T28_M_MED", "T28_MECH_VENT", "T28_SUPP_VENT",
    "T28_S_VASODR",  "T28_M_VASODR", "T28_S_INT", "T28_M_INT"};

// One stored survey day as the stay checks see it.
struct CheckedDay {
    std::string date;   // REC_DATE as stored
    std::string score;  // T28_SCORE as stored
    bool hasScore = false;
    bool hasItems = false;                    // false for a substitute day
    std::array<bool, DayItemCount> ticked{};  // the item is stored as "1"
};

}  // namespace kalvora

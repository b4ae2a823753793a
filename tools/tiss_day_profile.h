#pragma once
// How often each TISS-28 item is set on a survey day of a generated stay: the standard monitoring
// always, the laboratory and the urinary balance nearly always, the ventilation on the days a
// patient is ventilated, the rare items (pulmonary catheter, resuscitation) seldom. Sicker
// patients get more items. Of an exclusive pair at most one item is set.

#include <array>

#include "random_source.h"
#include "tiss/tiss_item.h"

namespace kalvora::tools {

struct TissDayCondition {
    int severityPermille = 0;  // 0 (light) to 1000 (gravest)
    bool ventilated = false;   // mechanically ventilated on this day
};

// The item characters of one day, "0" or "1", in line order (item 1 first).
using TissDayItems = std::array<char, kTissItemCount>;

TissDayItems DrawTissDay(RandomSource& random, const TissDayCondition& condition);

// Index (0-based, line order) of the item stored in `field`, e.g. "T28_STAND_MON" gives 0.
int TissItemIndex(std::string_view field);

}  // namespace kalvora::tools

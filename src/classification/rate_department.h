#pragma once
// Level, points and remarks of a department from its figures and staffing values.

#include "classification/classification_result.h"

namespace kalvora {

namespace remarks {
inline constexpr std::string_view NoStaffingLevel = "* DGKP pro systemisiertem Bett < 1,50 *";
inline constexpr std::string_view ChildrenShare = "* TISS-Tage-Anteil von Kindern <16 Jahren ist >5% *";
inline constexpr std::string_view ShortPeriod = "* Zeitraum ist <90 Tage *";
inline constexpr std::string_view LowOccupancy = "* Auslastung <35% *";
}  // namespace remarks

inline constexpr long long kMinimumPeriodDays = 90;

// Mean of `count` scores summing to `sum`, rounded to one place (halves away from zero); 0 when
// there is no score.
Decimal MeanOfScores(const Decimal& sum, long long count);

// DGKP per bed rounded to two places; 0 when there is less than one bed.
Decimal DgkpPerBed(const Decimal& dgkp, long long beds);

// The level from the two partial levels, or the preset level "E0" to "E3" when one is given.
int DecideLevel(int staffingLevel, int tissLevel, std::string_view preset);

// Rates a department: levels, points with the factor, and the remarks in their order.
ClassificationResult RateDepartment(const ClassificationFigures& figures, const DepartmentInputs& inputs,
                                    long long periodDays);

}  // namespace kalvora

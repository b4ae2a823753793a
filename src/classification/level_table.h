#pragma once
// The fixed values of the classification levels "Stufe 0" to "Stufe 3" and of "no level".
// Figures with places are held as whole numbers of their smallest unit.

#include <array>
#include <string_view>

namespace kalvora {

inline constexpr int kNoLevel = -1;
inline constexpr int kHighestLevel = 3;
inline constexpr int kLevelTextWidth = 24;

struct ClassificationLevel {
    int level;
    std::string_view text;
    int tissBase;              // TISS base value, whole TISS-28 points
    int dgkpBaseHundredths;    // DGKP/sBett base value in hundredths
    int basePoints;            // "Basispunkte der Stufe"
    int pointsPerTenthTenths;  // "Punkte je 0,1 korr TISS-28" in tenths
    int maximumPoints;
};

// Level 0 to 3 in order, then the row of "no level".
const std::array<ClassificationLevel, 5>& ClassificationLevels();

// The row of a level; every value outside 0 to 3 gives the row of "no level".
const ClassificationLevel& LevelValues(int level);

// Partial level from DGKP per bed: the highest level whose base value it reaches, else no level.
int StaffingLevel(long long dgkpPerBedHundredths);

// Partial level from the classification mean: the highest of levels 1 to 3 whose TISS base value it
// reaches, else level 0 (level 0 has no lower bound).
int TissLevel(long long classificationMeanTenths);

}  // namespace kalvora

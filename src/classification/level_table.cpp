#include "classification/level_table.h"

namespace kalvora {

namespace {

constexpr std::array<ClassificationLevel, 5> kLevels = {{
    {0, "Stufe 0", 17, 150, 480, 30, 657},
    {1, "Stufe 1", 22, 200, 748, 34, 915},
    {2, "Stufe 2", 27, 250, 1134, 42, 1340},
    {3, "Stufe 3", 32, 300, 1664, 52, 2080},
    {kNoLevel, "Keine Einstufung möglich", 0, 0, 0, 0, 0},
}};

}  // namespace

const std::array<ClassificationLevel, 5>& ClassificationLevels() { return kLevels; }

const ClassificationLevel& LevelValues(int level) {
    if (level < 0 || level > kHighestLevel) return kLevels.back();
    return kLevels[static_cast<std::size_t>(level)];
}

int StaffingLevel(long long dgkpPerBedHundredths) {
    for (int level = kHighestLevel; level >= 0; --level) {
        if (dgkpPerBedHundredths >= LevelValues(level).dgkpBaseHundredths) return level;
    }
    return kNoLevel;
}

int TissLevel(long long classificationMeanTenths) {
    for (int level = kHighestLevel; level >= 1; --level) {
        if (classificationMeanTenths >= LevelValues(level).tissBase * 10LL) return level;
    }
    return 0;
}

}  // namespace kalvora

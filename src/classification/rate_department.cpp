#include "classification/rate_department.h"

#include <algorithm>

#include "base/text.h"
#include "classification/level_table.h"

namespace kalvora {

namespace {

// A preset level is "E" and a digit 0 to 3; the digit is the level.
int PresetLevel(std::string_view preset) {
    if (preset.size() < 2 || preset[1] < '0' || preset[1] > '0' + kHighestLevel) return kNoLevel;
    return preset[1] - '0';
}

}  // namespace

Decimal MeanOfScores(const Decimal& sum, long long count) {
    if (count <= 0) return {0, 1};
    // sum / count in tenths: sum * 10 / count with the sum held in units of 10^-places.
    const Decimal tenthsScale = sum.rescaled(std::max(sum.places, 1));
    long long divisor = count;
    for (int place = 1; place < tenthsScale.places; ++place) divisor *= 10;
    return {RoundQuotientHalfAwayFromZero(tenthsScale.units, divisor), 1};
}

Decimal DgkpPerBed(const Decimal& dgkp, long long beds) {
    if (beds < 1) return {0, 2};
    return {RoundQuotientHalfAwayFromZero(dgkp.rescaled(2).units, beds), 2};
}

int DecideLevel(int staffingLevel, int tissLevel, std::string_view preset) {
    if (!IsBlankText(preset)) {
        const int presetLevel = PresetLevel(preset);
        if (presetLevel != kNoLevel) return presetLevel;
    }
    return std::min(staffingLevel, tissLevel);
}

ClassificationResult RateDepartment(const ClassificationFigures& figures, const DepartmentInputs& inputs,
                                    long long periodDays) {
    ClassificationResult result;
    result.reportedDays = figures.reportedDays;
    result.classificationDays = figures.classificationDays;
    result.missingDays = figures.missingDays;
    result.overallMean = figures.overallMean.rescaled(1);
    result.classificationMean = figures.classificationMean.rescaled(1);
    result.dgkpPerBed = DgkpPerBed(inputs.dgkp, inputs.beds);

    result.level = DecideLevel(StaffingLevel(result.dgkpPerBed.units),
                               TissLevel(result.classificationMean.units), inputs.preset);
    const ClassificationLevel& values = LevelValues(result.level);
    result.levelText = FixedWidth(values.text, kLevelTextWidth);
    result.basePoints = values.basePoints;
    result.pointsPerTenth = {values.pointsPerTenthTenths, 1};

    if (result.level == kNoLevel) {
        result.comment += remarks::NoStaffingLevel;
    } else {
        result.dgkpExcess = {result.dgkpPerBed.units - values.dgkpBaseHundredths, 2};
        result.tissExcess = {result.overallMean.units - values.tissBase * 10LL, 1};
        // TISS excess / 10 against DGKP excess: tenths of a point against hundredths of DGKP per bed,
        // so one tenth of TISS-28 is allowed for every 0.01 above the staffing base value.
        result.factor = std::max(0LL, std::min(result.tissExcess.units, result.dgkpExcess.units));
        const long long extra =
            RoundQuotientHalfAwayFromZero(values.pointsPerTenthTenths * result.factor, 10);
        result.points = std::min<long long>(values.basePoints + extra, values.maximumPoints);
    }

    // More than 5 % children's days: children * 20 > reported.
    if (figures.reportedDays > 0 && figures.childrenDays * 20 > figures.reportedDays)
        result.comment += remarks::ChildrenShare;
    if (periodDays < kMinimumPeriodDays) result.comment += remarks::ShortPeriod;
    // Occupancy below 35 %: reported * 100 < capacity * 35.
    const long long capacity = inputs.beds * periodDays;
    if (capacity > 0 && figures.reportedDays * 100 < capacity * 35) result.comment += remarks::LowOccupancy;
    return result;
}

}  // namespace kalvora

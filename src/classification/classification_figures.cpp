#include "classification/classification_figures.h"

#include "classification/classification_run.h"
#include "classification/stored_value.h"

namespace kalvora {

namespace {

// A missing text reads as 0, as Val reads NULL.
double ValueOf(FieldText text) { return text ? StoredValue(*text) : 0.0; }

// Dates compare by their first eight characters.
double DateValueOf(std::string_view text) { return StoredValue(text.substr(0, 8)); }

std::optional<long long> DayNumberOf(FieldText text) {
    if (!text || !IsClassificationDay(*text)) return std::nullopt;
    return DayNumber(*text);
}

// An age is a text whose first character after leading blanks is a digit.
bool HasAge(FieldText age) {
    if (!age) return false;
    const std::size_t first = age->find_first_not_of(' ');
    return first != std::string_view::npos && (*age)[first] >= '0' && (*age)[first] <= '9';
}

}  // namespace

FigurePeriod FigurePeriod::Of(const ClassificationRun& run) {
    FigurePeriod period;
    period.from = StoredValue(run.Erhebungvon);
    period.to = StoredValue(run.Erhebungbis);
    period.minimumHours = StoredValue(run.MindestStd);
    period.firstDay = DayNumber(run.Erhebungvon);
    period.lastDay = DayNumber(run.Erhebungbis);
    period.substitutesCount = run.countsSubstitutes();
    return period;
}

long long ChildrenDaysOfStay(const FigurePeriod& period, FieldText admission, FieldText discharge,
                             FieldText hours, FieldText age) {
    if (!HasAge(age) || !(ValueOf(age) < kChildAge)) return 0;
    if (!(ValueOf(hours) >= period.minimumHours)) return 0;
    const double a = admission ? DateValueOf(*admission) : 0.0;
    const double d = discharge ? DateValueOf(*discharge) : 0.0;
    if ((a < period.from && d < period.from) || (a > period.to && d > period.to)) return 0;
    const auto admissionDay = DayNumberOf(admission);
    const auto dischargeDay = DayNumberOf(discharge);
    if (!admissionDay || !dischargeDay) return 0;
    const long long first = a >= period.from ? *admissionDay : period.firstDay;
    const long long last = d <= period.to ? *dischargeDay : period.lastDay;
    return last - first + 1;
}

void DayTally::add(FieldText qualifier, FieldText recordDate, FieldText score, FieldText hours) {
    const double day = ValueOf(recordDate);
    if (!(day >= period_.from && day <= period_.to && ValueOf(hours) >= period_.minimumHours)) return;
    const bool delivered = qualifier && *qualifier == "3";
    if (qualifier && !delivered && score) ++missingDays_;
    if (!(period_.substitutesCount || delivered)) return;
    // A record without a score is not counted but adds its value 0 to the sums.
    const double value = ValueOf(score);
    reportedSum_ += value;
    if (score) ++reportedDays_;
    if (value >= kClassificationScore) {
        classificationSum_ += value;
        if (score) ++classificationDays_;
    }
}

}  // namespace kalvora

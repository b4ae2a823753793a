#include "classification/classification_run.h"

#include <algorithm>

#include "base/conversions.h"
#include "base/message_service.h"
#include "base/settings.h"
#include "base/text.h"

namespace kalvora {

namespace {

constexpr std::string_view kDayZero = "19700101";

std::string Flag(const std::string& value) { return value == "J" ? "J" : "N"; }

}  // namespace

std::string MinimumHoursText(int hours) { return FixedWidth(std::to_string(hours), 2); }

ClassificationRun ClassificationRunFromSettings(const Settings& settings) {
    ClassificationRun run;
    run.Erhebungvon = settings.Erhebungvon;
    run.Erhebungbis = settings.Erhebungbis;
    // The drop-down list offers 0 to 24 and selects the item at the position of the held value.
    const long long hours =
        std::clamp<long long>(WholeNumericValue(settings.MindestStd), 0, kMaximumMinimumHours);
    run.MindestStd = MinimumHoursText(static_cast<int>(hours));
    run.MehrfachTISS = Flag(settings.MehrfachTISS);
    run.ErsatzTISS = Flag(settings.ErsatzTISS);
    return run;
}

bool IsClassificationDay(std::string_view text) {
    if (text.size() < 8) return false;
    for (const char c : text.substr(0, 8)) {
        if (c < '0' || c > '9') return false;
    }
    return IsDateCodeValid(text) == 0;
}

long long DayNumber(std::string_view dateCode) { return DaysBetween(kDayZero, dateCode); }

Outcome CheckClassificationRun(const ClassificationRun& run) {
    if (!IsClassificationDay(run.Erhebungvon) || !IsClassificationDay(run.Erhebungbis))
        return Failure{std::string(messages::InvalidDate)};
    // A period that ends before it begins holds no day: its mean would be 0 and rate every department.
    if (DayNumber(run.Erhebungbis) < DayNumber(run.Erhebungvon))
        return Failure{ReversedPeriodText(run.Erhebungvon, run.Erhebungbis)};
    return Done{};
}

std::string ReversedPeriodText(std::string_view from, std::string_view to) {
    return "Der Erhebungszeitraum endet (" + FormatDateCode(to, 8) + ") vor seinem Beginn (" +
           FormatDateCode(from, 8) + ")!";
}

long long PeriodDays(const ClassificationRun& run) {
    return static_cast<long long>(DaysBetween(run.Erhebungvon, run.Erhebungbis)) + 1;
}

}  // namespace kalvora

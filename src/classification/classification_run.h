#pragma once
// The parameters of one classification run: the survey period, the minimum hours of a stay of less
// than one day and the two counting rules. The classification dialog takes them from the settings.

#include <string>
#include <string_view>

#include "base/result.h"

namespace kalvora {

struct Settings;

struct ClassificationRun {
    std::string Erhebungvon;   // first survey day, JJJJMMTT
    std::string Erhebungbis;   // last survey day, JJJJMMTT
    std::string MindestStd;    // 2 characters: the hours left-aligned ("4 ", "12")
    std::string MehrfachTISS;  // "J": several day records of a patient on one day count once
    std::string ErsatzTISS;    // "J": substitute survey days count in the means

    bool countsMultipleOnce() const { return MehrfachTISS == "J"; }
    bool countsSubstitutes() const { return ErsatzTISS == "J"; }
};

inline constexpr int kMaximumMinimumHours = 24;

// The run as the classification dialog starts it from the settings: the period as held, the
// minimum hours as the drop-down list shows them (0 to 24), the rules as its check boxes ("J"/"N").
ClassificationRun ClassificationRunFromSettings(const Settings& settings);

// MindestStd of a whole number of hours: the number left-aligned in 2 characters.
std::string MinimumHoursText(int hours);

// A day the classification can work with: eight digits JJJJMMTT forming a valid calendar day.
bool IsClassificationDay(std::string_view text);

// Number of the day (first 8 characters, JJJJMMTT) counted from 01.01.1970.
long long DayNumber(std::string_view dateCode);

// The run is refused with the date message when either end of the period is not a valid day, and
// with ReversedPeriodText when the period ends before it begins.
Outcome CheckClassificationRun(const ClassificationRun& run);
// "Der Erhebungszeitraum endet (01.01.2025) vor seinem Beginn (31.12.2025)!"
std::string ReversedPeriodText(std::string_view from, std::string_view to);

// Days of the period: from Erhebungvon to Erhebungbis, both included.
long long PeriodDays(const ClassificationRun& run);

}  // namespace kalvora

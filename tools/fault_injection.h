#pragma once
// The details of one fault built into a stay: which way a field is spoiled and which survey day
// and item it concerns.

#include "fault_kind.h"
#include "random_source.h"
#include "stay_plan.h"

namespace kalvora::tools {

struct StayFault {
    FaultKind kind = FaultKind::InvalidBirthDate;
    int variant = 0;    // which of several ways of spoiling a field
    int dayIndex = -1;  // survey day concerned, 0 = the admission day; -1 when none
    int itemIndex = 0;  // TISS-28 item concerned, line order from 0
};

// Chooses the details of a fault of `kind` and changes the stay where the fault needs it: a stay
// needs two survey days for one of them to be missing, a discharge before the admission moves the
// discharge, a child in a department with the children's age rule gets a new birth day.
StayFault PrepareFault(FaultKind kind, RandomSource& random, StayPlan& plan);

// Number of survey days written for the stay: one per day from admission to discharge, and the
// admission day alone when the discharge lies before the admission.
int SurveyDayCount(const StayPlan& plan);

// Turns a date (length 8) or date and time (length 12) into a text the import's date check
// refuses: month 13 or 00, day 32 or 00, 30 February, and for a time also hour 24 or minute 60.
void SpoilDateField(char* field, int length, int variant);
inline constexpr int kDateSpoilVariants = 5;
inline constexpr int kDateTimeSpoilVariants = 7;

// Another character in place of `c`: the next digit, or "0" for anything else.
char OtherCharacter(char c);

}  // namespace kalvora::tools

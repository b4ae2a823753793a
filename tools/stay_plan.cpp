#include "stay_plan.h"

namespace kalvora::tools {

namespace {

using std::chrono::days;
using std::chrono::sys_days;
using std::chrono::year_month_day;
using std::chrono::years;

// Days of care: each further day follows with the chance 4/5, which gives a mean of four days
// (five survey days) and few stays near the longest.
int DrawLengthDays(RandomSource& random) {
    int length = 0;
    while (length < kLongestStayDays && random.chancePermille(800)) ++length;
    return length;
}

int DrawAge(RandomSource& random, bool adultsOnly) {
    if (!adultsOnly) {
        const int group = random.below(1000);
        if (group < 30) return 0;                      // newborns
        if (group < 80) return random.between(1, 15);  // children
    }
    if (random.chancePermille(300)) return random.between(16, 95);
    return random.between(45, 92);
}

char DrawOutcome(RandomSource& random) {
    const int value = random.below(1000);
    if (value < 600) return '1';
    if (value < 850) return '2';
    if (value < 950) return '3';
    return '4';
}

// Discharges happen mostly during the day shift.
int DrawDischargeMinute(RandomSource& random, int earliest) {
    if (earliest < 7 * 60 && random.chancePermille(800)) return random.between(7 * 60, 19 * 60);
    return random.between(earliest, 24 * 60 - 1);
}

}  // namespace

sys_days BirthDayForAge(RandomSource& random, sys_days admissionDay, int age) {
    if (age == 0) return admissionDay - days{random.between(0, 27)};
    year_month_day birthday = year_month_day{admissionDay} - years{age};
    if (!birthday.ok()) birthday = birthday.year() / birthday.month() / std::chrono::last;  // 29 February
    // Up to 364 days before the birthday: the patient has turned `age` and not yet `age` + 1.
    return sys_days{birthday} - days{random.between(0, 364)};
}

StayPlan DrawStayPlan(RandomSource& random, const StayStart& start) {
    StayPlan plan;
    long long kis = start.kisNumber;
    for (int i = 9; i >= 0; --i) {
        plan.kisId[i] = static_cast<char>('0' + kis % 10);
        kis /= 10;
    }
    plan.admissionDay = start.admissionDay;
    plan.admissionMinute = start.admissionMinute;
    plan.birthDay = BirthDayForAge(random, start.admissionDay, DrawAge(random, start.adultsOnly));
    plan.lengthDays = DrawLengthDays(random);
    plan.dischargeMinute = DrawDischargeMinute(random, plan.lengthDays == 0 ? plan.admissionMinute : 0);
    plan.outcome = DrawOutcome(random);
    if (plan.outcome == '4') {
        // Died in the unit: the hospital stay ends on the same day.
        plan.hospitalDischarge = plan.dischargeDay();
        plan.hospitalOutcome = '2';
    } else if (random.chancePermille(880)) {
        plan.hospitalDischarge = plan.dischargeDay() + days{random.between(0, 21)};
        plan.hospitalOutcome = random.chancePermille(940) ? '1' : '2';
    }
    plan.severityPermille = (random.between(0, 1000) + random.between(0, 1000)) / 2;
    if (random.chancePermille(200 + plan.severityPermille / 2)) {
        plan.ventilatedDays = random.between(1, plan.lengthDays + 1);
    }
    return plan;
}

}  // namespace kalvora::tools

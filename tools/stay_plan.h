#pragma once
// The content of one generated ICU stay before it is written as lines: who, when, how long, how it
// ended and how sick the patient was.

#include <array>
#include <chrono>
#include <optional>

#include "random_source.h"

namespace kalvora::tools {

inline constexpr int kLongestStayDays = 30;

struct StayPlan {
    std::array<char, 10> kisId{};
    std::chrono::sys_days birthDay{};
    std::chrono::sys_days admissionDay{};
    int admissionMinute = 0;  // minute of the day, 0 to 1439
    int lengthDays = 0;       // days from the admission day to the discharge day
    int dischargeMinute = 0;
    char outcome = '1';                                      // ICU discharge state "1" to "4"
    std::optional<std::chrono::sys_days> hospitalDischarge;  // none: still in the hospital
    char hospitalOutcome = ' ';                              // "1", "2" or blank
    int severityPermille = 0;
    int ventilatedDays = 0;  // the first days of the stay on which the patient is ventilated

    std::chrono::sys_days dischargeDay() const { return admissionDay + std::chrono::days{lengthDays}; }
};

struct StayStart {
    std::chrono::sys_days admissionDay{};
    int admissionMinute = 0;
    long long kisNumber = 0;  // 0 to 9 999 999 999, written with leading zeros
    bool adultsOnly = false;  // no patient under 16 (departments with the children's age rule)
};

StayPlan DrawStayPlan(RandomSource& random, const StayStart& start);

// A birth day on which a patient is exactly `age` years old on the admission day.
std::chrono::sys_days BirthDayForAge(RandomSource& random, std::chrono::sys_days admissionDay, int age);

}  // namespace kalvora::tools

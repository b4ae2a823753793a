#pragma once
// The data the detail view shows for one ICU stay: its base data and its survey days (record type 3
// rows of qualifier "3" only, in key order) with the 28 items and the score. A display only: nothing
// is written back.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "store/department_database.h"
#include "tiss/tiss_item.h"

namespace kalvora {

using SurveyDay = StoredSurveyDay;

// Values as stored. Without a record type 1 row the discharge data come from the stay row itself
// (DIS_DATE, ICU_OUTCOME) and the hospital discharge fields stay empty.
struct StayDetail {
    std::string kisId;
    std::string dob;
    std::string admDate;
    std::string disDate;
    std::string icuOutcome;
    std::string hospDisDate;
    std::string hospMort;
    std::string typ;
    bool hasRecordType1 = false;
    std::vector<SurveyDay> surveyDays;
};

// The stay of the key in the department database. Fails with a German message when the database is
// missing or unreadable or holds no such stay.
Result<StayDetail> LoadStayDetail(const std::string& departmentDbPath, const StayKey& key);

// What the controls of the detail view make of the stored values.
inline constexpr std::array<std::string_view, 5> kIcuOutcomeEntries = {
    "", "Lebend", "Lebend mit Therapiereduktion", "Gestorben", "Gestorben mit Therapiereduktion"};
inline constexpr std::array<std::string_view, 3> kHospitalStatusEntries = {"", "Gestorben", "Entlassen"};
// Entry 1 to 4 for a value from 1 to 4 (rounded), else 0 (empty).
int IcuOutcomeEntry(std::string_view value);
// Entry 1 or 2 for a value from 1 to 2 (rounded), else 0 (empty).
int HospitalStatusEntry(std::string_view value);
// A check box is ticked when the value lies from 0 to 1 and rounds to 1.
bool IsItemTicked(std::string_view value);
// Empty for a blank score, else its number without leading zeros (027 shows as 27).
std::string ScoreDisplay(std::string_view storedScore);

}  // namespace kalvora

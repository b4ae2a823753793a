#pragma once
// One stay of "Gesamt - Patientenadministration" as the import keeps it while its lines are read.

#include <optional>
#include <string>
#include <string_view>

namespace kalvora {

struct StayRow {
    std::string KA_ID, ICU_FUN_ID, ICU_FUN_SID, KIS_ID, DOB, ADM_DATE;
    long long Satzart_1 = 0;
    long long Satzart_3 = 0;
    std::string FLAG;
    // Empty (NULL) until the stay's record type 1 line is stored.
    std::optional<std::string> DIS_YEARMONTH, DIS_DATE, BD, Alter, TYP, ICU_OUTCOME, STUNDEN;

    // Keys compare exactly, as the department tables compare them.
    bool sameKey(std::string_view kisId, std::string_view dob, std::string_view admDate) const;
};

// Stay flags.
namespace flags {
inline constexpr std::string_view Correct = "O";
inline constexpr std::string_view Incorrect = "W";
inline constexpr std::string_view Error = "E";
inline constexpr std::string_view InProgress = "U";
inline constexpr std::string_view StoredCorrect = "A";
inline constexpr std::string_view StoredIncorrect = "B";
}  // namespace flags

}  // namespace kalvora

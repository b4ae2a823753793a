#pragma once
// The three staffing values of a department that only the classification uses, stored in its row
// of Dateiverwaltung.

#include <string>
#include <string_view>

#include "base/decimal.h"

namespace kalvora {

class Database;

struct StaffingValues {
    Decimal dgkp{0, 2};  // DGKP, two places
    long long beds = 0;  // SBETT, systemised beds
    std::string preset;  // VOREINSTUFUNG: empty or "E0" to "E3"
};

// Writes SBETT, DGKP and VOREINSTUFUNG into the row (KANR, ABTEILUNG) of Dateiverwaltung.
// False when there is no such row; nothing is stored then.
bool StoreStaffing(Database& admin, std::string_view kanr, std::string_view abteilung,
                   const StaffingValues& values);

}  // namespace kalvora

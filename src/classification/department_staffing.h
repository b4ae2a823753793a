#pragma once
// The three staffing values of a department that only the classification uses (DGKP, systemised
// beds, preset level), as the staffing window and `kalvora-cli staffing` read and store them.

#include <string>
#include <string_view>

#include "base/conversions.h"
#include "base/decimal.h"
#include "base/result.h"
#include "store/admin_database.h"

namespace kalvora {

// The two number fields: decimal places and the most characters an entry may have.
struct StaffingField {
    int places;
    int maxCharacters;
};
inline constexpr StaffingField kDgkpField{2, 6};
inline constexpr StaffingField kBedsField{0, 3};

// The figures of checked field texts: the DGKP read in the notation (empty counts as 0), the beds
// as the whole number the text starts with (a half to the even neighbour, as the number field of
// the administration database takes it).
Decimal DgkpOfEntry(std::string_view text, const NumberNotation& notation);
long long BedsOfEntry(std::string_view text);

// Stores the values into the department's row (KANR, ABTEILUNG) under the data directory's lock; a
// department without a row stores nothing. Fails with a German message when the directory is in use
// or the administration database cannot be written.
Outcome StoreDepartmentStaffing(const std::string& systemDataPath, const Department& department,
                                const Staffing& values);

}  // namespace kalvora

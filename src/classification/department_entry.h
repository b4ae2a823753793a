#pragma once
// DepartmentEntry: the fixed-column line that describes a department in the classification
// dialog's list. Positions count characters from 1:
//     1- 27  hospital text: KANR, " - ", hospital name in 20
//    30- 35  DGKP with two places, right-aligned
//    40- 42  systemised beds, right-aligned
//    48- 52  DGKP per bed with two places, right-aligned
//    61- 62  preset level
//    69-179  department text: ABTEILUNG, " - ", department name in 100
//   180-191  MDB_DATEI
// The gaps hold blanks. Numbers use the decimal separator of the user's notation; a number longer
// than its field keeps its leftmost characters. Later steps read the fields back by column.

#include <string>
#include <string_view>

#include "base/conversions.h"
#include "classification/classification_result.h"
#include "classification/department_staffing.h"

namespace kalvora {

// The ratio field of a department without beds, as the classification dialog writes it.
inline constexpr std::string_view kDialogZeroRatio = " 0.00";

// The entry as the classification dialog builds it from Dateiverwaltung.
// A name missing from its name table is left blank.
std::string BuildDepartmentEntry(const Department& department, const NumberNotation& notation);

// The entry as the staffing window rewrites it after "OK": positions 1-29 and from 69 on as they
// were, DGKP, beds, DGKP per bed (" 0,00" in the notation when there are no beds) and preset from
// the new values.
std::string RewriteDepartmentEntry(std::string_view entry, const Staffing& values,
                                   const NumberNotation& notation);

// Characters `first` to `last` (from 1) of an entry, as far as the entry has them.
std::string EntryField(std::string_view entry, int first, int last);

std::string EntryHospitalText(std::string_view entry);    // 1-27
std::string EntryDgkpText(std::string_view entry);        // 30-35
std::string EntryBedsText(std::string_view entry);        // 40-42
std::string EntryPresetText(std::string_view entry);      // 61-62
std::string EntryDepartmentText(std::string_view entry);  // 69-179
std::string EntryDataFileName(std::string_view entry);    // 180-191 without blanks
std::string EntryKanr(std::string_view entry);            // first 4 characters of the hospital text
std::string EntryAbteilung(std::string_view entry);       // first 8 characters of the department text

// What the classification reads from an entry: DGKP in the notation (0 when it cannot be read),
// the beds as the numeric value rounded to a whole number, the preset and the data file name.
DepartmentInputs DepartmentInputsFromEntry(std::string_view entry, const NumberNotation& notation);

// A figure with two places in the notation, without grouping ("5,50").
std::string TwoPlacesText(const Decimal& value, const NumberNotation& notation);

}  // namespace kalvora

#pragma once
// ClassificationEntry: one department of the classification dialog's list — its row of
// Dateiverwaltung with the staffing the list shows — and the fixed-column line that shows it.
// Positions of the line count characters from 1:
//     1- 27  hospital text: KANR, " - ", hospital name in 20
//    30- 35  DGKP with two places, right-aligned
//    40- 42  systemised beds, right-aligned
//    48- 52  DGKP per bed with two places, right-aligned
//    61- 62  preset level
//    69-179  department text: ABTEILUNG, " - ", department name in 100
//   180-191  MDB_DATEI
// The gaps hold blanks. Numbers use the decimal separator of the user's notation; a number longer
// than its field keeps its leftmost characters, and the classification takes the figures as the
// line shows them.

#include <string>
#include <string_view>

#include "base/conversions.h"
#include "classification/classification_result.h"
#include "classification/department_staffing.h"

namespace kalvora {

// The ratio field of a department without beds, as the classification dialog writes it.
inline constexpr std::string_view kDialogZeroRatio = " 0.00";

struct ClassificationEntry {
    Department department;
    Staffing staffing;  // the row's, or what the staffing window stored since
    // The staffing window rewrote the entry: a department without beds then shows its ratio in the
    // notation (" 0,00") rather than as the dialog first writes it (" 0.00").
    bool staffingRewritten = false;
};

// The entry of a department as the classification dialog lists it, with the row's staffing.
ClassificationEntry EntryOfDepartment(const Department& department);
// The entry after "OK" in the staffing window: the new values, the rest as it was.
ClassificationEntry WithStaffing(ClassificationEntry entry, const Staffing& staffing);

// The line of the entry. A name missing from its name table is left blank.
std::string BuildDepartmentEntry(const ClassificationEntry& entry, const NumberNotation& notation);

// Fields of the line.
std::string EntryHospitalText(const ClassificationEntry& entry);                              // 1-27
std::string EntryDgkpText(const ClassificationEntry& entry, const NumberNotation& notation);  // 30-35
std::string EntryBedsText(const ClassificationEntry& entry);                                  // 40-42
std::string EntryPresetText(const ClassificationEntry& entry);                                // 61-62
std::string EntryDepartmentText(const ClassificationEntry& entry);                            // 69-179
std::string EntryDataFileName(const ClassificationEntry& entry);  // 180-191 without blanks

// What the classification takes of an entry: the DGKP and the beds as their fields show them (a
// DGKP that does not fit is read from its six characters in the notation, 0 when they are no
// number; beds from their three as the whole numeric value), the preset field and the data file name.
DepartmentInputs DepartmentInputsOf(const ClassificationEntry& entry, const NumberNotation& notation);

// A figure with two places in the notation, without grouping ("5,50").
std::string TwoPlacesText(const Decimal& value, const NumberNotation& notation);

}  // namespace kalvora

#pragma once
// The patient list of a department: its stays as values, and the fixed-column line that shows one
// of them (rendered for the screen and the clipboard only):
//
//   1-10 KIS_ID | 11-13 | 14-23 DOB TT.MM.JJJJ | 24-26 | 27-43 ADM_DATE TT.MM.JJJJ, hh:mm | 44-46 |
//   47-63 DIS_DATE TT.MM.JJJJ, hh:mm | 64-66 | 67-69 TYP | 70-72 | 73-82 status text

#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "store/department_database.h"

namespace kalvora {

// Status text of a FLAG: "Korrekt", "Inkorrekt", "Entlassen", "In Arbeit"; any other flag shows itself.
std::string PatientStatusText(std::string_view flag);
std::string BuildPatientLine(const StayOverview& stay);

// What the line shows of a stay: the admission number (1-10) and the birth date (14-23, TT.MM.JJJJ).
std::string PatientAdmissionNumber(const StayOverview& stay);
std::string PatientBirthDate(const StayOverview& stay);
// TYP as the line shows it (67-69).
std::string PatientStayType(const StayOverview& stay);

// The stays of a department database, in ascending text order of their lines. Fails with a German
// message when the database is missing or unreadable.
Result<std::vector<StayOverview>> LoadPatientStays(const std::string& departmentDbPath);

}  // namespace kalvora

#pragma once
// PatientLine: the fixed-column text that describes one stay in the patient list of a department,
// and the values the patient level hands to the detail view (StayKey, CurrentDepartmentStatus).
//
//   1-10 KIS_ID | 11-13 | 14-23 DOB TT.MM.JJJJ | 24-26 | 27-43 ADM_DATE TT.MM.JJJJ, hh:mm | 44-46 |
//   47-63 DIS_DATE TT.MM.JJJJ, hh:mm | 64-66 | 67-69 TYP | 70-72 | 73-82 status text

#include <string>
#include <string_view>
#include <vector>

namespace kalvora {

// The fields of a stay row that its line shows, as stored.
struct PatientLineFields {
    std::string kisId;
    std::string dob;
    std::string admDate;
    std::string disDate;
    std::string typ;
    std::string flag;
};

// Status text of a FLAG: "Korrekt", "Inkorrekt", "Entlassen", "In Arbeit"; any other flag shows itself.
std::string PatientStatusText(std::string_view flag);
std::string BuildPatientLine(const PatientLineFields& fields);

// Readers by column range.
std::string PatientAdmissionNumber(std::string_view line);  // 1-10
std::string PatientBirthDate(std::string_view line);        // 14-23, TT.MM.JJJJ
std::string PatientStayType(std::string_view line);         // 67-69

// The key of the stay chosen in the patient list, in stored form.
struct StayKey {
    std::string admissionNumber;  // 10 characters
    std::string birthDate;        // DateCode JJJJMMTT
    std::string admissionTime;    // DateTimeCode JJJJMMTThhmm
};
StayKey StayKeyFromPatientLine(std::string_view line);

// "EXTERN" when character 98 of the department line is "E" (data of the import), else "INTERN".
std::string CurrentDepartmentStatus(std::string_view departmentLine);

// The patient list of a department database: one line per stay, in ascending text order.
struct PatientList {
    std::vector<std::string> lines;
    std::string error;  // German message when the department database is missing or unreadable
};
PatientList LoadPatientLines(const std::string& departmentDbPath);

}  // namespace kalvora

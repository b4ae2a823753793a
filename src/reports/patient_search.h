#pragma once
// Patient search by admission number, birth date or both: across the departments of the department
// list (one indexed lookup per department database) or within the lines of one patient list.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/admin_database.h"
#include "store/department_database.h"

namespace kalvora {

// The remembered search terms; the department level resets both to blanks when it opens.
struct SearchTerms {
    std::string admissionNumber = std::string(10, ' ');  // trimmed entry, blanks to 10 characters
    std::string birthDate = std::string(8, ' ');         // DateCode JJJJMMTT, or 8 blanks
};

// 0 no term, 1 admission number only, 2 birth date only, 3 both.
enum class SearchMode { None = 0, AdmissionNumber = 1, BirthDate = 2, Both = 3 };
SearchMode SearchModeOf(const SearchTerms& terms);

// Terms from the two entry fields; the birth date as the field shows it (TT.MM.JJJJ or blank).
SearchTerms MakeSearchTerms(std::string_view admissionNumberField, std::string_view birthDateField);

// The birth-date field after it loses the focus: TT.MM.JJJJ for an accepted day (only four-digit years),
// the empty text for an empty entry, none when the entry is refused (the field is then cleared).
std::optional<std::string> NormaliseBirthDateEntry(std::string_view entry);

// "&Beginnen" searches from the first line, "Fortsetzen" from the line after the reference line.
enum class SearchStart { FromFirst, AfterReference };

struct DepartmentSearchResult {
    std::optional<std::size_t> hit;  // the department with a matching stay
    std::optional<std::size_t>
        current;  // the department to make current and select (the hit, else the reference)
    std::vector<std::string> skipped;  // German messages for department databases that could not be searched
};

// Department level: reference is the first selected department (the first one when none is selected).
DepartmentSearchResult SearchDepartments(const std::vector<Department>& departments,
                                         std::optional<std::size_t> firstSelected, SearchStart start,
                                         const SearchTerms& terms, const std::string& systemDataPath);

// Whether the department database holds a stay matching the terms: one lookup through the index of the
// mode (KIS_ID_Index, DOB_Index or KIS_ID_DOB_Index). Throws StoreError when the file cannot be read.
bool DepartmentHoldsStay(const std::string& departmentDbPath, const SearchTerms& terms);

struct PatientSearchResult {
    std::optional<std::size_t> hit;
    std::optional<std::size_t> current;  // the hit, else the reference line
};

// Patient level: compares what the patient lines show, exactly (blanks and letter case included).
PatientSearchResult SearchPatientStays(const std::vector<StayOverview>& stays,
                                       std::optional<std::size_t> currentLine, SearchStart start,
                                       const SearchTerms& terms);

}  // namespace kalvora

#include "reports/patient_search.h"

#include <algorithm>

#include "base/conversions.h"
#include "base/text.h"
#include "reports/department_line.h"
#include "reports/patient_line.h"
#include "store/database.h"
#include "store/file_ops.h"
#include "store/stored_data_messages.h"

namespace kalvora {

namespace {

bool isBlank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

std::size_t startLine(std::optional<std::size_t> reference, SearchStart start) {
    return start == SearchStart::FromFirst ? 0 : reference.value_or(0) + 1;
}

}  // namespace

SearchMode SearchModeOf(const SearchTerms& terms) {
    const bool number = !isBlank(terms.admissionNumber);
    const bool birth = !isBlank(terms.birthDate);
    if (number && birth) return SearchMode::Both;
    if (number) return SearchMode::AdmissionNumber;
    if (birth) return SearchMode::BirthDate;
    return SearchMode::None;
}

SearchTerms MakeSearchTerms(std::string_view admissionNumberField, std::string_view birthDateField) {
    SearchTerms terms;
    terms.admissionNumber = FixedWidth(std::string(TrimBlanks(admissionNumberField)), 10);
    terms.birthDate = isBlank(birthDateField) ? std::string(8, ' ') : DisplayToDateCode(birthDateField, 8);
    return terms;
}

std::optional<std::string> NormaliseBirthDateEntry(std::string_view entry) {
    if (isBlank(entry)) return std::string();
    std::string normalised = NormaliseDateEntry(std::string(TrimBlanks(entry)), "8");
    if (isBlank(normalised)) return std::nullopt;
    return normalised;
}

static bool departmentHoldsStayOnce(const std::string& departmentDbPath, const SearchTerms& terms) {
    Database department(departmentDbPath, OpenMode::ReadOnly);
    Statement seek;
    switch (SearchModeOf(terms)) {
        case SearchMode::None:
            return false;
        case SearchMode::AdmissionNumber:
            seek = department.prepare(
                "SELECT 1 FROM \"Gesamt - Patientenadministration\" INDEXED BY KIS_ID_Index WHERE KIS_ID = ? "
                "LIMIT 1");
            seek.bind(1, terms.admissionNumber);
            break;
        case SearchMode::BirthDate:
            seek = department.prepare(
                "SELECT 1 FROM \"Gesamt - Patientenadministration\" INDEXED BY DOB_Index WHERE DOB = ? LIMIT "
                "1");
            seek.bind(1, terms.birthDate);
            break;
        case SearchMode::Both:
            seek = department.prepare(
                "SELECT 1 FROM \"Gesamt - Patientenadministration\" INDEXED BY KIS_ID_DOB_Index"
                " WHERE KIS_ID = ? AND DOB = ? LIMIT 1");
            seek.bind(1, terms.admissionNumber);
            seek.bind(2, terms.birthDate);
            break;
    }
    return seek.step() == StepResult::Row;
}

DepartmentSearchResult SearchDepartments(const std::vector<std::string>& departmentLines,
                                         std::optional<std::size_t> firstSelected, SearchStart start,
                                         const SearchTerms& terms, const std::string& systemDataPath) {
    DepartmentSearchResult result;
    if (departmentLines.empty()) return result;
    const std::size_t reference = firstSelected.value_or(0);
    for (std::size_t index = startLine(reference, start); index < departmentLines.size(); ++index) {
        const std::string& line = departmentLines[index];
        const std::string path = DepartmentDatabasePath(systemDataPath, line);
        // A department whose database is gone or unreadable cannot hold the patient; the search goes
        // on with the next one and names it afterwards.
        if (!FileExists(path)) {
            result.skipped.push_back(stored_data_messages::DepartmentDbMissing(DepartmentDatabaseName(line)));
            continue;
        }
        try {
            if (DepartmentHoldsStay(path, terms)) {
                result.hit = index;
                result.current = index;
                return result;
            }
        } catch (const StoreError&) {
            result.skipped.push_back(
                stored_data_messages::DepartmentDbUnreadable(DepartmentDatabaseName(line)));
        }
    }
    result.current = std::min(reference, departmentLines.size() - 1);
    return result;
}

PatientSearchResult SearchPatientLines(const std::vector<std::string>& patientLines,
                                       std::optional<std::size_t> currentLine, SearchStart start,
                                       const SearchTerms& terms) {
    PatientSearchResult result;
    if (patientLines.empty()) return result;
    const SearchMode mode = SearchModeOf(terms);
    const std::size_t reference = currentLine.value_or(0);
    if (mode != SearchMode::None) {
        const bool byNumber = mode == SearchMode::AdmissionNumber || mode == SearchMode::Both;
        const bool byBirth = mode == SearchMode::BirthDate || mode == SearchMode::Both;
        for (std::size_t index = startLine(reference, start); index < patientLines.size(); ++index) {
            const std::string& line = patientLines[index];
            if (byNumber && PatientAdmissionNumber(line) != terms.admissionNumber) continue;
            if (byBirth && DisplayToDateCode(PatientBirthDate(line), 8) != terms.birthDate) continue;
            result.hit = index;
            result.current = index;
            return result;
        }
    }
    result.current = std::min(reference, patientLines.size() - 1);
    return result;
}

bool DepartmentHoldsStay(const std::string& departmentDbPath, const SearchTerms& terms) {
    return ReadCurrentFile([&] { return departmentHoldsStayOnce(departmentDbPath, terms); });
}

}  // namespace kalvora

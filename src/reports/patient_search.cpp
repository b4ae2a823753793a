#include "reports/patient_search.h"

#include <algorithm>

#include "base/conversions.h"
#include "base/text.h"
#include "reports/department_line.h"
#include "reports/patient_line.h"
#include "store/file_ops.h"
#include "store/stored_data_messages.h"

namespace kalvora {

namespace {

std::size_t startLine(std::optional<std::size_t> reference, SearchStart start) {
    return start == SearchStart::FromFirst ? 0 : reference.value_or(0) + 1;
}

}  // namespace

SearchMode SearchModeOf(const SearchTerms& terms) {
    const bool number = !IsBlankText(terms.admissionNumber);
    const bool birth = !IsBlankText(terms.birthDate);
    if (number && birth) return SearchMode::Both;
    if (number) return SearchMode::AdmissionNumber;
    if (birth) return SearchMode::BirthDate;
    return SearchMode::None;
}

SearchTerms MakeSearchTerms(std::string_view admissionNumberField, std::string_view birthDateField) {
    SearchTerms terms;
    terms.admissionNumber = FixedWidth(std::string(TrimBlanks(admissionNumberField)), 10);
    terms.birthDate =
        IsBlankText(birthDateField) ? std::string(8, ' ') : DisplayToDateCode(birthDateField, 8);
    return terms;
}

std::optional<std::string> NormaliseBirthDateEntry(std::string_view entry) {
    if (IsBlankText(entry)) return std::string();
    std::string normalised = NormaliseDateEntry(std::string(TrimBlanks(entry)), "8");
    if (IsBlankText(normalised)) return std::nullopt;
    return normalised;
}

DepartmentSearchResult SearchDepartments(const std::vector<Department>& departments,
                                         std::optional<std::size_t> firstSelected, SearchStart start,
                                         const SearchTerms& terms, const std::string& systemDataPath) {
    DepartmentSearchResult result;
    if (departments.empty()) return result;
    const std::size_t reference = firstSelected.value_or(0);
    for (std::size_t index = startLine(reference, start); index < departments.size(); ++index) {
        const Department& department = departments[index];
        const std::string path = DepartmentDatabasePath(systemDataPath, department);
        // A department whose database is gone or unreadable cannot hold the patient; the search goes
        // on with the next one and names it afterwards.
        if (!FileExists(path)) {
            result.skipped.push_back(stored_data_messages::DepartmentDbMissing(department.fileName()));
            continue;
        }
        try {
            if (DepartmentHoldsStay(path, terms)) {
                result.hit = index;
                result.current = index;
                return result;
            }
        } catch (const StoreError&) {
            result.skipped.push_back(stored_data_messages::DepartmentDbUnreadable(department.fileName()));
        }
    }
    result.current = std::min(reference, departments.size() - 1);
    return result;
}

PatientSearchResult SearchPatientStays(const std::vector<StayOverview>& stays,
                                       std::optional<std::size_t> currentLine, SearchStart start,
                                       const SearchTerms& terms) {
    PatientSearchResult result;
    if (stays.empty()) return result;
    const SearchMode mode = SearchModeOf(terms);
    const std::size_t reference = currentLine.value_or(0);
    if (mode != SearchMode::None) {
        const bool byNumber = mode == SearchMode::AdmissionNumber || mode == SearchMode::Both;
        const bool byBirth = mode == SearchMode::BirthDate || mode == SearchMode::Both;
        for (std::size_t index = startLine(reference, start); index < stays.size(); ++index) {
            const StayOverview& stay = stays[index];
            if (byNumber && PatientAdmissionNumber(stay) != terms.admissionNumber) continue;
            if (byBirth && DisplayToDateCode(PatientBirthDate(stay), 8) != terms.birthDate) continue;
            result.hit = index;
            result.current = index;
            return result;
        }
    }
    result.current = std::min(reference, stays.size() - 1);
    return result;
}

bool DepartmentHoldsStay(const std::string& departmentDbPath, const SearchTerms& terms) {
    const SearchMode mode = SearchModeOf(terms);
    if (mode == SearchMode::None) return false;
    std::optional<std::string> admissionNumber;
    std::optional<std::string> birthDate;
    if (mode != SearchMode::BirthDate) admissionNumber = terms.admissionNumber;
    if (mode != SearchMode::AdmissionNumber) birthDate = terms.birthDate;
    return ReadCurrentFile([&] {
        return DepartmentDatabase::ForReading(departmentDbPath).holdsStay(admissionNumber, birthDate);
    });
}

}  // namespace kalvora

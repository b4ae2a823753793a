#include "import/data_file_name.h"

#include <optional>
#include <string>

#include "base/status_sink.h"
#include "import/import_summary.h"
#include "store/admin_database.h"

namespace kalvora {

namespace {

std::string part(std::string_view name, size_t from, size_t count) {
    return from < name.size() ? std::string(name.substr(from, count)) : std::string();
}

}  // namespace

void CheckDataFileName(AdminDatabase& admin, std::string_view name, ImportSummaryRow& summary,
                       StatusSink& status, CheckState& state) {
    char period = name.empty() ? ' ' : name[0];
    if (period >= 'a' && period <= 'z') period = static_cast<char>(period - 'a' + 'A');
    if (period < 'A' || period > 'S') {
        state = CheckState::BadPeriod;
        return;
    }
    char year = name.size() > 1 ? name[1] : ' ';
    if (year < '0' || year > '9') {
        state = CheckState::BadYear;
        return;
    }
    std::string kaCode = "K" + part(name, 9, 3);
    const std::optional<std::string> hospitalName = admin.hospitalName(kaCode);
    if (!hospitalName) {
        state = CheckState::KaNotFound;
        status.setPanel(2, " ");
        return;
    }
    std::string hospital = PadCharacters(kaCode + " - " + *hospitalName, 50);
    status.setPanel(2, hospital + " ");
    summary.ka = PadCharacters(hospital, kSummaryKaWidth);

    std::string function = "12" + part(name, 2, 4);
    const std::optional<std::string> departmentName = admin.functionName(function);
    if (!departmentName) {
        state = CheckState::DepartmentNotFound;
        status.setPanel(3, " ");
        return;
    }
    std::string department =
        PadCharacters("12" + PadCharacters(part(name, 2, 6), 6) + " - " + *departmentName, 50);
    status.setPanel(3, department + " ");
    summary.department = PadCharacters(department, kSummaryDepartmentWidth);
}

}  // namespace kalvora

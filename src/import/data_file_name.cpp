#include "import/data_file_name.h"

#include <string>

#include "base/status_sink.h"
#include "import/import_summary.h"
#include "store/database.h"

namespace kalvora {

namespace {

std::string part(std::string_view name, size_t from, size_t count) {
    return from < name.size() ? std::string(name.substr(from, count)) : std::string();
}

// The name of a reference row, or none when the code is not listed.
bool lookUp(Database& admin, std::string_view sql, const std::string& code, std::string& name) {
    Statement statement = admin.prepare(sql);
    statement.bind(1, std::string_view(code));
    if (statement.step() != StepResult::Row) return false;
    name = statement.text(0);
    return true;
}

}  // namespace

void CheckDataFileName(Database& admin, std::string_view name, ImportSummaryRow& summary, StatusSink& status,
                       CheckState& state) {
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
    std::string hospitalName;
    std::string kaCode = "K" + part(name, 9, 3);
    if (!lookUp(admin, "SELECT BEZEICHNUNG FROM \"KANR-Bezeichnung\" WHERE KANR = ?", kaCode, hospitalName)) {
        state = CheckState::KaNotFound;
        status.setPanel(2, " ");
        return;
    }
    std::string hospital = PadCharacters(kaCode + " - " + hospitalName, 50);
    status.setPanel(2, hospital + " ");
    summary.ka = PadCharacters(hospital, kSummaryKaWidth);

    std::string departmentName;
    std::string function = "12" + part(name, 2, 4);
    if (!lookUp(admin, "SELECT BEZEICHNUNG FROM \"ABT-Bezeichnung\" WHERE ABTEILUNG = ?", function,
                departmentName)) {
        state = CheckState::DepartmentNotFound;
        status.setPanel(3, " ");
        return;
    }
    std::string department =
        PadCharacters("12" + PadCharacters(part(name, 2, 6), 6) + " - " + departmentName, 50);
    status.setPanel(3, department + " ");
    summary.department = PadCharacters(department, kSummaryDepartmentWidth);
}

}  // namespace kalvora

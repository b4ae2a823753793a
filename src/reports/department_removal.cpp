#include "reports/department_removal.h"

#include <filesystem>
#include <system_error>

#include "reports/department_line.h"
#include "reports/line_columns.h"
#include "reports/report_messages.h"
#include "shell/message_service.h"
#include "shell/settings.h"
#include "shell/status_sink.h"
#include "store/database.h"
#include "store/file_ops.h"

namespace kalvora {

namespace {

// A name read from the administration table must stay inside the system data directory.
bool isPlainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\:") == std::string::npos;
}

RemovalOutcome removeDepartment(Database& admin, const std::string& line, const std::string& systemDataPath) {
    const std::string fileName = DepartmentDatabaseName(line);
    Statement seek =
        admin.prepare("SELECT rowid, MDB_DATEI FROM Dateiverwaltung WHERE MDB_DATEI = ? LIMIT 1");
    seek.bind(1, LineColumns(line, 85, 96));
    long long row = 0;
    std::string storedName;
    if (seek.step() == StepResult::Row) {
        row = seek.integer(0);
        storedName = TrimmedBlanks(seek.textView(1));
    } else {
        // A stored name of another width still names the same file.
        Statement byName =
            admin.prepare("SELECT rowid, MDB_DATEI FROM Dateiverwaltung WHERE trim(MDB_DATEI) = ?");
        byName.bind(1, fileName);
        if (byName.step() != StepResult::Row) return RemovalOutcome::NotRegistered;
        row = byName.integer(0);
        storedName = TrimmedBlanks(byName.textView(1));
    }
    if (!isPlainFileName(storedName)) return RemovalOutcome::FileNotDeleted;

    const std::string path = JoinPath(systemDataPath, storedName);
    bool fileWasThere = std::filesystem::exists(std::filesystem::symlink_status(path));
    if (fileWasThere) {
        std::error_code error;
        std::filesystem::remove(path, error);
        if (error || std::filesystem::exists(std::filesystem::symlink_status(path)))
            return RemovalOutcome::FileNotDeleted;
    }
    Statement remove = admin.prepare("DELETE FROM Dateiverwaltung WHERE rowid = ?");
    remove.bind(1, row);
    remove.run();
    return fileWasThere ? RemovalOutcome::Removed : RemovalOutcome::RemovedWithoutFile;
}

}  // namespace

bool LeavesDepartmentList(RemovalOutcome outcome) { return outcome != RemovalOutcome::FileNotDeleted; }

std::string RemovalMessage(const DepartmentRemoval& removal) {
    const std::string fileName = DepartmentDatabaseName(removal.line);
    switch (removal.outcome) {
        case RemovalOutcome::Removed:
            return {};
        case RemovalOutcome::RemovedWithoutFile:
            return "Die Abteilungsdatenbank " + fileName +
                   " war bereits nicht mehr vorhanden; der Eintrag der Abteilung wurde entfernt.";
        case RemovalOutcome::FileNotDeleted:
            return "Die Abteilungsdatenbank " + fileName +
                   " kann nicht gelöscht werden; die Abteilung wurde nicht entfernt!";
        case RemovalOutcome::NotRegistered:
            return report_messages::UnknownDepartment(fileName);
    }
    return {};
}

RemovalResult RemoveDepartments(const std::vector<std::string>& departmentLines,
                                const std::string& systemDataPath, StatusSink& status) {
    RemovalResult result;
    const std::string adminPath = AdminDatabasePath(systemDataPath);
    if (!departmentLines.empty()) {
        try {
            if (!FileExists(adminPath)) throw StoreError("missing");
            Database admin(adminPath, OpenMode::ReadWrite);
            for (const std::string& line : departmentLines) {
                status.setPanel(1, " Lösche Datenbank...");
                status.setPanel(2, DepartmentHospitalPart(line) + " ");
                status.setPanel(3, DepartmentPanelPart(line) + " ");
                result.departments.push_back({line, removeDepartment(admin, line, systemDataPath)});
            }
        } catch (const StoreError&) {
            result.error = report_messages::AdminDbUnreadable(adminPath);
        }
    }
    status.setPanel(1, " Bereit");
    status.setPanel(2, "");
    status.setPanel(3, "");
    return result;
}

RemovalResult ConfirmAndRemoveDepartments(const std::vector<std::string>& chosenLines,
                                          const std::string& systemDataPath, MessageService& messages,
                                          StatusSink& status) {
    if (chosenLines.empty()) {
        messages.ShowNotice(notices::SelectAtLeastOne);
        return {};
    }
    if (messages.AskQuestion(questions::RemoveReports) != Answer::Yes) return {};
    return RemoveDepartments(chosenLines, systemDataPath, status);
}

}  // namespace kalvora

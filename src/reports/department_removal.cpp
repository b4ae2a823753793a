#include "reports/department_removal.h"

#include <optional>

#include "base/message_service.h"
#include "base/status_sink.h"
#include "base/text.h"
#include "reports/department_line.h"
#include "store/data_directory.h"
#include "store/database.h"
#include "store/file_ops.h"
#include "store/stored_data_messages.h"

namespace kalvora {

namespace {

struct RegisteredFile {
    long long rowid = 0;
    std::string storedName;
};

std::optional<RegisteredFile> findRegisteredFile(Database& admin, const std::string& line) {
    Statement seek =
        admin.prepare("SELECT rowid, MDB_DATEI FROM Dateiverwaltung WHERE MDB_DATEI = ? LIMIT 1");
    seek.bind(1, LineColumns(line, 85, 96));
    if (seek.step() == StepResult::Row)
        return RegisteredFile{seek.integer(0), std::string(TrimBlanks(seek.textView(1)))};
    // A stored name of another width still names the same file.
    Statement byName =
        admin.prepare("SELECT rowid, MDB_DATEI FROM Dateiverwaltung WHERE trim(MDB_DATEI) = ?");
    byName.bind(1, DepartmentDatabaseName(line));
    if (byName.step() == StepResult::Row)
        return RegisteredFile{byName.integer(0), std::string(TrimBlanks(byName.textView(1)))};
    return std::nullopt;
}

// File and row go together or not at all (see RemoveDepartmentFile).
RemovalOutcome removeDepartment(Database& admin, const DataDirectoryLock& lock, const std::string& line) {
    const std::optional<RegisteredFile> registered = findRegisteredFile(admin, line);
    if (!registered) return RemovalOutcome::NotRegistered;
    switch (RemoveDepartmentFile(admin, lock, registered->rowid, registered->storedName)) {
        case FileRemoval::Removed:
            return RemovalOutcome::Removed;
        case FileRemoval::AlreadyGone:
            return RemovalOutcome::RemovedWithoutFile;
        case FileRemoval::NotRemovable:
            return RemovalOutcome::FileNotDeleted;
    }
    return RemovalOutcome::FileNotDeleted;
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
            return stored_data_messages::UnknownDepartment(fileName);
    }
    return {};
}

RemovalResult RemoveDepartments(const std::vector<std::string>& departmentLines,
                                const std::string& systemDataPath, StatusSink& status) {
    RemovalResult result;
    const std::string adminPath = AdminDatabase::PathIn(systemDataPath);
    if (!departmentLines.empty()) {
        try {
            if (!FileExists(adminPath)) throw StoreError(stored_data_messages::AdminDbUnreadable(adminPath));
            // One writer at a time; a second one waits a moment and then changes nothing.
            DataDirectoryLock lock(systemDataPath);
            Database admin(adminPath, OpenMode::ReadWrite);
            for (const std::string& line : departmentLines) {
                status.setPanel(1, " Lösche Datenbank...");
                status.setPanel(2, DepartmentHospitalPart(line) + " ");
                status.setPanel(3, DepartmentPanelPart(line) + " ");
                result.departments.push_back({line, removeDepartment(admin, lock, line)});
            }
        } catch (const StoreError& error) {
            result.error = error.what();
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

#include "reports/department_removal.h"

#include <optional>

#include "base/message_service.h"
#include "base/status_sink.h"
#include "base/text.h"
#include "reports/department_line.h"
#include "store/data_directory.h"
#include "store/file_ops.h"
#include "store/stored_data_messages.h"

namespace kalvora {

namespace {

// File and row go together or not at all (see RemoveDepartmentFile).
RemovalOutcome removeDepartment(AdminDatabase& admin, const DataDirectoryLock& lock,
                                const Department& department) {
    const std::optional<RegisteredFile> registered = admin.findRegisteredFile(department);
    if (!registered) return RemovalOutcome::NotRegistered;
    switch (RemoveDepartmentFile(admin, lock, registered->rowid, registered->fileName)) {
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
    const std::string fileName = removal.department.fileName();
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

RemovalResult RemoveDepartments(const std::vector<Department>& departments, const std::string& systemDataPath,
                                StatusSink& status) {
    RemovalResult result;
    const std::string adminPath = AdminDatabase::PathIn(systemDataPath);
    if (!departments.empty()) {
        try {
            if (!FileExists(adminPath)) throw StoreError(stored_data_messages::AdminDbUnreadable(adminPath));
            // One writer at a time; a second one waits a moment and then changes nothing.
            DataDirectoryLock lock(systemDataPath);
            AdminDatabase admin = AdminDatabase::ForWriting(lock);
            for (const Department& department : departments) {
                status.setPanel(1, " Lösche Datenbank...");
                status.setPanel(2, DepartmentHospitalPart(department) + " ");
                status.setPanel(3, DepartmentPanelPart(department) + " ");
                result.departments.push_back({department, removeDepartment(admin, lock, department)});
            }
        } catch (const StoreError& error) {
            result.failure = error.what();
        }
    }
    status.setPanel(1, " Bereit");
    status.setPanel(2, "");
    status.setPanel(3, "");
    return result;
}

RemovalResult ConfirmAndRemoveDepartments(const std::vector<Department>& chosen,
                                          const std::string& systemDataPath, MessageService& messages,
                                          StatusSink& status) {
    if (chosen.empty()) {
        messages.ShowNotice(notices::SelectAtLeastOne);
        return {};
    }
    if (messages.AskQuestion(questions::RemoveReports) != Answer::Yes) return {};
    return RemoveDepartments(chosen, systemDataPath, status);
}

}  // namespace kalvora

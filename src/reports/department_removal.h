#pragma once
// Removal of departments: each chosen department's database file and its row of Dateiverwaltung,
// together or not at all, under the lock of the system data directory.

#include <string>
#include <vector>

#include "store/admin_database.h"

namespace kalvora {

class MessageService;
class StatusSink;

enum class RemovalOutcome {
    Removed,             // file deleted, row deleted
    RemovedWithoutFile,  // the file was already gone; the row was deleted
    FileNotDeleted,      // the file could not be deleted; the row stays
    NotRegistered,       // no row of Dateiverwaltung names the file; nothing was touched
};

struct DepartmentRemoval {
    Department department;
    RemovalOutcome outcome = RemovalOutcome::Removed;
};

struct RemovalResult {
    std::vector<DepartmentRemoval> departments;  // in the order worked through
    // Why the removal stopped, in German: iadmin.mdb cannot be opened or changed, or another program
    // changes the data directory; the departments listed before it were removed. Empty when none.
    std::string failure;
    bool failed() const { return !failure.empty(); }
};

// Removes the given departments, top to bottom; a failure with one department does not stop the
// others. Writes status panels 1 to 3 while it works.
RemovalResult RemoveDepartments(const std::vector<Department>& departments, const std::string& systemDataPath,
                                StatusSink& status);

// "E&ntfernen" of the department level: notice when nothing is chosen, the question, then the removal.
// Returns no departments when the user did not confirm.
RemovalResult ConfirmAndRemoveDepartments(const std::vector<Department>& chosen,
                                          const std::string& systemDataPath, MessageService& messages,
                                          StatusSink& status);

// Whether the department leaves the list after the removal.
bool LeavesDepartmentList(RemovalOutcome outcome);
// German message about a department that was not removed cleanly; empty for a clean removal.
std::string RemovalMessage(const DepartmentRemoval& removal);

}  // namespace kalvora

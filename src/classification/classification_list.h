#pragma once
// The departments of the classification dialog: every department of Dateiverwaltung whose
// database holds an ICU stay (TYP "INT") that is not still being worked on (FLAG "U"), in the
// order of Dateiverwaltung's key (KANR, ABTEILUNG).

#include <string>
#include <vector>

#include "base/result.h"
#include "classification/department_entry.h"

namespace kalvora {

// Whether the department database holds a stay with TYP "INT" and FLAG other than "U".
// Throws StoreError when the database cannot be read.
bool HasClassifiableStays(const std::string& departmentDbPath);

// The list of the classification dialog: the entries in list order, and the departments left out
// because their database is missing or cannot be read (there is nothing to classify, but the user
// is told which they are).
struct UnlistedDepartment {
    std::string dataFile;     // MDB_DATEI without blanks
    bool fileMissing = true;  // false: the file is there but cannot be read
};
struct ClassificationDialogList {
    std::vector<ClassificationEntry> entries;
    std::vector<UnlistedDepartment> unlisted;
};
// Fails with a German message when the administration database cannot be read.
Result<ClassificationDialogList> LoadClassificationDialogList(const std::string& systemDataPath);

// The entries of the departments named by their database file, in the order of Dateiverwaltung's
// key whatever order the names come in, each once. Fails with a German message naming the first
// name that no department has.
Result<std::vector<ClassificationEntry>> EntriesOfNamedDepartments(const std::vector<Department>& departments,
                                                                   const std::vector<std::string>& fileNames);

// One line per department left out: "Die Abteilungsdatenbank X fehlt im Systemdatenverzeichnis!" or
// "... kann nicht gelesen werden!"; empty when none was.
std::string UnlistedDepartmentsText(const std::vector<UnlistedDepartment>& unlisted);

}  // namespace kalvora

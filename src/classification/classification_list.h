#pragma once
// The departments of the classification dialog: every department of Dateiverwaltung whose
// database holds an ICU stay (TYP "INT") that is not still being worked on (FLAG "U"), in the
// order of Dateiverwaltung's key (KANR, ABTEILUNG).

#include <optional>
#include <string>
#include <vector>

#include "base/conversions.h"
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
    std::vector<std::string> entries;
    std::vector<UnlistedDepartment> unlisted;
};
ClassificationDialogList LoadClassificationDialogList(const std::string& systemDataPath,
                                                      const NumberNotation& notation);
// The entries of the departments named by their database file, in the order of Dateiverwaltung's
// key whatever order the names come in, each once. `unknownName` is the first name that no
// department has; the entries are empty then.
struct NamedEntries {
    std::vector<std::string> entries;
    std::optional<std::string> unknownName;
};
NamedEntries EntriesOfNamedDepartments(const std::vector<Department>& departments,
                                       const std::vector<std::string>& fileNames,
                                       const NumberNotation& notation);

// One line per department left out: "Die Abteilungsdatenbank X fehlt im Systemdatenverzeichnis!" or
// "... kann nicht gelesen werden!"; empty when none was.
std::string UnlistedDepartmentsText(const std::vector<UnlistedDepartment>& unlisted);

// The entries alone, for callers that classify what the dialog would list.
std::vector<std::string> ClassificationDialogEntries(const std::string& systemDataPath,
                                                     const NumberNotation& notation);

}  // namespace kalvora

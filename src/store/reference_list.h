#pragma once
// The reference lists of hospitals and department functions ("code;name" per line), the name tables
// of iadmin.mdb made from them, and the making of a system data directory.

#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace kalvora {

class Database;

struct ReferenceEntry {
    std::string code;
    std::string name;  // UTF-8
};

inline constexpr int kHospitalCodeLength = 4;
inline constexpr int kFunctionCodeLength = 6;

// Reads a list of "code;name" lines: UTF-8 (a byte-order mark allowed) or, when the file is not
// valid UTF-8, Windows-1252. Blank lines are ignored. `codeLength` > 0 requires codes of that length.
// A code may appear once: the tables do not tell upper from lower case, and neither does the list.
// Fails with a German message naming file and line.
Result<std::vector<ReferenceEntry>> ReadReferenceList(const std::string& path, int codeLength);

// Fills the (empty) name table with the entries.
void FillNameTable(Database& admin, std::string_view table, const std::vector<ReferenceEntry>& entries);

// Replaces the content of the name table by the entries of the list read from `listPath`, unless a
// department registered in Dateiverwaltung would lose its hospital ("KANR-Bezeichnung") or its
// function ("ABT-Bezeichnung", the first six characters of ABTEILUNG): refused then with a German
// message naming the list, the missing codes and their departments. The caller holds the
// transaction.
Outcome ReplaceNameTable(Database& admin, std::string_view table, const std::string& listPath,
                         const std::vector<ReferenceEntry>& entries);

struct DataDirectoryRequest {
    std::string systemDirectory;
    // The lists of a new directory (empty: the shipped ones); for an existing directory a given list
    // replaces its name table and one not given leaves it as it is.
    std::string hospitalsCsv;
    std::string departmentsCsv;
    // An existing directory is taken over with its departments; without it, it is refused.
    bool force = false;
};

// Creates iadmin.mdb (with the reference lists) and an empty template ibds.mdb in the directory, or
// takes over an existing directory (see SetUpSystem). Fails with the German message; a failure
// leaves nothing behind.
Outcome CreateDataDirectory(const DataDirectoryRequest& request);

// The lists shipped with the program: a folder `reference` beside the program, else the one in the
// share/kalvora of its installation or build tree (SharedDataDirectory).
std::string ShippedReferenceDirectory();

}  // namespace kalvora

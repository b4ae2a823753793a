#pragma once
// The reference lists of hospitals and department functions ("code;name" per line) and the
// making of a new system data directory from them.

#include <string>
#include <utility>
#include <vector>

namespace kalvora {

struct ReferenceEntry {
    std::string code;
    std::string name;  // UTF-8
};

struct ReferenceListResult {
    std::vector<ReferenceEntry> entries;
    std::string error;  // German message naming file and line; empty when read
};

// Reads a list of "code;name" lines: UTF-8 (a byte-order mark allowed) or, when the file is not
// valid UTF-8, Windows-1252. Blank lines are ignored. `codeLength` > 0 requires codes of that length.
ReferenceListResult ReadReferenceList(const std::string& path, int codeLength);

struct DataDirectoryRequest {
    std::string systemDirectory;
    std::string hospitalsCsv;
    std::string departmentsCsv;
    bool force = false;
};

// Creates iadmin.mdb (with the reference lists) and an empty template ibds.mdb in the directory.
// Each file is built beside its target and moved into place only when complete.
// Returns an empty text on success, else the German message.
std::string CreateDataDirectory(const DataDirectoryRequest& request);

// The lists shipped with the program.
std::string ShippedReferenceDirectory();

}  // namespace kalvora

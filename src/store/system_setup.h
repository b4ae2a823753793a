#pragma once
// Setting up a system data directory, its import and export directories and the settings file that
// points at them: all of it, or on failure nothing.
//
// A new directory gets iadmin.mdb with the name tables of hospitals and department functions and the
// empty template ibds.mdb. A directory that holds iadmin.mdb or ibds.mdb already is taken over only
// when asked to (force): its departments, their files and staffing values stay, a missing template is
// made, and a given list replaces its name table, but only when every registered department keeps its
// hospital and its function there.

#include <optional>
#include <string>

#include "base/settings.h"
#include "store/reference_list.h"

namespace kalvora {

struct SystemSetupRequest {
    DataDirectoryRequest directory;
    // Made when missing; empty for none.
    std::string importDirectory;
    std::string exportDirectory;
    // The settings file that gets all nine values of `settings`; none for no settings file.
    std::optional<std::string> settingsPath;
    Settings settings;
};

// Empty on success, else the German message. After a failure every file and directory the setup made
// is removed again, and iadmin.mdb and the settings file are as they were.
std::string SetUpSystem(const SystemSetupRequest& request);

// "Im Verzeichnis DIR besteht bereits ein Systemdatenverzeichnis ...": what --force would keep.
std::string ExistingDataDirectoryText(const std::string& systemDirectory);

}  // namespace kalvora

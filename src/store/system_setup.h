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

// The set-up of a new system data directory as `kalvora-cli setup DIR` and the window program's first
// start make it: the import and export directories DIR/import and DIR/export, and the settings
// PlausLevel Warning, MindestStd 0, both flags N and the calendar year `year` as survey period. The
// settings file is `settingsPath` (where the settings lookup reads).
SystemSetupRequest NewSystemSetupRequest(const std::string& systemDirectory, const std::string& settingsPath,
                                         int year);

// The settings written by a set-up for these three directories.
Settings NewSystemSettings(const std::string& systemDirectory, const std::string& importDirectory,
                           const std::string& exportDirectory, int year);

// Fails with the German message; after a failure every file and directory the setup made is removed
// again, and iadmin.mdb and the settings file are as they were.
Outcome SetUpSystem(const SystemSetupRequest& request);

// True when the directory holds iadmin.mdb or ibds.mdb: a set-up takes it over only when forced.
bool HoldsSystemData(const std::string& systemDirectory);

// True when the settings name no system data directory (SystemDataPath missing from the settings
// file, or no settings file at all): the program has not been set up yet.
bool LacksSystemDataPath(const Settings& settings);

// "Im Verzeichnis DIR besteht bereits ein Systemdatenverzeichnis ...": what --force would keep.
std::string ExistingDataDirectoryText(const std::string& systemDirectory);

}  // namespace kalvora

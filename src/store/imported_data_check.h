#pragma once
// The imported-data check of the main window and the department list: data have been imported
// once the table Dateiverwaltung of the administration database has a row.

#include <string>

namespace kalvora {

struct ImportedDataCheck {
    bool present = false;
    // German message when the administration database cannot be read; empty otherwise.
    std::string error;
};

ImportedDataCheck CheckImportedData(const std::string& systemDataPath);

}  // namespace kalvora

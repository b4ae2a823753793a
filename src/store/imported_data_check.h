#pragma once
// The imported-data check of the main window and the department list: data have been imported
// once the table Dateiverwaltung of the administration database has a row.

#include <string>

#include "base/result.h"

namespace kalvora {

// Whether data have been imported; fails with a German message naming the administration database
// when it cannot be read.
Result<bool> CheckImportedData(const std::string& systemDataPath);

}  // namespace kalvora

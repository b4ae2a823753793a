#pragma once
// The name typed for the total database: a short file name of allowed characters, never a path.

#include <string>
#include <string_view>

namespace kalvora {

// The file-name check of the import and export dialogs, and names that would mean a directory
// ("." and "..") refused as well.
bool IsValidExportFileName(std::string_view name);

// The name the file gets: blanks after the name are not part of it.
std::string ExportFileName(std::string_view name);

}  // namespace kalvora

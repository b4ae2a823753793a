#include "import/protocol_choice.h"

#include <unistd.h>

#include <filesystem>

#include "base/file_name_check.h"
#include "base/paths.h"
#include "base/text.h"

namespace kalvora {

Outcome CheckExportDirectory(const std::string& exportDataPath) {
    // A drive or root setting ("C:", "") stands for the directory with its separator.
    const std::string directory = exportDataPath.size() < 3 ? exportDataPath + "/" : exportDataPath;
    std::error_code error;
    if (!std::filesystem::is_directory(directory, error))
        return Failure{"Das Export-/Protokollverzeichnis " + directory + " ist nicht vorhanden!"};
    if (::access(directory.c_str(), W_OK | X_OK) != 0)
        return Failure{"In das Export-/Protokollverzeichnis " + directory +
                       " kann nicht geschrieben werden!"};
    return Done{};
}

std::optional<std::string> ProtocolPathFor(const std::string& exportDataPath, std::string_view typedName) {
    if (!IsShortFileName(typedName)) return std::nullopt;
    const std::string path = JoinPath(exportDataPath, std::string(TrimBlanks(typedName)));
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) return std::nullopt;
    return path;
}

bool ProtocolFileHoldsData(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return false;
    const auto size = std::filesystem::file_size(path, error);
    return !error && size > 0;
}

}  // namespace kalvora

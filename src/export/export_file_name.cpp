#include "export/export_file_name.h"

#include "base/file_name_check.h"

namespace kalvora {

std::string ExportFileName(std::string_view name) {
    std::size_t last = name.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string() : std::string(name.substr(0, last + 1));
}

bool IsValidExportFileName(std::string_view name) {
    if (!IsShortFileName(name)) return false;
    const std::string fileName = ExportFileName(name);
    return fileName != "." && fileName != "..";
}

}  // namespace kalvora

#include "base/file_name_check.h"

namespace kalvora {

bool IsShortFileName(std::string_view name) {
    size_t first = name.find_first_not_of(' ');
    size_t last = name.find_last_not_of(' ');
    if (first == std::string_view::npos) return false;
    size_t point = name.find('.');
    size_t beforePoint = point == std::string_view::npos ? 0 : point;
    if (beforePoint > 8 || name.size() > 12) return false;
    // The characters examined are as many as the trimmed name has, from the start of the name.
    size_t examined = last - first + 1;
    for (size_t i = 0; i < examined && i < name.size(); ++i) {
        auto code = static_cast<unsigned char>(name[i]);
        if (code < 46 || code > 122 || name[i] == '/' || name[i] == '\\' || name[i] == ':') return false;
    }
    return true;
}

}  // namespace kalvora

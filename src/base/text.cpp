#include "base/text.h"

namespace kalvora {

std::string_view TrimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::string WithoutBlanks(std::string_view text) {
    std::string result;
    for (const char c : text) {
        if (c != ' ') result.push_back(c);
    }
    return result;
}

bool IsBlankText(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

}  // namespace kalvora

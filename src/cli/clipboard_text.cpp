#include "cli/clipboard_text.h"

namespace kalvora::cli {

std::string ClipboardTextForOutput(std::string_view text) {
    std::string output(text);
    for (char& c : output) {
        if (c == '\r') c = '\n';
    }
    if (output.empty() || output.back() != '\n') output += '\n';
    return output;
}

}  // namespace kalvora::cli

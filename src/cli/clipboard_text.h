#pragma once
// Tables that a window copies to the clipboard are printed by the command line with every carriage
// return written as a line feed and a final line feed.

#include <ostream>
#include <string_view>

namespace kalvora::cli {

inline void PrintClipboardText(std::ostream& out, std::string_view text) {
    for (char c : text) out << (c == '\r' ? '\n' : c);
    out << '\n';
}

}  // namespace kalvora::cli

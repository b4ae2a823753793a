#pragma once
// Tables that a window copies to the clipboard are printed by the command line with every carriage
// return written as a line feed, and the last line ended.

#include <string>
#include <string_view>

namespace kalvora::cli {

std::string ClipboardTextForOutput(std::string_view text);

}  // namespace kalvora::cli

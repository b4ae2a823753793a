#pragma once
// Small helpers for the fixed-column texts of the system: blanks are the only padding these texts
// know, so the helpers deal in blanks (" "), not in white space in general.

#include <string>
#include <string_view>

namespace kalvora {

// The text without its leading and trailing blanks.
std::string_view TrimBlanks(std::string_view text);
// The text without any of its blanks ("12100101 .101" -> "12100101.101").
std::string WithoutBlanks(std::string_view text);
// True when the text is empty or holds nothing but blanks.
bool IsBlankText(std::string_view text);

}  // namespace kalvora

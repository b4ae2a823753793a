#pragma once
// Small helpers for the fixed-column texts of the system (list lines, entries, stored codes). Blanks
// are the only padding these texts know, so the helpers deal in blanks (" "), not in white space in
// general. Texts are UTF-8; columns and widths count characters (a name may hold umlauts).

#include <cstddef>
#include <string>
#include <string_view>

namespace kalvora {

// The text without its leading and trailing blanks.
std::string_view TrimBlanks(std::string_view text);
// The text without leading and trailing blanks and tabs, as the settings file's lines are read.
std::string_view TrimBlanksAndTabs(std::string_view text);
// The text without any of its blanks ("12100101 .101" -> "12100101.101").
std::string WithoutBlanks(std::string_view text);
// True when the text is empty or holds nothing but blanks.
bool IsBlankText(std::string_view text);

// Text cut to `width` characters or padded with blanks on the right (UTF-8 aware).
std::string FixedWidth(std::string_view text, int width);

// The number of characters of the text.
std::size_t CharacterCount(std::string_view text);
// The byte offset of character `index` (from 0); the text's size when it has fewer characters.
std::size_t ByteOffsetOfCharacter(std::string_view text, std::size_t index);
// Columns `first` to `last` (from 1) of the line, as far as the line has them.
std::string LineColumns(std::string_view line, int first, int last);
// Columns from `first` to the end of the line.
std::string LineColumnsFrom(std::string_view line, int first);

}  // namespace kalvora

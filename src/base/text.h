#pragma once
// Small helpers for the fixed-column texts of the system (list lines, entries, stored codes). Blanks
// are the only padding these texts know, so the helpers deal in blanks (" "), not in white space in
// general. Texts are UTF-8; columns and widths count characters (a name may hold umlauts).

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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

// Sorts values in ascending byte order of the lines that show them, equal lines keeping their order:
// the order of the lists, which show their values as such lines. `render` gives a value's line.
template <typename T, typename Render>
void SortByLine(std::vector<T>& values, Render render) {
    std::vector<std::pair<std::string, T>> lines;
    lines.reserve(values.size());
    for (T& value : values) {
        std::string line = render(value);
        lines.emplace_back(std::move(line), std::move(value));
    }
    std::stable_sort(lines.begin(), lines.end(),
                     [](const auto& left, const auto& right) { return left.first < right.first; });
    values.clear();
    for (auto& entry : lines) values.push_back(std::move(entry.second));
}

}  // namespace kalvora

#pragma once
// The list lines of the ICU report are fixed-column texts; windows and the export read fields back
// out of them by column. Columns count characters (a name may hold umlauts), from 1.

#include <string>
#include <string_view>

namespace kalvora {

// Columns `first` to `last` of the line, as far as the line has them.
std::string LineColumns(std::string_view line, int first, int last);
// Columns from `first` to the end of the line.
std::string LineColumnsFrom(std::string_view line, int first);
// The text without blanks at either end.

}  // namespace kalvora

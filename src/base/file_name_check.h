#pragma once

#include <string_view>

namespace kalvora {

// A file name typed by the user (protocol or export file): a short name of at most eight characters
// before the point and twelve in all, of the characters from "." to "z". A name is never a path:
// separators and ":" are refused too.
bool IsShortFileName(std::string_view name);

}  // namespace kalvora

#pragma once
// The numeric value of a stored text, as the engine's Val reads it. The import stores dates, scores
// and hours as plain digit strings; those are read directly, anything else by NumericValue.

#include <string_view>

namespace kalvora {

double StoredValue(std::string_view text);

}  // namespace kalvora

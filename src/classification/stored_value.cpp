#include "classification/stored_value.h"

#include "base/conversions.h"

namespace kalvora {

double StoredValue(std::string_view text) {
    // Up to 15 digits a double holds exactly, as NumericValue gives them.
    constexpr std::size_t kExactDigits = 15;
    if (text.empty() || text.size() > kExactDigits) return NumericValue(text);
    long long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return NumericValue(text);
        value = value * 10 + (c - '0');
    }
    return static_cast<double>(value);
}

}  // namespace kalvora

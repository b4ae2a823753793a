#include "import/stay_row.h"

namespace kalvora {

bool SameKeyText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x == y) continue;
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

bool StayRow::sameKey(std::string_view kisId, std::string_view dob, std::string_view admDate) const {
    return SameKeyText(KIS_ID, kisId) && SameKeyText(DOB, dob) && SameKeyText(ADM_DATE, admDate);
}

}  // namespace kalvora

#include "import/stay_row.h"

namespace kalvora {

bool StayRow::sameKey(std::string_view kisId, std::string_view dob, std::string_view admDate) const {
    return KIS_ID == kisId && DOB == dob && ADM_DATE == admDate;
}

}  // namespace kalvora

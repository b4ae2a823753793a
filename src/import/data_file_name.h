#pragma once
// The check of a delivery file's name, which encodes period, year, department and hospital.

#include <string_view>

#include "import/check_state.h"

namespace kalvora {

class AdminDatabase;
class StatusSink;
struct ImportSummaryRow;

// Checks period letter, year digit, hospital and department of the name in this order; fills the
// hospital and department columns of the summary row and status panels 2 and 3 as far as it gets.
// The first broken rule decides the state.
void CheckDataFileName(AdminDatabase& admin, std::string_view name, ImportSummaryRow& summary,
                       StatusSink& status, CheckState& state);

}  // namespace kalvora

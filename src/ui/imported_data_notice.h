#pragma once
// The imported-data check as the windows run it before working with stored data.

#include "ui/app_context.h"

namespace kalvora::ui {

// True when data have been imported; otherwise notice 18, or the error box when the
// administration database cannot be read.
bool ConfirmDataImported(AppContext& context);

}  // namespace kalvora::ui

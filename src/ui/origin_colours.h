#pragma once
// The colours of a control that shows imported data, by the status of the department on show.

#include <string_view>

class QWidget;

namespace kalvora::ui {

// Blue text on the button-face colour for a department of status "EXTERN" (its data came from a
// delivery), black on white otherwise, whether the control is usable or not.
void ShowOrigin(QWidget* control, std::string_view departmentStatus);

}  // namespace kalvora::ui

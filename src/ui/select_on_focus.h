#pragma once
// Text fields whose whole text is selected when they get the focus, so that typing replaces it.

class QLineEdit;

namespace kalvora::ui {

void SelectAllOnFocus(QLineEdit* field);

}  // namespace kalvora::ui

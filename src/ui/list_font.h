#pragma once
// The font of the fixed-column lists (department and patient lines, entries, stay details): the
// columns of their lines only line up in a font whose letters are all of one width.

#include <QFont>

namespace kalvora::ui {

// "Courier New", or the system's fixed-pitch font where that is not one.
QFont FixedPitchListFont();

}  // namespace kalvora::ui

#pragma once
// The font of the fixed-column lists (department and patient lines, entries, stay details): the
// columns of their lines only line up in a font whose letters are all of one width.

#include <QFont>

namespace kalvora::ui {

// "Courier New", or another fixed-pitch font where the system has none of that name.
QFont FixedPitchListFont();

}  // namespace kalvora::ui

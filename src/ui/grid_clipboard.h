#pragma once
// "Kopieren" of the result grids: all rows and columns are selected, then the table's text goes
// to the clipboard.

#include <QString>

class QTableWidget;

namespace kalvora::ui {

void SelectAllAndCopy(QTableWidget* grid, const QString& text);

}  // namespace kalvora::ui

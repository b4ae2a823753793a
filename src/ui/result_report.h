#pragma once
// The result windows of an import and of a classification share their layout: a frame "Bericht"
// holding the grid grd_erg, the buttons "&Kopieren" and "Schließen" (cmd_erg 0 and 1) with the focus
// on "&Kopieren", and a size that shows every column and a number of rows, as far as the screen
// allows.

#include <functional>

class QDialog;
class QTableWidget;

namespace kalvora::ui {

// Lays the frame and the buttons out in the window; returns the (empty) grid.
QTableWidget* BuildResultReport(QDialog* window, const std::function<void(int index)>& onCommand);

// Sizes the window to its filled grid: all columns, `rows` rows but at least 4 and at most
// `visibleRowsAtMost`.
void FitResultReport(QDialog* window, QTableWidget* grid, int rows, int visibleRowsAtMost);

}  // namespace kalvora::ui

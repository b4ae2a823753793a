#include "ui/grid_clipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QTableWidget>

namespace kalvora::ui {

void SelectAllAndCopy(QTableWidget* grid, const QString& text) {
    grid->clearSelection();
    if (grid->rowCount() > 0) {
        grid->setRangeSelected(
            QTableWidgetSelectionRange(0, 0, grid->rowCount() - 1, grid->columnCount() - 1), true);
    }
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

}  // namespace kalvora::ui

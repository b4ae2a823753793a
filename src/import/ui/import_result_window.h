#pragma once
// The result window of an import batch: one summary row per file; "&Kopieren" puts the table on
// the clipboard.

#include <QDialog>
#include <vector>

#include "import/import_summary.h"

class QTableWidget;

namespace kalvora::ui {

class ImportResultWindow : public QDialog {
    Q_OBJECT
public:
    explicit ImportResultWindow(std::vector<ImportSummaryRow> rows, QWidget* parent = nullptr);

    // The buttons by their index in the group (their object names end in it).
    enum Command : int { Copy = 0, Close = 1 };
    // cmd_erg: 0 "&Kopieren", 1 "Schließen".
    void onCommand(Command command);

    // The grid's header texts; the comment column's ends in a blank.
    static QStringList HeaderTexts();
    // Widths of the columns in letters "X" of the window's font.
    static const std::vector<int>& ColumnLetters();

private:
    void fillGrid();
    void copyToClipboard();

    std::vector<ImportSummaryRow> rows_;
    QTableWidget* grd_erg_ = nullptr;
};

}  // namespace kalvora::ui

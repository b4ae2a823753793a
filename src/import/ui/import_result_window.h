#pragma once
// The result window of an import batch: one summary row per file; "&Kopieren" puts the table on
// the clipboard.

#include <QDialog>
#include <string>
#include <vector>

#include "import/import_summary.h"
#include "import/ui/protocol_window.h"

class QPushButton;
class QTableWidget;

namespace kalvora {
class MessageService;
}

namespace kalvora::ui {

class ImportResultWindow : public QDialog {
    Q_OBJECT
public:
    explicit ImportResultWindow(std::vector<ImportSummaryRow> rows, QWidget* parent = nullptr);

    // The buttons by their index in the group (their object names end in it).
    enum Command : int { Copy = 0, Close = 1, Protocol = 2 };
    // cmd_erg: 0 "&Kopieren", 1 "Schließen", 2 "&Protokoll…".
    void onCommand(Command command);

    // Lets "&Protokoll…" open the findings of the batch's protocol file; without it the button is
    // disabled. A file that cannot be read is named in the run-time error box.
    void offerProtocol(std::string path, MessageService& messages, ProtocolWindow::StayOpener openStay);

    // The grid's header texts; the comment column's ends in a blank.
    static QStringList HeaderTexts();
    // Widths of the columns in letters "X" of the window's font.
    static const std::vector<int>& ColumnLetters();

private:
    void fillGrid();
    void copyToClipboard();
    void openProtocol();

    std::vector<ImportSummaryRow> rows_;
    QTableWidget* grd_erg_ = nullptr;
    QPushButton* protocolButton_ = nullptr;
    std::string protocolPath_;
    MessageService* messages_ = nullptr;
    ProtocolWindow::StayOpener openStay_;
};

}  // namespace kalvora::ui

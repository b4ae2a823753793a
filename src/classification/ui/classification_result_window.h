#pragma once
// The classification result window: classifies every selected department while it opens and shows
// one row of 24 columns per department; "&Kopieren" puts the table on the clipboard.
#include <QDialog>
#include <string>
#include <vector>

#include "classification/result_table.h"
#include "printing/printed_report.h"

class QTableWidget;

namespace kalvora {
class MessageService;
}

namespace kalvora::ui {

struct AppContext;

class ClassificationResultWindow : public QDialog {
    Q_OBJECT
public:
    // `entries`: the selected entries of the classification dialog's list, in list order.
    ClassificationResultWindow(AppContext& context, const std::vector<ClassificationEntry>& entries,
                               QWidget* parent = nullptr);

    // The buttons by their index in the group (their object names end in it).
    enum Command : int { Copy = 0, Close = 1, SavePdf = 2, Print = 3 };
    // cmd_erg: 0 "&Kopieren", 1 "Schließen", 2 "Als P&DF speichern…", 3 "&Drucken…".
    void onCommand(Command command);
    const ResultTable& table() const { return table_; }
    // The report that "Als P&DF speichern…" and "&Drucken…" put out.
    PrintedReport printedReport() const;

private:
    void classify(AppContext& context, const std::vector<ClassificationEntry>& entries);
    void fillGrid();
    void copyToClipboard();

    ResultTable table_;
    ClassificationRun run_;
    MessageService* messages_ = nullptr;
    QTableWidget* grd_erg_ = nullptr;
};

}  // namespace kalvora::ui

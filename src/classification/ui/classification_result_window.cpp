#include "classification/ui/classification_result_window.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <algorithm>

#include "base/message_service.h"
#include "classification/classification_run.h"
#include "classification/ui/classification_notation.h"
#include "printing/report_output.h"
#include "ui/app_context.h"
#include "ui/busy_pointer.h"
#include "ui/grid_clipboard.h"
#include "ui/object_names.h"
#include "ui/result_report.h"
#include "ui/status_bar_sink.h"

namespace kalvora::ui {

namespace {

constexpr int kVisibleRowsAtMost = 16;

// Columns holding figures: shown right-aligned.
bool IsFigureColumn(int column) { return (column >= 3 && column <= 14) || column == 20 || column == 21; }

QString TrailingBlanksRemoved(QString text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char(' ')) --end;
    text.truncate(end);
    return text;
}

}  // namespace

ClassificationResultWindow::ClassificationResultWindow(AppContext& context,
                                                       const std::vector<ClassificationEntry>& entries,
                                                       QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmEine"));
    setWindowTitle(QStringLiteral(" Extras - Einstufungsergebnis"));
    setModal(true);

    grd_erg_ = BuildResultReport(this, [this](int index) { onCommand(static_cast<Command>(index)); });
    // "Als P&DF speichern…" and "&Drucken…" stand before "&Kopieren".
    if (auto* buttons = qobject_cast<QBoxLayout*>(layout()->itemAt(1)->layout())) {
        const QString captions[] = {QStringLiteral("Als P&DF speichern…"), QStringLiteral("&Drucken…")};
        for (int index : {SavePdf, Print}) {
            auto* button = new QPushButton(captions[index - SavePdf], this);
            button->setObjectName(IndexedName("cmd_erg", index));
            button->setAutoDefault(false);
            connect(button, &QPushButton::clicked, this,
                    [this, index] { onCommand(static_cast<Command>(index)); });
            buttons->insertWidget(index - 1, button);
        }
    }
    messages_ = &context.messages;
    run_ = ClassificationRunFromSettings(context.settings);
    classify(context, entries);
    fillGrid();
    FitResultReport(this, grd_erg_, static_cast<int>(table_.rows.size()), kVisibleRowsAtMost);
}

void ClassificationResultWindow::classify(AppContext& context,
                                          const std::vector<ClassificationEntry>& entries) {
    const BusyPointer busy;
    StatusBarSink status(context.statusBar);
    const ResultNotation notation{SystemNumberNotation(), true};
    Result<ResultTable> table = ClassifyEntries(entries, ClassificationRunFromSettings(context.settings),
                                                context.settings.SystemDataPath, notation, status);
    if (table) {
        table_ = std::move(*table);
        return;
    }
    // The dialog refuses an invalid period before it opens this window; should one get here, the
    // table stays empty.
    context.messages.ShowErrorBox(table.message());
    status.setPanel(1, " Bereit");
}

void ClassificationResultWindow::fillGrid() {
    const auto& headers = ResultColumnHeaders();
    grd_erg_->setColumnCount(static_cast<int>(kResultColumnCount));
    grd_erg_->setRowCount(static_cast<int>(table_.rows.size()));
    for (int column = 0; column < static_cast<int>(kResultColumnCount); ++column) {
        const std::string_view header = headers[static_cast<std::size_t>(column)];
        auto* item =
            new QTableWidgetItem(QString::fromUtf8(header.data(), static_cast<qsizetype>(header.size())));
        item->setToolTip(item->text());
        grd_erg_->setHorizontalHeaderItem(column, item);
    }
    grd_erg_->verticalHeader()->hide();
    grd_erg_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grd_erg_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    grd_erg_->setWordWrap(false);
    grd_erg_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grd_erg_->horizontalHeader()->setHighlightSections(false);
    grd_erg_->verticalHeader()->setDefaultSectionSize(grd_erg_->fontMetrics().height() + 6);
    // Every column is as wide as fifteen letters "X"; a double click on a divider fits the column to
    // its texts (the table view's own handling), and each cell shows its whole text as a tooltip.
    const int width = fontMetrics().horizontalAdvance(QStringLiteral("XXXXXXXXXXXXXXX"));
    for (int column = 0; column < static_cast<int>(kResultColumnCount); ++column) {
        grd_erg_->setColumnWidth(column, width);
    }
    for (int row = 0; row < static_cast<int>(table_.rows.size()); ++row) {
        const ResultRow& cells = table_.rows[static_cast<std::size_t>(row)];
        for (int column = 0; column < static_cast<int>(kResultColumnCount); ++column) {
            // The blanks that fill a text to its width are not shown, so that fitting a column fits
            // what can be read; the copied table keeps them.
            const QString text =
                TrailingBlanksRemoved(QString::fromStdString(cells[static_cast<std::size_t>(column)]));
            auto* item = new QTableWidgetItem(text);
            item->setToolTip(text);
            if (IsFigureColumn(column)) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            grd_erg_->setItem(row, column, item);
        }
    }
}

void ClassificationResultWindow::onCommand(Command command) {
    const int index = command;
    if (index == 0) {
        copyToClipboard();
    } else if (index == SavePdf || index == Print) {
        const Outcome done = index == SavePdf
                                 ? SaveReportAsPdf(printedReport(), this, QStringLiteral("Einstufung.pdf"))
                                 : PrintReport(printedReport(), this);
        if (!done) messages_->ShowErrorBox(done.message());
    } else {
        reject();
    }
}

PrintedReport ClassificationResultWindow::printedReport() const {
    return ClassificationPrintedReport(table_, run_, TodayText());
}

void ClassificationResultWindow::copyToClipboard() {
    // Without a data row only the header line is copied.
    SelectAllAndCopy(grd_erg_, QString::fromStdString(table_.ClipboardText()));
}

}  // namespace kalvora::ui

#include "import/ui/import_result_window.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <algorithm>

#include "base/message_service.h"
#include "import/protocol_findings.h"
#include "ui/grid_clipboard.h"
#include "ui/object_names.h"
#include "ui/result_report.h"

namespace kalvora::ui {

namespace {

constexpr int kVisibleRowsAtMost = 20;

}  // namespace

ImportResultWindow::ImportResultWindow(std::vector<ImportSummaryRow> rows, QWidget* parent)
    : QDialog(parent), rows_(std::move(rows)) {
    setObjectName(QStringLiteral("frmImpe"));
    setWindowTitle(QStringLiteral(" Datei - ImportErgebnis"));
    setModal(true);

    grd_erg_ = BuildResultReport(this, [this](int index) { onCommand(static_cast<Command>(index)); });
    fillGrid();
    // "&Protokoll…" stands before "&Kopieren" in the row of buttons.
    protocolButton_ = new QPushButton(QStringLiteral("&Protokoll…"), this);
    protocolButton_->setObjectName(IndexedName("cmd_erg", Protocol));
    protocolButton_->setAutoDefault(false);
    protocolButton_->setEnabled(false);
    connect(protocolButton_, &QPushButton::clicked, this, [this] { onCommand(Protocol); });
    if (auto* buttons = qobject_cast<QBoxLayout*>(layout()->itemAt(1)->layout()))
        buttons->insertWidget(1, protocolButton_);
    FitResultReport(this, grd_erg_, static_cast<int>(rows_.size()), kVisibleRowsAtMost);
}

QStringList ImportResultWindow::HeaderTexts() {
    QStringList headers;
    for (const std::string& header : SummaryHeaders()) headers << QString::fromStdString(header);
    headers.back() += QLatin1Char(' ');
    return headers;
}

const std::vector<int>& ImportResultWindow::ColumnLetters() {
    static const std::vector<int> letters = {12, 24, 40, 11, 14, 31};
    return letters;
}

void ImportResultWindow::fillGrid() {
    const QStringList headers = HeaderTexts();
    grd_erg_->setColumnCount(static_cast<int>(headers.size()));
    grd_erg_->setRowCount(static_cast<int>(rows_.size()));
    grd_erg_->setHorizontalHeaderLabels(headers);
    grd_erg_->verticalHeader()->hide();
    grd_erg_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grd_erg_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    grd_erg_->setWordWrap(false);
    grd_erg_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grd_erg_->horizontalHeader()->setHighlightSections(false);
    grd_erg_->verticalHeader()->setDefaultSectionSize(grd_erg_->fontMetrics().height() + 6);

    const QFontMetrics metrics = grd_erg_->fontMetrics();
    for (int column = 0; column < static_cast<int>(ColumnLetters().size()); ++column) {
        grd_erg_->setColumnWidth(
            column, metrics.horizontalAdvance(QString(ColumnLetters()[column], QLatin1Char('X'))));
    }
    for (int row = 0; row < static_cast<int>(rows_.size()); ++row) {
        const std::vector<std::string> cells = rows_[static_cast<std::size_t>(row)].cells();
        for (int column = 0; column < static_cast<int>(cells.size()); ++column) {
            grd_erg_->setItem(row, column, new QTableWidgetItem(QString::fromStdString(cells[column])));
        }
    }
}

void ImportResultWindow::onCommand(Command command) {
    const int index = command;
    if (index == 0) {
        copyToClipboard();
    } else if (index == Protocol) {
        openProtocol();
    } else {
        reject();
    }
}

void ImportResultWindow::offerProtocol(std::string path, MessageService& messages,
                                       ProtocolWindow::StayOpener openStay) {
    protocolPath_ = std::move(path);
    messages_ = &messages;
    openStay_ = std::move(openStay);
    protocolButton_->setEnabled(!protocolPath_.empty());
}

void ImportResultWindow::openProtocol() {
    if (protocolPath_.empty() || messages_ == nullptr) return;
    Result<std::vector<ProtocolRow>> rows = ReadProtocolFile(protocolPath_);
    if (!rows) {
        messages_->ShowErrorBox(rows.message());
        return;
    }
    ProtocolWindow window(protocolPath_, std::move(*rows), openStay_, this);
    window.exec();
}

void ImportResultWindow::copyToClipboard() {
    // All summary rows and all columns are selected, as the copied text holds them.
    SelectAllAndCopy(grd_erg_, QString::fromStdString(SummaryClipboardText(rows_)));
}

}  // namespace kalvora::ui

#include "import/ui/frmImpe.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "shell/ui/grid_clipboard.h"
#include "shell/ui/object_names.h"

namespace kalvora::ui {

namespace {

constexpr int kVisibleRowsAtMost = 20;

}  // namespace

frmImpe::frmImpe(std::vector<ImportSummaryRow> rows, QWidget* parent)
    : QDialog(parent), rows_(std::move(rows)) {
    setObjectName(QStringLiteral("frmImpe"));
    setWindowTitle(QStringLiteral(" Datei - ImportErgebnis"));
    setModal(true);

    auto* frame = new QGroupBox(QStringLiteral("Bericht"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    grd_erg_ = new QTableWidget(frame);
    grd_erg_->setObjectName(QStringLiteral("grd_erg"));
    (new QVBoxLayout(frame))->addWidget(grd_erg_);
    fillGrid();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    const QString captions[] = {QStringLiteral("&Kopieren"), QStringLiteral("Schließen")};
    for (int index = 0; index < 2; ++index) {
        auto* button = new QPushButton(captions[index], this);
        button->setObjectName(IndexedName("cmd_erg", index));
        button->setMinimumWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("Schließen")) + 32);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, index] { onCommand(index); });
        buttons->addWidget(button);
        // The window opens with the focus on "&Kopieren", not on a cell of the grid.
        if (index == 0) button->setFocus();
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame, 1);
    layout->addLayout(buttons);

    // Wide enough for all columns, as far as the screen allows.
    const int gridWidth = grd_erg_->horizontalHeader()->length() + 2 * grd_erg_->frameWidth() +
                          grd_erg_->verticalScrollBar()->sizeHint().width();
    const int visibleRows = std::min(std::max(static_cast<int>(rows_.size()), 4), kVisibleRowsAtMost);
    const int gridHeight = grd_erg_->horizontalHeader()->height() + 2 * grd_erg_->frameWidth() +
                           visibleRows * grd_erg_->verticalHeader()->defaultSectionSize() +
                           grd_erg_->horizontalScrollBar()->sizeHint().height();
    QSize wanted(gridWidth + 48, gridHeight + 110);
    if (const QScreen* screen = QApplication::primaryScreen()) {
        wanted = wanted.boundedTo(screen->availableGeometry().size() * 0.95);
    }
    resize(wanted);
}

QStringList frmImpe::HeaderTexts() {
    QStringList headers;
    for (const std::string& header : SummaryHeaders()) headers << QString::fromStdString(header);
    headers.back() += QLatin1Char(' ');
    return headers;
}

const std::vector<int>& frmImpe::ColumnLetters() {
    static const std::vector<int> letters = {12, 24, 40, 11, 14, 31};
    return letters;
}

void frmImpe::fillGrid() {
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

void frmImpe::onCommand(int index) {
    if (index == 0) {
        copyToClipboard();
    } else {
        reject();
    }
}

void frmImpe::copyToClipboard() {
    // All summary rows and all columns are selected, as the copied text holds them.
    SelectAllAndCopy(grd_erg_, QString::fromStdString(SummaryClipboardText(rows_)));
}

}  // namespace kalvora::ui

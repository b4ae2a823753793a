#include "classification/ui/frmEine.h"

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
#include <stdexcept>

#include "classification/classification_run.h"
#include "classification/ui/classification_notation.h"
#include "shell/message_service.h"
#include "shell/ui/app_context.h"
#include "shell/ui/busy_pointer.h"
#include "shell/ui/object_names.h"
#include "shell/ui/status_bar_sink.h"
#include "shell/ui/grid_clipboard.h"

namespace kalvora::ui {

namespace {

constexpr int kVisibleRowsAtMost = 16;

// Columns holding figures: shown right-aligned.
bool IsFigureColumn(int column) { return (column >= 3 && column <= 14) || column == 20 || column == 21; }

}  // namespace

frmEine::frmEine(AppContext& context, const std::vector<std::string>& entries, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmEine"));
    setWindowTitle(QStringLiteral(" Extras - Einstufungsergebnis"));
    setModal(true);

    auto* frame = new QGroupBox(QStringLiteral("Bericht"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    grd_erg_ = new QTableWidget(frame);
    grd_erg_->setObjectName(QStringLiteral("grd_erg"));
    (new QVBoxLayout(frame))->addWidget(grd_erg_);

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
        if (index == 0) button->setFocus();
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame, 1);
    layout->addLayout(buttons);

    classify(context, entries);
    fillGrid();

    const int gridWidth = grd_erg_->horizontalHeader()->length() + 2 * grd_erg_->frameWidth() +
                          grd_erg_->verticalScrollBar()->sizeHint().width();
    const int visibleRows = std::min(std::max(static_cast<int>(table_.rows.size()), 4), kVisibleRowsAtMost);
    const int gridHeight = grd_erg_->horizontalHeader()->height() + 2 * grd_erg_->frameWidth() +
                           visibleRows * grd_erg_->verticalHeader()->defaultSectionSize() +
                           grd_erg_->horizontalScrollBar()->sizeHint().height();
    QSize wanted(gridWidth + 48, gridHeight + 110);
    if (const QScreen* screen = QApplication::primaryScreen()) {
        wanted = wanted.boundedTo(screen->availableGeometry().size() * 0.95);
    }
    resize(wanted);
}

void frmEine::classify(AppContext& context, const std::vector<std::string>& entries) {
    const BusyPointer busy;
    StatusBarSink status(context.statusBar);
    const ResultNotation notation{SystemNumberNotation(), true};
    try {
        table_ = ClassifyEntries(entries, ClassificationRunFromSettings(context.settings),
                                 context.settings.SystemDataPath, notation, status);
    } catch (const std::invalid_argument& refusal) {
        // The dialog refuses an invalid period before it opens this window; should one get here,
        // the table stays empty.
        context.messages.ShowErrorBox(refusal.what());
        status.setPanel(1, " Bereit");
    }
}

void frmEine::fillGrid() {
    const auto& headers = ResultColumnHeaders();
    grd_erg_->setColumnCount(static_cast<int>(kResultColumnCount));
    grd_erg_->setRowCount(static_cast<int>(table_.rows.size()));
    QStringList labels;
    for (const std::string_view header : headers) {
        labels << QString::fromUtf8(header.data(), static_cast<qsizetype>(header.size()));
    }
    grd_erg_->setHorizontalHeaderLabels(labels);
    grd_erg_->verticalHeader()->hide();
    grd_erg_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grd_erg_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    grd_erg_->setWordWrap(false);
    grd_erg_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grd_erg_->horizontalHeader()->setHighlightSections(false);
    grd_erg_->verticalHeader()->setDefaultSectionSize(grd_erg_->fontMetrics().height() + 6);
    // Every column is as wide as fifteen letters "X".
    const int width = fontMetrics().horizontalAdvance(QStringLiteral("XXXXXXXXXXXXXXX"));
    for (int column = 0; column < static_cast<int>(kResultColumnCount); ++column) {
        grd_erg_->setColumnWidth(column, width);
    }
    for (int row = 0; row < static_cast<int>(table_.rows.size()); ++row) {
        const ResultRow& cells = table_.rows[static_cast<std::size_t>(row)];
        for (int column = 0; column < static_cast<int>(kResultColumnCount); ++column) {
            auto* item =
                new QTableWidgetItem(QString::fromStdString(cells[static_cast<std::size_t>(column)]));
            if (IsFigureColumn(column)) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            grd_erg_->setItem(row, column, item);
        }
    }
}

void frmEine::onCommand(int index) {
    if (index == 0) {
        copyToClipboard();
    } else {
        reject();
    }
}

void frmEine::copyToClipboard() {
    // Without a data row only the header line is copied.
    SelectAllAndCopy(grd_erg_, QString::fromStdString(table_.ClipboardText()));
}

}  // namespace kalvora::ui

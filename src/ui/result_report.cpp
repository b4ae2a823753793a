#include "ui/result_report.h"

#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/object_names.h"

namespace kalvora::ui {

QTableWidget* BuildResultReport(QDialog* window, const std::function<void(int index)>& onCommand) {
    auto* frame = new QGroupBox(QStringLiteral("Bericht"), window);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* grid = new QTableWidget(frame);
    grid->setObjectName(QStringLiteral("grd_erg"));
    (new QVBoxLayout(frame))->addWidget(grid);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    const QString captions[] = {QStringLiteral("&Kopieren"), QStringLiteral("Schließen")};
    for (int index = 0; index < 2; ++index) {
        auto* button = new QPushButton(captions[index], window);
        button->setObjectName(IndexedName("cmd_erg", index));
        button->setMinimumWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("Schließen")) + 32);
        button->setAutoDefault(false);
        QObject::connect(button, &QPushButton::clicked, window, [onCommand, index] { onCommand(index); });
        buttons->addWidget(button);
        // The window opens with the focus on "&Kopieren", not on a cell of the grid.
        if (index == 0) button->setFocus();
    }

    auto* layout = new QVBoxLayout(window);
    layout->addWidget(frame, 1);
    layout->addLayout(buttons);
    return grid;
}

void FitResultReport(QDialog* window, QTableWidget* grid, int rows, int visibleRowsAtMost) {
    const int gridWidth = grid->horizontalHeader()->length() + 2 * grid->frameWidth() +
                          grid->verticalScrollBar()->sizeHint().width();
    const int visibleRows = std::min(std::max(rows, 4), visibleRowsAtMost);
    const int gridHeight = grid->horizontalHeader()->height() + 2 * grid->frameWidth() +
                           visibleRows * grid->verticalHeader()->defaultSectionSize() +
                           grid->horizontalScrollBar()->sizeHint().height();
    QSize wanted(gridWidth + 48, gridHeight + 110);
    if (const QScreen* screen = QApplication::primaryScreen())
        wanted = wanted.boundedTo(screen->availableGeometry().size() * 0.95);
    window->resize(wanted);
}

}  // namespace kalvora::ui

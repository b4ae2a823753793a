#include "ui/main_status_bar.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <algorithm>

namespace kalvora::ui {

namespace {

constexpr int kPanelStretch[MainStatusBar::kPanelCount] = {3, 1, 2, 1};
constexpr int kProgressScale = 1000;

QFrame* MakePanelFrame(QWidget* parent) {
    auto* frame = new QFrame(parent);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFrameShadow(QFrame::Sunken);
    // The stretch factors alone decide the widths, whatever the texts need.
    frame->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* layout = new QHBoxLayout(frame);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setSpacing(6);
    return frame;
}

}  // namespace

MainStatusBar::MainStatusBar(QWidget* parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("MainStatusBar"));
    setSizeGripEnabled(false);

    auto* strip = new QWidget(this);
    auto* stripLayout = new QHBoxLayout(strip);
    stripLayout->setContentsMargins(0, 0, 0, 0);
    stripLayout->setSpacing(2);
    for (int index = 0; index < kPanelCount; ++index) {
        QFrame* frame = MakePanelFrame(strip);
        frame->setObjectName(QStringLiteral("panel_frame_%1").arg(index + 1));
        auto* label = new QLabel(frame);
        label->setObjectName(QStringLiteral("panel_%1").arg(index + 1));
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        label->setTextFormat(Qt::PlainText);
        frame->layout()->addWidget(label);
        panels_[index] = label;
        if (index == 0) {
            progress_ = new QProgressBar(frame);
            progress_->setObjectName(QStringLiteral("prg_import"));
            progress_->setFixedWidth(fontMetrics().horizontalAdvance(QString(26, QLatin1Char('X'))) / 2 + 40);
            progress_->setMaximumHeight(fontMetrics().height() + 2);
            progress_->setTextVisible(true);
            progress_->hide();
            frame->layout()->addWidget(progress_);
        }
        stripLayout->addWidget(frame, kPanelStretch[index]);
    }
    addWidget(strip, 1);
}

void MainStatusBar::setPanel(int panel, const QString& text) {
    if (QLabel* label = panelLabel(panel)) label->setText(text);
}

QString MainStatusBar::panelText(int panel) const {
    const QLabel* label = panelLabel(panel);
    return label != nullptr ? label->text() : QString();
}

QLabel* MainStatusBar::panelLabel(int panel) const {
    if (panel < 1 || panel > kPanelCount) return nullptr;
    return panels_[panel - 1];
}

void MainStatusBar::beginProgress() {
    progress_->setRange(0, kProgressScale);
    progress_->setValue(0);
    progress_->setFormat(QString());
    progress_->show();
}

void MainStatusBar::setProgress(int fileIndex, int fileCount, quint64 bytesDone, quint64 bytesTotal) {
    if (fileCount <= 0) return;
    const double fileShare = bytesTotal == 0 ? 0.0
                                             : static_cast<double>(std::min(bytesDone, bytesTotal)) /
                                                   static_cast<double>(bytesTotal);
    // The bar fills over the whole batch; its text names the file and how far it is read.
    const double batchShare = (std::max(fileIndex, 1) - 1 + fileShare) / fileCount;
    progress_->setValue(static_cast<int>(batchShare * kProgressScale));
    progress_->setFormat(QStringLiteral("Datei %1/%2: %3 %")
                             .arg(fileIndex)
                             .arg(fileCount)
                             .arg(static_cast<int>(fileShare * 100.0)));
}

void MainStatusBar::endProgress() { progress_->hide(); }

}  // namespace kalvora::ui

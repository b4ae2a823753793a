#include "shell/ui/status_bar_sink.h"

#include <QCoreApplication>
#include <QLabel>

#include "shell/ui/main_status_bar.h"

namespace kalvora::ui {

StatusBarSink::StatusBarSink(MainStatusBar* bar, int repaintIntervalMs)
    : bar_(bar), intervalMs_(repaintIntervalMs) {}

void StatusBarSink::setPanel(int panel, std::string_view text) {
    if (bar_ == nullptr) return;
    bar_->setPanel(panel, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    // Panel texts of the work itself (" Importiere gültige Datensätze ") come seldom; they are
    // drawn at once so that they are seen before the long step that follows them.
    if (QLabel* label = bar_->panelLabel(panel); label != nullptr && label->isVisible()) label->repaint();
}

void StatusBarSink::lineChecked(const Progress& progress) {
    if (!repaintDue()) return;
    if (bar_ != nullptr) {
        bar_->setPanel(1, QString::fromStdString(
                              CheckingLineStatus(progress.line, progress.fileIndex, progress.fileCount)));
        bar_->setProgress(progress.fileIndex, progress.fileCount, progress.bytesDone, progress.bytesTotal);
    }
    processEvents();
}

void StatusBarSink::yield(const Progress&) {
    if (repaintDue()) processEvents();
}

bool StatusBarSink::repaintDue() {
    if (sinceRepaint_.isValid() && sinceRepaint_.elapsed() < intervalMs_) return false;
    sinceRepaint_.start();
    return true;
}

void StatusBarSink::processEvents() { QCoreApplication::processEvents(); }

}  // namespace kalvora::ui

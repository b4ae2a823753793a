#include "ui/status_bar_sink.h"

#include <QCoreApplication>

#include "ui/main_status_bar.h"

namespace kalvora::ui {

StatusBarSink::StatusBarSink(MainStatusBar* bar, int repaintIntervalMs)
    : bar_(bar), intervalMs_(repaintIntervalMs) {}

void StatusBarSink::setPanel(int panel, std::string_view text) {
    if (bar_ == nullptr) return;
    bar_->setPanel(panel, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    // A new phase: the lines read since the last redraw were not drawn; the bar shows where they ended.
    if (panel == 1) drawProgress();
    // Panel texts of the work itself come seldom; they are drawn at once so that they are seen
    // before the long step that follows them. Only the bar is drawn: no event is let through, since
    // the windows writing these texts need not be ready for one here.
    if (bar_->isVisible()) bar_->repaint();
}

void StatusBarSink::lineChecked(const Progress& progress) {
    reached_ = progress;
    progressReported_ = true;
    if (!repaintDue()) return;
    if (bar_ != nullptr) {
        bar_->setPanel(1, QString::fromStdString(
                              CheckingLineStatus(progress.line, progress.fileIndex, progress.fileCount)));
        drawProgress();
    }
    processEvents();
}

void StatusBarSink::drawProgress() {
    if (bar_ == nullptr || !progressReported_) return;
    bar_->setProgress(reached_.fileIndex, reached_.fileCount, reached_.bytesDone, reached_.bytesTotal);
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

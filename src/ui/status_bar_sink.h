#pragma once
// The status sink of long work in the desktop program: it writes the main window's status panels,
// and once per data line it redraws the checking text and the progress bar and lets pending window
// events run, but at most once per repaint interval, so that a long file is not slowed by redraws.
// A new panel text is drawn at once; a new text in panel 1 starts a new phase of the work and shows
// the progress the work has reached, drawn or not.

#include <QElapsedTimer>

#include "base/status_sink.h"

namespace kalvora::ui {

class MainStatusBar;

class StatusBarSink : public StatusSink {
public:
    static constexpr int kDefaultRepaintIntervalMs = 50;

    explicit StatusBarSink(MainStatusBar* bar, int repaintIntervalMs = kDefaultRepaintIntervalMs);

    void setPanel(int panel, std::string_view text) override;
    void lineChecked(const Progress& progress) override;
    void yield(const Progress& progress) override;

private:
    bool repaintDue();
    void drawProgress();
    void processEvents();

    MainStatusBar* bar_;
    int intervalMs_;
    QElapsedTimer sinceRepaint_;
    // The last line reported, drawn or not.
    Progress reached_;
    bool progressReported_ = false;
};

}  // namespace kalvora::ui

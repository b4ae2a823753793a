#pragma once
// The status bar of the main window: four text panels whose widths stand in the ratio 3 : 1 : 2 : 1,
// and a progress bar in the first panel while an import batch runs.

#include <QStatusBar>

class QLabel;
class QProgressBar;

namespace kalvora::ui {

class MainStatusBar : public QStatusBar {
    Q_OBJECT
public:
    static constexpr int kPanelCount = 4;

    explicit MainStatusBar(QWidget* parent = nullptr);

    // panel 1 to 4; other numbers are ignored.
    void setPanel(int panel, const QString& text);
    QString panelText(int panel) const;
    QLabel* panelLabel(int panel) const;

    // The progress of a batch: the position of the file in the batch and how much of it is read.
    void beginProgress();
    void setProgress(int fileIndex, int fileCount, quint64 bytesDone, quint64 bytesTotal);
    void endProgress();
    QProgressBar* progressBar() const { return progress_; }

private:
    QLabel* panels_[kPanelCount] = {};
    QProgressBar* progress_ = nullptr;
};

}  // namespace kalvora::ui

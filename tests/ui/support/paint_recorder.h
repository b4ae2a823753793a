#pragma once
// Records what a label or progress bar looked like each time it was painted, so that a test sees
// what reached the screen rather than what a control merely holds.

#include <QList>
#include <QObject>
#include <QStringList>

class QLabel;
class QProgressBar;

namespace kalvora::test {

class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(QLabel* label, QProgressBar* progress = nullptr);

    // The label's text at each paint, a text painted again in a row recorded once.
    const QStringList& texts() const { return texts_; }
    // The progress bar's value at each paint.
    const QList<int>& values() const { return values_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* label_;
    QProgressBar* progress_;
    QStringList texts_;
    QList<int> values_;
};

}  // namespace kalvora::test

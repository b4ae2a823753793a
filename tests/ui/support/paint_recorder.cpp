#include "support/paint_recorder.h"

#include <QEvent>
#include <QLabel>
#include <QProgressBar>

namespace kalvora::test {

PaintRecorder::PaintRecorder(QLabel* label, QProgressBar* progress) : label_(label), progress_(progress) {
    label_->installEventFilter(this);
    if (progress_ != nullptr) progress_->installEventFilter(this);
}

bool PaintRecorder::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint) {
        if (watched == label_ && (texts_.isEmpty() || texts_.back() != label_->text()))
            texts_ << label_->text();
        if (watched == progress_) values_ << progress_->value();
    }
    return false;
}

}  // namespace kalvora::test

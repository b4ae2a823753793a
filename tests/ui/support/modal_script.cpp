#include "support/modal_script.h"

#include <QApplication>
#include <QDialog>

namespace kalvora::test {

ModalScript::ModalScript() {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
    timer_.start();
}

ModalScript::~ModalScript() { timer_.stop(); }

ModalScript& ModalScript::then(Step step) {
    steps_.push_back(std::move(step));
    return *this;
}

void ModalScript::close(QWidget* window) {
    if (auto* dialog = qobject_cast<QDialog*>(window)) {
        dialog->reject();
    } else {
        window->close();
    }
}

void ModalScript::poll() {
    if (steps_.empty()) return;
    QWidget* window = QApplication::activeModalWidget();
    if (window == nullptr || !window->isVisible() || window == last_) return;
    last_ = window;
    seen_ << window->objectName();
    Step step = std::move(steps_.front());
    steps_.pop_front();
    // The step may open further modal windows; the timer keeps polling inside their loops.
    if (step) {
        step(window);
    } else {
        close(window);
    }
}

}  // namespace kalvora::test

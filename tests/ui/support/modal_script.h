#pragma once
// Answers the modal windows that a test opens: each step handles the next modal window that
// appears (one that was not handled before) and records its objectName. A window test calls the
// menu command after setting up the script; the script works inside the window's own event loop.

#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>

namespace kalvora::test {

class ModalScript {
public:
    using Step = std::function<void(QWidget* window)>;

    ModalScript();
    ~ModalScript();

    // Adds a step; without an action the window is closed (its Escape action).
    ModalScript& then(Step step = {});
    // The objectNames of the windows handled so far.
    const QStringList& seen() const { return seen_; }
    bool done() const { return steps_.empty(); }

    template <typename T>
    static T* child(QWidget* window, const char* name) {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
    static void close(QWidget* window);

private:
    void poll();

    QTimer timer_;
    std::deque<Step> steps_;
    QStringList seen_;
    QPointer<QWidget> last_;
};

}  // namespace kalvora::test

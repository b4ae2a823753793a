#pragma once
// Looks up a control of a window by its object name; a missing control ends the test run, since
// every later check on it would be meaningless.

#include <QString>
#include <QWidget>
#include <QtGlobal>

namespace kalvora::test {

template <typename T>
T* Child(QWidget* window, const QString& name) {
    T* child = window->findChild<T*>(name);
    if (child == nullptr) qFatal("control %s missing", qPrintable(name));
    return child;
}

template <typename T>
T* Child(QWidget* window, const char* name) {
    return Child<T>(window, QString::fromLatin1(name));
}

}  // namespace kalvora::test

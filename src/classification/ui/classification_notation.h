#pragma once
// The number notation of the user's locale: its decimal and group separators, as the classification
// windows show and read DGKP, beds and the result figures.
#include <QLocale>

#include "base/conversions.h"

namespace kalvora::ui {

inline NumberNotation SystemNumberNotation() {
    const QLocale locale = QLocale::system();
    NumberNotation notation = NumberNotation::Plain();
    const QString decimal = locale.decimalPoint();
    const QString group = locale.groupSeparator();
    if (decimal.size() == 1 && decimal.at(0).unicode() < 0x80)
        notation.decimalSeparator = decimal.at(0).toLatin1();
    if (group.size() == 1 && group.at(0).unicode() < 0x80) {
        notation.groupSeparator = group.at(0).toLatin1();
    } else {
        // A group separator outside ASCII (a non-breaking space) is written as a plain blank.
        notation.groupSeparator = notation.decimalSeparator == ',' ? '.' : ',';
    }
    return notation;
}

}  // namespace kalvora::ui

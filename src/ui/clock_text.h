#pragma once
// The text of the clock in the fourth status panel: "  dd.mm.yyyy, hh:mm  ".

#include <QDateTime>
#include <QString>

namespace kalvora::ui {

QString ClockText(const QDateTime& now);

}  // namespace kalvora::ui

#include "ui/clock_text.h"

namespace kalvora::ui {

QString ClockText(const QDateTime& now) {
    // Written from the numbers, so that no locale changes the digits or separators.
    const QDate date = now.date();
    const QTime time = now.time();
    const auto two = [](int value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); };
    return QStringLiteral("  %1.%2.%3, %4:%5  ")
        .arg(two(date.day()), two(date.month()),
             QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0')), two(time.hour()),
             two(time.minute()));
}

}  // namespace kalvora::ui

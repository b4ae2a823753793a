#include "reports/ui/pair_bracket.h"

#include <QPainter>
#include <QPen>

namespace kalvora::ui {

PairBracket::PairBracket(int rowSpacing, QWidget* parent) : QWidget(parent), rowSpacing_(rowSpacing) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
}

QSize PairBracket::sizeHint() const {
    const int letter = fontMetrics().horizontalAdvance(QLatin1Char('X'));
    return {letter + 2, 2 * fontMetrics().height() + rowSpacing_};
}

int PairBracket::topEnd() const { return (height() - rowSpacing_) / 4; }

int PairBracket::bottomEnd() const { return height() - 1 - (height() - rowSpacing_) / 4; }

void PairBracket::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(palette().color(QPalette::WindowText));
    pen.setWidth(2);
    pen.setCapStyle(Qt::SquareCap);
    painter.setPen(pen);
    const int left = 2;
    const int right = width() - 2;
    painter.drawLine(left, topEnd(), left, bottomEnd());
    painter.drawLine(left, topEnd(), right, topEnd());
    painter.drawLine(left, bottomEnd(), right, bottomEnd());
}

}  // namespace kalvora::ui

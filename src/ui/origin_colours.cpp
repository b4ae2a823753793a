#include "ui/origin_colours.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

namespace kalvora::ui {

void ShowOrigin(QWidget* control, std::string_view departmentStatus) {
    const bool external = departmentStatus == "EXTERN";
    const QColor background =
        external ? QApplication::palette().color(QPalette::Active, QPalette::Button) : QColor(Qt::white);
    const QColor text = external ? QColor(0, 0, 255) : QColor(Qt::black);
    QPalette palette = control->palette();
    for (QPalette::ColorRole role : {QPalette::Base, QPalette::Button, QPalette::Window})
        palette.setColor(role, background);
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText})
        palette.setColor(role, text);
    control->setPalette(palette);
}

}  // namespace kalvora::ui

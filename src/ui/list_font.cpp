#include "ui/list_font.h"

#include <QFontDatabase>
#include <QFontInfo>

namespace kalvora::ui {

QFont FixedPitchListFont() {
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    if (!QFontInfo(font).fixedPitch()) font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    return font;
}

}  // namespace kalvora::ui

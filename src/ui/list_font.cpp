#include "ui/list_font.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

namespace kalvora::ui {

namespace {

QFont Candidate(const QString& family) {
    QFont font(family);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    return font;
}

}  // namespace

QFont FixedPitchListFont() {
    // A system may map "Courier New" to a font that is not of one width for every letter; then the
    // common fixed-pitch families are tried, and last the system's fixed font.
    for (const QString& family : {QStringLiteral("Courier New"), QStringLiteral("DejaVu Sans Mono"),
                                  QStringLiteral("Liberation Mono"), QStringLiteral("Noto Sans Mono")}) {
        const QFont font = Candidate(family);
        if (QFontInfo(font).fixedPitch()) return font;
    }
    return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

}  // namespace kalvora::ui

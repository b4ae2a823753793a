#pragma once
// Qt's own texts (the details button of message boxes, context menus of text fields, file dialogs)
// in German, from the translations installed with Qt.

#include <QString>

class QCoreApplication;

namespace kalvora::ui {

// Loads and installs Qt's German translations into the application; false when none are installed.
// The translator lives as long as the application.
bool InstallGermanQtTexts(QCoreApplication& application);

// Where Qt's translations are looked up.
QString QtTranslationsDirectory();

}  // namespace kalvora::ui

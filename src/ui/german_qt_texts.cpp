#include "ui/german_qt_texts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace kalvora::ui {

QString QtTranslationsDirectory() { return QLibraryInfo::path(QLibraryInfo::TranslationsPath); }

bool InstallGermanQtTexts(QCoreApplication& application) {
    auto* translator = new QTranslator(&application);
    if (!translator->load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QtTranslationsDirectory())) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

}  // namespace kalvora::ui

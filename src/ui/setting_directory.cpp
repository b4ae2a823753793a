#include "ui/setting_directory.h"

#include <QDir>

namespace kalvora::ui {

namespace {

bool IsSeparator(QChar c) { return c == QLatin1Char('/') || c == QLatin1Char('\\'); }

}  // namespace

QString DirectoryOfSetting(const std::string& path) {
    const QString value = QString::fromStdString(path);
    if (value.size() < 3) return value + QDir::separator();
    return value;
}

std::string PathSettingOf(const QString& shown) {
    QString value = shown;
    qsizetype last = value.size() - 1;
    while (last >= 0 && value.at(last) == QLatin1Char(' ')) --last;
    if (last >= 0 && IsSeparator(value.at(last))) value.remove(last, 1);
    return value.toStdString();
}

QString FileInDirectory(const QString& directory, const QString& name) {
    if (!directory.isEmpty() && IsSeparator(directory.back())) return directory + name;
    return directory + QDir::separator() + name;
}

}  // namespace kalvora::ui

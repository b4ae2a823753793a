#include "support/ui_test_data.h"

#include <QDir>
#include <QFile>
#include <stdexcept>

#include "base/paths.h"
#include "store/database.h"
#include "store/reference_list.h"
#include "store/schema.h"

namespace kalvora::test {

UiTestData::UiTestData() {
    if (!root_.isValid()) throw std::runtime_error("no temporary directory");
    for (const QString& directory : {systemDir(), importDir(), exportDir()}) QDir().mkpath(directory);
    DataDirectoryRequest request;
    request.systemDirectory = systemDir().toStdString();
    const Outcome created = CreateDataDirectory(request);
    if (!created) throw std::runtime_error(created.message());

    // The program directory holds no settings file, so every read and write goes to iniPath().
    settingsFile = std::make_unique<SettingsFile>((root() + QStringLiteral("/program")).toStdString(),
                                                  (root() + QStringLiteral("/common")).toStdString(),
                                                  iniPath().toStdString(), &messages);
    context = std::make_unique<ui::AppContext>(*settingsFile, messages);
    context->settings.ImportDataPath = importDir().toStdString();
    context->settings.ExportDataPath = exportDir().toStdString();
    context->settings.SystemDataPath = systemDir().toStdString();
    context->settings.PlausLevel = "Warning";
    context->settings.Erhebungvon = "20160101";
    context->settings.Erhebungbis = "20161231";
    context->settings.MindestStd = "0 ";
    context->settings.MehrfachTISS = "N";
    context->settings.ErsatzTISS = "N";
    context->endProgram = [this](int exitCode) { endedWith.push_back(exitCode); };
}

void UiTestData::writeIniFile() {
    const Settings& settings = context->settings;
    for (const SettingsKey& key : SettingsKeys())
        settingsFile->WriteSetting(key.section, key.key, settings.*key.member);
}

QStringList UiTestData::DemoFileNames() {
    return {QStringLiteral("A6100101.101"), QStringLiteral("B6100201.103"), QStringLiteral("C6100301.105"),
            QStringLiteral("T6100401.102")};
}

void UiTestData::copyDemoFiles(const QStringList& names) {
    const QString demo = QStringLiteral(KALVORA_SOURCE_DIR "/data/demo/");
    for (const QString& name : names) {
        if (!QFile::copy(demo + name, importDir() + QLatin1Char('/') + name)) {
            throw std::runtime_error("cannot copy demo file " + name.toStdString());
        }
    }
}

void UiTestData::registerDepartment() {
    Database admin(JoinPath(systemDir().toStdString(), files::AdminDb));
    admin
        .prepare("INSERT INTO " + QuoteIdentifier(tables::Dateiverwaltung) +
                 " (KANR, ABTEILUNG, MDB_DATEI, Status) VALUES (?, ?, ?, ?)")
        .bind(1, "K101")
        .bind(2, "12100101")
        .bind(3, "12100101.101")
        .bind(4, "INTERN")
        .run();
}

long long UiTestData::departmentCount() const {
    Database admin(JoinPath(systemDir().toStdString(), files::AdminDb), OpenMode::ReadOnly);
    return admin.scalar("SELECT count(*) FROM " + QuoteIdentifier(tables::Dateiverwaltung));
}

Settings ReadSettingsFile(const QString& iniPath) {
    SettingsFile file(QDir::tempPath().toStdString() + "/kalvora-no-program-dir",
                      QDir::tempPath().toStdString(), iniPath.toStdString());
    return LoadSettings(file);
}

}  // namespace kalvora::test

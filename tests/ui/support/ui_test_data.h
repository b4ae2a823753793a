#pragma once
// A fresh data directory for a window test: system data directory with iadmin.mdb and ibds.mdb,
// import and export directories, a settings file, and the shared state of the windows answered by
// a recording message service.

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "base/message_service.h"
#include "base/settings.h"
#include "ui/app_context.h"

namespace kalvora::test {

class UiTestData {
public:
    UiTestData();

    QString root() const { return root_.path(); }
    QString systemDir() const { return root() + QStringLiteral("/system"); }
    QString importDir() const { return root() + QStringLiteral("/import"); }
    QString exportDir() const { return root() + QStringLiteral("/export"); }
    QString iniPath() const { return root() + QStringLiteral("/Kalvora10_0.ini"); }

    // Writes the settings of this directory into the settings file (all nine keys).
    void writeIniFile();
    // Copies delivery files of data/demo into the import directory.
    void copyDemoFiles(const QStringList& names);
    static QStringList DemoFileNames();
    // Adds a row to Dateiverwaltung, as an import of a new department would.
    void registerDepartment();
    long long departmentCount() const;

    RecordingMessageService messages;
    std::unique_ptr<SettingsFile> settingsFile;
    std::unique_ptr<ui::AppContext> context;
    std::vector<int> endedWith;  // exit codes passed to endProgram

private:
    QTemporaryDir root_;
};

// Reads the settings file as the program does at start-up.
Settings ReadSettingsFile(const QString& iniPath);

}  // namespace kalvora::test

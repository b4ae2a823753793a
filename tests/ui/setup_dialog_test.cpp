// The first start without a system data directory: the main window offers the set-up once, the set-up
// does what kalvora-cli setup does and writes the settings file the lookup reads, and without it the
// commands that need the data say what is missing instead of opening their windows.

#include "app/setup_dialog.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <map>

#include "app/main_window.h"
#include "app/window_wiring.h"
#include "store/database.h"
#include "store/system_setup.h"
#include "support/find_control.h"
#include "support/modal_script.h"
#include "support/ui_test_data.h"

using kalvora::test::Child;
using kalvora::test::ModalScript;
using kalvora::test::ReadSettingsFile;
using kalvora::test::UiTestData;
using namespace kalvora;
using namespace kalvora::ui;

namespace {

// The program's own set-up window; the other windows stand-ins that count how often they open.
struct Openers {
    std::map<MenuCommand, int> opened;
    WindowOpeners make() {
        WindowOpeners openers;
        for (MenuCommand command :
             {MenuCommand::Export, MenuCommand::Intensivbericht, MenuCommand::Einstufung})
            openers[command] = [this, command](AppContext&, QWidget*) { ++opened[command]; };
        openers[MenuCommand::Einrichtung] = [this](AppContext& context, QWidget* parent) {
            ++opened[MenuCommand::Einrichtung];
            ProgramWindowOpeners().at(MenuCommand::Einrichtung)(context, parent);
        };
        return openers;
    }
};

// The settings of a program that found no settings file.
void ForgetSettings(UiTestData& data) {
    QFile::remove(data.iniPath());
    data.context->settings = Settings{};
}

// Starts the main window as the start-up window does and waits until the script is through.
void StartAndRun(MainWindow& window, ModalScript& script) {
    window.load();
    QTRY_VERIFY_WITH_TIMEOUT(script.done(), 5000);
}

std::vector<std::string> NameTableCodes(const std::string& admin, const std::string& table) {
    Database database(admin, OpenMode::ReadOnly);
    Statement select = database.prepare("SELECT * FROM " + QuoteIdentifier(table) + " ORDER BY 1");
    std::vector<std::string> codes;
    while (select.step() == StepResult::Row) codes.push_back(select.text(0));
    return codes;
}

void Fill(QWidget* dialog, const char* field, const QString& text) {
    Child<QLineEdit>(dialog, field)->setText(text);
}

}  // namespace

class SetupDialogTest : public QObject {
    Q_OBJECT
private slots:
    void firstStart_setsUpTheDirectoryAndWritesTheSettingsTheLookupReads();
    void offer_onlyWhenTheSettingsNameNoDirectory_data();
    void offer_onlyWhenTheSettingsNameNoDirectory();
    void notNow_commandsSayWhatIsMissingAndWriteNothing_data();
    void notNow_commandsSayWhatIsMissingAndWriteNothing();
    void existingDirectory_isTakenOverOnlyAfterYes_data();
    void existingDirectory_isTakenOverOnlyAfterYes();
    void failedSetup_keepsTheDialogOpenAndLeavesNothing();
    void ownLists_fillTheNameTables();
    void defaultDirectory_isKalvoraInTheHomeFolder();
};

void SetupDialogTest::firstStart_setsUpTheDirectoryAndWritesTheSettingsTheLookupReads() {
    UiTestData data;
    ForgetSettings(data);
    Openers openers;
    MainWindow window(*data.context, openers.make());
    const QString chosen = data.root() + QStringLiteral("/neu/");
    ModalScript script;
    script.then([&](QWidget* dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral(" Kalvora - Einrichtung"));
        QVERIFY(Child<QLabel>(dialog, "lbl_hinweis")->text().contains(data.iniPath()));
        Fill(dialog, "txt_verzeichnis", chosen);
        Child<QPushButton>(dialog, "cmd_einrichtung_0")->click();
    });
    StartAndRun(window, script);
    QCOMPARE(script.seen(), QStringList{QStringLiteral("frmEinrichtung")});
    QCOMPARE(openers.opened[MenuCommand::Einrichtung], 1);

    const std::string system = (data.root() + QStringLiteral("/neu")).toStdString();
    QVERIFY(QFile::exists(QString::fromStdString(system + "/iadmin.mdb")));
    QVERIFY(QFile::exists(QString::fromStdString(system + "/ibds.mdb")));
    QVERIFY(QDir(QString::fromStdString(system + "/import")).exists());
    QVERIFY(QDir(QString::fromStdString(system + "/export")).exists());
    // The file that the next start reads, and the settings of this run, name the new directory.
    const Settings written = ReadSettingsFile(data.iniPath());
    QCOMPARE(written.SystemDataPath, system);
    QCOMPARE(written.ImportDataPath, system + "/import");
    QCOMPARE(written.ExportDataPath, system + "/export");
    QCOMPARE(written.PlausLevel, std::string("Warning"));
    QCOMPARE(written.Erhebungvon, QDate::currentDate().toString(QStringLiteral("yyyy0101")).toStdString());
    QCOMPARE(data.context->settings.SystemDataPath, system);
    QCOMPARE(data.messages.shown.size(), std::size_t{1});
    QVERIFY(data.messages.shown.front().text.find(system + "/import") != std::string::npos);

    // The commands now open their windows.
    window.findChild<QAction*>(QStringLiteral("mainIntensivbericht"))->trigger();
    QCOMPARE(openers.opened[MenuCommand::Intensivbericht], 1);
}

void SetupDialogTest::offer_onlyWhenTheSettingsNameNoDirectory_data() {
    QTest::addColumn<QString>("systemDataPath");
    QTest::addColumn<int>("offers");
    QTest::newRow("no settings file") << QString() << 1;
    QTest::newRow("configured") << QStringLiteral("system") << 0;
    // A directory that is gone is not a first start: the windows report the missing database.
    QTest::newRow("configured but missing") << QStringLiteral("missing") << 0;
}

void SetupDialogTest::offer_onlyWhenTheSettingsNameNoDirectory() {
    QFETCH(QString, systemDataPath);
    QFETCH(int, offers);
    UiTestData data;
    if (systemDataPath.isEmpty()) {
        ForgetSettings(data);
    } else {
        data.context->settings.SystemDataPath =
            (data.root() + QLatin1Char('/') + systemDataPath).toStdString();
        data.writeIniFile();
    }
    int offered = 0;
    WindowOpeners openers;
    openers[MenuCommand::Einrichtung] = [&offered](AppContext&, QWidget*) { ++offered; };
    MainWindow window(*data.context, openers);
    QSignalSpy handedOver(&window, &MainWindow::startupWindowDone);
    window.load();
    QTRY_COMPARE_WITH_TIMEOUT(handedOver.count(), 1, 3000);
    QTest::qWait(MainWindow::kStartupHandOverMs + 100);
    QCOMPARE(offered, offers);
    QVERIFY(data.messages.shown.empty());
}

void SetupDialogTest::notNow_commandsSayWhatIsMissingAndWriteNothing_data() {
    QTest::addColumn<QString>("action");
    QTest::newRow("Import") << "datei_0";
    QTest::newRow("Export") << "datei_1";
    QTest::newRow("Intensivbericht") << "mainIntensivbericht";
    QTest::newRow("Einstufung") << "extras_0";
}

void SetupDialogTest::notNow_commandsSayWhatIsMissingAndWriteNothing() {
    QFETCH(QString, action);
    UiTestData data;
    ForgetSettings(data);
    Openers openers;
    MainWindow window(*data.context, openers.make());
    ModalScript script;
    script.then([](QWidget* dialog) { Child<QPushButton>(dialog, "cmd_einrichtung_1")->click(); });
    StartAndRun(window, script);
    QVERIFY(data.messages.shown.empty());

    ModalScript none;
    none.then();  // would close a window that opened after all
    window.findChild<QAction*>(action)->trigger();
    QVERIFY(none.seen().isEmpty());
    QCOMPARE(openers.opened[MenuCommand::Export] + openers.opened[MenuCommand::Intensivbericht] +
                 openers.opened[MenuCommand::Einstufung],
             0);
    QCOMPARE(data.messages.shown.size(), std::size_t{1});
    const std::string& text = data.messages.shown.front().text;
    QVERIFY2(text.find("kein Systemdatenverzeichnis") != std::string::npos, text.c_str());
    QVERIFY2(text.find(data.iniPath().toStdString()) != std::string::npos, text.c_str());
    QVERIFY2(text.find("kalvora-cli setup") != std::string::npos, text.c_str());
    // Nothing was written: no settings file with "unknown" values, no offer a second time.
    QVERIFY(!QFile::exists(data.iniPath()));
    QCOMPARE(openers.opened[MenuCommand::Einrichtung], 1);
}

void SetupDialogTest::existingDirectory_isTakenOverOnlyAfterYes_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes") << true;
    QTest::newRow("No") << false;
}

void SetupDialogTest::existingDirectory_isTakenOverOnlyAfterYes() {
    QFETCH(bool, yes);
    UiTestData data;
    data.registerDepartment();
    ForgetSettings(data);
    data.messages.setNextAnswer(yes ? Answer::Yes : Answer::No);
    bool stayedOpen = false;
    {
        SetupDialog dialog(*data.context);
        Fill(&dialog, "txt_verzeichnis", data.systemDir());
        dialog.show();
        Child<QPushButton>(&dialog, "cmd_einrichtung_0")->click();
        stayedOpen = dialog.isVisible();
    }
    QVERIFY(!data.messages.shown.empty());
    QVERIFY(data.messages.shown.front().text.find("besteht bereits ein Systemdatenverzeichnis") !=
            std::string::npos);
    QCOMPARE(data.messages.shown.front().buttons, MessageButtons::YesNo);
    QCOMPARE(stayedOpen, !yes);
    QCOMPARE(QFile::exists(data.iniPath()), yes);
    // Its departments stay either way.
    QCOMPARE(data.departmentCount(), 1LL);
    if (yes) QCOMPARE(ReadSettingsFile(data.iniPath()).SystemDataPath, data.systemDir().toStdString());
}

void SetupDialogTest::failedSetup_keepsTheDialogOpenAndLeavesNothing() {
    UiTestData data;
    ForgetSettings(data);
    SetupDialog dialog(*data.context);
    const QString target = data.root() + QStringLiteral("/neu");
    Fill(&dialog, "txt_verzeichnis", target);
    Fill(&dialog, "txt_krankenanstalten", data.root() + QStringLiteral("/keine-liste.csv"));
    dialog.show();
    Child<QPushButton>(&dialog, "cmd_einrichtung_0")->click();
    QVERIFY(dialog.isVisible());
    QCOMPARE(data.messages.shown.size(), std::size_t{1});
    QCOMPARE(data.messages.shown.front().icon, MessageIcon::Error);
    QVERIFY(data.messages.shown.front().text.find("keine-liste.csv") != std::string::npos);
    QVERIFY(!QDir(target).exists());
    QVERIFY(!QFile::exists(data.iniPath()));
    QVERIFY(LacksSystemDataPath(data.context->settings));

    // An empty folder field is refused before anything is done.
    data.messages.shown.clear();
    Fill(&dialog, "txt_verzeichnis", QStringLiteral("  "));
    Child<QPushButton>(&dialog, "cmd_einrichtung_0")->click();
    QVERIFY(dialog.isVisible());
    QCOMPARE(data.messages.shown.size(), std::size_t{1});
    QVERIFY(!QFile::exists(data.iniPath()));
}

void SetupDialogTest::ownLists_fillTheNameTables() {
    UiTestData data;
    ForgetSettings(data);
    const QString hospitals = data.root() + QStringLiteral("/ka.csv");
    const QString functions = data.root() + QStringLiteral("/abt.csv");
    for (const auto& [path, content] : {std::pair{hospitals, QByteArray("K777;Haus am Berg\n")},
                                        std::pair{functions, QByteArray("127777;Intensiv am Berg\n")}}) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    SetupDialog dialog(*data.context);
    Fill(&dialog, "txt_verzeichnis", data.root() + QStringLiteral("/neu"));
    Fill(&dialog, "txt_krankenanstalten", hospitals);
    Fill(&dialog, "txt_abteilungen", functions);
    dialog.show();
    Child<QPushButton>(&dialog, "cmd_einrichtung_0")->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const std::string admin = (data.root() + QStringLiteral("/neu/iadmin.mdb")).toStdString();
    QCOMPARE(NameTableCodes(admin, "KANR-Bezeichnung"), std::vector<std::string>{"K777"});
    QCOMPARE(NameTableCodes(admin, "ABT-Bezeichnung"), std::vector<std::string>{"127777"});
}

void SetupDialogTest::defaultDirectory_isKalvoraInTheHomeFolder() {
    UiTestData data;
    SetupDialog dialog(*data.context);
    QCOMPARE(Child<QLineEdit>(&dialog, "txt_verzeichnis")->text(),
             QDir::homePath() + QStringLiteral("/Kalvora"));
    QCOMPARE(SetupDialog::DefaultDirectory(), QDir::homePath() + QStringLiteral("/Kalvora"));
    // Each field has a label whose access key leads into it.
    for (const char* field : {"txt_verzeichnis", "txt_krankenanstalten", "txt_abteilungen"}) {
        QLabel* caption = nullptr;
        for (QLabel* label : dialog.findChildren<QLabel*>())
            if (label->buddy() == Child<QLineEdit>(&dialog, field)) caption = label;
        QVERIFY2(caption != nullptr && caption->text().startsWith(QLatin1Char('&')), field);
    }
}

QTEST_MAIN(SetupDialogTest)
#include "setup_dialog_test.moc"

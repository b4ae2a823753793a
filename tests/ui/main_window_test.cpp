// The main window: menu groups, status bar, clock, imported-data check and the windows the menu opens.

#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QtTest>
#include <map>

#include "app/startup_window.h"
#include "support/modal_script.h"
#include "support/ui_test_data.h"
#include "ui/clock_text.h"
#include "ui/main_status_bar.h"

using kalvora::test::ModalScript;
using kalvora::test::UiTestData;
using namespace kalvora;
using namespace kalvora::ui;

namespace {

QAction* Action(QWidget* window, const char* name) {
    return window->findChild<QAction*>(QString::fromLatin1(name));
}

// Stand-ins for the windows the menu opens; counts how often each opens.
struct OpenerProbe {
    std::map<MenuCommand, int> opened;
    WindowOpeners openers() {
        WindowOpeners standIns;
        for (MenuCommand command :
             {MenuCommand::Export, MenuCommand::Intensivbericht, MenuCommand::Einstufung})
            standIns[command] = [this, command](AppContext&, QWidget*) { ++opened[command]; };
        return standIns;
    }
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void caption_hasLeadingBlank();
    void menu_hasIndexedGroupsWithSeparators();
    void load_readsSettingsAndShowsReady();
    void statusBar_panelsStandInRatio3121();
    void clockText_isDayMonthYearHoursMinutesWithBlanks_data();
    void clockText_isDayMonthYearHoursMinutesWithBlanks();
    void clockTick_writesPanel4();
    void menuEntries_openTheirWindows_data();
    void menuEntries_openTheirWindows();
    void exportAndEinstufung_withEmptyDateiverwaltung_showNotice18AndOpenNothing_data();
    void exportAndEinstufung_withEmptyDateiverwaltung_showNotice18AndOpenNothing();
    void exportAndEinstufung_withImportedData_openTheirWindows();
    void intensivbericht_opensWithoutCheck();
    void importedDataCheck_missingAdminDatabase_showsErrorBoxAndOpensNothing();
    void beenden_endsProgram();
    void commandLine_namesSettingsFile_data();
    void commandLine_namesSettingsFile();
    void startup_showsMainWindowAndClosesStartWindow();
};

void MainWindowTest::caption_hasLeadingBlank() {
    UiTestData data;
    MainWindow window(*data.context);
    QCOMPARE(window.windowTitle(), QStringLiteral(" Kalvora Version 10.0"));
    QCOMPARE(window.objectName(), QStringLiteral("frmMain"));
}

void MainWindowTest::menu_hasIndexedGroupsWithSeparators() {
    UiTestData data;
    MainWindow window(*data.context);
    const QList<QAction*> top = window.menuBar()->actions();
    QStringList topCaptions;
    for (QAction* action : top) topCaptions << action->text();
    QCOMPARE(topCaptions, (QStringList{"&Datei", "&Intensivbericht", "&Extras", "&Info"}));

    const struct {
        const char* menu;
        QStringList names;
        QStringList captions;
    } groups[] = {
        {"mainDatei", {"datei_0", "datei_1", "datei_2", "datei_3"}, {"&Import", "&Export", "", "&Beenden"}},
        {"mainExtras", {"extras_0", "extras_1", "extras_2"}, {"&Einstufung", "", "&Optionen"}},
    };
    for (const auto& group : groups) {
        auto* menu = window.findChild<QMenu*>(QString::fromLatin1(group.menu));
        QVERIFY(menu != nullptr);
        const QList<QAction*> entries = menu->actions();
        QCOMPARE(entries.size(), group.names.size());
        for (int index = 0; index < entries.size(); ++index) {
            QCOMPARE(entries[index]->objectName(), group.names[index]);
            QCOMPARE(entries[index]->isSeparator(), group.captions[index].isEmpty());
            if (!group.captions[index].isEmpty()) QCOMPARE(entries[index]->text(), group.captions[index]);
            QVERIFY(entries[index]->shortcut().isEmpty());
        }
    }
    QVERIFY(Action(&window, "mainIntensivbericht")->menu() == nullptr);
    QVERIFY(Action(&window, "mainInfo")->menu() == nullptr);
}

void MainWindowTest::load_readsSettingsAndShowsReady() {
    UiTestData data;
    data.context->settings.ExportDataPath = data.exportDir().toStdString() + "/";
    data.writeIniFile();
    data.context->settings = Settings{};
    MainWindow window(*data.context);
    window.load();
    QVERIFY(window.isMaximized() || window.windowState().testFlag(Qt::WindowMaximized));
    QCOMPARE(data.context->settings.ExportDataPath, data.exportDir().toStdString());
    QCOMPARE(data.context->settings.PlausLevel, std::string("Warning"));
    QCOMPARE(window.panels()->panelText(1), QStringLiteral(" Bereit"));
    QVERIFY(window.clockTimer()->isActive());
    QCOMPARE(window.clockTimer()->interval(), 500);
}

void MainWindowTest::statusBar_panelsStandInRatio3121() {
    UiTestData data;
    MainWindow window(*data.context);
    window.resize(1400, 700);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QList<int> widths;
    for (int panel = 1; panel <= 4; ++panel) {
        widths << window.findChild<QWidget*>(QStringLiteral("panel_frame_%1").arg(panel))->width();
    }
    const double unit = (widths[0] + widths[1] + widths[2] + widths[3]) / 7.0;
    const int expected[] = {3, 1, 2, 1};
    for (int index = 0; index < 4; ++index) {
        QVERIFY2(std::abs(widths[index] - expected[index] * unit) <= 4.0,
                 qPrintable(QString::number(widths[index])));
    }
}

void MainWindowTest::clockText_isDayMonthYearHoursMinutesWithBlanks_data() {
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("text");
    QTest::newRow("afternoon") << QDateTime(QDate(2025, 12, 8), QTime(14, 5, 59)) << "  08.12.2025, 14:05  ";
    QTest::newRow("midnight") << QDateTime(QDate(2026, 1, 1), QTime(0, 0)) << "  01.01.2026, 00:00  ";
    QTest::newRow("last minute") << QDateTime(QDate(2025, 12, 31), QTime(23, 59)) << "  31.12.2025, 23:59  ";
}

void MainWindowTest::clockText_isDayMonthYearHoursMinutesWithBlanks() {
    QFETCH(QDateTime, now);
    QFETCH(QString, text);
    QCOMPARE(ClockText(now), text);
}

void MainWindowTest::clockTick_writesPanel4() {
    UiTestData data;
    data.writeIniFile();
    MainWindow window(*data.context);
    window.load();
    window.panels()->setPanel(4, QString());
    QTRY_VERIFY_WITH_TIMEOUT(!window.panels()->panelText(4).isEmpty(), 2000);
    static const QRegularExpression pattern(QStringLiteral("^  \\d\\d\\.\\d\\d\\.\\d{4}, \\d\\d:\\d\\d  $"));
    QVERIFY(pattern.match(window.panels()->panelText(4)).hasMatch());
}

void MainWindowTest::menuEntries_openTheirWindows_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("caption");
    QTest::newRow("Import") << "datei_0"
                            << "frmImp"
                            << " Datei - Import";
    QTest::newRow("Optionen") << "extras_2"
                              << "frmOpt"
                              << " Extras - Optionen";
    QTest::newRow("Info") << "mainInfo"
                          << "frmInfo"
                          << " Kalvora";
}

void MainWindowTest::menuEntries_openTheirWindows() {
    QFETCH(QString, action);
    QFETCH(QString, window);
    QFETCH(QString, caption);
    UiTestData data;
    MainWindow main(*data.context);
    QString shownCaption;
    ModalScript script;
    script.then([&](QWidget* opened) {
        shownCaption = opened->windowTitle();
        ModalScript::close(opened);
    });
    main.findChild<QAction*>(action)->trigger();
    QCOMPARE(script.seen(), QStringList{window});
    QCOMPARE(shownCaption, caption);
    QVERIFY(data.messages.shown.empty());
}

void MainWindowTest::exportAndEinstufung_withEmptyDateiverwaltung_showNotice18AndOpenNothing_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("command");
    QTest::newRow("Export") << "datei_1" << static_cast<int>(MenuCommand::Export);
    QTest::newRow("Einstufung") << "extras_0" << static_cast<int>(MenuCommand::Einstufung);
}

void MainWindowTest::exportAndEinstufung_withEmptyDateiverwaltung_showNotice18AndOpenNothing() {
    QFETCH(QString, action);
    QFETCH(int, command);
    UiTestData data;
    OpenerProbe probe;
    MainWindow main(*data.context, probe.openers());
    main.findChild<QAction*>(action)->trigger();
    QCOMPARE(probe.opened[static_cast<MenuCommand>(command)], 0);
    QCOMPARE(data.messages.texts(), std::vector<std::string>{" Es wurden noch keine Daten importiert!"});
    QCOMPARE(data.messages.shown.front().title, std::string(" Programmhinweis "));
}

void MainWindowTest::exportAndEinstufung_withImportedData_openTheirWindows() {
    UiTestData data;
    data.registerDepartment();
    OpenerProbe probe;
    MainWindow main(*data.context, probe.openers());
    Action(&main, "datei_1")->trigger();
    Action(&main, "extras_0")->trigger();
    QCOMPARE(probe.opened[MenuCommand::Export], 1);
    QCOMPARE(probe.opened[MenuCommand::Einstufung], 1);
    QVERIFY(data.messages.shown.empty());
}

void MainWindowTest::intensivbericht_opensWithoutCheck() {
    UiTestData data;
    OpenerProbe probe;
    MainWindow main(*data.context, probe.openers());
    Action(&main, "mainIntensivbericht")->trigger();
    QCOMPARE(probe.opened[MenuCommand::Intensivbericht], 1);
    QVERIFY(data.messages.shown.empty());
}

void MainWindowTest::importedDataCheck_missingAdminDatabase_showsErrorBoxAndOpensNothing() {
    UiTestData data;
    data.context->settings.SystemDataPath = data.root().toStdString() + "/missing";
    OpenerProbe probe;
    MainWindow main(*data.context, probe.openers());
    Action(&main, "datei_1")->trigger();
    QCOMPARE(probe.opened[MenuCommand::Export], 0);
    QCOMPARE(data.messages.shown.size(), std::size_t{1});
    QCOMPARE(data.messages.shown.front().title, std::string(" Tavex - Error "));
    QVERIFY(data.messages.shown.front().text.find("iadmin.mdb") != std::string::npos);
}

void MainWindowTest::beenden_endsProgram() {
    UiTestData data;
    MainWindow main(*data.context);
    Action(&main, "datei_2")->trigger();  // the separator does nothing
    QVERIFY(data.endedWith.empty());
    Action(&main, "datei_3")->trigger();
    QCOMPARE(data.endedWith, std::vector<int>{0});
    QVERIFY(data.messages.shown.empty());
}

void MainWindowTest::commandLine_namesSettingsFile_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("none") << QStringList{} << "Kalvora10_0.ini";
    QTest::newRow("option") << QStringList{"/i:other.ini"} << "other.ini";
    QTest::newRow("path with blanks") << QStringList{"/i:/home/u/my", "kal.ini"} << "/home/u/my kal.ini";
    QTest::newRow("capital I") << QStringList{"/I:other.ini"} << "Kalvora10_0.ini";
    QTest::newRow("not first") << QStringList{"x", "/i:other.ini"} << "Kalvora10_0.ini";
}

void MainWindowTest::commandLine_namesSettingsFile() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, fileName);
    QCOMPARE(QString::fromStdString(StartupWindow::SettingsFileNameFromArguments(arguments)), fileName);
}

void MainWindowTest::startup_showsMainWindowAndClosesStartWindow() {
    UiTestData data;
    data.writeIniFile();
    data.context->settings = Settings{};
    auto startup = std::make_unique<StartupWindow>(*data.context);
    startup->show();
    QVERIFY(startup->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(QApplication::overrideCursor() != nullptr);
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QCOMPARE(startup->timer()->interval(), 1000);

    QTRY_VERIFY_WITH_TIMEOUT(startup->mainWindow() != nullptr, 3000);
    MainWindow* main = startup->mainWindow();
    QVERIFY(main->isVisible());
    QCOMPARE(data.context->settings.SystemDataPath, data.systemDir().toStdString());
    QTRY_VERIFY_WITH_TIMEOUT(!startup->isVisible(), 3000);
    QVERIFY(QApplication::overrideCursor() == nullptr);
    QVERIFY(!main->startupTimer()->isActive());
    QVERIFY(main->isVisible());
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"

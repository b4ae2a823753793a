// The shared controls of the windows: directory, drive and file lists, the path helpers and the
// status bar with its throttled sink.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "support/paint_recorder.h"
#include "ui/directory_list.h"
#include "ui/drive_list.h"
#include "ui/file_list.h"
#include "ui/main_status_bar.h"
#include "ui/origin_colours.h"
#include "ui/setting_directory.h"
#include "ui/status_bar_sink.h"

using namespace kalvora;
using namespace kalvora::ui;

namespace {

QStringList ChildNames(const DirectoryList& list) {
    QStringList names;
    const QTreeWidgetItem* open = list.currentItem();
    for (int index = 0; open != nullptr && index < open->childCount(); ++index)
        names << open->child(index)->text(0);
    return names;
}

}  // namespace

class ControlsTest : public QObject {
    Q_OBJECT
private slots:
    void directoryList_setPath_refusesWhatIsNoOpenableDirectory_data();
    void directoryList_setPath_refusesWhatIsNoOpenableDirectory();
    void directoryList_showsSubdirectoriesAndOpensActivatedLine();
    void fileList_listsFilesSortedAndReturnsSelectionInListOrder();
    void driveOf_isLongestRootAbove_data();
    void driveOf_isLongestRootAbove();
    void settingDirectories_addAndRemoveSeparator_data();
    void settingDirectories_addAndRemoveSeparator();
    void fileInDirectory_neverDoublesSeparator_data();
    void fileInDirectory_neverDoublesSeparator();
    void statusBarSink_drawsAtMostOncePerInterval();
    void statusBarSink_withoutInterval_drawsEveryLine();
    void statusBarSink_newPhase_isDrawnAtOnceWithProgressReached();
    void folderLists_enter_goesNoFurther_data();
    void folderLists_enter_goesNoFurther();
    void progress_fillsOverBatchAndNamesFile();
    void showOrigin_coloursImportedDataByDepartmentStatus();
};

void ControlsTest::directoryList_setPath_refusesWhatIsNoOpenableDirectory_data() {
    QTest::addColumn<QString>("path");
    QTest::newRow("relative") << "import";
    QTest::newRow("unknown") << "unknown";
    QTest::newRow("missing") << "/kalvora/gibt/es/nicht";
    QTest::newRow("empty") << "";
}

void ControlsTest::directoryList_setPath_refusesWhatIsNoOpenableDirectory() {
    QFETCH(QString, path);
    QTemporaryDir dir;
    DirectoryList list;
    QVERIFY(list.setPath(dir.path()));
    QSignalSpy changed(&list, &DirectoryList::pathChanged);
    QVERIFY(!list.setPath(path));
    QCOMPARE(list.path(), QDir::toNativeSeparators(dir.path()));
    QCOMPARE(changed.count(), 0);
}

void ControlsTest::directoryList_showsSubdirectoriesAndOpensActivatedLine() {
    QTemporaryDir dir;
    for (const char* name : {"beta", "Alpha", "gamma"}) QDir(dir.path()).mkdir(QString::fromLatin1(name));
    QFile file(dir.path() + QStringLiteral("/datei.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    DirectoryList list;
    QSignalSpy changed(&list, &DirectoryList::pathChanged);
    QVERIFY(list.setPath(dir.path()));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(ChildNames(list), (QStringList{"Alpha", "beta", "gamma"}));
    QVERIFY(!list.setPath(file.fileName()));

    QTreeWidgetItem* beta = list.currentItem()->child(1);
    emit list.itemActivated(beta, 0);
    QTRY_COMPARE(list.path(), QDir::toNativeSeparators(dir.path() + QStringLiteral("/beta")));
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed.last().first().toString(), list.path());
    // The same directory again announces nothing.
    QVERIFY(list.setPath(dir.path() + QStringLiteral("/beta/")));
    QCOMPARE(changed.count(), 2);
}

void ControlsTest::fileList_listsFilesSortedAndReturnsSelectionInListOrder() {
    QTemporaryDir dir;
    for (const char* name : {"b.dat", "C.dat", "a.dat"}) {
        QFile file(dir.path() + QLatin1Char('/') + QString::fromLatin1(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QDir(dir.path()).mkdir(QStringLiteral("unterordner"));
    FileList list;
    list.setDirectory(dir.path());
    QCOMPARE(list.count(), 3);
    QCOMPARE(list.item(0)->text(), QStringLiteral("a.dat"));
    QCOMPARE(list.item(2)->text(), QStringLiteral("C.dat"));
    QVERIFY(list.selectFileNames({QStringLiteral("C.dat"), QStringLiteral("a.dat")}));
    QCOMPARE(list.selectedFileNames(), (QStringList{"a.dat", "C.dat"}));
    QVERIFY(!list.selectFileNames({QStringLiteral("fehlt.dat")}));
}

void ControlsTest::driveOf_isLongestRootAbove_data() {
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QString>("drive");
    QTest::newRow("root") << "/"
                          << "/";
    QTest::newRow("on root") << "/tmp/x"
                             << "/";
    QTest::newRow("mount") << "/media/usb/daten"
                           << "/media/usb";
    QTest::newRow("mount itself") << "/media/usb"
                                  << "/media/usb";
    QTest::newRow("name prefix only") << "/media/usb2"
                                      << "/";
}

void ControlsTest::driveOf_isLongestRootAbove() {
    QFETCH(QString, directory);
    QFETCH(QString, drive);
    QCOMPARE(DriveList::DriveOf(directory, {"/", "/media/usb", "/home"}), drive);
}

void ControlsTest::settingDirectories_addAndRemoveSeparator_data() {
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("stored");
    QTest::newRow("root") << ""
                          << "/"
                          << "";
    QTest::newRow("bare drive") << "C:"
                                << "C:/"
                                << "C:";
    QTest::newRow("directory") << "/daten/import"
                               << "/daten/import"
                               << "/daten/import";
}

void ControlsTest::settingDirectories_addAndRemoveSeparator() {
    QFETCH(QString, setting);
    QFETCH(QString, shown);
    QFETCH(QString, stored);
    QCOMPARE(DirectoryOfSetting(setting.toStdString()), QDir::toNativeSeparators(shown));
    QCOMPARE(QString::fromStdString(PathSettingOf(DirectoryOfSetting(setting.toStdString()))), stored);
    QCOMPARE(QString::fromStdString(PathSettingOf(QStringLiteral("D:\\Daten\\ "))),
             QStringLiteral("D:\\Daten "));
}

void ControlsTest::fileInDirectory_neverDoublesSeparator_data() {
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QString>("path");
    QTest::newRow("root") << "/"
                          << "/A6100101.101";
    QTest::newRow("directory") << "/daten"
                               << "/daten/A6100101.101";
    QTest::newRow("drive root") << "C:\\"
                                << "C:\\A6100101.101";
}

void ControlsTest::fileInDirectory_neverDoublesSeparator() {
    QFETCH(QString, directory);
    QFETCH(QString, path);
    QCOMPARE(FileInDirectory(directory, QStringLiteral("A6100101.101")), path);
}

void ControlsTest::statusBarSink_drawsAtMostOncePerInterval() {
    MainStatusBar bar;
    StatusBarSink sink(&bar, 60000);
    sink.lineChecked(Progress{1, 10, 100, 1, 2});
    sink.lineChecked(Progress{2, 20, 100, 1, 2});
    QCOMPARE(bar.panelText(1), QStringLiteral(" Überprüfe Datensatz 1 ... (1/2)"));
    sink.setPanel(1, " Importiere gültige Datensätze ");
    QCOMPARE(bar.panelText(1), QStringLiteral(" Importiere gültige Datensätze "));
}

void ControlsTest::statusBarSink_withoutInterval_drawsEveryLine() {
    MainStatusBar bar;
    StatusBarSink sink(&bar, 0);
    for (long long line = 1; line <= 3; ++line) sink.lineChecked(Progress{line, 0, 0, 2, 5});
    QCOMPARE(bar.panelText(1), QStringLiteral(" Überprüfe Datensatz 3 ... (2/5)"));
    sink.setPanel(3, "12100101 - Intensivmedizin ");
    QCOMPARE(bar.panelText(3), QStringLiteral("12100101 - Intensivmedizin "));
}

void ControlsTest::statusBarSink_newPhase_isDrawnAtOnceWithProgressReached() {
    MainStatusBar bar;
    bar.resize(800, bar.sizeHint().height());
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    bar.beginProgress();
    StatusBarSink sink(&bar, 60000);
    sink.lineChecked(Progress{1, 10, 100, 1, 1});
    sink.lineChecked(Progress{2, 100, 100, 1, 1});
    QCOMPARE(bar.progressBar()->value(), 100);

    // The new phase is on the screen before the work goes on, with the whole file read.
    kalvora::test::PaintRecorder painted(bar.panelLabel(1), bar.progressBar());
    sink.setPanel(1, " Importiere gültige Datensätze ");
    QCOMPARE(painted.texts(), QStringList{" Importiere gültige Datensätze "});
    QVERIFY(!painted.values().isEmpty());
    QCOMPARE(painted.values().front(), 1000);
    QCOMPARE(bar.progressBar()->format(), QStringLiteral("Datei 1/1: 100 %"));
}

void ControlsTest::folderLists_enter_goesNoFurther_data() {
    QTest::addColumn<bool>("directoryList");
    QTest::addColumn<int>("key");
    QTest::newRow("directory list, Return") << true << static_cast<int>(Qt::Key_Return);
    QTest::newRow("directory list, Enter") << true << static_cast<int>(Qt::Key_Enter);
    QTest::newRow("drive list, Return") << false << static_cast<int>(Qt::Key_Return);
    QTest::newRow("drive list, Enter") << false << static_cast<int>(Qt::Key_Enter);
}

void ControlsTest::folderLists_enter_goesNoFurther() {
    QFETCH(bool, directoryList);
    QFETCH(int, key);
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("beta"));
    QWidget window;
    auto* directories = new DirectoryList(&window);
    auto* drives = new DriveList(&window);
    QVERIFY(directories->setPath(dir.path()));
    drives->showDriveOf(directories->path());
    directories->setCurrentItem(directories->currentItem()->child(0));
    QSignalSpy chosen(drives, &DriveList::driveChosen);

    QKeyEvent press(QEvent::KeyPress, key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    press.ignore();
    QApplication::sendEvent(directoryList ? static_cast<QWidget*>(directories) : drives, &press);
    // Accepted: the window (and its default button) never sees the key.
    QVERIFY(press.isAccepted());
    if (directoryList) {
        QTRY_COMPARE(directories->path(), QDir::toNativeSeparators(dir.path() + QStringLiteral("/beta")));
    } else {
        QCOMPARE(chosen.count(), 0);
    }
}

void ControlsTest::progress_fillsOverBatchAndNamesFile() {
    MainStatusBar bar;
    bar.beginProgress();
    QVERIFY(bar.progressBar()->isVisibleTo(&bar));
    bar.setProgress(2, 4, 50, 100);
    QCOMPARE(bar.progressBar()->value(), 375);
    QCOMPARE(bar.progressBar()->format(), QStringLiteral("Datei 2/4: 50 %"));
    bar.setProgress(1, 1, 0, 0);
    QCOMPARE(bar.progressBar()->value(), 0);
    bar.endProgress();
    QVERIFY(!bar.progressBar()->isVisibleTo(&bar));
}

void ControlsTest::showOrigin_coloursImportedDataByDepartmentStatus() {
    QLineEdit field;
    ShowOrigin(&field, "EXTERN");
    QCOMPARE(field.palette().color(QPalette::Text), QColor(0, 0, 255));
    QCOMPARE(field.palette().color(QPalette::Base),
             QApplication::palette().color(QPalette::Active, QPalette::Button));
    for (const char* status : {"INTERN", ""}) {
        ShowOrigin(&field, status);
        QCOMPARE(field.palette().color(QPalette::Text), QColor(Qt::black));
        QCOMPARE(field.palette().color(QPalette::Base), QColor(Qt::white));
        QCOMPARE(field.palette().color(QPalette::Disabled, QPalette::Text), QColor(Qt::black));
    }
}

QTEST_MAIN(ControlsTest)
#include "controls_test.moc"

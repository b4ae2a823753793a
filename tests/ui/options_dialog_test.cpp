// The options dialog: what it shows, the directory choice, the date fields and the writing of the
// settings on "OK".

#include "ui/options_dialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

#include "app/main_window.h"
#include "support/find_control.h"
#include "support/modal_script.h"
#include "support/ui_test_data.h"
#include "ui/date_entry_field.h"
#include "ui/directory_list.h"
#include "ui/drive_list.h"

using kalvora::test::Child;
using kalvora::test::ModalScript;
using kalvora::test::UiTestData;
using namespace kalvora;
using namespace kalvora::ui;

namespace {

QColor Background(QLabel* label) { return label->palette().color(QPalette::Window); }

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class OptionsDialogTest : public QObject {
    Q_OBJECT
private slots:
    void opening_showsSettings();
    void opening_withErrorLevel_choosesStrictOption_data();
    void opening_withErrorLevel_choosesStrictOption();
    void directoryChoice_movesListsAndChangesOnlyEditedLabel();
    void okYes_writesSettingsIntoMemoryAndFileInOrder();
    void okNo_changesNeitherMemoryNorFile();
    void ok_withBlankOrInvalidDate_showsDateErrorAndStaysOpen_data();
    void ok_withBlankOrInvalidDate_showsDateErrorAndStaysOpen();
    void leavingDateField_normalisesOrReportsInvalid_data();
    void leavingDateField_normalisesOrReportsInvalid();
    void bareRootExportDirectory_isShownWithSeparatorAndStoredWithout();
    void driveList_offersTheRoot();
    void enterInFolderList_changesFolderWithoutClosing_data();
    void enterInFolderList_changesFolderWithoutClosing();
    void okYes_withSettingsFileThatCannotBeWritten_namesItAndStaysOpen_data();
    void okYes_withSettingsFileThatCannotBeWritten_namesItAndStaysOpen();
    void opening_putsFocusInFirstField();
    void okNo_givesFocusBackToMainWindow();
    void systemDataPath_isShownButNeitherEditedNorWritten();
};

void OptionsDialogTest::opening_showsSettings() {
    UiTestData data;
    data.context->settings.MindestStd = "12";
    data.context->settings.MehrfachTISS = "J";
    OptionsDialog dialog(*data.context);
    QCOMPARE(dialog.windowTitle(), QStringLiteral(" Extras - Optionen"));
    auto* tabs = Child<QTabWidget>(&dialog, "tab_opt");
    QCOMPARE(tabs->tabText(0), QStringLiteral("&Einstellungen"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("&Verzeichnisse"));
    QCOMPARE(Child<QLineEdit>(&dialog, "txt_vondatum")->text(), QStringLiteral("01.01.2016"));
    QCOMPARE(Child<QLineEdit>(&dialog, "txt_bisdatum")->text(), QStringLiteral("31.12.2016"));
    auto* hours = Child<QComboBox>(&dialog, "cmb_mindeststunden");
    QCOMPARE(hours->count(), 25);
    QCOMPARE(hours->itemText(0), QStringLiteral(" 0"));
    QCOMPARE(hours->itemText(24), QStringLiteral(" 24"));
    QCOMPARE(hours->currentIndex(), 12);
    QVERIFY(Child<QCheckBox>(&dialog, "chk_multipletiss")->isChecked());
    QVERIFY(!Child<QCheckBox>(&dialog, "chk_mtiss")->isChecked());
    QVERIFY(Child<QRadioButton>(&dialog, "opt_plaus_1")->isChecked());

    auto* importLabel = Child<QLabel>(&dialog, "lbl_import");
    auto* exportLabel = Child<QLabel>(&dialog, "lbl_export");
    QCOMPARE(importLabel->text(), data.importDir());
    QCOMPARE(exportLabel->text(), data.exportDir());
    QVERIFY(Child<QRadioButton>(&dialog, "opt_verzeichnis_1")->isChecked());
    QCOMPARE(Background(exportLabel), QColor(Qt::white));
    QCOMPARE(Background(importLabel), dialog.palette().color(QPalette::Button));
    QCOMPARE(Child<DirectoryList>(&dialog, "lst_dir")->path(), QDir::toNativeSeparators(data.exportDir()));
}

void OptionsDialogTest::opening_withErrorLevel_choosesStrictOption_data() {
    QTest::addColumn<QString>("level");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("Error") << "Error  "
                           << "opt_plaus_0";
    QTest::newRow("Warning") << "Warning"
                             << "opt_plaus_1";
    QTest::newRow("lower case") << "error  "
                                << "opt_plaus_1";
    QTest::newRow("unknown") << "unknown"
                             << "opt_plaus_1";
}

void OptionsDialogTest::opening_withErrorLevel_choosesStrictOption() {
    QFETCH(QString, level);
    QFETCH(QString, chosen);
    UiTestData data;
    data.context->settings.PlausLevel = level.toStdString();
    OptionsDialog dialog(*data.context);
    QVERIFY(dialog.findChild<QRadioButton*>(chosen)->isChecked());
}

void OptionsDialogTest::directoryChoice_movesListsAndChangesOnlyEditedLabel() {
    UiTestData data;
    const QString other = data.root() + QStringLiteral("/neu");
    QDir().mkpath(other);
    OptionsDialog dialog(*data.context);
    auto* list = Child<DirectoryList>(&dialog, "lst_dir");
    Child<QRadioButton>(&dialog, "opt_verzeichnis_0")->setChecked(true);
    QCOMPARE(list->path(), QDir::toNativeSeparators(data.importDir()));
    QCOMPARE(Background(Child<QLabel>(&dialog, "lbl_import")), QColor(Qt::white));
    QVERIFY(list->setPath(other));
    QCOMPARE(Child<QLabel>(&dialog, "lbl_import")->text(), other);
    QCOMPARE(Child<QLabel>(&dialog, "lbl_export")->text(), data.exportDir());
}

void OptionsDialogTest::okYes_writesSettingsIntoMemoryAndFileInOrder() {
    UiTestData data;
    const QString newImport = data.root() + QStringLiteral("/lieferungen");
    QDir().mkpath(newImport);
    OptionsDialog dialog(*data.context);
    Child<QRadioButton>(&dialog, "opt_verzeichnis_0")->setChecked(true);
    QVERIFY(Child<DirectoryList>(&dialog, "lst_dir")->setPath(newImport));
    Child<QRadioButton>(&dialog, "opt_plaus_0")->setChecked(true);
    Child<QComboBox>(&dialog, "cmb_mindeststunden")->setCurrentIndex(12);
    Child<QLineEdit>(&dialog, "txt_vondatum")->setText(QStringLiteral("1.2.13"));
    Child<QLineEdit>(&dialog, "txt_bisdatum")->setText(QStringLiteral("20130630"));
    Child<QCheckBox>(&dialog, "chk_multipletiss")->setChecked(true);
    Child<QCheckBox>(&dialog, "chk_mtiss")->setChecked(true);
    data.messages.setNextAnswer(Answer::Yes);
    Child<QPushButton>(&dialog, "cmd_verzeichnis_0")->click();

    QCOMPARE(dialog.result(), static_cast<int>(QDialog::Accepted));
    QCOMPARE(data.messages.texts(), std::vector<std::string>{" Änderungen speichern ?"});
    const Settings& memory = data.context->settings;
    QCOMPARE(memory.ImportDataPath, newImport.toStdString());
    QCOMPARE(memory.ExportDataPath, data.exportDir().toStdString());
    QCOMPARE(memory.PlausLevel, std::string("Error  "));
    QCOMPARE(memory.Erhebungvon, std::string("20130201"));
    QCOMPARE(memory.Erhebungbis, std::string("20130630"));
    QCOMPARE(memory.MindestStd, std::string("12"));
    QCOMPARE(memory.MehrfachTISS, std::string("J"));
    QCOMPARE(memory.ErsatzTISS, std::string("J"));

    const Settings file = kalvora::test::ReadSettingsFile(data.iniPath());
    QCOMPARE(file.ImportDataPath, memory.ImportDataPath);
    QCOMPARE(file.PlausLevel, std::string("Error  "));
    QCOMPARE(file.Erhebungvon, std::string("20130201"));
    QCOMPARE(file.MindestStd, std::string("12"));
    QCOMPARE(file.ErsatzTISS, std::string("J"));

    // The keys arrive in the order they are written.
    const QString text = QString::fromUtf8(FileBytes(data.iniPath()));
    const QStringList keys = {"ImportDataPath", "ExportDataPath", "PlausLevel",   "Erhebungvon",
                              "Erhebungbis",    "MindestStd",     "MehrfachTISS", "ErsatzTISS"};
    qsizetype last = -1;
    for (const QString& key : keys) {
        const qsizetype at = text.indexOf(key + QLatin1Char('='));
        QVERIFY2(at > last, qPrintable(key));
        last = at;
    }
    QVERIFY(text.contains(QStringLiteral("MindestStd=12")));
}

void OptionsDialogTest::okNo_changesNeitherMemoryNorFile() {
    UiTestData data;
    data.writeIniFile();
    const QByteArray before = FileBytes(data.iniPath());
    const Settings memoryBefore = data.context->settings;
    OptionsDialog dialog(*data.context);
    Child<QRadioButton>(&dialog, "opt_plaus_0")->setChecked(true);
    Child<QComboBox>(&dialog, "cmb_mindeststunden")->setCurrentIndex(5);
    data.messages.setNextAnswer(Answer::No);
    Child<QPushButton>(&dialog, "cmd_verzeichnis_0")->click();

    QCOMPARE(dialog.result(), static_cast<int>(QDialog::Rejected));
    QCOMPARE(data.messages.texts(), std::vector<std::string>{" Änderungen speichern ?"});
    QCOMPARE(FileBytes(data.iniPath()), before);
    QCOMPARE(data.context->settings.PlausLevel, memoryBefore.PlausLevel);
    QCOMPARE(data.context->settings.MindestStd, memoryBefore.MindestStd);
}

void OptionsDialogTest::ok_withBlankOrInvalidDate_showsDateErrorAndStaysOpen_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("entry");
    QTest::newRow("blank begin") << "txt_vondatum"
                                 << "";
    QTest::newRow("blanks end") << "txt_bisdatum"
                                << "   ";
    QTest::newRow("no leap day") << "txt_vondatum"
                                 << "29.2.13";
    QTest::newRow("one point") << "txt_bisdatum"
                               << "31.12";
}

void OptionsDialogTest::ok_withBlankOrInvalidDate_showsDateErrorAndStaysOpen() {
    QFETCH(QString, field);
    QFETCH(QString, entry);
    UiTestData data;
    OptionsDialog dialog(*data.context);
    dialog.show();
    dialog.findChild<QLineEdit*>(field)->setText(entry);
    Child<QPushButton>(&dialog, "cmd_verzeichnis_0")->click();

    QVERIFY(dialog.isVisible());
    QCOMPARE(data.messages.texts(),
             std::vector<std::string>{"Ungültiges Datum (JJJJMMTT) oder (TT.MM.JJJJ)!"});
    QCOMPARE(data.messages.shown.front().title, std::string(" Tavex - Error "));
    QCOMPARE(data.context->settings.Erhebungvon, std::string("20160101"));
    QVERIFY(!QFile::exists(data.iniPath()));
}

void OptionsDialogTest::leavingDateField_normalisesOrReportsInvalid_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("reported");
    QTest::newRow("date code") << "20120131"
                               << "31.01.2012" << false;
    QTest::newRow("short year") << "31.1.12"
                                << "31.01.2012" << false;
    QTest::newRow("blank stays") << ""
                                 << "" << false;
    QTest::newRow("invalid stays as typed") << "123.1.2012"
                                            << "123.1.2012" << true;
}

void OptionsDialogTest::leavingDateField_normalisesOrReportsInvalid() {
    QFETCH(QString, entry);
    QFETCH(QString, shown);
    QFETCH(bool, reported);
    UiTestData data;
    OptionsDialog dialog(*data.context);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    auto* from = Child<DateEntryField>(&dialog, "txt_vondatum");
    auto* to = Child<DateEntryField>(&dialog, "txt_bisdatum");
    from->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(from->hasFocus());
    from->setText(entry);
    to->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(to->hasFocus() || reported);
    QCOMPARE(from->text(), shown);
    if (reported) {
        QTRY_COMPARE(data.messages.shown.size(), std::size_t{1});
        QCOMPARE(data.messages.shown.front().text,
                 std::string("Ungültiges Datum (JJJJMMTT) oder (TT.MM.JJJJ)!"));
        QTRY_VERIFY(from->hasFocus());
    } else {
        QTest::qWait(20);
        QVERIFY(data.messages.shown.empty());
    }
}

void OptionsDialogTest::bareRootExportDirectory_isShownWithSeparatorAndStoredWithout() {
    UiTestData data;
    data.context->settings.ExportDataPath = "";  // the root "/" as loaded from the file
    OptionsDialog dialog(*data.context);
    QCOMPARE(Child<QLabel>(&dialog, "lbl_export")->text(), QString(QDir::separator()));
    QCOMPARE(Child<DirectoryList>(&dialog, "lst_dir")->path(), QDir::toNativeSeparators(QDir::rootPath()));
    data.messages.setNextAnswer(Answer::Yes);
    dialog.onCommand(OptionsDialog::Ok);
    QCOMPARE(data.context->settings.ExportDataPath, std::string());
    QVERIFY(QString::fromUtf8(FileBytes(data.iniPath()))
                .contains(QStringLiteral("ExportDataPath=") + QDir::separator()));
}

void OptionsDialogTest::driveList_offersTheRoot() {
    UiTestData data;
    OptionsDialog dialog(*data.context);
    auto* drives = Child<DriveList>(&dialog, "lst_drive");
    QVERIFY(drives->count() >= 1);
    QVERIFY(!drives->drive().isEmpty());
    QVERIFY(
        QDir::fromNativeSeparators(data.exportDir()).startsWith(QDir::fromNativeSeparators(drives->drive())));
}

void OptionsDialogTest::enterInFolderList_changesFolderWithoutClosing_data() {
    QTest::addColumn<QString>("list");
    QTest::newRow("Auswahl") << "lst_dir";
    QTest::newRow("Laufwerk") << "lst_drive";
}

void OptionsDialogTest::enterInFolderList_changesFolderWithoutClosing() {
    QFETCH(QString, list);
    UiTestData data;
    const QString subfolder = data.exportDir() + QStringLiteral("/sub");
    QDir().mkpath(subfolder);
    OptionsDialog dialog(*data.context);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    Child<QTabWidget>(&dialog, "tab_opt")->setCurrentIndex(1);
    auto* directories = Child<DirectoryList>(&dialog, "lst_dir");
    QTreeWidgetItem* open = directories->currentItem();
    QVERIFY(open != nullptr && open->childCount() == 1);
    directories->setCurrentItem(open->child(0));

    QWidget* target = dialog.findChild<QWidget*>(list);
    target->setFocus();
    QTest::keyClick(target, Qt::Key_Return);
    QTest::qWait(20);

    QVERIFY(dialog.isVisible());
    QVERIFY(data.messages.shown.empty());
    QVERIFY(!QFile::exists(data.iniPath()));
    const QString shown = list == QLatin1String("lst_dir") ? subfolder : data.exportDir();
    QCOMPARE(directories->path(), QDir::toNativeSeparators(shown));
    QCOMPARE(Child<QLabel>(&dialog, "lbl_export")->text(), QDir::toNativeSeparators(shown));
}

void OptionsDialogTest::okYes_withSettingsFileThatCannotBeWritten_namesItAndStaysOpen_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("read-only file") << "read-only";
    QTest::newRow("a folder in its place") << "folder";
}

void OptionsDialogTest::okYes_withSettingsFileThatCannotBeWritten_namesItAndStaysOpen() {
    QFETCH(QString, kind);
    UiTestData data;
    if (kind == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(data.iniPath()));
    } else {
        data.writeIniFile();
        QVERIFY(QFile::setPermissions(data.iniPath(), QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    }
    const QByteArray before = FileBytes(data.iniPath());
    const Settings memoryBefore = data.context->settings;
    OptionsDialog dialog(*data.context);
    dialog.show();
    Child<QRadioButton>(&dialog, "opt_plaus_0")->setChecked(true);
    Child<QComboBox>(&dialog, "cmb_mindeststunden")->setCurrentIndex(5);
    data.messages.setNextAnswer(Answer::Yes);
    Child<QPushButton>(&dialog, "cmd_verzeichnis_0")->click();

    QVERIFY(dialog.isVisible());
    QCOMPARE(data.messages.shown.size(), std::size_t{2});
    const MessageBox& box = data.messages.shown.back();
    QVERIFY2(box.text.find(data.iniPath().toStdString()) != std::string::npos, box.text.c_str());
    QVERIFY(box.icon == MessageIcon::Error);
    QCOMPARE(FileBytes(data.iniPath()), before);
    QCOMPARE(data.context->settings.PlausLevel, memoryBefore.PlausLevel);
    QCOMPARE(data.context->settings.MindestStd, memoryBefore.MindestStd);
    // The edits are still there for another try.
    QVERIFY(Child<QRadioButton>(&dialog, "opt_plaus_0")->isChecked());
    QCOMPARE(Child<QComboBox>(&dialog, "cmb_mindeststunden")->currentIndex(), 5);
}

void OptionsDialogTest::opening_putsFocusInFirstField() {
    UiTestData data;
    OptionsDialog dialog(*data.context);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    auto* from = Child<QLineEdit>(&dialog, "txt_vondatum");
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(from));
    QCOMPARE(from->selectedText(), from->text());
}

void OptionsDialogTest::okNo_givesFocusBackToMainWindow() {
    UiTestData data;
    MainWindow main(*data.context);
    main.show();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    bool shown = false;
    ModalScript script;
    script.then([&](QWidget* dialog) {
        shown = true;
        data.messages.setNextAnswer(Answer::No);
        Child<QPushButton>(dialog, "cmd_verzeichnis_0")->click();
    });
    main.findChild<QAction*>(QStringLiteral("extras_2"))->trigger();

    QVERIFY(shown);
    QCOMPARE(data.messages.texts(), std::vector<std::string>{" Änderungen speichern ?"});
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(&main));
}

void OptionsDialogTest::systemDataPath_isShownButNeitherEditedNorWritten() {
    UiTestData data;
    data.context->settings.SystemDataPath = data.systemDir().toStdString();
    OptionsDialog dialog(*data.context);
    auto* shown = Child<QLabel>(&dialog, "lbl_system");
    QCOMPARE(shown->text(), data.systemDir());
    QCOMPARE(Child<QGroupBox>(&dialog, "fra_tab_10")->title(), QStringLiteral("Systemdatenverzeichnis"));
    // Choosing another folder in either mode changes only the import or export label.
    for (int mode : {0, 1}) {
        Child<QRadioButton>(&dialog, qPrintable(QStringLiteral("opt_verzeichnis_%1").arg(mode)))
            ->setChecked(true);
        Child<DirectoryList>(&dialog, "lst_dir")->setPath(data.root());
        QCOMPARE(shown->text(), data.systemDir());
    }
    data.messages.setNextAnswer(Answer::Yes);
    Child<QPushButton>(&dialog, "cmd_verzeichnis_0")->click();
    QCOMPARE(data.context->settings.SystemDataPath, data.systemDir().toStdString());
    QVERIFY(!FileBytes(data.iniPath()).contains("SystemDataPath"));
}

QTEST_MAIN(OptionsDialogTest)
#include "options_dialog_test.moc"

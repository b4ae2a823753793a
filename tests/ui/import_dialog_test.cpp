// The import dialog and the result window: the checks before a batch, a whole batch through the
// core, the status bar during it, and what the main window shows afterwards.

#include "import/ui/import_dialog.h"

#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

#include "app/main_window.h"
#include "import/ui/import_result_window.h"
#include "store/data_directory.h"
#include "support/find_control.h"
#include "support/modal_script.h"
#include "support/paint_recorder.h"
#include "support/ui_test_data.h"
#include "ui/directory_list.h"
#include "ui/file_list.h"
#include "ui/main_status_bar.h"

using kalvora::test::Child;
using kalvora::test::ModalScript;
using kalvora::test::UiTestData;
using namespace kalvora;
using namespace kalvora::ui;

namespace {

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QString ProtocolPath(const UiTestData& data) { return data.exportDir() + QStringLiteral("/protocol.dat"); }

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The lines of a delivery up to (not including) its record type 1 line number `stays` + 1.
QByteArray FirstStays(const QByteArray& delivery, int stays) {
    QByteArray kept;
    int seen = 0;
    for (const QByteArray& line : delivery.split('\n')) {
        if (line.startsWith('1') && ++seen > stays) break;
        if (!line.isEmpty()) kept += line + '\n';
    }
    return kept;
}

// The line of the directory list that stands for a folder inside the open one.
QTreeWidgetItem* SubfolderLine(DirectoryList* list, const QString& name) {
    QTreeWidgetItem* open = list->currentItem();
    for (int index = 0; open != nullptr && index < open->childCount(); ++index) {
        if (open->child(index)->text(0) == name) return open->child(index);
    }
    qFatal("folder %s not listed", qPrintable(name));
}

// Answers like a real message box: while it is open, the window's pending events run.
class ModalLoopMessageService : public RecordingMessageService {
protected:
    Answer present(const MessageBox& box) override {
        QCoreApplication::processEvents();
        return RecordingMessageService::present(box);
    }
};

}  // namespace

class ImportDialogTest : public QObject {
    Q_OBJECT
private slots:
    void opening_showsFilesOfImportDirectory();
    void opening_withMissingImportDirectory_fallsBackToSystemDirectoryAndWritesIt();
    void opening_withNeitherDirectory_showsHomeDirectory();
    void import_withoutSelection_showsNothingAndStaysOpen();
    void import_withBadProtocolName_showsInvalidFileNameNotice_data();
    void import_withBadProtocolName_showsInvalidFileNameNotice();
    void import_withExistingProtocol_asksQuestion7_data();
    void import_withExistingProtocol_asksQuestion7();
    void import_inInitialiseMode_asksQuestion8EvenWithoutProtocol();
    void import_fullBatch_storesDataAndFillsSummary();
    void import_whileBatchRuns_refusesSecondImportAndCancel();
    void import_unexpectedFailure_showsUnknownCauseWithDetailAndEndsProgram();
    void enterInFolderList_opensFolderWithoutImporting_data();
    void enterInFolderList_opensFolderWithoutImporting();
    void import_folderOpenedWhileQuestionIsOpen_importsFromFolderOfChosenFiles();
    void import_withProtocolNameOfFolder_showsInvalidFileNameNotice_data();
    void import_withProtocolNameOfFolder_showsInvalidFileNameNotice();
    void import_withUnusableExportDirectory_namesItAndKeepsRunning_data();
    void import_withUnusableExportDirectory_namesItAndKeepsRunning();
    void import_protocolFileCannotBeCreated_saysSoAndKeepsRunning();
    void import_chosenFileGoneMeanwhile_importsNothingAndKeepsRunning();
    void import_intoStoredDepartment_drawsEachPhaseInStatusBar();
    void import_whileAnotherProgramChangesDataDirectory_saysSoAndKeepsRunning();
    void menuImport_afterBatch_showsResultWindowThatCopiesSummary();
    void menuImport_cancelAfterEarlierBatch_showsNoResultWindow();
    void resultWindow_showsHeadersWidthsAndCells();
    void resultWindow_escapeCloses();
};

void ImportDialogTest::opening_showsFilesOfImportDirectory() {
    UiTestData data;
    data.copyDemoFiles(UiTestData::DemoFileNames());
    ImportDialog dialog(*data.context);
    QCOMPARE(dialog.windowTitle(), QStringLiteral(" Datei - Import"));
    auto* files = Child<FileList>(&dialog, "lst_file");
    QStringList shown;
    for (int row = 0; row < files->count(); ++row) shown << files->item(row)->text();
    QCOMPARE(shown, UiTestData::DemoFileNames());
    QCOMPARE(files->selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(Child<DirectoryList>(&dialog, "lst_dir")->path(), QDir::toNativeSeparators(data.importDir()));
    QCOMPARE(Child<QLineEdit>(&dialog, "txt_protocol")->text(), QStringLiteral("protocol.dat"));
    QVERIFY(Child<QRadioButton>(&dialog, "opt_import_0")->isChecked());
    QVERIFY(Child<QPushButton>(&dialog, "cmd_imp_0")->isDefault());
}

void ImportDialogTest::opening_withMissingImportDirectory_fallsBackToSystemDirectoryAndWritesIt() {
    UiTestData data;
    data.context->settings.ImportDataPath = data.root().toStdString() + "/entfernt";
    ImportDialog dialog(*data.context);
    QCOMPARE(Child<DirectoryList>(&dialog, "lst_dir")->path(), QDir::toNativeSeparators(data.systemDir()));
    QCOMPARE(data.context->settings.ImportDataPath, data.systemDir().toStdString());
    QCOMPARE(kalvora::test::ReadSettingsFile(data.iniPath()).ImportDataPath, data.systemDir().toStdString());
    QVERIFY(Child<FileList>(&dialog, "lst_file")
                ->findItems(QStringLiteral("iadmin.mdb"), Qt::MatchExactly)
                .size() == 1);
}

void ImportDialogTest::opening_withNeitherDirectory_showsHomeDirectory() {
    UiTestData data;
    data.context->settings.ImportDataPath = "unknown";
    data.context->settings.SystemDataPath = "unknown";
    ImportDialog dialog(*data.context);
    QCOMPARE(Child<DirectoryList>(&dialog, "lst_dir")->path(), QDir::toNativeSeparators(QDir::homePath()));
    QCOMPARE(data.context->settings.ImportDataPath, std::string("unknown"));
}

void ImportDialogTest::import_withoutSelection_showsNothingAndStaysOpen() {
    UiTestData data;
    data.copyDemoFiles({QStringLiteral("A6100101.101")});
    data.context->importResultMarker = "Ergebnis";
    ImportDialog dialog(*data.context);
    dialog.show();
    Child<QPushButton>(&dialog, "cmd_imp_0")->click();
    QVERIFY(dialog.isVisible());
    QVERIFY(data.messages.shown.empty());
    QVERIFY(data.context->importResultMarker.empty());
    QVERIFY(!QFile::exists(ProtocolPath(data)));
}

void ImportDialogTest::import_withBadProtocolName_showsInvalidFileNameNotice_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("long stem") << "Protokoll_2012.txt";
    QTest::newRow("empty") << "   ";
    QTest::newRow("path") << "../prot.dat";
}

void ImportDialogTest::import_withBadProtocolName_showsInvalidFileNameNotice() {
    QFETCH(QString, name);
    UiTestData data;
    data.copyDemoFiles({QStringLiteral("A6100101.101")});
    ImportDialog dialog(*data.context);
    dialog.show();
    Child<FileList>(&dialog, "lst_file")->selectFileNames({QStringLiteral("A6100101.101")});
    Child<QLineEdit>(&dialog, "txt_protocol")->setText(name);
    dialog.onCommand(ImportDialog::Import);
    QVERIFY(dialog.isVisible());
    QCOMPARE(data.messages.texts(), std::vector<std::string>{" Ungültiger Dateiname!"});
    QCOMPARE(data.departmentCount(), 0LL);
    QVERIFY(data.context->importResultMarker.empty());
}

void ImportDialogTest::import_withExistingProtocol_asksQuestion7_data() {
    QTest::addColumn<QByteArray>("existing");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("imported");
    QTest::newRow("filled, No") << QByteArray("alt\r\n") << static_cast<int>(Answer::No) << true << false;
    QTest::newRow("filled, Yes") << QByteArray("alt\r\n") << static_cast<int>(Answer::Yes) << true << true;
    QTest::newRow("empty file") << QByteArray() << static_cast<int>(Answer::No) << false << true;
}

void ImportDialogTest::import_withExistingProtocol_asksQuestion7() {
    QFETCH(QByteArray, existing);
    QFETCH(int, answer);
    QFETCH(bool, asked);
    QFETCH(bool, imported);
    UiTestData data;
    data.copyDemoFiles({QStringLiteral("A6100101.101")});
    WriteBytes(ProtocolPath(data), existing);
    data.messages.setNextAnswer(static_cast<Answer>(answer));
    ImportDialog dialog(*data.context);
    dialog.show();
    Child<FileList>(&dialog, "lst_file")->selectFileNames({QStringLiteral("A6100101.101")});
    dialog.onCommand(ImportDialog::Import);

    const std::vector<std::string> question7 = {" Bestehende Protokolldatei überschreiben ?"};
    QCOMPARE(data.messages.texts(), asked ? question7 : std::vector<std::string>{});
    QCOMPARE(dialog.isVisible(), !imported);
    QCOMPARE(data.departmentCount(), imported ? 1LL : 0LL);
    QCOMPARE(data.context->importResultMarker, std::string(imported ? "Ergebnis" : ""));
    if (!imported) {
        QCOMPARE(dialog.focusWidget(), Child<QWidget>(&dialog, "txt_protocol"));
        QFile protocol(ProtocolPath(data));
        QVERIFY(protocol.open(QIODevice::ReadOnly));
        QCOMPARE(protocol.readAll(), existing);
    }
}

void ImportDialogTest::import_inInitialiseMode_asksQuestion8EvenWithoutProtocol() {
    UiTestData data;
    data.copyDemoFiles({QStringLiteral("A6100101.101")});
    data.messages.setNextAnswer(Answer::No);
    ImportDialog dialog(*data.context);
    dialog.show();
    Child<FileList>(&dialog, "lst_file")->selectFileNames({QStringLiteral("A6100101.101")});
    Child<QRadioButton>(&dialog, "opt_import_1")->setChecked(true);
    dialog.onCommand(ImportDialog::Import);
    QCOMPARE(
        data.messages.texts(),
        std::vector<std::string>{
            " Alle zu den ausgewählten Abteilungen im Kalvora vorhandenen Daten vor dem Import löschen? ?"});
    QVERIFY(dialog.isVisible());
    QVERIFY(!QFile::exists(ProtocolPath(data)));
    QCOMPARE(data.departmentCount(), 0LL);

    data.messages.setNextAnswer(Answer::Yes);
    dialog.onCommand(ImportDialog::Import);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(data.departmentCount(), 1LL);
}

void ImportDialogTest::import_fullBatch_storesDataAndFillsSummary() {
    UiTestData data;
    data.copyDemoFiles(UiTestData::DemoFileNames());
    MainStatusBar bar;
    data.context->statusBar = &bar;
    ImportDialog dialog(*data.context);
    dialog.show();
    Child<FileList>(&dialog, "lst_file")->selectAll();
    Child<QPushButton>(&dialog, "cmd_imp_0")->click();

    QCOMPARE(dialog.result(), static_cast<int>(QDialog::Accepted));
    QVERIFY(data.messages.shown.empty());
    QCOMPARE(data.context->importResultMarker, std::string("Ergebnis"));
    const auto& summary = dialog.summary();
    QCOMPARE(summary.size(), std::size_t{4});
    QCOMPARE(summary[0].file, std::string("A6100101.101"));
    QCOMPARE(summary[0].patients, std::string(" 40   "));
    QCOMPARE(summary[0].imported, std::string(" 40   "));
    QCOMPARE(summary[2].imported, std::string(" 25   "));
    QCOMPARE(summary[3].comment, std::string("Periode, Jahr, Abteilung oder KA ungültig"));
    QCOMPARE(summary[3].patients, std::string(6, ' '));
    QCOMPARE(data.departmentCount(), 3LL);
    QVERIFY(QFile::exists(ProtocolPath(data)));
    QCOMPARE(bar.panelText(1), QStringLiteral(" Bereit"));
    QCOMPARE(bar.panelText(2), QStringLiteral(" "));
    QVERIFY(!bar.progressBar()->isVisibleTo(&bar));
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

void ImportDialogTest::import_whileBatchRuns_refusesSecondImportAndCancel() {
    UiTestData data;
    data.copyDemoFiles({QStringLiteral("A6100101.101"), QStringLiteral("B6100201.103")});
    MainStatusBar bar;
    data.context->statusBar = &bar;
    ImportDialog dialog(*data.context);
    dialog.setRepaintInterval(0);
    dialog.show();
    Child<FileList>(&dialog, "lst_file")->selectAll();

    bool sawRunning = false;
    bool progressShown = false;
    QString checkingText;
    QTimer::singleShot(0, &dialog, [&] {
        sawRunning = dialog.batchRunning();
        progressShown = bar.progressBar()->isVisibleTo(&bar);
        checkingText = bar.panelText(1);
        Child<QPushButton>(&dialog, "cmd_imp_0")->click();
        dialog.onCommand(ImportDialog::Import);
        dialog.onCommand(ImportDialog::Cancel);
        dialog.reject();
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QTest::mouseDClick(Child<FileList>(&dialog, "lst_file")->viewport(), Qt::LeftButton);
    });
    dialog.onCommand(ImportDialog::Import);

    QVERIFY(sawRunning);
    QVERIFY(progressShown);
    QVERIFY2(checkingText.startsWith(QStringLiteral(" Überprüfe Datensatz ")), qPrintable(checkingText));
    QCOMPARE(dialog.result(), static_cast<int>(QDialog::Accepted));
    QCOMPARE(data.context->importResultMarker, std::string("Ergebnis"));
    QCOMPARE(dialog.summary().size(), std::size_t{2});
    QVERIFY(data.messages.shown.empty());
}

void ImportDialogTest::import_unexpectedFailure_showsUnknownCauseWithDetailAndEndsProgram() {
    UiTestData data;
    // Survey days of a stay whose record type 1 line is missing: the run cannot go on.
    QByteArray delivery = FileBytes(QStringLiteral(KALVORA_SOURCE_DIR "/data/demo/A6100101.101"));
    delivery.remove(0, delivery.indexOf('\n') + 1);
    WriteBytes(data.importDir() + QStringLiteral("/A6100101.101"), delivery);
    ImportDialog dialog(*data.context);
    dialog.show();
    Child<FileList>(&dialog, "lst_file")->selectAll();
    dialog.onCommand(ImportDialog::Import);

    QCOMPARE(data.messages.shown.size(), std::size_t{1});
    const MessageBox& box = data.messages.shown.front();
    QCOMPARE(box.text, std::string(" Fehlerursache unbekannt!"));
    QCOMPARE(box.title, std::string(" Programmhinweis "));
    QVERIFY(box.icon == MessageIcon::Warning);
    QVERIFY2(box.detail.find("A6100101.101") != std::string::npos, box.detail.c_str());
    QCOMPARE(data.endedWith, std::vector<int>{EXIT_FAILURE});
    QVERIFY(data.context->importResultMarker.empty());
    QVERIFY(!dialog.isVisible());
    QCOMPARE(data.departmentCount(), 0LL);
}

void ImportDialogTest::enterInFolderList_opensFolderWithoutImporting_data() {
    QTest::addColumn<QString>("list");
    QTest::newRow("directory list") << "lst_dir";
    QTest::newRow("drive list") << "lst_drive";
}

void ImportDialogTest::enterInFolderList_opensFolderWithoutImporting() {
    QFETCH(QString, list);
    UiTestData data;
    data.copyDemoFiles({QStringLiteral("A6100101.101")});
    const QString subfolder = data.importDir() + QStringLiteral("/sub");
    QDir().mkpath(subfolder);
    ImportDialog dialog(*data.context);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    Child<FileList>(&dialog, "lst_file")->selectFileNames({QStringLiteral("A6100101.101")});
    auto* directories = Child<DirectoryList>(&dialog, "lst_dir");
    directories->setCurrentItem(SubfolderLine(directories, QStringLiteral("sub")));

    QWidget* target = dialog.findChild<QWidget*>(list);
    target->setFocus();
    QTest::keyClick(target, Qt::Key_Return);
    QTest::keyClick(target, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::qWait(20);

    QVERIFY(dialog.isVisible());
    QVERIFY(data.messages.shown.empty());
    QVERIFY(data.context->importResultMarker.empty());
    QCOMPARE(data.departmentCount(), 0LL);
    QVERIFY(!QFile::exists(ProtocolPath(data)));
    if (list == QLatin1String("lst_dir")) {
        QCOMPARE(directories->path(), QDir::toNativeSeparators(subfolder));
        QCOMPARE(Child<FileList>(&dialog, "lst_file")->directory(), QDir::toNativeSeparators(subfolder));
    } else {
        QCOMPARE(directories->path(), QDir::toNativeSeparators(data.importDir()));
    }
}

void ImportDialogTest::import_folderOpenedWhileQuestionIsOpen_importsFromFolderOfChosenFiles() {
    UiTestData data;
    data.copyDemoFiles({QStringLiteral("A6100101.101")});
    // The other folder holds a delivery of the same name with a single stay.
    const QString subfolder = data.importDir() + QStringLiteral("/sub");
    QDir().mkpath(subfolder);
    const QByteArray delivery = FileBytes(data.importDir() + QStringLiteral("/A6100101.101"));
    WriteBytes(subfolder + QStringLiteral("/A6100101.101"), FirstStays(delivery, 1));
    WriteBytes(ProtocolPath(data), "alt\r\n");

    ModalLoopMessageService messages;
    AppContext context(*data.settingsFile, messages);
    context.settings = data.context->settings;
    context.endProgram = [&data](int exitCode) { data.endedWith.push_back(exitCode); };
    ImportDialog dialog(context);
    dialog.show();
    Child<FileList>(&dialog, "lst_file")->selectFileNames({QStringLiteral("A6100101.101")});
    // The folder is opened (a double click on it) just before "Import"; it opens while question 7 is open.
    auto* directories = Child<DirectoryList>(&dialog, "lst_dir");
    emit directories->itemActivated(SubfolderLine(directories, QStringLiteral("sub")), 0);
    Child<QPushButton>(&dialog, "cmd_imp_0")->click();

    QCOMPARE(messages.texts(), std::vector<std::string>{" Bestehende Protokolldatei überschreiben ?"});
    QCOMPARE(directories->path(), QDir::toNativeSeparators(subfolder));
    QVERIFY(data.endedWith.empty());
    QCOMPARE(dialog.summary().size(), std::size_t{1});
    QCOMPARE(dialog.summary()[0].patients, std::string(" 40   "));
    QCOMPARE(dialog.summary()[0].imported, std::string(" 40   "));
}

void ImportDialogTest::import_withProtocolNameOfFolder_showsInvalidFileNameNotice_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("folder of the export directory") << "sub";
    QTest::newRow("the export directory") << ".";
    QTest::newRow("the folder above") << " .. ";
}

void ImportDialogTest::import_withProtocolNameOfFolder_showsInvalidFileNameNotice() {
    QFETCH(QString, name);
    UiTestData data;
    data.copyDemoFiles({QStringLiteral("A6100101.101")});
    QDir().mkpath(data.exportDir() + QStringLiteral("/sub"));
    ImportDialog dialog(*data.context);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    Child<FileList>(&dialog, "lst_file")->selectFileNames({QStringLiteral("A6100101.101")});
    auto* protocol = Child<QLineEdit>(&dialog, "txt_protocol");
    protocol->setText(name);
    Child<QPushButton>(&dialog, "cmd_imp_0")->setFocus();
    dialog.onCommand(ImportDialog::Import);

    QVERIFY(dialog.isVisible());
    QCOMPARE(data.messages.texts(), std::vector<std::string>{" Ungültiger Dateiname!"});
    QVERIFY(data.endedWith.empty());
    QCOMPARE(dialog.focusWidget(), protocol);
    QCOMPARE(data.departmentCount(), 0LL);
    QVERIFY(data.context->importResultMarker.empty());
}

void ImportDialogTest::import_withUnusableExportDirectory_namesItAndKeepsRunning_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("said");
    QTest::newRow("missing") << "missing"
                             << " ist nicht vorhanden!";
    QTest::newRow("a file") << "file"
                            << " ist nicht vorhanden!";
    QTest::newRow("not writable") << "read-only"
                                  << " kann nicht geschrieben werden!";
}

void ImportDialogTest::import_withUnusableExportDirectory_namesItAndKeepsRunning() {
    QFETCH(QString, kind);
    QFETCH(QString, said);
    // The system's administrator may write into any directory.
    if (kind == QLatin1String("read-only") && ::geteuid() == 0) QSKIP("run as root");
    UiTestData data;
    data.copyDemoFiles({QStringLiteral("A6100101.101")});
    const QString exportDir = data.root() + QStringLiteral("/ausgabe");
    if (kind == QLatin1String("file")) WriteBytes(exportDir, "kein Verzeichnis");
    if (kind == QLatin1String("read-only")) {
        QDir().mkpath(exportDir);
        QFile::setPermissions(exportDir, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    }
    data.context->settings.ExportDataPath = exportDir.toStdString();
    ImportDialog dialog(*data.context);
    dialog.show();
    Child<FileList>(&dialog, "lst_file")->selectFileNames({QStringLiteral("A6100101.101")});
    // Nothing is asked about data that could not be imported anyway.
    Child<QRadioButton>(&dialog, "opt_import_1")->setChecked(true);
    dialog.onCommand(ImportDialog::Import);

    QCOMPARE(data.messages.shown.size(), std::size_t{1});
    const std::string text = data.messages.shown.front().text;
    QVERIFY2(text.find(exportDir.toStdString() + said.toStdString()) != std::string::npos, text.c_str());
    QVERIFY(data.endedWith.empty());
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.focusWidget(), Child<QWidget>(&dialog, "txt_protocol"));
    QVERIFY(data.context->importResultMarker.empty());
    QCOMPARE(data.departmentCount(), 0LL);

    // Once the directory is there, the same choice imports.
    QFile::remove(exportDir);
    QFile::setPermissions(exportDir,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QDir().mkpath(exportDir);
    data.messages.shown.clear();
    dialog.onCommand(ImportDialog::Import);
    QCOMPARE(
        data.messages.texts(),
        std::vector<std::string>{
            " Alle zu den ausgewählten Abteilungen im Kalvora vorhandenen Daten vor dem Import löschen? ?"});
    QCOMPARE(data.departmentCount(), 1LL);
}

void ImportDialogTest::import_protocolFileCannotBeCreated_saysSoAndKeepsRunning() {
    UiTestData data;
    data.copyDemoFiles({QStringLiteral("A6100101.101")});
    // The protocol name leads into a folder that does not exist.
    QVERIFY(QFile::link(data.root() + QStringLiteral("/fehlt/protocol.dat"), ProtocolPath(data)));
    ImportDialog dialog(*data.context);
    dialog.show();
    Child<FileList>(&dialog, "lst_file")->selectFileNames({QStringLiteral("A6100101.101")});
    dialog.onCommand(ImportDialog::Import);

    QCOMPARE(data.messages.shown.size(), std::size_t{1});
    const std::string text = data.messages.shown.front().text;
    QVERIFY2(text.find(ProtocolPath(data).toStdString()) != std::string::npos, text.c_str());
    QVERIFY(data.endedWith.empty());
    QVERIFY(dialog.isVisible());
    QVERIFY(data.context->importResultMarker.empty());
    QCOMPARE(data.departmentCount(), 0LL);
}
void ImportDialogTest::import_chosenFileGoneMeanwhile_importsNothingAndKeepsRunning() {
    UiTestData data;
    data.copyDemoFiles({QStringLiteral("A6100101.101"), QStringLiteral("B6100201.103")});
    ImportDialog dialog(*data.context);
    dialog.show();
    Child<FileList>(&dialog, "lst_file")->selectAll();
    // The second file goes away after it was listed and chosen: the first must not be stored alone.
    const QString gone = data.importDir() + QStringLiteral("/B6100201.103");
    QVERIFY(QFile::remove(gone));
    dialog.onCommand(ImportDialog::Import);

    QCOMPARE(data.messages.shown.size(), std::size_t{1});
    QCOMPARE(data.messages.shown.front().text,
             "Die Datei " + gone.toStdString() + " ist nicht vorhanden.\nEs wurde nichts importiert.");
    QVERIFY(data.endedWith.empty());
    QVERIFY(dialog.isVisible());
    QVERIFY(data.context->importResultMarker.empty());
    QCOMPARE(data.departmentCount(), 0LL);
    QVERIFY(!QFile::exists(ProtocolPath(data)));
}

void ImportDialogTest::import_intoStoredDepartment_drawsEachPhaseInStatusBar() {
    UiTestData data;
    data.copyDemoFiles({QStringLiteral("A6100101.101")});
    {
        ImportDialog first(*data.context);
        first.show();
        Child<FileList>(&first, "lst_file")->selectAll();
        first.onCommand(ImportDialog::Import);
        QCOMPARE(data.departmentCount(), 1LL);
    }
    QFile::remove(ProtocolPath(data));

    MainStatusBar bar;
    bar.resize(900, bar.sizeHint().height());
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    bar.setPanel(1, QStringLiteral(" Bereit"));
    data.context->statusBar = &bar;
    ImportDialog dialog(*data.context);
    // Lines are drawn seldom, as in a long file: every phase must be drawn all the same.
    dialog.setRepaintInterval(60000);
    dialog.show();
    Child<FileList>(&dialog, "lst_file")->selectAll();
    kalvora::test::PaintRecorder painted(bar.panelLabel(1));
    dialog.onCommand(ImportDialog::Import);

    QCOMPARE(dialog.result(), static_cast<int>(QDialog::Accepted));
    // Before the batch, copying the stored department, the lines, the stay checks, storing, after
    // the batch.
    const QStringList phases = {" Bereit",
                                " Kopiere Abteilungsdatenbank...",
                                " Überprüfe Datensatz 1 ... (1/1)",
                                " Prüfe Aufenthalte...",
                                " Importiere gültige Datensätze ",
                                " Bereit"};
    QCOMPARE(painted.texts().join(QLatin1Char('|')), phases.join(QLatin1Char('|')));
}

void ImportDialogTest::import_whileAnotherProgramChangesDataDirectory_saysSoAndKeepsRunning() {
    UiTestData data;
    data.copyDemoFiles({QStringLiteral("A6100101.101")});
    ImportDialog dialog(*data.context);
    dialog.show();
    Child<FileList>(&dialog, "lst_file")->selectAll();
    {
        // Another program (a second window program, the command line) imports meanwhile.
        const DataDirectoryLock other(data.context->settings.SystemDataPath, std::chrono::milliseconds(0));
        dialog.onCommand(ImportDialog::Import);
    }
    QCOMPARE(data.messages.shown.size(), std::size_t{1});
    const MessageBox& box = data.messages.shown.front();
    QVERIFY2(box.text.find("wird gerade von einem anderen Programm geändert") != std::string::npos,
             box.text.c_str());
    QVERIFY2(box.text.find(data.context->settings.SystemDataPath) != std::string::npos, box.text.c_str());
    QVERIFY(data.endedWith.empty());
    QVERIFY(dialog.isVisible());
    QCOMPARE(data.departmentCount(), 0LL);
    QVERIFY(!QFile::exists(ProtocolPath(data)));

    // Once the other program is done, the same choice imports.
    data.messages.shown.clear();
    dialog.onCommand(ImportDialog::Import);
    QVERIFY(data.messages.shown.empty());
    QCOMPARE(data.departmentCount(), 1LL);
}

void ImportDialogTest::menuImport_afterBatch_showsResultWindowThatCopiesSummary() {
    UiTestData data;
    data.copyDemoFiles(UiTestData::DemoFileNames());
    MainWindow main(*data.context);
    int gridRows = -1;
    std::vector<ImportSummaryRow> summary;
    QString clipboard;
    ModalScript script;
    script
        .then([&](QWidget* dialog) {
            Child<FileList>(dialog, "lst_file")->selectAll();
            Child<QPushButton>(dialog, "cmd_imp_0")->click();
            summary = qobject_cast<ImportDialog*>(dialog)->summary();
        })
        .then([&](QWidget* result) {
            gridRows = Child<QTableWidget>(result, "grd_erg")->rowCount();
            Child<QPushButton>(result, "cmd_erg_0")->click();
            clipboard = QApplication::clipboard()->text();
            Child<QPushButton>(result, "cmd_erg_1")->click();
        });
    main.findChild<QAction*>(QStringLiteral("datei_0"))->trigger();

    QCOMPARE(script.seen(), (QStringList{"frmImp", "frmImpe"}));
    QCOMPARE(gridRows, 4);
    QCOMPARE(clipboard, QString::fromStdString(SummaryClipboardText(summary)));
    QVERIFY(clipboard.startsWith(
        QStringLiteral("Datei\tKA\tAbteilung\t#Patienten\tdavon importiert\tKommentar\r")));
    QVERIFY(clipboard.contains(QStringLiteral("\rA6100101.101\t")));
}

void ImportDialogTest::menuImport_cancelAfterEarlierBatch_showsNoResultWindow() {
    UiTestData data;
    data.context->importResultMarker = "Ergebnis";
    MainWindow main(*data.context);
    ModalScript script;
    script.then([](QWidget* dialog) { Child<QPushButton>(dialog, "cmd_imp_1")->click(); }).then();
    main.findChild<QAction*>(QStringLiteral("datei_0"))->trigger();
    QTest::qWait(30);
    QCOMPARE(script.seen(), QStringList{"frmImp"});
    QVERIFY(data.context->importResultMarker.empty());
}

void ImportDialogTest::resultWindow_showsHeadersWidthsAndCells() {
    ImportSummaryRow row = ImportSummaryRow::ForFile("A6100101.101");
    row.setCounts(40, 38, true);
    ImportResultWindow window({row, ImportSummaryRow::ForFile("T6100401.102")});
    QCOMPARE(window.windowTitle(), QStringLiteral(" Datei - ImportErgebnis"));
    auto* grid = Child<QTableWidget>(&window, "grd_erg");
    QCOMPARE(grid->columnCount(), 6);
    QCOMPARE(grid->rowCount(), 2);
    QStringList headers;
    for (int column = 0; column < 6; ++column) headers << grid->horizontalHeaderItem(column)->text();
    QCOMPARE(headers,
             (QStringList{"Datei", "KA", "Abteilung", "#Patienten", "davon importiert", "Kommentar "}));
    const int letters[] = {12, 24, 40, 11, 14, 31};
    for (int column = 0; column < 6; ++column) {
        QCOMPARE(grid->columnWidth(column),
                 grid->fontMetrics().horizontalAdvance(QString(letters[column], 'X')));
    }
    const std::vector<std::string> cells = row.cells();
    for (int column = 0; column < 6; ++column) {
        QCOMPARE(grid->item(0, column)->text(),
                 QString::fromStdString(cells[static_cast<std::size_t>(column)]));
    }
    QCOMPARE(Child<QPushButton>(&window, "cmd_erg_0")->text(), QStringLiteral("&Kopieren"));
    QCOMPARE(Child<QPushButton>(&window, "cmd_erg_1")->text(), QStringLiteral("Schließen"));
}

void ImportDialogTest::resultWindow_escapeCloses() {
    ImportResultWindow window({ImportSummaryRow::ForFile("A6100101.101")});
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(!window.isVisible());
}

QTEST_MAIN(ImportDialogTest)
#include "import_dialog_test.moc"

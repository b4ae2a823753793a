// The classification windows: the department list of the dialog, the staffing window with its
// number checks and its store, and the result window started from the dialog.

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include "classification/department_entry.h"
#include "classification/ui/frmAbtB.h"
#include "classification/ui/frmEin.h"
#include "classification/ui/frmEine.h"
#include "shell/message_service.h"
#include "shell/ui/window_registry.h"
#include "store/database.h"
#include "store/schema.h"
#include "support/classification_test_data.h"
#include "support/find_control.h"
#include "support/modal_script.h"
#include "support/ui_test_data.h"

using kalvora::test::AddDepartmentWithStays;
using kalvora::test::Child;
using kalvora::test::ModalScript;
using kalvora::test::ReadStoredStaffing;
using kalvora::test::StayKind;
using kalvora::test::UiTestData;
using namespace kalvora;
using namespace kalvora::ui;

namespace {

std::string Field(const std::string& entry, int first, int last) { return EntryField(entry, first, last); }

void SetStaffing(const UiTestData& data, const char* abteilung, long long beds, double dgkp,
                 const char* preset) {
    Database admin(JoinPath(data.systemDir().toStdString(), files::AdminDb));
    admin
        .prepare("UPDATE " + QuoteIdentifier(tables::Dateiverwaltung) +
                 " SET SBETT = ?, DGKP = ?, VOREINSTUFUNG = ? WHERE ABTEILUNG = ?")
        .bind(1, beds)
        .bind(2, dgkp)
        .bind(3, preset)
        .bind(4, abteilung)
        .run();
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

}  // namespace

class ClassificationWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void menuEinstufung_opensClassificationDialog();
    void list_listsOnlyDepartmentsWithDischargedIcuStays();
    void list_withoutClassifiableDepartment_showsNotice37();
    void list_entryInGermanLocale_holdsFieldsAtTheirPositions();
    void staffing_opening_showsValuesOfEntry();
    void staffing_ok_storesValuesAndRewritesEntry();
    void staffing_invalidNumber_showsMessageAndStoresNothing_data();
    void staffing_invalidNumber_showsMessageAndStoresNothing();
    void staffing_cancel_storesNothing();
    void editDepartment_onEmptyList_opensNothing();
    void changeSettings_showsNewValuesAfterOptionsDialog();
    void classify_leavesSettingsFileUntouched();
    void classify_withBlankPeriod_isRefusedWithDateMessage();
    void classify_twoSelectedDepartments_giveTwoRowsInListOrder();
    void classify_missingDepartmentDatabase_showsFailureInComment();
};

void ClassificationWindowsTest::menuEinstufung_opensClassificationDialog() {
    UiTestData data;
    AddDepartmentWithStays(data, "K101", "12100101", "12100101.101", {{"INT", "O"}});
    const WindowOpener opener = WindowOpenerFor(MenuCommand::Einstufung);
    QVERIFY(opener);

    ModalScript script;
    script.then([](QWidget* window) {
        QCOMPARE(Child<QListWidget>(window, "lst_abteilung")->count(), 1);
        qobject_cast<frmEin*>(window)->onCommand(3);
    });
    opener(*data.context, nullptr);

    QCOMPARE(script.seen(), QStringList{QStringLiteral("frmEin")});
}

void ClassificationWindowsTest::list_listsOnlyDepartmentsWithDischargedIcuStays() {
    UiTestData data;
    AddDepartmentWithStays(data, "K101", "12100101", "12100101.101", {{"INT", "O"}});
    AddDepartmentWithStays(data, "K101", "12100201", "12100201.101", {{"INT", "U"}, {"INT", "U"}});
    AddDepartmentWithStays(data, "K101", "12100301", "12100301.101", {{"IMC", "O"}});
    AddDepartmentWithStays(data, "K101", "12100401", "12100401.101", {{"INT", "U"}, {"INT", "A"}});
    AddDepartmentWithStays(data, "K101", "12100501", "12100501.101", {});

    frmEin window(*data.context);

    const std::vector<std::string> entries = window.entries();
    QCOMPARE(entries.size(), std::size_t{2});
    QCOMPARE(EntryAbteilung(entries[0]), std::string("12100101"));
    QCOMPARE(EntryAbteilung(entries[1]), std::string("12100401"));
    QCOMPARE(Child<QListWidget>(&window, "lst_abteilung")->currentRow(), 0);
    QVERIFY(data.messages.shown.empty());
}

void ClassificationWindowsTest::list_withoutClassifiableDepartment_showsNotice37() {
    UiTestData data;
    AddDepartmentWithStays(data, "K101", "12100201", "12100201.101", {{"INT", "U"}});

    frmEin window(*data.context);

    QVERIFY(window.entries().empty());
    QCOMPARE(data.messages.texts(),
             std::vector<std::string>{" Intensivberichte enthalten keine entlassenen TISS-Patienten!"});
}

void ClassificationWindowsTest::list_entryInGermanLocale_holdsFieldsAtTheirPositions() {
    UiTestData data;
    AddDepartmentWithStays(data, "K101", "12100101", "12100101.101", {{"INT", "O"}});
    SetStaffing(data, "12100101", 4, 5.5, "E2");

    frmEin window(*data.context);

    const std::string entry = window.entries().at(0);
    QCOMPARE(Field(entry, 1, 27), std::string("K101 - Klinikum K101       "));
    QCOMPARE(Field(entry, 28, 29), std::string("  "));
    QCOMPARE(Field(entry, 30, 35), std::string("  5,50"));
    QCOMPARE(Field(entry, 40, 42), std::string("  4"));
    QCOMPARE(Field(entry, 48, 52), std::string(" 1,38"));
    QCOMPARE(Field(entry, 61, 62), std::string("E2"));
    QCOMPARE(Field(entry, 69, 94), std::string("12100101 - Intensiv 121001"));
    QCOMPARE(EntryDataFileName(entry), std::string("12100101.101"));
    const QFont font = Child<QListWidget>(&window, "lst_abteilung")->font();
    QVERIFY(QFontInfo(font).fixedPitch());
}

void ClassificationWindowsTest::staffing_opening_showsValuesOfEntry() {
    UiTestData data;
    AddDepartmentWithStays(data, "K101", "12100101", "12100101.101", {{"INT", "O"}});
    SetStaffing(data, "12100101", 12, 20.25, "E2");
    frmEin dialog(*data.context);

    frmAbtB window(*data.context, dialog.entries().at(0));

    QCOMPARE(Child<QLabel>(&window, "lbl_ka")->text(), QStringLiteral("K101 - Klinikum K101       "));
    QVERIFY(
        Child<QLabel>(&window, "lbl_abt")->text().startsWith(QStringLiteral("12100101 - Intensiv 121001")));
    QCOMPARE(Child<QLineEdit>(&window, "txt_dgkp")->text(), QStringLiteral("20,25"));
    QCOMPARE(Child<QLineEdit>(&window, "txt_sBett")->text(), QStringLiteral("12"));
    QCOMPARE(Child<QLabel>(&window, "lbl_faktor")->text(), QStringLiteral("0,00"));
    QCOMPARE(Child<QComboBox>(&window, "cmbVoreinstufung")->currentIndex(), 3);
}

void ClassificationWindowsTest::staffing_ok_storesValuesAndRewritesEntry() {
    UiTestData data;
    AddDepartmentWithStays(data, "K101", "12100101", "12100101.101", {{"INT", "O"}});
    SetStaffing(data, "12100101", 0, 0, "E1");
    frmEin dialog(*data.context);
    const std::string before = dialog.entries().at(0);

    ModalScript script;
    script.then([](QWidget* window) {
        auto* staffing = qobject_cast<frmAbtB*>(window);
        QVERIFY(staffing != nullptr);
        Child<QLineEdit>(window, "txt_dgkp")->setText(QStringLiteral("5,5"));
        QVERIFY(staffing->leaveField(0));
        Child<QLineEdit>(window, "txt_sBett")->setText(QStringLiteral("4"));
        QVERIFY(staffing->leaveField(1));
        QCOMPARE(Child<QLineEdit>(window, "txt_dgkp")->text(), QStringLiteral("5,50"));
        QCOMPARE(Child<QLabel>(window, "lbl_faktor")->text(), QStringLiteral("1,38"));
        Child<QComboBox>(window, "cmbVoreinstufung")->setCurrentIndex(0);
        staffing->onCommand(0);
    });
    dialog.onCommand(0);

    QVERIFY(script.done());
    QCOMPARE(script.seen(), QStringList{QStringLiteral("frmAbtB")});
    const auto stored = ReadStoredStaffing(data, "K101", "12100101");
    QCOMPARE(stored.beds, 4LL);
    QCOMPARE(stored.dgkp, 5.5);
    QCOMPARE(stored.preset, std::string());
    const std::string after = dialog.entries().at(0);
    QCOMPARE(Field(after, 1, 29), Field(before, 1, 29));
    QCOMPARE(Field(after, 30, 35), std::string("  5,50"));
    QCOMPARE(Field(after, 40, 42), std::string("  4"));
    QCOMPARE(Field(after, 48, 52), std::string(" 1,38"));
    QCOMPARE(Field(after, 61, 62), std::string("  "));
    QCOMPARE(Field(after, 69, 191), Field(before, 69, 191));
}

void ClassificationWindowsTest::staffing_invalidNumber_showsMessageAndStoresNothing_data() {
    QTest::addColumn<QString>("dgkp");
    QTest::addColumn<QString>("beds");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("message");
    QTest::newRow("DGKP no number") << "5x"
                                    << "4"
                                    << "txt_dgkp"
                                    << "Die Eingabe ist ungültig!";
    QTest::newRow("DGKP too long") << "12345,5"
                                   << "4"
                                   << "txt_dgkp"
                                   << "Maximal  6 Stellen zulässig!";
    QTest::newRow("beds no number") << "5,5"
                                    << "vier"
                                    << "txt_sBett"
                                    << "Die Eingabe ist ungültig!";
    QTest::newRow("beds too long") << "5,5"
                                   << "1000"
                                   << "txt_sBett"
                                   << "Maximal  3 Stellen zulässig!";
}

void ClassificationWindowsTest::staffing_invalidNumber_showsMessageAndStoresNothing() {
    QFETCH(QString, dgkp);
    QFETCH(QString, beds);
    QFETCH(QString, field);
    QFETCH(QString, message);
    UiTestData data;
    AddDepartmentWithStays(data, "K101", "12100101", "12100101.101", {{"INT", "O"}});
    SetStaffing(data, "12100101", 7, 3.0, "E1");
    frmEin dialog(*data.context);
    const std::string entry = dialog.entries().at(0);
    frmAbtB window(*data.context, entry);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    Child<QLineEdit>(&window, "txt_dgkp")->setText(dgkp);
    Child<QLineEdit>(&window, "txt_sBett")->setText(beds);
    window.onCommand(0);

    QCOMPARE(data.messages.texts(), std::vector<std::string>{message.toStdString()});
    QCOMPARE(data.messages.shown.front().title, std::string(kErrorBoxTitle));
    QVERIFY(window.isVisible());
    QVERIFY(window.result() != QDialog::Accepted);
    QVERIFY(Child<QLineEdit>(&window, field.toLatin1().constData())->hasFocus());
    QCOMPARE(window.entry(), entry);
    const auto stored = ReadStoredStaffing(data, "K101", "12100101");
    QCOMPARE(stored.beds, 7LL);
    QCOMPARE(stored.dgkp, 3.0);
    QCOMPARE(stored.preset, std::string("E1"));
}

void ClassificationWindowsTest::staffing_cancel_storesNothing() {
    UiTestData data;
    AddDepartmentWithStays(data, "K101", "12100101", "12100101.101", {{"INT", "O"}});
    frmEin dialog(*data.context);
    const std::string before = dialog.entries().at(0);

    ModalScript script;
    script.then([](QWidget* window) {
        Child<QLineEdit>(window, "txt_dgkp")->setText(QStringLiteral("9,99"));
        Child<QLineEdit>(window, "txt_sBett")->setText(QStringLiteral("3"));
        qobject_cast<frmAbtB*>(window)->onCommand(1);
    });
    dialog.onCommand(0);

    QVERIFY(script.done());
    QCOMPARE(dialog.entries().at(0), before);
    QCOMPARE(ReadStoredStaffing(data, "K101", "12100101").beds, 0LL);
}

void ClassificationWindowsTest::editDepartment_onEmptyList_opensNothing() {
    UiTestData data;
    frmEin dialog(*data.context);
    data.messages.shown.clear();

    ModalScript script;
    script.then();
    dialog.onCommand(0);
    QTest::qWait(100);

    QVERIFY(script.seen().isEmpty());
    QVERIFY(data.messages.shown.empty());
}

void ClassificationWindowsTest::changeSettings_showsNewValuesAfterOptionsDialog() {
    UiTestData data;
    AddDepartmentWithStays(data, "K101", "12100101", "12100101.101", {{"INT", "O"}});
    data.writeIniFile();
    frmEin dialog(*data.context);
    QCOMPARE(Child<QComboBox>(&dialog, "cmb_mindeststunden")->currentText(), QStringLiteral(" 0"));

    ModalScript script;
    script.then([](QWidget* window) {
        Child<QComboBox>(window, "cmb_mindeststunden")->setCurrentIndex(4);
        Child<QLineEdit>(window, "txt_vondatum")->setText(QStringLiteral("01.02.2016"));
        Child<QCheckBox>(window, "chk_mtiss")->setChecked(true);
        QMetaObject::invokeMethod(window,
                                  [window] { Child<QPushButton>(window, "cmd_verzeichnis_0")->click(); });
    });
    dialog.onCommand(1);

    QCOMPARE(script.seen(), QStringList{QStringLiteral("frmOpt")});
    QCOMPARE(Child<QComboBox>(&dialog, "cmb_mindeststunden")->currentText(), QStringLiteral(" 4"));
    QCOMPARE(Child<QLineEdit>(&dialog, "txt_vondatum")->text(), QStringLiteral("01.02.2016"));
    QVERIFY(Child<QCheckBox>(&dialog, "chk_mtiss")->isChecked());
    QVERIFY(dialog.isVisible());
}

void ClassificationWindowsTest::classify_leavesSettingsFileUntouched() {
    UiTestData data;
    AddDepartmentWithStays(data, "K101", "12100101", "12100101.101", {{"INT", "O"}});
    data.writeIniFile();
    const QByteArray iniBefore = FileBytes(data.iniPath());
    frmEin dialog(*data.context);
    Child<QLineEdit>(&dialog, "txt_vondatum")->setText(QStringLiteral("5.3.12"));
    Child<QLineEdit>(&dialog, "txt_bisdatum")->setText(QStringLiteral("20121231"));
    Child<QComboBox>(&dialog, "cmb_mindeststunden")->setCurrentIndex(12);
    Child<QCheckBox>(&dialog, "chk_multipletiss")->setChecked(true);
    Child<QCheckBox>(&dialog, "chk_mtiss")->setChecked(true);

    ModalScript script;
    script.then();
    dialog.onCommand(2);

    QCOMPARE(script.seen(), QStringList{QStringLiteral("frmEine")});
    const Settings& settings = data.context->settings;
    QCOMPARE(settings.Erhebungvon, std::string("20120305"));
    QCOMPARE(settings.Erhebungbis, std::string("20121231"));
    QCOMPARE(settings.MindestStd, std::string("12"));
    QCOMPARE(settings.MehrfachTISS, std::string("J"));
    QCOMPARE(settings.ErsatzTISS, std::string("J"));
    QCOMPARE(FileBytes(data.iniPath()), iniBefore);
    QCOMPARE(kalvora::test::ReadSettingsFile(data.iniPath()).MindestStd, std::string("0 "));
}

void ClassificationWindowsTest::classify_withBlankPeriod_isRefusedWithDateMessage() {
    UiTestData data;
    AddDepartmentWithStays(data, "K101", "12100101", "12100101.101", {{"INT", "O"}});
    frmEin dialog(*data.context);
    Child<QLineEdit>(&dialog, "txt_bisdatum")->clear();

    ModalScript script;
    script.then();
    dialog.onCommand(2);
    QTest::qWait(100);

    QVERIFY(script.seen().isEmpty());
    QCOMPARE(data.messages.texts(), std::vector<std::string>{std::string(messages::InvalidDate)});
    QCOMPARE(data.context->settings.Erhebungbis, std::string("20161231"));
}

void ClassificationWindowsTest::classify_twoSelectedDepartments_giveTwoRowsInListOrder() {
    UiTestData data;
    kalvora::test::ImportDemoDeliveries(data);
    frmEin dialog(*data.context);
    const std::vector<std::string> entries = dialog.entries();
    QVERIFY(entries.size() >= 2);
    auto* list = Child<QListWidget>(&dialog, "lst_abteilung");
    list->clearSelection();
    list->item(1)->setSelected(true);
    list->item(0)->setSelected(true);

    std::vector<ResultRow> rows;
    QString clipboard;
    ModalScript script;
    script.then([&](QWidget* window) {
        auto* result = qobject_cast<frmEine*>(window);
        QVERIFY(result != nullptr);
        rows = result->table().rows;
        QCOMPARE(Child<QTableWidget>(window, "grd_erg")->rowCount(), 2);
        QCOMPARE(Child<QTableWidget>(window, "grd_erg")->columnCount(), 24);
        result->onCommand(0);
        clipboard = QApplication::clipboard()->text();
        result->onCommand(1);
    });
    dialog.onCommand(2);

    QVERIFY(script.done());
    QCOMPARE(rows.size(), std::size_t{2});
    for (std::size_t row = 0; row < 2; ++row) {
        QCOMPARE(rows[row][0], EntryHospitalText(entries[row]));
        QCOMPARE(rows[row][1], EntryDepartmentText(entries[row]));
    }
    const QStringList lines = clipboard.split(QLatin1Char('\r'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    for (const QString& line : lines) QCOMPARE(line.split(QLatin1Char('\t')).size(), 24);
    QVERIFY(lines.front().startsWith(QStringLiteral("KA\tAbteilung\tStufe\t")));
}

void ClassificationWindowsTest::classify_missingDepartmentDatabase_showsFailureInComment() {
    UiTestData data;
    AddDepartmentWithStays(data, "K101", "12100101", "12100101.101", {{"INT", "O"}});
    AddDepartmentWithStays(data, "K101", "12100201", "12100201.101", {{"INT", "O"}});
    frmEin dialog(*data.context);
    QCOMPARE(dialog.entries().size(), std::size_t{2});
    QVERIFY(QFile::remove(data.systemDir() + QStringLiteral("/12100101.101")));

    const std::vector<std::string> entries = dialog.entries();
    frmEine result(*data.context, entries);

    const auto& rows = result.table().rows;
    QCOMPARE(rows.size(), std::size_t{2});
    QVERIFY(!rows[0][23].empty());
    QCOMPARE(rows[0][1], EntryDepartmentText(entries[0]));
    QCOMPARE(rows[1][1], EntryDepartmentText(entries[1]));
}

int main(int argc, char* argv[]) {
    // The windows read numbers in the notation of the user's locale; the tests run in German.
    qputenv("LC_ALL", "de_DE.UTF-8");
    qputenv("LANG", "de_DE.UTF-8");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ClassificationWindowsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "classification_windows_test.moc"

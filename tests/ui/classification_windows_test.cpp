// The classification windows: the department list of the dialog, the staffing window with its
// number checks and its store, and the result window started from the dialog; the dialog comes back
// with its choices after the windows it opens, and Enter presses the default button.

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include "app/window_wiring.h"
#include "base/message_service.h"
#include "base/paths.h"
#include "base/text.h"
#include "classification/department_entry.h"
#include "classification/ui/classification_dialog.h"
#include "classification/ui/classification_result_window.h"
#include "classification/ui/staffing_dialog.h"
#include "store/database.h"
#include "store/schema.h"
#include "store/stored_data_messages.h"
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

std::string Field(const std::string& entry, int first, int last) { return LineColumns(entry, first, last); }

// The line of the dialog's list in `row`, as the user sees it.
std::string LineOf(ClassificationDialog& dialog, int row) {
    return Child<QListWidget>(&dialog, "lst_abteilung")->item(row)->text().toStdString();
}

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

// Runs an action once the script's step has returned, inside the window's own event loop, so that
// the modal windows it opens are handled by the next steps.
template <typename Receiver, typename Action>
void Later(Receiver* context, Action action) {
    QTimer::singleShot(0, context, action);
}

// Two departments of one hospital, each with a discharged ICU stay.
void AddTwoClassifiableDepartments(UiTestData& data) {
    AddDepartmentWithStays(data, "K101", "12100101", "12100101.101", {{"INT", "O"}});
    AddDepartmentWithStays(data, "K101", "12100201", "12100201.101", {{"INT", "O"}});
}

// What the user chose in the classification dialog.
struct DialogChoices {
    std::vector<std::string> selected;  // the selected lines
    QString from;
    QString to;
    QString hours;
    bool multiple = false;
    bool substitute = false;
    bool visible = false;

    static DialogChoices Of(QWidget* window) {
        DialogChoices choices;
        for (const ClassificationEntry& entry :
             qobject_cast<ClassificationDialog*>(window)->selectedEntries())
            choices.selected.push_back(BuildDepartmentEntry(entry, NumberNotation::German()));
        choices.from = Child<QLineEdit>(window, "txt_vondatum")->text();
        choices.to = Child<QLineEdit>(window, "txt_bisdatum")->text();
        choices.hours = Child<QComboBox>(window, "cmb_mindeststunden")->currentText();
        choices.multiple = Child<QCheckBox>(window, "chk_multipletiss")->isChecked();
        choices.substitute = Child<QCheckBox>(window, "chk_mtiss")->isChecked();
        choices.visible = window->isVisible();
        return choices;
    }
    bool operator==(const DialogChoices&) const = default;
};

// Chooses the second department only and values that differ from the settings.
void MakeChoices(QWidget* window) {
    auto* list = Child<QListWidget>(window, "lst_abteilung");
    list->clearSelection();
    list->setCurrentRow(1, QItemSelectionModel::ClearAndSelect);
    Child<QLineEdit>(window, "txt_vondatum")->setText(QStringLiteral("01.03.2016"));
    Child<QLineEdit>(window, "txt_bisdatum")->setText(QStringLiteral("30.06.2016"));
    Child<QComboBox>(window, "cmb_mindeststunden")->setCurrentIndex(6);
    Child<QCheckBox>(window, "chk_multipletiss")->setChecked(true);
    Child<QCheckBox>(window, "chk_mtiss")->setChecked(true);
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
    void classify_withReversedPeriod_isRefusedInTheDialog();
    void classify_twoSelectedDepartments_giveTwoRowsInListOrder();
    void classify_missingDepartmentDatabase_showsFailureInComment();
    void list_departmentsWithoutReadableDatabase_areNamedWhenDialogOpens();
    void resultClosed_showsDialogAgainWithItsChoices_data();
    void resultClosed_showsDialogAgainWithItsChoices();
    void optionsCancelled_showsDialogAgainWithItsChoices();
    void enter_inClassificationDialog_startsClassification_data();
    void enter_inClassificationDialog_startsClassification();
    void enter_inStaffingWindow_storesLikeOk();
    void result_cutTexts_readByTooltipOrByFittingTheColumn();
};

void ClassificationWindowsTest::menuEinstufung_opensClassificationDialog() {
    UiTestData data;
    AddDepartmentWithStays(data, "K101", "12100101", "12100101.101", {{"INT", "O"}});
    const WindowOpener opener = ProgramWindowOpeners().at(MenuCommand::Einstufung);
    QVERIFY(opener);

    ModalScript script;
    script.then([](QWidget* window) {
        QCOMPARE(Child<QListWidget>(window, "lst_abteilung")->count(), 1);
        qobject_cast<ClassificationDialog*>(window)->onCommand(ClassificationDialog::Cancel);
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

    ClassificationDialog window(*data.context);

    const std::vector<ClassificationEntry> entries = window.entries();
    QCOMPARE(entries.size(), std::size_t{2});
    QCOMPARE(entries[0].department.abteilung, std::string("12100101"));
    QCOMPARE(entries[1].department.abteilung, std::string("12100401"));
    QCOMPARE(Field(LineOf(window, 1), 69, 76), std::string("12100401"));
    QCOMPARE(Child<QListWidget>(&window, "lst_abteilung")->currentRow(), 0);
    QVERIFY(data.messages.shown.empty());
}

void ClassificationWindowsTest::list_withoutClassifiableDepartment_showsNotice37() {
    UiTestData data;
    AddDepartmentWithStays(data, "K101", "12100201", "12100201.101", {{"INT", "U"}});

    ClassificationDialog window(*data.context);

    QVERIFY(window.entries().empty());
    QCOMPARE(data.messages.texts(),
             std::vector<std::string>{" Intensivberichte enthalten keine entlassenen TISS-Patienten!"});
}

void ClassificationWindowsTest::list_entryInGermanLocale_holdsFieldsAtTheirPositions() {
    UiTestData data;
    AddDepartmentWithStays(data, "K101", "12100101", "12100101.101", {{"INT", "O"}});
    SetStaffing(data, "12100101", 4, 5.5, "E2");

    ClassificationDialog window(*data.context);

    const std::string entry = LineOf(window, 0);
    QCOMPARE(Field(entry, 1, 27), std::string("K101 - Klinikum K101       "));
    QCOMPARE(Field(entry, 28, 29), std::string("  "));
    QCOMPARE(Field(entry, 30, 35), std::string("  5,50"));
    QCOMPARE(Field(entry, 40, 42), std::string("  4"));
    QCOMPARE(Field(entry, 48, 52), std::string(" 1,38"));
    QCOMPARE(Field(entry, 61, 62), std::string("E2"));
    QCOMPARE(Field(entry, 69, 94), std::string("12100101 - Intensiv 121001"));
    QCOMPARE(Field(entry, 180, 191), std::string("12100101.101"));
    const QFont font = Child<QListWidget>(&window, "lst_abteilung")->font();
    QVERIFY(QFontInfo(font).fixedPitch());
}

void ClassificationWindowsTest::staffing_opening_showsValuesOfEntry() {
    UiTestData data;
    AddDepartmentWithStays(data, "K101", "12100101", "12100101.101", {{"INT", "O"}});
    SetStaffing(data, "12100101", 12, 20.25, "E2");
    ClassificationDialog dialog(*data.context);

    StaffingDialog window(*data.context, dialog.entries().at(0));

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
    ClassificationDialog dialog(*data.context);
    const std::string before = LineOf(dialog, 0);

    ModalScript script;
    script.then([](QWidget* window) {
        auto* staffing = qobject_cast<StaffingDialog*>(window);
        QVERIFY(staffing != nullptr);
        Child<QLineEdit>(window, "txt_dgkp")->setText(QStringLiteral("5,5"));
        QVERIFY(staffing->leaveField(0));
        Child<QLineEdit>(window, "txt_sBett")->setText(QStringLiteral("4"));
        QVERIFY(staffing->leaveField(1));
        QCOMPARE(Child<QLineEdit>(window, "txt_dgkp")->text(), QStringLiteral("5,50"));
        QCOMPARE(Child<QLabel>(window, "lbl_faktor")->text(), QStringLiteral("1,38"));
        Child<QComboBox>(window, "cmbVoreinstufung")->setCurrentIndex(0);
        staffing->onCommand(StaffingDialog::Ok);
    });
    dialog.onCommand(ClassificationDialog::EditDepartment);

    QVERIFY(script.done());
    QCOMPARE(script.seen(), QStringList{QStringLiteral("frmAbtB")});
    const auto stored = ReadStoredStaffing(data, "K101", "12100101");
    QCOMPARE(stored.beds, 4LL);
    QCOMPARE(stored.dgkp, 5.5);
    QCOMPARE(stored.preset, std::string());
    const std::string after = LineOf(dialog, 0);
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
    ClassificationDialog dialog(*data.context);
    const ClassificationEntry entry = dialog.entries().at(0);
    StaffingDialog window(*data.context, entry);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    Child<QLineEdit>(&window, "txt_dgkp")->setText(dgkp);
    Child<QLineEdit>(&window, "txt_sBett")->setText(beds);
    window.onCommand(StaffingDialog::Ok);

    QCOMPARE(data.messages.texts(), std::vector<std::string>{message.toStdString()});
    QCOMPARE(data.messages.shown.front().title, std::string(kErrorBoxTitle));
    QVERIFY(window.isVisible());
    QVERIFY(window.result() != QDialog::Accepted);
    QVERIFY(Child<QLineEdit>(&window, field.toLatin1().constData())->hasFocus());
    QCOMPARE(BuildDepartmentEntry(window.entry(), NumberNotation::German()),
             BuildDepartmentEntry(entry, NumberNotation::German()));
    const auto stored = ReadStoredStaffing(data, "K101", "12100101");
    QCOMPARE(stored.beds, 7LL);
    QCOMPARE(stored.dgkp, 3.0);
    QCOMPARE(stored.preset, std::string("E1"));
}

void ClassificationWindowsTest::staffing_cancel_storesNothing() {
    UiTestData data;
    AddDepartmentWithStays(data, "K101", "12100101", "12100101.101", {{"INT", "O"}});
    ClassificationDialog dialog(*data.context);
    const std::string before = LineOf(dialog, 0);

    ModalScript script;
    script.then([](QWidget* window) {
        Child<QLineEdit>(window, "txt_dgkp")->setText(QStringLiteral("9,99"));
        Child<QLineEdit>(window, "txt_sBett")->setText(QStringLiteral("3"));
        qobject_cast<StaffingDialog*>(window)->onCommand(StaffingDialog::Cancel);
    });
    dialog.onCommand(ClassificationDialog::EditDepartment);

    QVERIFY(script.done());
    QCOMPARE(LineOf(dialog, 0), before);
    QCOMPARE(ReadStoredStaffing(data, "K101", "12100101").beds, 0LL);
}

void ClassificationWindowsTest::editDepartment_onEmptyList_opensNothing() {
    UiTestData data;
    ClassificationDialog dialog(*data.context);
    data.messages.shown.clear();

    ModalScript script;
    script.then();
    dialog.onCommand(ClassificationDialog::EditDepartment);
    QTest::qWait(100);

    QVERIFY(script.seen().isEmpty());
    QVERIFY(data.messages.shown.empty());
}

void ClassificationWindowsTest::changeSettings_showsNewValuesAfterOptionsDialog() {
    UiTestData data;
    AddDepartmentWithStays(data, "K101", "12100101", "12100101.101", {{"INT", "O"}});
    data.writeIniFile();
    ClassificationDialog dialog(*data.context);
    dialog.show();
    QCOMPARE(Child<QComboBox>(&dialog, "cmb_mindeststunden")->currentText(), QStringLiteral(" 0"));

    ModalScript script;
    script.then([](QWidget* window) {
        Child<QComboBox>(window, "cmb_mindeststunden")->setCurrentIndex(4);
        Child<QLineEdit>(window, "txt_vondatum")->setText(QStringLiteral("01.02.2016"));
        Child<QCheckBox>(window, "chk_mtiss")->setChecked(true);
        QMetaObject::invokeMethod(window,
                                  [window] { Child<QPushButton>(window, "cmd_verzeichnis_0")->click(); });
    });
    dialog.onCommand(ClassificationDialog::ChangeSettings);

    QCOMPARE(script.seen(), QStringList{QStringLiteral("frmOpt")});
    QCOMPARE(Child<QComboBox>(&dialog, "cmb_mindeststunden")->currentText(), QStringLiteral(" 4"));
    QCOMPARE(Child<QLineEdit>(&dialog, "txt_vondatum")->text(), QStringLiteral("01.02.2016"));
    QVERIFY(Child<QCheckBox>(&dialog, "chk_mtiss")->isChecked());
}

void ClassificationWindowsTest::classify_leavesSettingsFileUntouched() {
    UiTestData data;
    AddDepartmentWithStays(data, "K101", "12100101", "12100101.101", {{"INT", "O"}});
    data.writeIniFile();
    const QByteArray iniBefore = FileBytes(data.iniPath());
    ClassificationDialog dialog(*data.context);
    Child<QLineEdit>(&dialog, "txt_vondatum")->setText(QStringLiteral("5.3.12"));
    Child<QLineEdit>(&dialog, "txt_bisdatum")->setText(QStringLiteral("20121231"));
    Child<QComboBox>(&dialog, "cmb_mindeststunden")->setCurrentIndex(12);
    Child<QCheckBox>(&dialog, "chk_multipletiss")->setChecked(true);
    Child<QCheckBox>(&dialog, "chk_mtiss")->setChecked(true);

    ModalScript script;
    script.then();
    dialog.onCommand(ClassificationDialog::Classify);

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
    ClassificationDialog dialog(*data.context);
    Child<QLineEdit>(&dialog, "txt_bisdatum")->clear();

    ModalScript script;
    script.then();
    dialog.onCommand(ClassificationDialog::Classify);
    QTest::qWait(100);

    QVERIFY(script.seen().isEmpty());
    QCOMPARE(data.messages.texts(), std::vector<std::string>{std::string(messages::InvalidDate)});
    QCOMPARE(data.context->settings.Erhebungbis, std::string("20161231"));
}

void ClassificationWindowsTest::classify_withReversedPeriod_isRefusedInTheDialog() {
    UiTestData data;
    AddDepartmentWithStays(data, "K101", "12100101", "12100101.101", {{"INT", "O"}});
    ClassificationDialog dialog(*data.context);
    Child<QLineEdit>(&dialog, "txt_vondatum")->setText(QStringLiteral("31.12.2016"));
    Child<QLineEdit>(&dialog, "txt_bisdatum")->setText(QStringLiteral("01.01.2016"));

    ModalScript script;
    script.then();
    dialog.onCommand(ClassificationDialog::Classify);
    QTest::qWait(100);

    // No result window with an empty table: the dialog itself says what is wrong and stays open.
    QVERIFY(script.seen().isEmpty());
    QCOMPARE(
        data.messages.texts(),
        std::vector<std::string>{"Der Erhebungszeitraum endet (01.01.2016) vor seinem Beginn (31.12.2016)!"});
    QCOMPARE(dialog.result(), 0);
}

void ClassificationWindowsTest::classify_twoSelectedDepartments_giveTwoRowsInListOrder() {
    UiTestData data;
    kalvora::test::ImportDemoDeliveries(data);
    ClassificationDialog dialog(*data.context);
    const std::vector<ClassificationEntry> entries = dialog.entries();
    QVERIFY(entries.size() >= 2);
    auto* list = Child<QListWidget>(&dialog, "lst_abteilung");
    list->clearSelection();
    list->item(1)->setSelected(true);
    list->item(0)->setSelected(true);

    std::vector<ResultRow> rows;
    QString clipboard;
    ModalScript script;
    script.then([&](QWidget* window) {
        auto* result = qobject_cast<ClassificationResultWindow*>(window);
        QVERIFY(result != nullptr);
        rows = result->table().rows;
        QCOMPARE(Child<QTableWidget>(window, "grd_erg")->rowCount(), 2);
        QCOMPARE(Child<QTableWidget>(window, "grd_erg")->columnCount(), 24);
        result->onCommand(ClassificationResultWindow::Copy);
        clipboard = QApplication::clipboard()->text();
        result->onCommand(ClassificationResultWindow::Close);
    });
    dialog.onCommand(ClassificationDialog::Classify);

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
    ClassificationDialog dialog(*data.context);
    QCOMPARE(dialog.entries().size(), std::size_t{2});
    QVERIFY(QFile::remove(data.systemDir() + QStringLiteral("/12100101.101")));

    const std::vector<ClassificationEntry> entries = dialog.entries();
    ClassificationResultWindow result(*data.context, entries);

    const auto& rows = result.table().rows;
    QCOMPARE(rows.size(), std::size_t{2});
    QVERIFY(!rows[0][23].empty());
    QCOMPARE(rows[0][1], EntryDepartmentText(entries[0]));
    QCOMPARE(rows[1][1], EntryDepartmentText(entries[1]));
}

void ClassificationWindowsTest::list_departmentsWithoutReadableDatabase_areNamedWhenDialogOpens() {
    UiTestData data;
    AddDepartmentWithStays(data, "K101", "12100101", "12100101.101", {{"INT", "O"}});
    AddDepartmentWithStays(data, "K101", "12100201", "12100201.101", {{"INT", "O"}});
    AddDepartmentWithStays(data, "K101", "12100301", "12100301.101", {{"INT", "O"}});
    QVERIFY(QFile::remove(data.systemDir() + QStringLiteral("/12100201.101")));
    {
        QFile broken(data.systemDir() + QStringLiteral("/12100301.101"));
        QVERIFY(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
        broken.write(QByteArray(4096, 'x'));
    }

    ClassificationDialog window(*data.context);

    QCOMPARE(window.entries().size(), std::size_t{1});
    QCOMPARE(data.messages.texts(),
             std::vector<std::string>{stored_data_messages::DepartmentDbMissing("12100201.101") + "\n" +
                                      stored_data_messages::DepartmentDbUnreadable("12100301.101")});
    QCOMPARE(data.messages.shown.front().title, std::string(kErrorBoxTitle));
}

void ClassificationWindowsTest::resultClosed_showsDialogAgainWithItsChoices_data() {
    QTest::addColumn<bool>("byEscape");
    QTest::newRow("Schließen") << false;
    QTest::newRow("Esc") << true;
}

void ClassificationWindowsTest::resultClosed_showsDialogAgainWithItsChoices() {
    QFETCH(bool, byEscape);
    UiTestData data;
    AddTwoClassifiableDepartments(data);
    DialogChoices before;
    DialogChoices after;
    std::size_t classifiedRows = 0;
    ModalScript script;
    script
        .then([&](QWidget* dialog) {
            MakeChoices(dialog);
            before = DialogChoices::Of(dialog);
            Later(Child<QPushButton>(dialog, "cmd_ein_2"), &QPushButton::click);
        })
        .then([&](QWidget* result) {
            classifiedRows = qobject_cast<ClassificationResultWindow*>(result)->table().rows.size();
            if (byEscape) {
                QTest::keyClick(result, Qt::Key_Escape);
            } else {
                Child<QPushButton>(result, "cmd_erg_1")->click();
            }
        })
        .then([&](QWidget* dialog) {
            after = DialogChoices::Of(dialog);
            qobject_cast<ClassificationDialog*>(dialog)->onCommand(ClassificationDialog::Cancel);
        });
    ProgramWindowOpeners().at(MenuCommand::Einstufung)(*data.context, nullptr);

    QCOMPARE(script.seen(),
             (QStringList{QStringLiteral("frmEin"), QStringLiteral("frmEine"), QStringLiteral("frmEin")}));
    QCOMPARE(classifiedRows, std::size_t{1});
    QVERIFY(after.visible);
    QVERIFY(after == before);
}

void ClassificationWindowsTest::optionsCancelled_showsDialogAgainWithItsChoices() {
    UiTestData data;
    AddTwoClassifiableDepartments(data);
    data.writeIniFile();
    DialogChoices before;
    DialogChoices after;
    ModalScript script;
    script
        .then([&](QWidget* dialog) {
            MakeChoices(dialog);
            before = DialogChoices::Of(dialog);
            Later(Child<QPushButton>(dialog, "cmd_ein_1"), &QPushButton::click);
        })
        .then([](QWidget* options) { Child<QPushButton>(options, "cmd_verzeichnis_1")->click(); })
        .then([&](QWidget* dialog) {
            after = DialogChoices::Of(dialog);
            qobject_cast<ClassificationDialog*>(dialog)->onCommand(ClassificationDialog::Cancel);
        });
    ProgramWindowOpeners().at(MenuCommand::Einstufung)(*data.context, nullptr);

    QCOMPARE(script.seen(),
             (QStringList{QStringLiteral("frmEin"), QStringLiteral("frmOpt"), QStringLiteral("frmEin")}));
    QVERIFY(after.visible);
    // Nothing was changed in the options: what the user had typed and chosen is still there.
    QVERIFY(after == before);
}

void ClassificationWindowsTest::enter_inClassificationDialog_startsClassification_data() {
    QTest::addColumn<QString>("control");
    QTest::newRow("list") << QStringLiteral("lst_abteilung");
    QTest::newRow("date field") << QStringLiteral("txt_vondatum");
    QTest::newRow("minimum hours") << QStringLiteral("cmb_mindeststunden");
    QTest::newRow("check box") << QStringLiteral("chk_mtiss");
}

void ClassificationWindowsTest::enter_inClassificationDialog_startsClassification() {
    QFETCH(QString, control);
    UiTestData data;
    AddTwoClassifiableDepartments(data);
    ModalScript script;
    script
        .then([&](QWidget* dialog) {
            Child<QLineEdit>(dialog, "txt_vondatum")->setText(QStringLiteral("5.3.16"));
            QWidget* widget = Child<QWidget>(dialog, control);
            widget->setFocus();
            Later(widget, [dialog, widget] {
                QTest::keyClick(widget, Qt::Key_Return);
                // Whatever Enter did, the dialog is closed at the end.
                qobject_cast<ClassificationDialog*>(dialog)->onCommand(ClassificationDialog::Cancel);
            });
        })
        .then();
    ProgramWindowOpeners().at(MenuCommand::Einstufung)(*data.context, nullptr);

    QCOMPARE(script.seen(), (QStringList{QStringLiteral("frmEin"), QStringLiteral("frmEine")}));
    QCOMPARE(data.context->settings.Erhebungvon, std::string("20160305"));
}

void ClassificationWindowsTest::enter_inStaffingWindow_storesLikeOk() {
    UiTestData data;
    AddDepartmentWithStays(data, "K101", "12100101", "12100101.101", {{"INT", "O"}});
    ClassificationDialog dialog(*data.context);

    bool closedByEnter = false;
    ModalScript script;
    script.then([&](QWidget* window) {
        Child<QLineEdit>(window, "txt_dgkp")->setText(QStringLiteral("5,5"));
        auto* beds = Child<QLineEdit>(window, "txt_sBett");
        beds->setText(QStringLiteral("4"));
        beds->setFocus();
        QTest::keyClick(beds, Qt::Key_Return);
        closedByEnter = !window->isVisible();
        if (!closedByEnter) qobject_cast<StaffingDialog*>(window)->onCommand(StaffingDialog::Cancel);
    });
    dialog.onCommand(ClassificationDialog::EditDepartment);

    QVERIFY(closedByEnter);
    QCOMPARE(ReadStoredStaffing(data, "K101", "12100101").beds, 4LL);
    QCOMPARE(Field(LineOf(dialog, 0), 40, 42), std::string("  4"));
    QCOMPARE(Field(LineOf(dialog, 0), 48, 52), std::string(" 1,38"));
}

void ClassificationWindowsTest::result_cutTexts_readByTooltipOrByFittingTheColumn() {
    UiTestData data;
    AddDepartmentWithStays(data, "K101", "12100101", "12100101.101", {{"INT", "O"}});
    ClassificationDialog dialog(*data.context);
    ClassificationResultWindow result(*data.context, dialog.entries());
    result.show();
    QVERIFY(QTest::qWaitForWindowExposed(&result));

    auto* grid = Child<QTableWidget>(&result, "grd_erg");
    const ResultRow& row = result.table().rows.at(0);
    for (int column : {0, 1, 2, 23}) {
        const QString whole = QString::fromStdString(row[static_cast<std::size_t>(column)]).trimmed();
        QCOMPARE(grid->item(0, column)->toolTip(), whole);
        QCOMPARE(grid->item(0, column)->text(), whole);
    }
    // The department text does not fit its column of fifteen letters: the tooltip is how to read it.
    const QString department = QString::fromStdString(row[1]).trimmed();
    QVERIFY(grid->fontMetrics().horizontalAdvance(department) > grid->columnWidth(1));
    QVERIFY(!grid->item(0, 23)->toolTip().isEmpty());
    QCOMPARE(grid->model()->headerData(4, Qt::Horizontal, Qt::ToolTipRole).toString(),
             QStringLiteral("TISS-Mittelwert für Einstufung (>=16)"));

    // A double click on the divider after "Abteilung" fits that column.
    QHeaderView* header = grid->horizontalHeader();
    const int initial = grid->columnWidth(1);
    QCOMPARE(initial, result.fontMetrics().horizontalAdvance(QStringLiteral("XXXXXXXXXXXXXXX")));

    const QPoint divider(header->sectionViewportPosition(1) + header->sectionSize(1) - 1,
                         header->height() / 2);
    QTest::mouseDClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, divider);

    // As wide as the department's text (with the cell's margins), not as its blanks that fill the
    // field to 111 characters.
    const int text = grid->fontMetrics().horizontalAdvance(department);
    const int letter = grid->fontMetrics().horizontalAdvance(QLatin1Char('X'));
    QVERIFY2(grid->columnWidth(1) >= text, qPrintable(QString::number(grid->columnWidth(1))));
    QVERIFY2(grid->columnWidth(1) <= text + 3 * letter, qPrintable(QString::number(grid->columnWidth(1))));
    QCOMPARE(grid->columnWidth(2), initial);
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

// The patient search on both levels: the continuation of a search across the departments and within
// a patient list, the notices, the remembered terms and the birth-date field.

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include "app/window_wiring.h"
#include "base/message_service.h"
#include "reports/ui/department_list_window.h"
#include "reports/ui/patient_list_window.h"
#include "reports/ui/patient_search_window.h"
#include "support/classification_test_data.h"
#include "support/find_control.h"
#include "support/modal_script.h"
#include "support/report_test_data.h"
#include "support/ui_test_data.h"

using kalvora::test::AddDepartmentWithStays;
using kalvora::test::AddStay;
using kalvora::test::Child;
using kalvora::test::ModalScript;
using kalvora::test::StayRecord;
using kalvora::test::UiTestData;
using namespace kalvora;
using namespace kalvora::ui;

namespace {

const std::string kFound = " Entsprechenden Patienten gefunden, Suchergebnis markiert!";
const std::string kNotFound = " Keinen entsprechenden Patienten gefunden!";

std::vector<int> SelectedRows(QListWidget* list) {
    std::vector<int> rows;
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->isSelected()) rows.push_back(row);
    }
    return rows;
}

// Four departments of one hospital in list order A, B, C, D: admission number 4711 is stored in A
// and C, 0815 in B; D holds no stay.
void AddSearchDepartments(UiTestData& data) {
    AddDepartmentWithStays(data, "0001", "61001000", "A6100101.101", {});
    AddDepartmentWithStays(data, "0001", "61002000", "B6100201.103", {});
    AddDepartmentWithStays(data, "0001", "61003000", "C6100301.105", {});
    AddDepartmentWithStays(data, "0001", "61004000", "D6100401.102", {});
    AddStay(data, "A6100101.101", {"4711      ", "19600101", "201601040800"});
    AddStay(data, "B6100201.103", {"0815      ", "19600101", "201601040800"});
    AddStay(data, "C6100301.105", {"4711      ", "19550505", "201602040800"});
}

// Opens the search on the department list, enters the admission number and presses a button.
void SearchDepartments(UiTestData& data, DepartmentListWindow& level, const QString& admissionNumber,
                       int button) {
    PatientSearchWindow search(*data.context, level.searchTerms(), level.departments(),
                               level.departmentList());
    if (!admissionNumber.isNull()) Child<QLineEdit>(&search, "txt_pats_kis_id")->setText(admissionNumber);
    search.onCommand(static_cast<PatientSearchWindow::Command>(button));
}

}  // namespace

class PatientSearchTest : public QObject {
    Q_OBJECT
private slots:
    void open_showsRememberedTermsAndButtons();
    void departmentLevel_sameNumberInTwoDepartments_continuesToSecondThenKeepsIt();
    void departmentLevel_unreadableDatabase_namesItAndSearchesOn();
    void patientLevel_birthDate_findsMatchingLinesInTurn();
    void emptyTerms_showNoticeAndKeepWindowOpen();
    void birthDateField_leaving_normalisesOrClears_data();
    void birthDateField_leaving_normalisesOrClears();
};

void PatientSearchTest::open_showsRememberedTermsAndButtons() {
    UiTestData data;
    AddSearchDepartments(data);
    DepartmentListWindow level(*data.context, DepartmentLevelOpeners());
    level.searchTerms() = {"4711      ", "19600101"};
    PatientSearchWindow search(*data.context, level.searchTerms(), level.departments(),
                               level.departmentList());
    QCOMPARE(search.windowTitle(), QStringLiteral(" Patientensuche"));
    auto* number = Child<QLineEdit>(&search, "txt_pats_kis_id");
    QCOMPARE(number->text(), QStringLiteral("4711      "));
    QCOMPARE(number->maxLength(), 10);
    QCOMPARE(Child<QLineEdit>(&search, "txt_pats_dob")->text(), QStringLiteral("01.01.1960"));
    QCOMPARE(search.focusWidget(), number);
    QCOMPARE(Child<QPushButton>(&search, "cmd_pats_0")->text(), QStringLiteral("&Beginnen"));
    QVERIFY(Child<QPushButton>(&search, "cmd_pats_1")->isDefault());
    QCOMPARE(Child<QPushButton>(&search, "cmd_pats_2")->text(), QStringLiteral("Abbrechen"));
}

void PatientSearchTest::departmentLevel_sameNumberInTwoDepartments_continuesToSecondThenKeepsIt() {
    UiTestData data;
    AddSearchDepartments(data);
    DepartmentListWindow level(*data.context, DepartmentLevelOpeners());
    auto* list = Child<QListWidget>(&level, "lst_abteilung");
    // Several lines selected: the search clears them all.
    list->item(1)->setSelected(true);
    list->item(3)->setSelected(true);

    // "&Suchen" opens the search on the department list; "&Beginnen" includes the first department.
    ModalScript script;
    script.then([](QWidget* window) {
        QCOMPARE(window->objectName(), QStringLiteral("frmPats"));
        QCOMPARE(Child<QLineEdit>(window, "txt_pats_kis_id")->text().trimmed(), QString());
        Child<QLineEdit>(window, "txt_pats_kis_id")->setText(QStringLiteral("4711"));
        qobject_cast<PatientSearchWindow*>(window)->onCommand(PatientSearchWindow::Begin);
    });
    level.onCommand(DepartmentListWindow::Search);
    QVERIFY(script.done());
    QCOMPARE(data.messages.texts(), std::vector<std::string>{kFound});
    QCOMPARE(SelectedRows(list), std::vector<int>{0});
    QCOMPARE(list->currentRow(), 0);
    QCOMPARE(level.searchTerms().admissionNumber, std::string("4711      "));

    // "Fortsetzen" starts after the hit, with the remembered number.
    data.messages.shown.clear();
    SearchDepartments(data, level, QString(), 1);
    QCOMPARE(data.messages.texts(), std::vector<std::string>{kFound});
    QCOMPARE(SelectedRows(list), std::vector<int>{2});
    QCOMPARE(list->currentRow(), 2);

    // No further hit: the reference line is current and selected again.
    data.messages.shown.clear();
    SearchDepartments(data, level, QString(), 1);
    QCOMPARE(data.messages.texts(), std::vector<std::string>{kNotFound});
    QCOMPARE(SelectedRows(list), std::vector<int>{2});
    QCOMPARE(list->currentRow(), 2);

    // A number of another department, from the first line on.
    data.messages.shown.clear();
    SearchDepartments(data, level, QStringLiteral("0815"), 0);
    QCOMPARE(data.messages.texts(), std::vector<std::string>{kFound});
    QCOMPARE(SelectedRows(list), std::vector<int>{1});
}

void PatientSearchTest::departmentLevel_unreadableDatabase_namesItAndSearchesOn() {
    UiTestData data;
    AddSearchDepartments(data);
    QFile damaged(data.systemDir() + QStringLiteral("/A6100101.101"));
    QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
    damaged.write(QByteArray(4096, 'x'));
    damaged.close();
    QVERIFY(QFile::remove(data.systemDir() + QStringLiteral("/B6100201.103")));
    DepartmentListWindow level(*data.context, DepartmentLevelOpeners());

    SearchDepartments(data, level, QStringLiteral("4711"), 0);
    const std::vector<std::string> texts = data.messages.texts();
    QCOMPARE(texts.size(), std::size_t{2});
    QVERIFY(texts[0].find("A6100101.101 kann nicht gelesen werden!") != std::string::npos);
    QVERIFY(texts[0].find("B6100201.103 fehlt") != std::string::npos);
    QCOMPARE(texts[1], kFound);
    QCOMPARE(SelectedRows(Child<QListWidget>(&level, "lst_abteilung")), std::vector<int>{2});
}

void PatientSearchTest::patientLevel_birthDate_findsMatchingLinesInTurn() {
    UiTestData data;
    AddDepartmentWithStays(data, "0001", "61001000", "A6100101.101", {});
    AddStay(data, "A6100101.101", {"1001      ", "19600101", "201601040800"});
    AddStay(data, "A6100101.101", {"1002      ", "19700202", "201601050800"});
    AddStay(data, "A6100101.101", {"1003      ", "19600101", "201601060800"});
    AddStay(data, "A6100101.101", {"1004      ", "19700202", "201601070800"});
    DepartmentListWindow level(*data.context, DepartmentLevelOpeners());
    PatientListWindow patients(*data.context, *level.currentDepartment(), PatientLevelOpeners(), &level,
                               &level.searchTerms());
    auto* list = Child<QListWidget>(&patients, "lst_patient");
    QCOMPARE(list->currentRow(), 0);

    // "&Suchen" of the patient level searches its list; the date is typed in short form and the
    // search starts without leaving the field.
    ModalScript script;
    script.then([](QWidget* window) {
        Child<QLineEdit>(window, "txt_pats_dob")->setText(QStringLiteral("2.2.1970"));
        qobject_cast<PatientSearchWindow*>(window)->onCommand(PatientSearchWindow::Begin);
    });
    patients.onCommand(PatientListWindow::Search);
    QVERIFY(script.done());
    QCOMPARE(data.messages.texts(), std::vector<std::string>{kFound});
    QCOMPARE(list->currentItem()->text().left(4), QStringLiteral("1002"));
    // The terms are those of the department level.
    QCOMPARE(level.searchTerms().birthDate, std::string("19700202"));
    QCOMPARE(level.searchTerms().admissionNumber, std::string(10, ' '));

    const auto proceed = [&] {
        data.messages.shown.clear();
        PatientSearchWindow search(*data.context, patients.searchTerms(), patients.stays(), list);
        QCOMPARE(Child<QLineEdit>(&search, "txt_pats_dob")->text(), QStringLiteral("02.02.1970"));
        search.onCommand(PatientSearchWindow::Continue);
    };
    proceed();
    QCOMPARE(data.messages.texts(), std::vector<std::string>{kFound});
    QCOMPARE(list->currentItem()->text().left(4), QStringLiteral("1004"));
    proceed();
    QCOMPARE(data.messages.texts(), std::vector<std::string>{kNotFound});
    QCOMPARE(list->currentItem()->text().left(4), QStringLiteral("1004"));
    QCOMPARE(list->selectedItems().size(), 1);
}

void PatientSearchTest::emptyTerms_showNoticeAndKeepWindowOpen() {
    UiTestData data;
    AddSearchDepartments(data);
    DepartmentListWindow level(*data.context, DepartmentLevelOpeners());
    auto* list = Child<QListWidget>(&level, "lst_abteilung");
    list->item(2)->setSelected(true);
    PatientSearchWindow search(*data.context, level.searchTerms(), level.departments(), list);
    search.show();
    Child<QLineEdit>(&search, "txt_pats_kis_id")->setText(QStringLiteral("   "));
    search.onCommand(PatientSearchWindow::Begin);
    QCOMPARE(data.messages.texts(), std::vector<std::string>{" Geben Sie mindestens einen Suchbegriff ein!"});
    QVERIFY(search.isVisible());
    QCOMPARE(search.focusWidget(), Child<QLineEdit>(&search, "txt_pats_kis_id"));
    QCOMPARE(SelectedRows(list), (std::vector<int>{0, 2}));
    search.onCommand(PatientSearchWindow::Cancel);
    QVERIFY(!search.isVisible());
    QCOMPARE(data.messages.shown.size(), std::size_t{1});
}

void PatientSearchTest::birthDateField_leaving_normalisesOrClears_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("short day and month") << "1.2.1960"
                                         << "01.02.1960" << true;
    QTest::newRow("undotted") << "19600201"
                              << "01.02.1960" << true;
    QTest::newRow("two-digit year") << "01.02.60"
                                    << "" << false;
    QTest::newRow("no such day") << "30.2.1960"
                                 << "" << false;
    QTest::newRow("year before 1850") << "01.02.1849"
                                      << "" << false;
    QTest::newRow("letters") << "abc"
                             << "" << false;
    QTest::newRow("blank") << "   "
                           << "" << true;
}

void PatientSearchTest::birthDateField_leaving_normalisesOrClears() {
    QFETCH(QString, entry);
    QFETCH(QString, shown);
    QFETCH(bool, accepted);
    UiTestData data;
    AddSearchDepartments(data);
    DepartmentListWindow level(*data.context, DepartmentLevelOpeners());
    PatientSearchWindow search(*data.context, level.searchTerms(), level.departments(),
                               level.departmentList());
    auto* field = Child<QLineEdit>(&search, "txt_pats_dob");
    field->setText(entry);
    QCOMPARE(search.leaveBirthDateField(), accepted);
    QCOMPARE(field->text(), shown);
    if (!accepted) QCOMPARE(search.focusWidget(), field);
    QVERIFY(data.messages.shown.empty());
}

QTEST_MAIN(PatientSearchTest)
#include "patient_search_test.moc"

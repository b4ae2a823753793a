// The windows of the ICU report: the department level with its list, its data check before each
// data button and the removal of departments; the patient level; the department analysis with its
// grid and chart.

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>

#ifdef KALVORA_WITH_CHARTS
#include <QGraphicsTextItem>
#include <QLabel>
#include <QRegularExpression>
#include <QToolTip>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QChartView>
#endif

#include "app/window_wiring.h"
#include "base/message_service.h"
#include "export/ui/export_window.h"
#include "reports/department_line.h"
#include "reports/ui/department_analysis_window.h"
#include "reports/ui/department_list_window.h"
#include "reports/ui/patient_list_window.h"
#include "reports/ui/patient_search_window.h"
#include "reports/ui/stay_detail_window.h"
#include "support/classification_test_data.h"
#include "support/find_control.h"
#include "support/report_test_data.h"
#include "support/ui_test_data.h"
#include "ui/main_status_bar.h"

using kalvora::test::AddDepartmentWithStays;
using kalvora::test::AddStay;
using kalvora::test::Child;
using kalvora::test::UiTestData;
using namespace kalvora;
using namespace kalvora::ui;

namespace {

QStringList ListLines(QListWidget* list) {
    QStringList lines;
    for (int row = 0; row < list->count(); ++row) lines << list->item(row)->text();
    return lines;
}

// Four departments of two hospitals, registered out of text order.
void AddFourDepartments(UiTestData& data) {
    AddDepartmentWithStays(data, "0002", "61003000", "C6100301.105", {{}});
    AddDepartmentWithStays(data, "0001", "61002000", "B6100201.103", {{}});
    AddDepartmentWithStays(data, "0001", "61001000", "A6100101.101", {{}});
    AddDepartmentWithStays(data, "0002", "61004000", "T6100401.102", {{}});
}

}  // namespace

class ReportsWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void open_listsDepartmentsInTextOrderFirstSelected();
    void dataButtons_withoutImportedData_showNoDataNotice();
    void weiter_withTwoSelected_showsOnlyOneNotice();
    void remove_twoNonAdjacent_removesFilesAndRows();
    void remove_answerNo_changesNothing();
    void remove_nothingSelected_showsSelectNotice();
    void open_missingDepartmentDatabase_keepsListUsable();
    void open_resetsSearchTerms();
    void patientLevel_listsStaysAndStatusPanels();
    void patientWeiter_opensDetailOnlyForIcuStays();
    void patientLevel_missingDatabase_showsMessageAndEmptyList();
    void analysis_twoDepartments_fillsGridAndCopiesText();
    void analysis_twoDepartments_chartsStaysPerMonthAndDepartment();
    void analysisChart_timeAxisHoldsEveryMonthWithWholeLabels();
    void analysisChart_sameNameInTwoHospitals_legendTellsThemApart();
    void analysisChart_staysWithoutDischargeMonth_areNoted();
    void analysisChart_hoverOnBar_showsItsFigure();
    void screenshots_whenDirectoryGiven_savesWindows();
};

void ReportsWindowsTest::open_listsDepartmentsInTextOrderFirstSelected() {
    UiTestData data;
    AddFourDepartments(data);
    DepartmentListWindow window(*data.context);
    auto* list = Child<QListWidget>(&window, QStringLiteral("lst_abteilung"));
    const QStringList lines = ListLines(list);
    QCOMPARE(lines.size(), 4);
    QStringList sorted = lines;
    sorted.sort();
    QCOMPARE(lines, sorted);
    QCOMPARE(lines[0].mid(84, 12), QStringLiteral("A6100101.101"));
    QCOMPARE(lines[3].mid(84, 12), QStringLiteral("T6100401.102"));
    QVERIFY(list->item(0)->isSelected());
    QCOMPARE(window.selectedDepartments().size(), std::size_t{1});
    for (int index : {0, 1, 3, 4, 5}) {
        QVERIFY(window.findChild<QPushButton*>(QStringLiteral("cmd_abteilung_%1").arg(index)) != nullptr);
    }
    QVERIFY(window.findChild<QPushButton*>(QStringLiteral("cmd_abteilung_2")) == nullptr);
}

void ReportsWindowsTest::dataButtons_withoutImportedData_showNoDataNotice() {
    UiTestData data;
    int opened = 0;
    const auto count = [&](DepartmentListWindow&) { ++opened; };
    DepartmentListWindow window(*data.context, {count, count, count});
    for (int index : {0, 1, 3, 4}) {
        data.messages.shown.clear();
        window.onCommand(static_cast<DepartmentListWindow::Command>(index));
        QCOMPARE(data.messages.texts(), std::vector<std::string>{" Es wurden noch keine Daten importiert!"});
    }
    QCOMPARE(opened, 0);
}

void ReportsWindowsTest::weiter_withTwoSelected_showsOnlyOneNotice() {
    UiTestData data;
    AddFourDepartments(data);
    std::vector<std::string> openedFor;
    DepartmentListWindow::Openers openers;
    openers.patientLevel = [&](DepartmentListWindow& level) {
        openedFor.push_back(BuildDepartmentLine(*level.currentDepartment()));
    };
    DepartmentListWindow window(*data.context, openers);
    auto* list = Child<QListWidget>(&window, QStringLiteral("lst_abteilung"));
    list->item(2)->setSelected(true);
    window.onCommand(DepartmentListWindow::Next);
    QCOMPARE(data.messages.texts(), std::vector<std::string>{" Nur einen Intensivbericht auswählen!"});
    QVERIFY(openedFor.empty());

    list->clearSelection();
    list->setCurrentRow(2);
    window.onCommand(DepartmentListWindow::Next);
    QCOMPARE(openedFor.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(openedFor[0]), list->item(2)->text());
}

void ReportsWindowsTest::remove_twoNonAdjacent_removesFilesAndRows() {
    UiTestData data;
    AddFourDepartments(data);
    MainStatusBar bar;
    data.context->statusBar = &bar;
    DepartmentListWindow window(*data.context);
    auto* list = Child<QListWidget>(&window, QStringLiteral("lst_abteilung"));
    list->clearSelection();
    list->item(1)->setSelected(true);
    list->item(3)->setSelected(true);
    window.onCommand(DepartmentListWindow::Remove);

    QCOMPARE(data.messages.texts(), std::vector<std::string>{" Ausgewählte Intensivberichte entfernen ?"});
    const QStringList lines = ListLines(list);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0].mid(84, 12), QStringLiteral("A6100101.101"));
    QCOMPARE(lines[1].mid(84, 12), QStringLiteral("C6100301.105"));
    QVERIFY(list->item(0)->isSelected());
    QVERIFY(!list->item(1)->isSelected());
    QCOMPARE(data.departmentCount(), 2LL);
    const QString system = data.systemDir() + QLatin1Char('/');
    QVERIFY(QFile::exists(system + QStringLiteral("A6100101.101")));
    QVERIFY(!QFile::exists(system + QStringLiteral("B6100201.103")));
    QVERIFY(QFile::exists(system + QStringLiteral("C6100301.105")));
    QVERIFY(!QFile::exists(system + QStringLiteral("T6100401.102")));
    QCOMPARE(bar.panelText(1), QStringLiteral(" Bereit"));
    QCOMPARE(bar.panelText(2), QString());
    QCOMPARE(bar.panelText(3), QString());
    data.context->statusBar = nullptr;
}

void ReportsWindowsTest::remove_answerNo_changesNothing() {
    UiTestData data;
    AddFourDepartments(data);
    data.messages.setNextAnswer(Answer::No);
    DepartmentListWindow window(*data.context);
    window.onCommand(DepartmentListWindow::Remove);
    QCOMPARE(window.departments().size(), std::size_t{4});
    QCOMPARE(data.departmentCount(), 4LL);
    QVERIFY(QFile::exists(data.systemDir() + QStringLiteral("/A6100101.101")));
}

void ReportsWindowsTest::remove_nothingSelected_showsSelectNotice() {
    UiTestData data;
    AddFourDepartments(data);
    DepartmentListWindow window(*data.context);
    Child<QListWidget>(&window, QStringLiteral("lst_abteilung"))->clearSelection();
    window.onCommand(DepartmentListWindow::Remove);
    QCOMPARE(data.messages.texts(), std::vector<std::string>{" Wählen Sie mindestens ein Element aus!"});
    QCOMPARE(data.departmentCount(), 4LL);
}

void ReportsWindowsTest::open_missingDepartmentDatabase_keepsListUsable() {
    UiTestData data;
    AddFourDepartments(data);
    QVERIFY(QFile::remove(data.systemDir() + QStringLiteral("/B6100201.103")));
    DepartmentListWindow window(*data.context);
    QCOMPARE(window.departments().size(), std::size_t{4});
    auto* list = Child<QListWidget>(&window, QStringLiteral("lst_abteilung"));
    list->clearSelection();
    list->item(1)->setSelected(true);
    window.onCommand(DepartmentListWindow::Remove);
    QCOMPARE(window.departments().size(), std::size_t{3});
    QCOMPARE(data.departmentCount(), 3LL);
}

void ReportsWindowsTest::open_resetsSearchTerms() {
    UiTestData data;
    AddFourDepartments(data);
    {
        DepartmentListWindow first(*data.context);
        first.searchTerms().admissionNumber = "4711      ";
    }
    DepartmentListWindow second(*data.context);
    QCOMPARE(second.searchTerms().admissionNumber, std::string(10, ' '));
    QCOMPARE(second.searchTerms().birthDate, std::string(8, ' '));
}

void ReportsWindowsTest::patientLevel_listsStaysAndStatusPanels() {
    UiTestData data;
    AddDepartmentWithStays(data, "0001", "61001000", "A6100101.101", {{"INT", "O"}, {"NIT", "W"}});
    MainStatusBar bar;
    data.context->statusBar = &bar;
    DepartmentListWindow level(*data.context);
    PatientListWindow window(*data.context, *level.currentDepartment());
    auto* list = Child<QListWidget>(&window, QStringLiteral("lst_patient"));
    const QStringList lines = ListLines(list);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0].left(10), QStringLiteral("P1        "));
    QCOMPARE(lines[0].mid(66, 3), QStringLiteral("INT"));
    QCOMPARE(lines[0].mid(72).trimmed(), QStringLiteral("Korrekt"));
    QCOMPARE(lines[1].mid(72).trimmed(), QStringLiteral("Inkorrekt"));
    QVERIFY(list->item(0)->isSelected());
    QCOMPARE(window.departmentStatus(), std::string("EXTERN"));
    QCOMPARE(bar.panelText(2),
             QString::fromStdString(BuildDepartmentLine(*level.currentDepartment()).substr(0, 28) + " "));
    QCOMPARE(bar.panelText(3),
             QString::fromStdString(BuildDepartmentLine(*level.currentDepartment()).substr(29, 44) + " "));
    window.onCommand(PatientListWindow::Cancel);
    QCOMPARE(bar.panelText(2), QStringLiteral(" "));
    QCOMPARE(bar.panelText(3), QStringLiteral(" "));
    data.context->statusBar = nullptr;
}

void ReportsWindowsTest::patientWeiter_opensDetailOnlyForIcuStays() {
    UiTestData data;
    AddDepartmentWithStays(data, "0001", "61001000", "A6100101.101", {{"INT", "O"}, {"NIT", "O"}});
    std::vector<std::string> opened;
    PatientListWindow::Openers openers;
    openers.detail = [&](PatientListWindow& level) { opened.push_back(level.stayKey().admissionNumber); };
    DepartmentListWindow level(*data.context);
    PatientListWindow window(*data.context, *level.currentDepartment(), openers);
    auto* list = Child<QListWidget>(&window, QStringLiteral("lst_patient"));
    list->setCurrentRow(1);
    window.onCommand(PatientListWindow::Next);
    QVERIFY(opened.empty());
    list->setCurrentRow(0);
    window.onCommand(PatientListWindow::Next);
    // The key as stored, whatever the line shows of it.
    QCOMPARE(opened, std::vector<std::string>{"P1"});
    QCOMPARE(window.stayKey().birthDate, std::string("19600101"));
    QCOMPARE(window.stayKey().admissionTime, std::string("201601040800"));
}

void ReportsWindowsTest::patientLevel_missingDatabase_showsMessageAndEmptyList() {
    UiTestData data;
    AddDepartmentWithStays(data, "0001", "61001000", "A6100101.101", {{}});
    QVERIFY(QFile::remove(data.systemDir() + QStringLiteral("/A6100101.101")));
    DepartmentListWindow level(*data.context);
    PatientListWindow window(*data.context, *level.currentDepartment());
    QCOMPARE(Child<QListWidget>(&window, QStringLiteral("lst_patient"))->count(), 0);
    QCOMPARE(data.messages.shown.size(), std::size_t{1});
    window.onCommand(PatientListWindow::Next);
    QCOMPARE(data.messages.shown.size(), std::size_t{1});
}

void ReportsWindowsTest::analysis_twoDepartments_fillsGridAndCopiesText() {
    UiTestData data;
    AddDepartmentWithStays(data, "0001", "61001000", "A6100101.101",
                           {{"INT", "O"}, {"INT", "E"}, {"NIT", "O"}});
    AddDepartmentWithStays(data, "0002", "61002000", "B6100201.103", {{"INT", "O"}});
    DepartmentListWindow level(*data.context);
    DepartmentAnalysisWindow window(*data.context, level.departments());
    auto* grid = Child<QTableWidget>(&window, QStringLiteral("grd_abta"));
    QCOMPARE(grid->rowCount(), 2);
    QCOMPARE(grid->columnCount(), 5);
    QCOMPARE(grid->horizontalHeaderItem(4)->text(), QStringLiteral("#Intensiv-Patienten"));
    QCOMPARE(grid->item(0, 2)->text(), QStringLiteral("2016"));
    QCOMPARE(grid->item(0, 3)->text(), QStringLiteral("01"));
    QCOMPARE(grid->item(0, 4)->text().trimmed(), QStringLiteral("2"));
    QCOMPARE(grid->item(1, 4)->text().trimmed(), QStringLiteral("1"));
    window.onCommand(DepartmentAnalysisWindow::Copy);
    QCOMPARE(QApplication::clipboard()->text(), QString::fromStdString(AnalysisClipboardText(window.rows())));
    QVERIFY(QApplication::clipboard()->text().startsWith(
        QStringLiteral("KA\tAbteilung\tJahr\tMonat\tINT-Patienten")));
}

void ReportsWindowsTest::analysis_twoDepartments_chartsStaysPerMonthAndDepartment() {
#ifndef KALVORA_WITH_CHARTS
    QSKIP("built without Qt Charts");
#else
    UiTestData data;
    AddDepartmentWithStays(data, "0001", "61001000", "A6100101.101", {});
    AddDepartmentWithStays(data, "0002", "61002000", "B6100201.103", {});
    AddDepartmentWithStays(data, "0003", "61003000", "C6100301.105", {});
    AddStay(data, "A6100101.101", {"1", "19600101", "201601040800", "201601100900"});
    AddStay(data, "A6100101.101", {"2", "19600101", "201601050800", "201601200900"});
    AddStay(data, "A6100101.101", {"3", "19600101", "201603040800", "201603100900"});
    AddStay(data, "A6100101.101", {"4", "19600101", "201603040800", "201603100900", "NIT"});
    AddStay(data, "B6100201.103", {"1", "19600101", "201512040800", "201602100900"});
    AddStay(data, "C6100301.105", {"1", "19600101", "201512040800", "201512100900"});
    DepartmentListWindow level(*data.context);
    // The third department is not chosen: its December stays no month of the chart.
    DepartmentAnalysisWindow window(*data.context, {level.departments()[0], level.departments()[1]});
    auto* view = Child<QChartView>(&window, QStringLiteral("cht_abta"));
    const QList<QAbstractSeries*> series = view->chart()->series();
    QCOMPARE(series.size(), 1);
    auto* bars = qobject_cast<QBarSeries*>(series[0]);
    QVERIFY(bars != nullptr);
    QCOMPARE(bars->count(), 2);
    QCOMPARE(bars->barSets()[0]->label(), QStringLiteral("0001 · 61001000 Intensiv 610010"));
    QCOMPARE(bars->barSets()[1]->label(), QStringLiteral("0002 · 61002000 Intensiv 610020"));
    const auto values = [](QBarSet* set) {
        QList<qreal> counts;
        for (int index = 0; index < set->count(); ++index) counts << set->at(index);
        return counts;
    };
    QCOMPARE(values(bars->barSets()[0]), (QList<qreal>{2, 0, 1}));
    QCOMPARE(values(bars->barSets()[1]), (QList<qreal>{0, 1, 0}));
    const QList<QAbstractAxis*> axes = view->chart()->axes(Qt::Horizontal);
    QCOMPARE(axes.size(), 1);
    auto* months = qobject_cast<QCategoryAxis*>(axes[0]);
    QVERIFY(months != nullptr);
    QCOMPARE(months->min(), -0.5);
    QCOMPARE(months->max(), 2.5);
#endif
}

#ifdef KALVORA_WITH_CHARTS
namespace {

QBarSeries* ChartBars(QWidget* window) {
    auto* view = Child<QChartView>(window, QStringLiteral("cht_abta"));
    const QList<QAbstractSeries*> series = view->chart()->series();
    return series.size() == 1 ? qobject_cast<QBarSeries*>(series[0]) : nullptr;
}

// The department "0001 · 61001000" with one ICU stay per discharge time (blank: none), each admitted
// on its own day of December 2015.
void AddDepartmentDischarging(UiTestData& data, const std::vector<std::string>& discharges) {
    AddDepartmentWithStays(data, "0001", "61001000", "A6100101.101", {});
    for (std::size_t stay = 0; stay < discharges.size(); ++stay) {
        const std::string day = std::to_string(10 + stay);
        AddStay(data, "A6100101.101",
                {std::to_string(stay + 1), "19600101", "201512" + day + "0800", discharges[stay]});
    }
}

// The texts the chart draws: axis labels and titles, as they stand on the screen
// (the chart cuts a text that has no room to "...").
QStringList DrawnTexts(QWidget* window) {
    QStringList texts;
    auto* view = Child<QChartView>(window, QStringLiteral("cht_abta"));
    for (QGraphicsItem* item : view->scene()->items()) {
        if (auto* text = dynamic_cast<QGraphicsTextItem*>(item); text != nullptr && text->isVisible())
            texts << text->toPlainText();
    }
    return texts;
}

}  // namespace
#endif

void ReportsWindowsTest::analysisChart_timeAxisHoldsEveryMonthWithWholeLabels() {
#ifndef KALVORA_WITH_CHARTS
    QSKIP("built without Qt Charts");
#else
    UiTestData data;
    AddDepartmentWithStays(data, "0001", "61001000", "A6100101.101", {});
    AddDepartmentWithStays(data, "0002", "61002000", "B6100201.103", {});
    AddStay(data, "A6100101.101", {"1", "19600101", "201601040800", "201601100900"});
    AddStay(data, "A6100101.101", {"2", "19600101", "201603040800", "201603100900"});
    AddStay(data, "A6100101.101", {"3", "19600101", "202512040800", "202512100900"});
    AddStay(data, "B6100201.103", {"1", "19600101", "202006040800", "202006100900"});
    DepartmentListWindow level(*data.context);
    DepartmentAnalysisWindow window(*data.context, level.departments());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::qWait(50);

    // Ten years, every month of them, also those without a discharge.
    QBarSeries* bars = ChartBars(&window);
    QVERIFY(bars != nullptr);
    QCOMPARE(bars->count(), 2);
    QBarSet* first = bars->barSets()[0];
    QBarSet* second = bars->barSets()[1];
    QCOMPARE(first->count(), 120);
    QCOMPARE(second->count(), 120);
    QCOMPARE(first->at(0), 1.0);
    QCOMPARE(first->at(1), 0.0);
    QCOMPARE(first->at(2), 1.0);
    QCOMPARE(first->at(119), 1.0);
    QCOMPARE(second->at((2020 - 2016) * 12 + 5), 1.0);

    auto* axis = qobject_cast<QCategoryAxis*>(
        Child<QChartView>(&window, QStringLiteral("cht_abta"))->chart()->axes(Qt::Horizontal).value(0));
    QVERIFY(axis != nullptr);
    const QStringList labels = axis->categoriesLabels();
    QVERIFY2(labels.size() >= 5, qPrintable(labels.join(QLatin1Char(' '))));
    const QRegularExpression month(QStringLiteral("^(0[1-9]|1[0-2])\\.(20(1[6-9]|2[0-5]))$"));
    const QStringList drawn = DrawnTexts(&window);
    const qreal plotWidth =
        Child<QChartView>(&window, QStringLiteral("cht_abta"))->chart()->plotArea().width();
    const QFontMetricsF metrics(axis->labelsFont());
    for (int index = 0; index < labels.size(); ++index) {
        QVERIFY2(month.match(labels[index]).hasMatch(), qPrintable(labels[index]));
        // Each label stands on its own month and is drawn whole.
        const qreal position = axis->endValue(labels[index]);
        const int year = labels[index].mid(3).toInt();
        const int monthNumber = labels[index].left(2).toInt();
        QCOMPARE(position, static_cast<qreal>((year - 2016) * 12 + monthNumber - 1));
        QVERIFY2(drawn.contains(labels[index]), qPrintable(drawn.join(QLatin1Char('|'))));
        if (index > 0) {
            const qreal apart = (position - axis->endValue(labels[index - 1])) * plotWidth / 120.0;
            QVERIFY(apart >= metrics.horizontalAdvance(labels[index]));
        }
    }
    for (const QString& text : drawn) {
        QVERIFY2(!text.endsWith(QStringLiteral("...")) && !text.contains(QChar(0x2026)), qPrintable(text));
    }
    // The legend names each department whole, in the colour of its bars.
    for (int index = 0; index < 2; ++index) {
        const QString name = bars->barSets()[index]->label();
        const QString colour = bars->barSets()[index]->color().name();
        bool named = false;
        for (QLabel* label : window.findChildren<QLabel*>()) {
            named = named ||
                    (label->isVisible() && label->text().contains(name) && label->text().contains(colour));
        }
        QVERIFY2(named, qPrintable(name));
    }
#endif
}

void ReportsWindowsTest::analysisChart_sameNameInTwoHospitals_legendTellsThemApart() {
#ifndef KALVORA_WITH_CHARTS
    QSKIP("built without Qt Charts");
#else
    UiTestData data;
    AddDepartmentWithStays(data, "0001", "61001000", "A6100101.101", {{}});
    AddDepartmentWithStays(data, "0002", "61001000", "A6100102.101", {{}});
    DepartmentListWindow level(*data.context);
    DepartmentAnalysisWindow window(*data.context, level.departments());

    QBarSeries* bars = ChartBars(&window);
    QVERIFY(bars != nullptr);
    QCOMPARE(bars->count(), 2);
    QCOMPARE(bars->barSets()[0]->label(), QStringLiteral("0001 · 61001000 Intensiv 610010"));
    QCOMPARE(bars->barSets()[1]->label(), QStringLiteral("0002 · 61001000 Intensiv 610010"));
#endif
}

void ReportsWindowsTest::analysisChart_staysWithoutDischargeMonth_areNoted() {
#ifndef KALVORA_WITH_CHARTS
    QSKIP("built without Qt Charts");
#else
    UiTestData data;
    AddDepartmentDischarging(data, {"201601100900", "", ""});
    DepartmentListWindow level(*data.context);
    DepartmentAnalysisWindow window(*data.context, level.departments());

    // The grid has the row without a month; the chart has no month for it, so a note tells of it.
    QCOMPARE(Child<QTableWidget>(&window, QStringLiteral("grd_abta"))->rowCount(), 2);
    auto* note = window.findChild<QLabel*>(QStringLiteral("lbl_ohne_monat"));
    QVERIFY(note != nullptr);
    QVERIFY2(note->text().contains(QStringLiteral("ohne gültigen Entlassungsmonat")),
             qPrintable(note->text()));
    QVERIFY2(note->text().contains(QStringLiteral("0001 · 61001000 Intensiv 610010: 2")),
             qPrintable(note->text()));
    QVERIFY(!note->isHidden());
#endif
}

void ReportsWindowsTest::analysisChart_hoverOnBar_showsItsFigure() {
#ifndef KALVORA_WITH_CHARTS
    QSKIP("built without Qt Charts");
#else
    UiTestData data;
    AddDepartmentDischarging(data, {"201601100900", "201603100900", "201603100900"});
    DepartmentListWindow level(*data.context);
    DepartmentAnalysisWindow window(*data.context, level.departments());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QBarSeries* bars = ChartBars(&window);
    QVERIFY(bars != nullptr);
    emit bars->barSets()[0]->hovered(true, 2);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(),
             QStringLiteral("0001 · 61001000 Intensiv 610010\n03.2016: 2 Intensiv-Patienten"));
    emit bars->barSets()[0]->hovered(false, 2);
    QTRY_VERIFY(!QToolTip::isVisible());
#endif
}

// Pictures of the windows on the demo deliveries for the documentation, written only when
// KALVORA_SCREENSHOT_DIR names a directory (run under xvfb-run).
void ReportsWindowsTest::screenshots_whenDirectoryGiven_savesWindows() {
    const QString directory = qEnvironmentVariable("KALVORA_SCREENSHOT_DIR");
    if (directory.isEmpty()) QSKIP("KALVORA_SCREENSHOT_DIR not set");
    UiTestData data;
    kalvora::test::ImportDemoDeliveries(data);
    const auto save = [&](QWidget& window, const char* name) {
        window.show();
        QTest::qWait(300);
        QVERIFY(window.grab().save(directory + QLatin1Char('/') + QLatin1String(name)));
        window.hide();
    };
    DepartmentListWindow level(*data.context);
    save(level, "department-level.png");
    PatientListWindow patients(*data.context, *level.currentDepartment());
    save(patients, "patient-level.png");
    ExportWindow exportWindow(*data.context);
    save(exportWindow, "export.png");
    DepartmentAnalysisWindow analysis(*data.context, level.departments());
    save(analysis, "analysis.png");

    level.searchTerms() = {"4711      ", "19600101"};
    PatientSearchWindow search(*data.context, level.searchTerms(), level.departments(),
                               level.departmentList());
    save(search, "patient-search.png");

    // The first ICU stay with survey days, on its second survey day when it has one.
    for (const StayOverview& stay : patients.stays()) {
        if (PatientStayType(stay) != "INT") continue;
        StayDetailWindow detail(*data.context, *level.currentDepartment(), patients.departmentStatus(),
                                stay.key);
        auto* days = detail.findChild<QListWidget*>(QStringLiteral("lst_erhebung_tiss"));
        if (!detail.loaded() || days->count() == 0) continue;
        save(detail, "detail-basisdaten.png");
        detail.findChild<QTabWidget*>(QStringLiteral("tab_int"))->setCurrentIndex(1);
        days->setCurrentRow(std::min(1, days->count() - 1));
        save(detail, "detail-tiss28.png");
        break;
    }
}

QTEST_MAIN(ReportsWindowsTest)
#include "reports_windows_test.moc"

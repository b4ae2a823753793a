// The detail view of one ICU stay: base data with the entries of the two combo boxes and the colours
// of imported data, the survey days with their items and score, the pages and the layout of the 28
// items with the brackets of the exclusive pairs.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QtTest>
#include <set>

#include "app/window_wiring.h"
#include "base/message_service.h"
#include "reports/department_line.h"
#include "reports/ui/department_list_window.h"
#include "reports/ui/pair_bracket.h"
#include "reports/ui/patient_list_window.h"
#include "reports/ui/stay_detail_window.h"
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
using kalvora::test::SurveyDayRecord;
using kalvora::test::UiTestData;
using namespace kalvora;
using namespace kalvora::ui;

namespace {

const StayKey kKey{"4711      ", "19600101", "201601040800"};

// Items as stored, in line order (Standard-Monitoring, Labor, Medikation einmalig, ...): the second
// day sets Standard-Monitoring, Medikation mehrfach, Atemtherapie and Diagn./Therapie außer IBS, and
// stores a 2 for Verbandswechsel häufig.
const std::string kFirstDayItems = "1100000000000000000000000000";
const std::string kSecondDayItems = "1001020000100000000000000001";
const std::string kOtherQualifierItems = "1111111111111111111111111111";
const std::string kFourthDayItems = "0000000000000000000000000010";

// A stay of the department "A6100101.101" ("EXTERN") with four survey-day records, one of which has
// another qualifier.
StayRecord SurveyedStay() {
    StayRecord stay{kKey.admissionNumber, kKey.birthDate, kKey.admissionTime};
    stay.icuOutcome = "3";
    stay.hospDisDate = "20160120";
    stay.hospMort = "2";
    stay.days = {{"20160105", kFirstDayItems, "005"},
                 {"20160106", kSecondDayItems, "027"},
                 {"20160107", kOtherQualifierItems, "078", "4"},
                 {"20160108", kFourthDayItems, "   "}};
    return stay;
}

Department FirstDepartment(UiTestData& data) {
    DepartmentListWindow level(*data.context);
    return *level.currentDepartment();
}

QStringList Entries(QListWidget* list) {
    QStringList entries;
    for (int row = 0; row < list->count(); ++row) entries << list->item(row)->text();
    return entries;
}

std::set<QString> TickedBoxes(QWidget* window) {
    std::set<QString> ticked;
    for (QCheckBox* box : window->findChildren<QCheckBox*>()) {
        if (box->isChecked()) ticked.insert(box->objectName());
    }
    return ticked;
}

QString LabelOf(QWidget* window, QWidget* control) {
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (label->buddy() == control) return label->text();
    }
    return QStringLiteral("(no label)");
}

}  // namespace

class DetailViewTest : public QObject {
    Q_OBJECT
private slots:
    void surveyDays_listOnlyQualifierThreeAndShowSelectedDay();
    void baseData_showsStoredValuesWithComboEntries();
    void combos_mapStoredValues_data();
    void combos_mapStoredValues();
    void pages_surveyFrameOnlyOnTissPage_externStaysUnusableAndBlue();
    void pages_internEnablesShownPageBlackOnWhite();
    void stayWithoutDaysOrRecordType1_showsWhatIsStored();
    void missingStay_reportsAndDoesNotOpen();
    void patientWeiter_opensDetailOfChosenStay();
    void tissPage_twoColumnsInTableOrderWithBracketsOnExclusivePairs();
};

void DetailViewTest::surveyDays_listOnlyQualifierThreeAndShowSelectedDay() {
    UiTestData data;
    AddDepartmentWithStays(data, "0001", "61001000", "A6100101.101", {});
    AddStay(data, "A6100101.101", SurveyedStay());
    StayDetailWindow view(*data.context, FirstDepartment(data), "EXTERN", kKey);
    QVERIFY(view.loaded());
    auto* days = Child<QListWidget>(&view, "lst_erhebung_tiss");
    QCOMPARE(Entries(days), (QStringList{QStringLiteral("05.01.2016"), QStringLiteral("06.01.2016"),
                                         QStringLiteral("08.01.2016")}));
    QCOMPARE(days->currentRow(), 0);
    QCOMPARE(TickedBoxes(&view),
             (std::set<QString>{QStringLiteral("chk_t28_stand_mon"), QStringLiteral("chk_t28_lab")}));
    QCOMPARE(Child<QLabel>(&view, "lbl_int_tiss28_score")->text(), QStringLiteral("5"));

    days->setCurrentRow(1);
    QCOMPARE(TickedBoxes(&view),
             (std::set<QString>{QStringLiteral("chk_t28_stand_mon"), QStringLiteral("chk_t28_m_med"),
                                QStringLiteral("chk_t28_lung"), QStringLiteral("chk_t28_diag_ex_icu")}));
    QCOMPARE(Child<QLabel>(&view, "lbl_int_tiss28_score")->text(), QStringLiteral("27"));

    days->setCurrentRow(2);
    QCOMPARE(TickedBoxes(&view), std::set<QString>{QStringLiteral("chk_t28_m_int")});
    QCOMPARE(Child<QLabel>(&view, "lbl_int_tiss28_score")->text(), QString());
    QCOMPARE(view.findChildren<QCheckBox*>().size(), 28);
    QVERIFY(data.messages.shown.empty());
}

void DetailViewTest::baseData_showsStoredValuesWithComboEntries() {
    UiTestData data;
    AddDepartmentWithStays(data, "0001", "61001000", "A6100101.101", {});
    AddStay(data, "A6100101.101", SurveyedStay());
    const Department department = FirstDepartment(data);
    const std::string line = BuildDepartmentLine(department);
    StayDetailWindow view(*data.context, department, "EXTERN", kKey);
    QCOMPARE(view.windowTitle(), QStringLiteral(" Intensivbericht - Detailansicht"));
    QCOMPARE(Child<QLabel>(&view, "lbl_int_ka_id")->text(), QString::fromStdString(line.substr(0, 28)));
    QCOMPARE(Child<QLabel>(&view, "lbl_int_icu_fun_id")->text(), QString::fromStdString(line.substr(29, 44)));
    QCOMPARE(Child<QLabel>(&view, "lbl_int_kis_id")->text(), QStringLiteral("4711      "));
    QCOMPARE(Child<QLabel>(&view, "lbl_int_dob")->text(), QStringLiteral("01.01.1960"));
    QCOMPARE(Child<QLabel>(&view, "lbl_int_adm_date")->text(), QStringLiteral("04.01.2016, 08:00"));
    QCOMPARE(Child<QLineEdit>(&view, "txt_int_dis_date")->text(), QStringLiteral("10.01.2016, 09:00"));
    QCOMPARE(Child<QLineEdit>(&view, "txt_int_hosp_dis_date")->text(), QStringLiteral("20.01.2016"));
    QCOMPARE(Child<QComboBox>(&view, "cmb_int_icu_outcome")->currentText(), QStringLiteral("Gestorben"));
    QCOMPARE(Child<QComboBox>(&view, "cmb_int_hosp_mort")->currentText(), QStringLiteral("Entlassen"));

    auto* outcome = Child<QComboBox>(&view, "cmb_int_icu_outcome");
    QCOMPARE(outcome->count(), 5);
    QCOMPARE(outcome->itemText(0), QString());
    QCOMPARE(outcome->itemText(2), QStringLiteral("Lebend mit Therapiereduktion"));
    QCOMPARE(outcome->itemText(4), QStringLiteral("Gestorben mit Therapiereduktion"));
    auto* hospital = Child<QComboBox>(&view, "cmb_int_hosp_mort");
    QCOMPARE(hospital->count(), 3);
    QCOMPARE(hospital->itemText(1), QStringLiteral("Gestorben"));

    QStringList frames;
    for (QGroupBox* box : Child<QWidget>(&view, "fra_tab_0")->findChildren<QGroupBox*>())
        frames << box->title();
    frames.sort();
    QCOMPARE(frames, (QStringList{QStringLiteral("Aufnahmedaten"), QStringLiteral("Entlassung - Abteilung"),
                                  QStringLiteral("Entlassung - Krankenanstalt"),
                                  QStringLiteral("Krankenanstalt / Abteilung")}));
    QVERIFY(Child<QLabel>(&view, "lbl_int_hinweis")->isHidden());
}

void DetailViewTest::combos_mapStoredValues_data() {
    QTest::addColumn<QString>("icuOutcome");
    QTest::addColumn<QString>("hospMort");
    QTest::addColumn<QString>("outcomeShown");
    QTest::addColumn<QString>("hospitalShown");
    QTest::newRow("lebend, gestorben") << "1"
                                       << "1"
                                       << "Lebend"
                                       << "Gestorben";
    QTest::newRow("gestorben mit Therapiereduktion") << "4"
                                                     << "2"
                                                     << "Gestorben mit Therapiereduktion"
                                                     << "Entlassen";
    QTest::newRow("zero") << "0"
                          << "0"
                          << ""
                          << "";
    QTest::newRow("above the entries") << "5"
                                       << "3"
                                       << ""
                                       << "";
    QTest::newRow("blank") << " "
                           << " "
                           << ""
                           << "";
    QTest::newRow("not a number") << "x"
                                  << "x"
                                  << ""
                                  << "";
}

void DetailViewTest::combos_mapStoredValues() {
    QFETCH(QString, icuOutcome);
    QFETCH(QString, hospMort);
    QFETCH(QString, outcomeShown);
    QFETCH(QString, hospitalShown);
    UiTestData data;
    AddDepartmentWithStays(data, "0001", "61001000", "A6100101.101", {});
    StayRecord stay = SurveyedStay();
    stay.icuOutcome = icuOutcome.toStdString();
    stay.hospMort = hospMort.toStdString();
    AddStay(data, "A6100101.101", stay);
    StayDetailWindow view(*data.context, FirstDepartment(data), "EXTERN", kKey);
    QCOMPARE(Child<QComboBox>(&view, "cmb_int_icu_outcome")->currentText(), outcomeShown);
    QCOMPARE(Child<QComboBox>(&view, "cmb_int_hosp_mort")->currentText(), hospitalShown);
}

void DetailViewTest::pages_surveyFrameOnlyOnTissPage_externStaysUnusableAndBlue() {
    UiTestData data;
    AddDepartmentWithStays(data, "0001", "61001000", "A6100101.101", {});
    AddStay(data, "A6100101.101", SurveyedStay());
    StayDetailWindow view(*data.context, FirstDepartment(data), "EXTERN", kKey);
    view.show();
    auto* tabs = Child<QTabWidget>(&view, "tab_int");
    auto* survey = Child<QGroupBox>(&view, "fra_erhebung");
    auto* basePage = Child<QWidget>(&view, "fra_tab_0");
    auto* tissPage = Child<QWidget>(&view, "fra_tab_1");
    QCOMPARE(tabs->count(), 2);
    QCOMPARE(tabs->tabText(0), QStringLiteral("&Basisdaten"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("&TISS-28"));
    QCOMPARE(survey->title(), QStringLiteral("&Erhebungstag"));
    QCOMPARE(tabs->currentIndex(), 0);
    QVERIFY(!survey->isVisible());
    QVERIFY(!basePage->isEnabled() && !tissPage->isEnabled());
    // The survey days lie beside the pages, not on one of them.
    QVERIFY(!tabs->isAncestorOf(survey));

    tabs->setCurrentIndex(1);
    QVERIFY(survey->isVisible());
    QVERIFY(!basePage->isEnabled() && !tissPage->isEnabled());
    QVERIFY(!Child<QCheckBox>(&view, "chk_t28_lung")->isEnabled());
    tabs->setCurrentIndex(0);
    QVERIFY(!survey->isVisible());
    QVERIFY(!basePage->isEnabled() && !tissPage->isEnabled());

    const QColor buttonFace = QApplication::palette().color(QPalette::Active, QPalette::Button);
    for (const char* name :
         {"txt_int_dis_date", "cmb_int_icu_outcome", "txt_int_hosp_dis_date", "cmb_int_hosp_mort"}) {
        QWidget* control = Child<QWidget>(&view, name);
        QVERIFY(!control->isEnabled());
        QCOMPARE(control->palette().color(QPalette::Disabled, QPalette::Text), QColor(Qt::blue));
        QCOMPARE(control->palette().color(QPalette::Disabled, QPalette::ButtonText), QColor(Qt::blue));
        QCOMPARE(control->palette().color(QPalette::Disabled, QPalette::Base), buttonFace);
    }
}

void DetailViewTest::pages_internEnablesShownPageBlackOnWhite() {
    UiTestData data;
    AddDepartmentWithStays(data, "0001", "61001000", "A6100101.101", {});
    AddStay(data, "A6100101.101", SurveyedStay());
    StayDetailWindow view(*data.context, FirstDepartment(data), "INTERN", kKey);
    auto* tabs = Child<QTabWidget>(&view, "tab_int");
    auto* basePage = Child<QWidget>(&view, "fra_tab_0");
    auto* tissPage = Child<QWidget>(&view, "fra_tab_1");
    // Unusable until a page is chosen.
    QVERIFY(!basePage->isEnabled() && !tissPage->isEnabled());
    tabs->setCurrentIndex(1);
    QVERIFY(!basePage->isEnabled() && tissPage->isEnabled());
    tabs->setCurrentIndex(0);
    QVERIFY(basePage->isEnabled() && !tissPage->isEnabled());
    auto* discharge = Child<QLineEdit>(&view, "txt_int_dis_date");
    QVERIFY(discharge->isEnabled());
    QCOMPARE(discharge->palette().color(QPalette::Active, QPalette::Text), QColor(Qt::black));
    QCOMPARE(discharge->palette().color(QPalette::Active, QPalette::Base), QColor(Qt::white));
}

void DetailViewTest::stayWithoutDaysOrRecordType1_showsWhatIsStored() {
    UiTestData data;
    AddDepartmentWithStays(data, "0001", "61001000", "A6100101.101", {});
    StayRecord stay{kKey.admissionNumber, kKey.birthDate, kKey.admissionTime};
    stay.withRecordType1 = false;
    stay.disDate = "            ";
    stay.icuOutcome = "2";
    AddStay(data, "A6100101.101", stay);
    StayDetailWindow view(*data.context, FirstDepartment(data), "EXTERN", kKey);
    QVERIFY(view.loaded());
    QCOMPARE(Child<QListWidget>(&view, "lst_erhebung_tiss")->count(), 0);
    QVERIFY(TickedBoxes(&view).empty());
    QCOMPARE(Child<QLabel>(&view, "lbl_int_tiss28_score")->text(), QString());
    QCOMPARE(Child<QLineEdit>(&view, "txt_int_dis_date")->text(), QString());
    QCOMPARE(Child<QComboBox>(&view, "cmb_int_icu_outcome")->currentText(),
             QStringLiteral("Lebend mit Therapiereduktion"));
    QCOMPARE(Child<QLineEdit>(&view, "txt_int_hosp_dis_date")->text(), QString());
    QCOMPARE(Child<QComboBox>(&view, "cmb_int_hosp_mort")->currentIndex(), 0);
    const QString note = Child<QLabel>(&view, "lbl_int_hinweis")->text();
    QVERIFY(note.contains(QStringLiteral("keine Satzart 1")));
    QVERIFY(note.contains(QStringLiteral("keine TISS-28-Erhebungstage")));
    Child<QTabWidget>(&view, "tab_int")->setCurrentIndex(1);
    QVERIFY(data.messages.shown.empty());
}

void DetailViewTest::missingStay_reportsAndDoesNotOpen() {
    UiTestData data;
    AddDepartmentWithStays(data, "0001", "61001000", "A6100101.101", {});
    AddStay(data, "A6100101.101", SurveyedStay());
    const Department department = FirstDepartment(data);
    StayDetailWindow unknown(*data.context, department, "EXTERN",
                             StayKey{"9999      ", "19600101", "201601040800"});
    QVERIFY(!unknown.loaded());
    QCOMPARE(data.messages.texts(),
             std::vector<std::string>{"Der Aufenthalt ist in der Abteilungsdatenbank nicht vorhanden!"});

    data.messages.shown.clear();
    QVERIFY(QFile::remove(data.systemDir() + QStringLiteral("/A6100101.101")));
    StayDetailWindow gone(*data.context, department, "EXTERN", kKey);
    QVERIFY(!gone.loaded());
    QCOMPARE(data.messages.shown.size(), std::size_t{1});
    QVERIFY(data.messages.texts()[0].find("A6100101.101") != std::string::npos);
}

void DetailViewTest::patientWeiter_opensDetailOfChosenStay() {
    UiTestData data;
    AddDepartmentWithStays(data, "0001", "61001000", "A6100101.101", {});
    AddStay(data, "A6100101.101", {"1000      ", "19500101", "201601010800"});
    AddStay(data, "A6100101.101", SurveyedStay());
    DepartmentListWindow level(*data.context);
    PatientListWindow patients(*data.context, *level.currentDepartment(), PatientLevelOpeners(), &level,
                               &level.searchTerms());
    Child<QListWidget>(&patients, "lst_patient")->setCurrentRow(1);
    QString shownNumber;
    int days = -1;
    ModalScript script;
    script.then([&](QWidget* window) {
        shownNumber = Child<QLabel>(window, "lbl_int_kis_id")->text();
        days = Child<QListWidget>(window, "lst_erhebung_tiss")->count();
        qobject_cast<StayDetailWindow*>(window)->onCommand(StayDetailWindow::Close);
    });
    patients.onCommand(PatientListWindow::Next);
    QCOMPARE(script.seen(), QStringList{QStringLiteral("frmInt")});
    QCOMPARE(shownNumber, QStringLiteral("4711      "));
    QCOMPARE(days, 3);
}

void DetailViewTest::tissPage_twoColumnsInTableOrderWithBracketsOnExclusivePairs() {
    UiTestData data;
    AddDepartmentWithStays(data, "0001", "61001000", "A6100101.101", {});
    AddStay(data, "A6100101.101", SurveyedStay());
    StayDetailWindow view(*data.context, FirstDepartment(data), "EXTERN", kKey);
    view.show();
    Child<QTabWidget>(&view, "tab_int")->setCurrentIndex(1);
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    struct Row {
        const char* leftLabel;
        const char* leftBox;
        const char* rightLabel;
        const char* rightBox;
    };
    const Row rows[] = {
        {"Atemtherapie", "chk_t28_lung", "Kardiopulm.Reanimation", "chk_t28_cpr"},
        {"Atemunterstützung", "chk_t28_supp_vent", "Katheter arteriell", "chk_t28_art"},
        {"Beatmung mechanisch", "chk_t28_mech_vent", "Katheter zentralvenös ", "chk_t28_cvl"},
        {"Beh.metabolischer Entgl.", "chk_t28_met_supp", "Labor", "chk_t28_lab"},
        {"Diagn./Therapie außer IBS", "chk_t28_diag_ex_icu", "Medikation einmalig", "chk_t28_s_med"},
        {"Diurese aktiv", "chk_t28_act_diu", "Medikation mehrfach", "chk_t28_m_med"},
        {"Drainagenpflege", "chk_t28_drain", "Medikation einm.vasoaktiv", "chk_t28_s_vasodr"},
        {"Ernährung enteral", "chk_t28_nut_ent", "Medikation mehrf.vasoaktiv", "chk_t28_m_vasodr"},
        {"Ernährung parenteral", "chk_t28_nut_parent", "Nierenersatztherapie", "chk_t28_renal"},
        {"Flüssigkeitsersatz massiv", "chk_t28_l_fluid", "Pulmonaliskatheter", "chk_t28_pcl"},
        {"Harnbilanzierung", "chk_t28_urinary", "Routineverbandswechsel ", "chk_t28_r_dress"},
        {"Hirndruckmessung", "chk_t28_icp", "Standard-Monitoring", "chk_t28_stand_mon"},
        {"Intervention einfach", "chk_t28_s_int", "Tubuspflege", "chk_t28_tubus"},
        {"Interventionen mehrfach", "chk_t28_m_int", "Verbandswechsel häufig", "chk_t28_f_dress"},
    };
    QWidget* page = Child<QWidget>(&view, "fra_tab_1");
    const auto centre = [&](QWidget* widget) { return widget->mapTo(page, widget->rect().center()); };
    int previousY = -1;
    int leftX = -1;
    int rightX = -1;
    for (const Row& row : rows) {
        auto* left = Child<QCheckBox>(&view, row.leftBox);
        auto* right = Child<QCheckBox>(&view, row.rightBox);
        QVERIFY(left->text().isEmpty() && right->text().isEmpty());
        QCOMPARE(LabelOf(&view, left), QString::fromUtf8(row.leftLabel));
        QCOMPARE(LabelOf(&view, right), QString::fromUtf8(row.rightLabel));
        QCOMPARE(centre(left).y(), centre(right).y());
        QVERIFY(centre(left).y() > previousY);
        previousY = centre(left).y();
        if (leftX < 0) {
            leftX = centre(left).x();
            rightX = centre(right).x();
        }
        QCOMPARE(centre(left).x(), leftX);
        QCOMPARE(centre(right).x(), rightX);
    }
    QVERIFY(leftX < rightX);

    // Each bracket ends beside the two check boxes it joins.
    const std::set<std::set<QString>> pairs = {
        {QStringLiteral("chk_t28_supp_vent"), QStringLiteral("chk_t28_mech_vent")},
        {QStringLiteral("chk_t28_s_med"), QStringLiteral("chk_t28_m_med")},
        {QStringLiteral("chk_t28_s_vasodr"), QStringLiteral("chk_t28_m_vasodr")},
        {QStringLiteral("chk_t28_s_int"), QStringLiteral("chk_t28_m_int")}};
    std::set<std::set<QString>> joined;
    for (PairBracket* bracket : page->findChildren<PairBracket*>()) {
        if (bracket->objectName() == QStringLiteral("brk_t28_legend")) continue;
        const QPoint topEnd = bracket->mapTo(page, QPoint(bracket->width(), bracket->topEnd()));
        const QPoint bottomEnd = bracket->mapTo(page, QPoint(bracket->width(), bracket->bottomEnd()));
        std::set<QString> ends;
        for (QCheckBox* box : page->findChildren<QCheckBox*>()) {
            const QPoint boxCentre = centre(box);
            const int gap = box->mapTo(page, QPoint(0, 0)).x() - topEnd.x();
            if (gap < 0 || gap > 24) continue;
            if (std::abs(boxCentre.y() - topEnd.y()) <= 3 || std::abs(boxCentre.y() - bottomEnd.y()) <= 3)
                ends.insert(box->objectName());
        }
        joined.insert(ends);
    }
    QCOMPARE(joined, pairs);
    QVERIFY(Child<PairBracket>(&view, "brk_t28_legend")->isVisible());
    bool legend = false;
    for (QLabel* label : page->findChildren<QLabel*>())
        legend = legend || label->text() == QStringLiteral("... TISS28-Items schließen einander aus");
    QVERIFY(legend);
}

QTEST_MAIN(DetailViewTest)
#include "detail_view_test.moc"

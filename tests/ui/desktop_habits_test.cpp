// Habits of a desktop program that no single window owns: leaving the patient level by Esc or the
// close box like "Abbrechen", column labels that stay over their columns, a main window that fills
// the screen even without a window manager, and Qt's own texts in German.

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include "app/main_window.h"
#include "app/window_wiring.h"
#include "reports/ui/department_list_window.h"
#include "reports/ui/patient_list_window.h"
#include "support/classification_test_data.h"
#include "support/find_control.h"
#include "support/ui_test_data.h"
#include "ui/german_qt_texts.h"
#include "ui/main_status_bar.h"

using kalvora::test::AddDepartmentWithStays;
using kalvora::test::Child;
using kalvora::test::UiTestData;
using namespace kalvora;
using namespace kalvora::ui;

class DesktopHabitsTest : public QObject {
    Q_OBJECT
private slots:
    void patientLevel_leftByAnyWay_clearsDepartmentFromStatusBar_data();
    void patientLevel_leftByAnyWay_clearsDepartmentFromStatusBar();
    void patientLevel_columnLabels_startOverTheirColumns();
    void mainWindow_withoutWindowManager_fillsTheScreen();
    void qtTexts_inGerman();
};

void DesktopHabitsTest::patientLevel_leftByAnyWay_clearsDepartmentFromStatusBar_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Abbrechen") << QStringLiteral("button");
    QTest::newRow("Esc") << QStringLiteral("escape");
    QTest::newRow("close box") << QStringLiteral("close");
}

void DesktopHabitsTest::patientLevel_leftByAnyWay_clearsDepartmentFromStatusBar() {
    QFETCH(QString, how);
    UiTestData data;
    AddDepartmentWithStays(data, "0001", "61001000", "A6100101.101", {{"INT", "O"}});
    MainStatusBar bar;
    data.context->statusBar = &bar;
    {
        DepartmentListWindow level(*data.context);
        PatientListWindow window(*data.context, *level.currentDepartment());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(bar.panelText(2).trimmed().size() > 0);
        if (how == QLatin1String("button")) {
            Child<QPushButton>(&window, "cmd_patient_4")->click();
        } else if (how == QLatin1String("escape")) {
            QTest::keyClick(window.focusWidget() != nullptr ? window.focusWidget() : &window, Qt::Key_Escape);
        } else {
            window.close();
        }
        QVERIFY(!window.isVisible());
        QCOMPARE(window.result(), static_cast<int>(QDialog::Rejected));
        QCOMPARE(bar.panelText(2), QStringLiteral(" "));
        QCOMPARE(bar.panelText(3), QStringLiteral(" "));
    }
    data.context->statusBar = nullptr;
}

void DesktopHabitsTest::patientLevel_columnLabels_startOverTheirColumns() {
    UiTestData data;
    AddDepartmentWithStays(data, "0001", "61001000", "A6100101.101", {{"INT", "O"}});
    DepartmentListWindow level(*data.context);
    PatientListWindow window(*data.context, *level.currentDepartment());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* list = Child<QListWidget>(&window, "lst_patient");
    const QList<QLabel*> labels = window.findChildren<QLabel*>(QStringLiteral("lbl_patient_column"));
    QCOMPARE(labels.size(), 6);

    // Where the list draws the first letter of each column of its lines.
    const int textStart = list->mapTo(&window, QPoint(PatientTextIndent(*list), 0)).x();
    const QFontMetricsF metrics(list->font());
    const int startColumns[] = {0, 13, 26, 46, 66, 72};
    for (int i = 0; i < labels.size(); ++i) {
        const int expected = textStart + qRound(metrics.horizontalAdvance(QString(startColumns[i], 'X')));
        const int shown = labels[i]->mapTo(&window, QPoint(0, 0)).x();
        QVERIFY2(
            std::abs(shown - expected) <= 1,
            qPrintable(QStringLiteral("label %1 at %2, its column at %3").arg(i).arg(shown).arg(expected)));
    }
    // The first label's access key still leads into the list.
    QCOMPARE(labels[0]->buddy(), static_cast<QWidget*>(list));
}

void DesktopHabitsTest::mainWindow_withoutWindowManager_fillsTheScreen() {
    UiTestData data;
    MainWindow window(*data.context);
    window.load();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QRect available = window.screen()->availableGeometry();
    // A window manager maximises it; bare X does not, and the window keeps its normal geometry.
    // That geometry must already be the screen's free area, not the size of the empty window.
    const QRect normal = window.normalGeometry();
    QVERIFY2(normal.width() >= available.width() * 9 / 10 && normal.height() >= available.height() * 9 / 10,
             qPrintable(QStringLiteral("%1x%2 on %3x%4")
                            .arg(normal.width())
                            .arg(normal.height())
                            .arg(available.width())
                            .arg(available.height())));
    window.close();
}

void DesktopHabitsTest::qtTexts_inGerman() {
    QVERIFY2(InstallGermanQtTexts(*QCoreApplication::instance()),
             qPrintable(QStringLiteral("no German Qt translations in ") + QtTranslationsDirectory()));

    // The context menu of a text field.
    QLineEdit field;
    field.setText(QStringLiteral("Text"));
    std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
    QStringList captions;
    for (const QAction* action : menu->actions())
        if (!action->isSeparator())
            captions << action->text().remove(QLatin1Char('&')).section(QLatin1Char('\t'), 0, 0);
    for (const char* english : {"Undo", "Redo", "Cut", "Copy", "Paste", "Delete", "Select All"})
        QVERIFY2(!captions.contains(QString::fromLatin1(english)),
                 qPrintable(captions.join(QLatin1Char('|'))));
    QVERIFY2(captions.contains(QStringLiteral("Rückgängig")), qPrintable(captions.join(QLatin1Char('|'))));

    // The details button of a message box.
    QMessageBox box;
    box.setText(QStringLiteral("Text"));
    box.setDetailedText(QStringLiteral("Einzelheiten"));
    box.show();
    QStringList buttons;
    for (const QAbstractButton* button : box.findChildren<QAbstractButton*>()) buttons << button->text();
    box.close();
    QVERIFY2(!buttons.join(QLatin1Char('|')).contains(QStringLiteral("Details...")),
             qPrintable(buttons.join(QLatin1Char('|'))));
}

QTEST_MAIN(DesktopHabitsTest)
#include "desktop_habits_test.moc"

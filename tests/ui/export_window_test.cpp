// The export window: its department list, the name check, the total database written through the
// window and the options dialog opened by a double click on the export directory, after which the
// export window is back with the new directory.

#include "export/ui/export_window.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "app/window_wiring.h"
#include "base/message_service.h"
#include "export/total_export.h"
#include "store/database.h"
#include "store/schema.h"
#include "support/classification_test_data.h"
#include "support/find_control.h"
#include "support/modal_script.h"
#include "support/ui_test_data.h"
#include "ui/main_status_bar.h"

using kalvora::test::AddDepartmentWithStays;
using kalvora::test::Child;
using kalvora::test::ModalScript;
using kalvora::test::UiTestData;
using namespace kalvora;
using namespace kalvora::ui;

namespace {

void AddTwoDepartments(UiTestData& data) {
    AddDepartmentWithStays(data, "0002", "61002000", "B6100201.103", {{}, {}});
    AddDepartmentWithStays(data, "0001", "61001000", "A6100101.101", {{}});
}

long long StayCount(const QString& path) {
    Database total(path.toStdString());
    return total.scalar("SELECT COUNT(*) FROM " + QuoteIdentifier(tables::Stays));
}

}  // namespace

class ExportWindowTest : public QObject {
    Q_OBJECT
private slots:
    void open_listsDepartmentLinesAndDirectory();
    void export_invalidNames_showNoticeAndWriteNothing_data();
    void export_invalidNames_showNoticeAndWriteNothing();
    void export_allDepartments_writesTotalDatabase();
    void doubleClickDirectory_opensOptionsThenExportWindowAgainWithNewDirectory();
};

void ExportWindowTest::open_listsDepartmentLinesAndDirectory() {
    UiTestData data;
    AddTwoDepartments(data);
    ExportWindow window(*data.context);
    auto* list = Child<QListWidget>(&window, "lst_abteilung");
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->item(0)->text().size(), 96);
    QCOMPARE(list->item(0)->text().mid(84, 12), QStringLiteral("A6100101.101"));
    QCOMPARE(list->item(1)->text().mid(84, 12), QStringLiteral("B6100201.103"));
    QVERIFY(list->item(0)->isSelected());
    QCOMPARE(Child<QLabel>(&window, "lbl_export")->text(), data.exportDir());
    QCOMPARE(Child<QLineEdit>(&window, "output_file")->text(), QStringLiteral("gesamt.mdb"));
}

void ExportWindowTest::export_invalidNames_showNoticeAndWriteNothing_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("blank") << QStringLiteral("   ");
    QTest::newRow("nine before dot") << QStringLiteral("gesamtabc.mdb");
    QTest::newRow("thirteen in all") << QStringLiteral("gesamt.mdbxyz");
    QTest::newRow("blank inside") << QStringLiteral("ges amt.mdb");
    QTest::newRow("path") << QStringLiteral("../x.mdb");
}

void ExportWindowTest::export_invalidNames_showNoticeAndWriteNothing() {
    QFETCH(QString, name);
    UiTestData data;
    AddTwoDepartments(data);
    ExportWindow window(*data.context);
    Child<QLineEdit>(&window, "output_file")->setText(name);
    window.onCommand(ExportWindow::Export);
    QCOMPARE(data.messages.texts(), std::vector<std::string>{" Ungültiger Dateiname!"});
    QVERIFY(QDir(data.exportDir()).entryList(QDir::Files).isEmpty());
}

void ExportWindowTest::export_allDepartments_writesTotalDatabase() {
    UiTestData data;
    AddTwoDepartments(data);
    MainStatusBar bar;
    data.context->statusBar = &bar;
    ExportWindow window(*data.context);
    auto* list = Child<QListWidget>(&window, "lst_abteilung");
    list->item(1)->setSelected(true);
    Child<QLineEdit>(&window, "output_file")->setText(QStringLiteral("alle.mdb"));
    window.onCommand(ExportWindow::Export);

    QCOMPARE(data.messages.shown.size(), std::size_t{1});
    // Both departments hold a stay "P1" of the same day: the second one is refused and counted.
    QCOMPARE(data.messages.shown[0].text, ExportSuccessText(1));
    QVERIFY(data.messages.shown[0].text.rfind(" Daten erfolgreich exportiert!", 0) == 0);
    QCOMPARE(data.messages.shown[0].title, std::string(" Programmhinweis "));
    QCOMPARE(StayCount(data.exportDir() + QStringLiteral("/alle.mdb")), 2LL);
    QCOMPARE(bar.panelText(1), QStringLiteral(" Bereit"));
    data.context->statusBar = nullptr;
}

void ExportWindowTest::doubleClickDirectory_opensOptionsThenExportWindowAgainWithNewDirectory() {
    UiTestData data;
    AddTwoDepartments(data);
    const QString changed = data.root() + QStringLiteral("/anders");
    QString shownAfter;
    bool visibleAfter = false;
    bool secondSelectedAfter = false;
    ModalScript script;
    script
        .then([](QWidget* window) {
            Child<QListWidget>(window, "lst_abteilung")->item(1)->setSelected(true);
            Child<QLineEdit>(window, "output_file")->setText(QStringLiteral("teil.mdb"));
            // Once this step has returned, inside the window's own loop.
            QTimer::singleShot(0, window, [window] {
                QTest::mouseDClick(Child<QLabel>(window, "lbl_export"), Qt::LeftButton);
            });
        })
        .then([&](QWidget* options) {
            data.context->settings.ExportDataPath = changed.toStdString();
            ModalScript::close(options);
        })
        .then([&](QWidget* window) {
            shownAfter = Child<QLabel>(window, "lbl_export")->text();
            visibleAfter = window->isVisible();
            secondSelectedAfter =
                Child<QListWidget>(window, "lst_abteilung")->item(1)->isSelected() &&
                Child<QLineEdit>(window, "output_file")->text() == QStringLiteral("teil.mdb");
            qobject_cast<ExportWindow*>(window)->onCommand(ExportWindow::Close);
        });
    ProgramWindowOpeners().at(MenuCommand::Export)(*data.context, nullptr);

    QCOMPARE(script.seen(),
             (QStringList{QStringLiteral("frmExp"), QStringLiteral("frmOpt"), QStringLiteral("frmExp")}));
    QVERIFY(visibleAfter);
    QCOMPARE(shownAfter, changed);
    QVERIFY(secondSelectedAfter);
}

QTEST_MAIN(ExportWindowTest)
#include "export_window_test.moc"

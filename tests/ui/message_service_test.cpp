// The Qt message service: title, icon, buttons and answers of the real message boxes.

#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include "support/modal_script.h"
#include "ui/qt_message_service.h"

using kalvora::test::ModalScript;
using namespace kalvora;
using namespace kalvora::ui;

namespace {

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString defaultButton;
    QString detail;
    QStringList buttons;
    int width = 0;
};

ModalScript::Step Inspect(SeenBox& seen, const QString& press) {
    return [&seen, press](QWidget* window) {
        auto* box = qobject_cast<QMessageBox*>(window);
        QVERIFY(box != nullptr);
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.detail = box->detailedText();
        seen.width = box->width();
        if (box->defaultButton() != nullptr) seen.defaultButton = box->defaultButton()->text();
        for (QAbstractButton* button : box->buttons()) seen.buttons << button->text();
        if (press == QLatin1String("Escape")) {
            QTest::keyClick(box, Qt::Key_Escape);
            return;
        }
        for (QAbstractButton* button : box->buttons()) {
            if (button->text() == press) button->click();
        }
    };
}

}  // namespace

class MessageServiceTest : public QObject {
    Q_OBJECT
private slots:
    void askQuestion_showsWarningWithYesDefault_andReturnsAnswer_data();
    void askQuestion_showsWarningWithYesDefault_andReturnsAnswer();
    void showNotice_showsWarningWithOk();
    void showNotice_withoutText_showsNothing();
    void shortText_leavesRoomForTheWholeTitle();
    void showErrorBox_showsCriticalBoxWithTavexTitle();
    void unknownCause_showsCauseAsDetail();
};

void MessageServiceTest::askQuestion_showsWarningWithYesDefault_andReturnsAnswer_data() {
    QTest::addColumn<QString>("press");
    QTest::addColumn<int>("answer");
    QTest::newRow("Ja") << "&Ja" << static_cast<int>(Answer::Yes);
    QTest::newRow("Nein") << "&Nein" << static_cast<int>(Answer::No);
    QTest::newRow("Escape") << "Escape" << static_cast<int>(Answer::No);
}

void MessageServiceTest::askQuestion_showsWarningWithYesDefault_andReturnsAnswer() {
    QFETCH(QString, press);
    QFETCH(int, answer);
    QtMessageService service;
    SeenBox seen;
    ModalScript script;
    script.then(Inspect(seen, press));
    QCOMPARE(static_cast<int>(service.AskQuestion(questions::SaveChanges)), answer);
    QCOMPARE(seen.title, QStringLiteral(" Programmhinweis "));
    QCOMPARE(seen.text, QStringLiteral(" Änderungen speichern ?"));
    QCOMPARE(seen.icon, QMessageBox::Warning);
    QCOMPARE(seen.defaultButton, QStringLiteral("&Ja"));
    QCOMPARE(seen.buttons.size(), 2);
}

void MessageServiceTest::showNotice_showsWarningWithOk() {
    QtMessageService service;
    SeenBox seen;
    ModalScript script;
    script.then(Inspect(seen, QStringLiteral("Escape")));
    service.ShowNotice(notices::NoDataImported);
    QCOMPARE(seen.text, QStringLiteral(" Es wurden noch keine Daten importiert!"));
    QCOMPARE(seen.title, QStringLiteral(" Programmhinweis "));
    QCOMPARE(seen.icon, QMessageBox::Warning);
    QCOMPARE(seen.buttons.size(), 1);
}

// A box with a short text is still wide enough that a window manager does not cut its title
// beside its buttons.
void MessageServiceTest::shortText_leavesRoomForTheWholeTitle() {
    QtMessageService service;
    SeenBox seen;
    ModalScript script;
    script.then(Inspect(seen, QStringLiteral("Escape")));
    MessageBox box;
    box.text = "Fertig.";
    box.title = std::string(kNoticeTitle);
    service.Show(box);
    const int titleWidth = QFontMetrics(QApplication::font()).horizontalAdvance(seen.title);
    QVERIFY2(seen.width >= titleWidth + 150, qPrintable(QString::number(seen.width)));
}

void MessageServiceTest::showNotice_withoutText_showsNothing() {
    QtMessageService service;
    ModalScript script;
    script.then();
    service.ShowNotice(notices::NoFileSelected);
    QTest::qWait(20);
    QVERIFY(script.seen().isEmpty());
}

void MessageServiceTest::showErrorBox_showsCriticalBoxWithTavexTitle() {
    QtMessageService service;
    SeenBox seen;
    ModalScript script;
    script.then(Inspect(seen, QStringLiteral("Escape")));
    service.ShowErrorBox(messages::InvalidDate);
    QCOMPARE(seen.title, QStringLiteral(" Tavex - Error "));
    QCOMPARE(seen.text, QStringLiteral("Ungültiges Datum (JJJJMMTT) oder (TT.MM.JJJJ)!"));
    QCOMPARE(seen.icon, QMessageBox::Critical);
}

void MessageServiceTest::unknownCause_showsCauseAsDetail() {
    QtMessageService service;
    SeenBox seen;
    ModalScript script;
    script.then(Inspect(seen, QStringLiteral("Escape")));
    MessageBox box;
    box.text = std::string(messages::UnknownCause);
    box.title = std::string(kNoticeTitle);
    box.detail = "A6100101.101, Zeile 7: Datenträger voll";
    QCOMPARE(service.Show(box), Answer::Ok);
    QCOMPARE(seen.text, QStringLiteral(" Fehlerursache unbekannt!"));
    QCOMPARE(seen.icon, QMessageBox::Warning);
    QCOMPARE(seen.detail, QStringLiteral("A6100101.101, Zeile 7: Datenträger voll"));
}

QTEST_MAIN(MessageServiceTest)
#include "message_service_test.moc"

// The protocol window and the way to it: "&Protokoll…" of the import result window, the overview of
// the findings (sorted by any column), the rows of the chosen finding, the filters, and the double
// click that opens a stored stay.

#include "import/ui/protocol_window.h"

#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include "app/window_wiring.h"
#include "base/status_sink.h"
#include "import/import_run.h"
#include "import/ui/import_result_window.h"
#include "support/find_control.h"
#include "support/modal_script.h"
#include "support/ui_test_data.h"

using kalvora::test::Child;
using kalvora::test::ModalScript;
using kalvora::test::UiTestData;
using namespace kalvora;
using namespace kalvora::ui;

namespace {

const std::string kHeader =
    "Datei;Krankenanstalt;Abteilung;Satzart;KH-Aufnahmezahl;Geburtsdatum;Aufnahmezeitpunkt;Typ;Parameter;"
    "Kommentar";

std::vector<ProtocolRow> SampleRows() {
    std::string bytes = kHeader + "\r\n";
    for (const char* row : {
             "A.101;K101;12100101;1;A1        ;19500615;201203011000;Error;Geburtsdatum;Ungültiger Parameter",
             "A.101;K101;12100101;3;A1        ;19500615;201203011000;Warning;TISS28;Score beträgt 0 Punkte",
             "A.101;K101;12100101;3;A2        ;19600101;201203021000;Warning;TISS28;Score beträgt 0 Punkte",
             "B.103;K101;12100201;3;B7        ;19700101;201203021000;Warning;TISS28;Score beträgt 0 Punkte",
             "B.103;K101;12100201;0;;;;Warning; ;Summensatz fehlt",
         })
        bytes += std::string(row) + "\r\n";
    Result<std::vector<ProtocolRow>> rows = ParseProtocolText(bytes, "p");
    if (!rows) qFatal("%s", rows.message().c_str());
    return std::move(*rows);
}

QStringList Column(const std::vector<ProtocolFinding>& findings, int column) {
    QStringList cells;
    for (const ProtocolFinding& finding : findings)
        cells << QString::fromStdString(FindingCells(finding)[static_cast<std::size_t>(column)]);
    return cells;
}

QStringList KisIds(const ProtocolWindow& window) {
    QStringList ids;
    for (const ProtocolRow& row : window.listedRows()) ids << QString::fromStdString(row.kisId).trimmed();
    return ids;
}

}  // namespace

class ProtocolWindowTest : public QObject {
    Q_OBJECT
private slots:
    void overview_showsTheFindingsAndSortsByEveryColumn();
    void chosenFinding_listsItsRows_filtersNarrowThem();
    void doubleClick_handsTheRowToTheOpener();
    void copy_putsTheOverviewOnTheClipboardInItsPresentOrder();
    void resultWindow_protocolButtonOpensTheWindow_orNamesAnUnreadableFile();
    void stayOpener_opensAStoredStay_andSaysWhenItIsNotStored();
};

void ProtocolWindowTest::overview_showsTheFindingsAndSortsByEveryColumn() {
    ProtocolWindow window("p", SampleRows(), {});
    QCOMPARE(window.objectName(), QStringLiteral("frmProt"));
    auto* grid = Child<QTableWidget>(&window, "grd_befund");
    QStringList headers;
    for (int column = 0; column < grid->columnCount(); ++column)
        headers << grid->horizontalHeaderItem(column)->text();
    QCOMPARE(headers, (QStringList{"Typ", "Parameter", "Kommentar", "Zeilen", "Aufenthalte"}));
    // As the command line prints it: errors first, then by rows.
    QCOMPARE(Column(window.shownFindings(), 1), (QStringList{"Geburtsdatum", "TISS28", " "}));
    QCOMPARE(grid->item(1, 3)->text(), QStringLiteral("3"));
    QCOMPARE(grid->item(1, 4)->text(), QStringLiteral("3"));
    grid->sortByColumn(3, Qt::AscendingOrder);
    QCOMPARE(Column(window.shownFindings(), 3), (QStringList{"1", "1", "3"}));
    grid->sortByColumn(1, Qt::DescendingOrder);
    QCOMPARE(Column(window.shownFindings(), 1), (QStringList{"TISS28", "Geburtsdatum", " "}));
    QCOMPARE(Child<QPushButton>(&window, "cmd_prot_0")->text(), QStringLiteral("Schließen"));
}

void ProtocolWindowTest::copy_putsTheOverviewOnTheClipboardInItsPresentOrder() {
    ProtocolWindow window("p", SampleRows(), {});
    auto* copy = Child<QPushButton>(&window, "cmd_prot_1");
    QCOMPARE(copy->text(), QStringLiteral("&Kopieren"));
    Child<QTableWidget>(&window, "grd_befund")->sortByColumn(1, Qt::DescendingOrder);
    QApplication::clipboard()->clear();
    QTest::mouseClick(copy, Qt::LeftButton);
    const QStringList lines = QApplication::clipboard()->text().split(QLatin1Char('\r'));
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines[0], QStringLiteral("Typ\tParameter\tKommentar\tZeilen\tAufenthalte"));
    const QStringList comments = Column(window.shownFindings(), 2);
    QCOMPARE(lines[1], QStringLiteral("Warning\tTISS28\t") + comments[0] + QStringLiteral("\t3\t3"));
    QCOMPARE(lines[2], QStringLiteral("Error\tGeburtsdatum\t") + comments[1] + QStringLiteral("\t1\t1"));
    QVERIFY(comments[0].endsWith(QStringLiteral(" # Punkte")));
    QVERIFY(lines[3].startsWith(QStringLiteral("Warning\t \tSummensatz fehlt\t1\t")));
    // Narrowed by a filter, it copies what is left.
    Child<QComboBox>(&window, "cmb_typ")->setCurrentIndex(1);  // Error
    QTest::mouseClick(copy, Qt::LeftButton);
    QCOMPARE(QApplication::clipboard()->text().count(QLatin1Char('\r')), 1);
}

void ProtocolWindowTest::chosenFinding_listsItsRows_filtersNarrowThem() {
    ProtocolWindow window("p", SampleRows(), {});
    auto* grid = Child<QTableWidget>(&window, "grd_befund");
    QCOMPARE(KisIds(window), QStringList{"A1"});  // the first finding is chosen when the window opens
    grid->selectRow(1);
    QCOMPARE(KisIds(window), (QStringList{"A1", "A2", "B7"}));
    QCOMPARE(Child<QListWidget>(&window, "lst_zeilen")->item(2)->text(),
             QString::fromStdString(ProtocolWindow::RowLine(window.listedRows()[2])));

    auto* file = Child<QComboBox>(&window, "cmb_datei");
    QCOMPARE(file->count(), 3);  // "(alle)" and the two files
    file->setCurrentText(QStringLiteral("A.101"));
    QCOMPARE(Column(window.shownFindings(), 4), (QStringList{"1", "2"}));
    grid->selectRow(1);
    QCOMPARE(KisIds(window), (QStringList{"A1", "A2"}));
    Child<QLineEdit>(&window, "txt_aufnahmezahl")->setText(QStringLiteral("A2"));
    QCOMPARE(Column(window.shownFindings(), 1), QStringList{"TISS28"});
    QCOMPARE(KisIds(window), QStringList{"A2"});

    file->setCurrentIndex(0);
    Child<QLineEdit>(&window, "txt_aufnahmezahl")->clear();
    Child<QComboBox>(&window, "cmb_typ")->setCurrentText(QStringLiteral("Error"));
    QCOMPARE(Column(window.shownFindings(), 0), QStringList{"Error"});
    Child<QComboBox>(&window, "cmb_typ")->setCurrentIndex(0);
    Child<QComboBox>(&window, "cmb_parameter")->setCurrentText(QStringLiteral(" "));
    QCOMPARE(Column(window.shownFindings(), 2), QStringList{"Summensatz fehlt"});
}

void ProtocolWindowTest::doubleClick_handsTheRowToTheOpener() {
    std::vector<std::string> opened;
    ProtocolWindow window("p", SampleRows(),
                          [&opened](const ProtocolRow& row, QWidget*) { opened.push_back(row.kisId); });
    Child<QTableWidget>(&window, "grd_befund")->selectRow(1);
    auto* list = Child<QListWidget>(&window, "lst_zeilen");
    emit list->itemDoubleClicked(list->item(1));
    QCOMPARE(opened, (std::vector<std::string>{"A2        "}));
}

void ProtocolWindowTest::resultWindow_protocolButtonOpensTheWindow_orNamesAnUnreadableFile() {
    UiTestData data;
    const std::string path = data.exportDir().toStdString() + "/protocol.dat";
    {
        QFile file(QString::fromStdString(path));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            QByteArray::fromStdString(kHeader + "\r\nA.101;K101;12100101;1;A1;19500615;2012;Error;KA;x\r\n"));
    }
    ImportResultWindow bare({ImportSummaryRow::ForFile("A6100101.101")});
    QVERIFY(!Child<QPushButton>(&bare, "cmd_erg_2")->isEnabled());

    ImportResultWindow window({ImportSummaryRow::ForFile("A6100101.101")});
    window.offerProtocol(path, data.messages, {});
    auto* button = Child<QPushButton>(&window, "cmd_erg_2");
    QCOMPARE(button->text(), QStringLiteral("&Protokoll…"));
    QVERIFY(button->isEnabled());
    int findings = -1;
    ModalScript script;
    script.then([&findings](QWidget* protocol) {
        findings = Child<QTableWidget>(protocol, "grd_befund")->rowCount();
        ModalScript::close(protocol);
    });
    button->click();
    QCOMPARE(script.seen(), QStringList{"frmProt"});
    QCOMPARE(findings, 1);

    QFile::remove(QString::fromStdString(path));
    QFile::copy(QStringLiteral(KALVORA_SOURCE_DIR "/data/demo/A6100101.101"), QString::fromStdString(path));
    button->click();
    QCOMPARE(data.messages.shown.size(), std::size_t{1});
    QVERIFY(data.messages.shown.front().text.find("ist keine Protokolldatei") != std::string::npos);
}

void ProtocolWindowTest::stayOpener_opensAStoredStay_andSaysWhenItIsNotStored() {
    UiTestData data;
    data.copyDemoFiles({QStringLiteral("A6100101.101")});
    ImportBatchRequest request;
    request.files.push_back({"A6100101.101", data.importDir().toStdString() + "/A6100101.101"});
    request.protocolPath = data.exportDir().toStdString() + "/protocol.dat";
    NullStatusSink status;
    const ImportBatchResult imported = RunImportBatch(request, data.context->settings, status);
    QVERIFY(imported.refusal.empty());
    // The first stay of the demo delivery, as a protocol row names it, and one that was never delivered.
    ProtocolRow stored;
    stored.hospital = "K101";
    stored.department = "12100101";
    stored.kisId = "2566567054";
    stored.birthDate = "19330103";
    stored.admission = "201601040011";
    stored.type = "Warning";
    ProtocolRow unknown = stored;
    unknown.kisId = "9999999999";
    const ProtocolWindow::StayOpener open = ProtocolStayOpener(*data.context);
    QWidget parent;
    ModalScript script;
    script.then();
    open(stored, &parent);
    QCOMPARE(script.seen(), QStringList{"frmInt"});
    QVERIFY(data.messages.shown.empty());
    open(unknown, &parent);
    QCOMPARE(data.messages.shown.size(), std::size_t{1});
    QVERIFY(data.messages.shown.front().text.find("nicht gespeichert") != std::string::npos);
}

QTEST_MAIN(ProtocolWindowTest)
#include "protocol_window_test.moc"

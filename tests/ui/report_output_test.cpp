// "Als P&DF speichern…" and "&Drucken…" of the classification result and the department analysis:
// the file and the printer get the report whose table is the one "&Kopieren" copies; cancelling
// writes nothing, and a file that cannot be written is named in the error box.

#include "printing/report_output.h"

#include <QFile>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>
#include <set>
#include <sstream>

#include "classification/ui/classification_dialog.h"
#include "classification/ui/classification_result_window.h"
#include "reports/ui/department_analysis_window.h"
#include "reports/ui/department_list_window.h"
#include "support/classification_test_data.h"
#include "support/find_control.h"
#include "support/report_test_data.h"
#include "support/ui_test_data.h"

using kalvora::test::AddDepartmentWithStays;
using kalvora::test::Child;
using kalvora::test::UiTestData;
using namespace kalvora;
using namespace kalvora::ui;

namespace {

std::string PdfText(const QString& path) {
    std::string text;
    FILE* pipe = popen(("pdftotext -enc UTF-8 '" + path.toStdString() + "' - 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) return text;
    char buffer[4096];
    for (std::size_t read; (read = fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, read);
    pclose(pipe);
    return text;
}

// The words with a digit of a copied table (cells by tabs, rows by carriage returns) that the text lacks.
QStringList MissingFigures(const std::string& copied, const std::string& text) {
    std::set<std::string> printed;
    std::istringstream words(text);
    for (std::string word; words >> word;) printed.insert(word);
    QStringList missing;
    std::string table = copied;
    for (char& c : table) {
        if (c == '\t' || c == '\r') c = ' ';
    }
    std::istringstream cells(table);
    for (std::string word; cells >> word;) {
        if (word.find_first_of("0123456789") != std::string::npos && !printed.count(word))
            missing << QString::fromStdString(word);
    }
    return missing;
}

}  // namespace

class ReportOutputTest : public QObject {
    Q_OBJECT
private slots:
    void init() { saved_ = ReportOutput(); }
    void cleanup() { ReportOutput() = saved_; }
    void classificationResult_savesAndPrintsTheCopiedTable();
    void analysis_savesAndPrintsTheCopiedTable();
    void cancelled_writesNothing_unwritableFile_isNamed();

private:
    // Answers the save dialog with `path` and the print dialog with printing into `printed`.
    void answer(const QString& path, const QString& printed) {
        ReportOutput().pdfPath = [path](QWidget*, const QString&) { return path; };
        ReportOutput().print = [printed](QWidget*, QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(printed);
            return true;
        };
    }
    ReportOutputChoices saved_;
    QTemporaryDir dir_;
};

void ReportOutputTest::classificationResult_savesAndPrintsTheCopiedTable() {
    UiTestData data;
    AddDepartmentWithStays(data, "K101", "12100101", "12100101.101", {{"INT", "O"}});
    AddDepartmentWithStays(data, "K101", "12100201", "12100201.101", {{"INT", "O"}});
    ClassificationDialog dialog(*data.context);
    ClassificationResultWindow window(*data.context, dialog.entries());
    QCOMPARE(Child<QPushButton>(&window, "cmd_erg_2")->text(), QStringLiteral("Als P&DF speichern…"));
    QCOMPARE(Child<QPushButton>(&window, "cmd_erg_3")->text(), QStringLiteral("&Drucken…"));
    const QString saved = dir_.filePath(QStringLiteral("einstufung"));
    const QString printed = dir_.filePath(QStringLiteral("gedruckt.pdf"));
    answer(saved, printed);
    Child<QPushButton>(&window, "cmd_erg_2")->click();
    Child<QPushButton>(&window, "cmd_erg_3")->click();
    QVERIFY(data.messages.shown.empty());
    const std::string copied = window.table().ClipboardText();
    QCOMPARE(window.table().rows.size(), std::size_t{2});
    for (const QString& path : {saved + QStringLiteral(".pdf"), printed}) {
        const std::string text = PdfText(path);
        QVERIFY2(!text.empty(), qPrintable(path));
        QCOMPARE(MissingFigures(copied, text), QStringList{});
        QVERIFY(text.find("Erhebungszeitraum: ") != std::string::npos);
        QVERIFY(text.find("Seite 1 von 1") != std::string::npos);
    }
}

void ReportOutputTest::analysis_savesAndPrintsTheCopiedTable() {
    UiTestData data;
    AddDepartmentWithStays(data, "0001", "61001000", "A6100101.101",
                           {{"INT", "O"}, {"INT", "E"}, {"NIT", "O"}});
    AddDepartmentWithStays(data, "0002", "61002000", "B6100201.103", {{"INT", "O"}});
    DepartmentListWindow level(*data.context);
    DepartmentAnalysisWindow window(*data.context, level.departments());
    QCOMPARE(Child<QPushButton>(&window, "cmd_abta_2")->text(), QStringLiteral("Als P&DF speichern…"));
    QCOMPARE(Child<QPushButton>(&window, "cmd_abta_3")->text(), QStringLiteral("&Drucken…"));
    const QString saved = dir_.filePath(QStringLiteral("analyse.pdf"));
    const QString printed = dir_.filePath(QStringLiteral("analyse-gedruckt.pdf"));
    answer(saved, printed);
    Child<QPushButton>(&window, "cmd_abta_2")->click();
    Child<QPushButton>(&window, "cmd_abta_3")->click();
    QVERIFY(data.messages.shown.empty());
    const std::string copied = AnalysisClipboardText(window.rows());
    for (const QString& path : {saved, printed}) {
        const std::string text = PdfText(path);
        QVERIFY2(!text.empty(), qPrintable(path));
        QCOMPARE(MissingFigures(copied, text), QStringList{});
        QVERIFY(text.find("INT-Patienten") != std::string::npos);
    }
}

void ReportOutputTest::cancelled_writesNothing_unwritableFile_isNamed() {
    UiTestData data;
    AddDepartmentWithStays(data, "0001", "61001000", "A6100101.101", {{"INT", "O"}});
    DepartmentListWindow level(*data.context);
    DepartmentAnalysisWindow window(*data.context, level.departments());
    const QTemporaryDir empty;
    ReportOutput().pdfPath = [](QWidget*, const QString&) { return QString(); };
    bool asked = false;
    ReportOutput().print = [&asked](QWidget*, QPrinter&) { return !(asked = true); };
    Child<QPushButton>(&window, "cmd_abta_2")->click();
    Child<QPushButton>(&window, "cmd_abta_3")->click();
    QVERIFY(asked);
    QVERIFY(data.messages.shown.empty());
    QCOMPARE(QDir(empty.path()).entryList(QDir::Files), QStringList{});

    ReportOutput().pdfPath = [this](QWidget*, const QString&) {
        return dir_.filePath(QStringLiteral("fehlt/a.pdf"));
    };
    Child<QPushButton>(&window, "cmd_abta_2")->click();
    QCOMPARE(data.messages.shown.size(), std::size_t{1});
    QVERIFY(data.messages.shown.front().text.find("fehlt/a.pdf") != std::string::npos);
}

QTEST_MAIN(ReportOutputTest)
#include "report_output_test.moc"

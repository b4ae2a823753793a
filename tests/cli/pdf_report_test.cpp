// The PDF reports of classify and analysis: what pdftotext reads from them holds every code and
// figure of the printed table, the parameters in effect and the page numbers; a long table goes on
// over pages with its header repeated.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/cli_runner.h"
#include "support/temp_dir.h"

#ifdef KALVORA_WITH_PDF
#include "printing/report_painter.h"
#endif

namespace kalvora {
namespace {

// The text of a PDF as pdftotext extracts it.
std::string PdfText(const std::string& path) {
    std::string text;
    FILE* pipe = popen(("pdftotext -enc UTF-8 '" + path + "' - 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) return text;
    char buffer[4096];
    for (std::size_t read; (read = fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, read);
    pclose(pipe);
    return text;
}

std::set<std::string> Words(const std::string& text) {
    std::set<std::string> words;
    std::istringstream in(text);
    for (std::string word; in >> word;) words.insert(word);
    return words;
}

// Every word of the copied table that holds a digit (codes, counts, figures, dates) and that the
// PDF's text lacks.
std::vector<std::string> MissingFigures(const std::string& table, const std::string& pdfText) {
    const std::set<std::string> printed = Words(pdfText);
    std::vector<std::string> missing;
    std::istringstream lines(table);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, '\t');) {
            for (const std::string& word : Words(cell)) {
                if (word.find_first_of("0123456789") != std::string::npos && !printed.count(word))
                    missing.push_back(word);
            }
        }
    }
    return missing;
}

class PdfReports : public ::testing::Test {
protected:
    void SetUp() override {
        ini = dir.file("k.ini");
        ASSERT_EQ(run({"setup", dir.file("sys")}).exitCode, 0);
        std::vector<std::string> import = {"import", "--initialise"};
        for (const char* name : {"A6100101.101", "B6100201.103", "C6100301.105"})
            import.push_back(std::string(KALVORA_SOURCE_DIR) + "/data/demo/" + name);
        ASSERT_EQ(run(import).exitCode, 0);
    }
    test::CliRun run(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--ini", ini});
        return test::RunCliBinary(KALVORA_CLI_BINARY, arguments);
    }
    test::TempDir dir;
    std::string ini;
};

TEST_F(PdfReports, classification_holdsEveryFigureOfTheTableAndTheParameters) {
    const std::string pdf = dir.file("einstufung.pdf");
    const test::CliRun plain =
        run({"classify", "--from", "20160101", "--to", "20161231", "--min-hours", "4"});
    const test::CliRun withPdf =
        run({"classify", "--from", "20160101", "--to", "20161231", "--min-hours", "4", "--pdf", pdf});
    ASSERT_EQ(withPdf.exitCode, 0);
    ASSERT_EQ(std::count(plain.out.begin(), plain.out.end(), '\n'), 4);  // the header and three departments
    EXPECT_EQ(withPdf.out, plain.out);                                   // the PDF changes nothing on stdout
    const std::string text = PdfText(pdf);
    ASSERT_FALSE(text.empty()) << "pdftotext missing or the PDF unreadable";
    EXPECT_EQ(MissingFigures(plain.out, text), std::vector<std::string>{});
    for (const char* expected :
         {"Einstufung der Intensivabteilungen", "Erhebungszeitraum: 01.01.2016 bis 31.12.2016",
          "Mindeststunden für 0-Tagespatienten: 4", "MehrfachTISS verdichten: N",
          "TISS-Ersatzscore zählen: N", "Seite 1 von 1", "gedruckt am", "Kalvora "})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
}

TEST_F(PdfReports, analysis_holdsEveryFigureOfTheTable) {
    const std::string pdf = dir.file("analyse.pdf");
    const test::CliRun withPdf =
        run({"analysis", "12100101.101", "12100201.103", "12100301.105", "--pdf", pdf});
    ASSERT_EQ(withPdf.exitCode, 0);
    ASSERT_GE(std::count(withPdf.out.begin(), withPdf.out.end(), '\n'), 4);
    const std::string text = PdfText(pdf);
    EXPECT_EQ(MissingFigures(withPdf.out, text), std::vector<std::string>{});
    for (const char* expected : {"INT-Patienten", "Abteilungsanalyse", "Seite 1 von 1", "01.2016"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
}

TEST_F(PdfReports, unwritablePath_failsWithAGermanMessage) {
    const std::string errors = dir.file("stderr.txt");
    const test::CliRun failed = test::RunCliBinary(
        KALVORA_CLI_BINARY, {"--ini", ini, "analysis", "12100101.101", "--pdf", dir.file("fehlt/a.pdf")},
        errors);
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_NE(failed.err.find("Die PDF-Datei"), std::string::npos) << failed.err;
    EXPECT_EQ(failed.err.find("QStandardPaths"), std::string::npos) << failed.err;
}

#ifdef KALVORA_WITH_PDF
TEST(PdfReport, longTable_goesOnOverPagesWithItsHeaderAndNumbers) {
    test::TempDir dir;
    PrintedReport report;
    report.title = "Probe";
    report.headers = {"KA", "Abteilung", "Jahr", "Monat", "INT-Patienten"};
    for (int row = 0; row < 150; ++row)
        report.rows.push_back({"K1" + std::to_string(row),
                               "Eine sehr lange Abteilungsbezeichnung mit vielen Wörtern", "2016", "01",
                               std::to_string(1000 + row)});
    report.printedOn = "01.02.2026";
    const std::string path = dir.file("lang.pdf");
    ASSERT_TRUE(WriteReportPdf(report, path));
    const std::string text = PdfText(path);
    int pages = 0;
    while (text.find("Seite " + std::to_string(pages + 1) + " von ") != std::string::npos) ++pages;
    ASSERT_GE(pages, 3);
    EXPECT_NE(text.find("Seite 1 von " + std::to_string(pages)), std::string::npos);
    std::size_t headers = 0;
    for (std::size_t at = text.find("INT-Patienten"); at != std::string::npos;
         at = text.find("INT-Patienten", at + 1))
        ++headers;
    EXPECT_EQ(headers, static_cast<std::size_t>(pages));
    const std::set<std::string> words = Words(text);
    for (int row = 0; row < 150; ++row) {
        EXPECT_TRUE(words.count("K1" + std::to_string(row))) << row;
        EXPECT_TRUE(words.count(std::to_string(1000 + row))) << row;
    }
}
#endif

}  // namespace
}  // namespace kalvora

#include "printing/printed_report.h"

#include <chrono>
#include <cstdio>
#include <set>

#include "base/conversions.h"

namespace kalvora {

namespace {

// The distinct values of a column, in order of first appearance, joined by "; ".
std::string DistinctCells(const std::vector<std::vector<std::string>>& rows, std::size_t column) {
    std::set<std::string> seen;
    std::string joined;
    for (const auto& row : rows) {
        if (column >= row.size()) continue;
        std::string cell = row[column];
        while (!cell.empty() && cell.back() == ' ') cell.pop_back();
        if (cell.empty() || !seen.insert(cell).second) continue;
        joined += (joined.empty() ? "" : "; ") + cell;
    }
    return joined.empty() ? "-" : joined;
}

std::string YesNo(const std::string& flag) { return flag == "J" ? "J (ja)" : "N (nein)"; }

}  // namespace

PrintedReport ClassificationPrintedReport(const ResultTable& table, const ClassificationRun& run,
                                          const std::string& printedOn) {
    PrintedReport report;
    report.title = "Einstufung der Intensivabteilungen";
    for (std::string_view header : ResultColumnHeaders()) report.headers.emplace_back(header);
    for (const ResultRow& row : table.rows) report.rows.emplace_back(row.begin(), row.end());
    std::string hours = run.MindestStd;
    while (!hours.empty() && hours.back() == ' ') hours.pop_back();
    report.facts = {
        "Krankenanstalten: " + DistinctCells(report.rows, 0),
        "Abteilungen: " + DistinctCells(report.rows, 1),
        "Erhebungszeitraum: " + FormatDateCode(run.Erhebungvon, 8) + " bis " +
            FormatDateCode(run.Erhebungbis, 8),
        "Mindeststunden für 0-Tagespatienten: " + hours,
        "MehrfachTISS verdichten: " + YesNo(run.MehrfachTISS) +
            "    TISS-Ersatzscore zählen: " + YesNo(run.ErsatzTISS),
    };
    report.landscape = true;
    report.printedOn = printedOn;
    return report;
}

PrintedReport AnalysisPrintedReport(const AnalysisResult& result, const AnalysisChart& chart,
                                    const std::string& printedOn) {
    PrintedReport report;
    report.title = "Abteilungsanalyse: Intensivpatienten je Entlassungsmonat";
    for (std::string_view header : kAnalysisCopyHeaders) report.headers.emplace_back(header);
    for (const AnalysisRow& row : result.rows) {
        const auto cells = AnalysisRowCells(row);
        report.rows.emplace_back(cells.begin(), cells.end());
    }
    report.facts = {"Krankenanstalten: " + DistinctCells(report.rows, 0),
                    "Abteilungen: " + DistinctCells(report.rows, 1)};
    if (!chart.months.empty()) report.chart = chart;
    report.printedOn = printedOn;
    return report;
}

std::string TodayText() {
    const auto today = std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now());
    const std::chrono::year_month_day date{today};
    char text[16];
    std::snprintf(text, sizeof text, "%02u.%02u.%04d", static_cast<unsigned>(date.day()),
                  static_cast<unsigned>(date.month()), static_cast<int>(date.year()));
    return text;
}

std::string PageNumberText(int page, int pages) {
    return "Seite " + std::to_string(page) + " von " + std::to_string(pages);
}

}  // namespace kalvora

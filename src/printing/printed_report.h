#pragma once
// What a printed report holds: title, the facts it was made from (hospitals, departments, the
// parameters in effect), one table and, for the analysis, the bar chart. The cells are those of the
// clipboard copies, taken from the same core functions, so paper and clipboard never differ.

#include <optional>
#include <string>
#include <vector>

#include "classification/classification_run.h"
#include "classification/result_table.h"
#include "reports/department_analysis.h"
#include "reports/department_analysis_chart.h"

namespace kalvora {

struct PrintedReport {
    std::string title;
    std::vector<std::string> facts;  // "Zeitraum: 01.01.2012 bis 31.12.2012", one line each
    std::vector<std::string> headers;
    std::vector<std::vector<std::string>> rows;
    std::optional<AnalysisChart> chart;
    bool landscape = false;
    std::string printedOn;  // TT.MM.JJJJ
};

// The classification result with the run's period, minimum hours and the two J/N rules.
PrintedReport ClassificationPrintedReport(const ResultTable& table, const ClassificationRun& run,
                                          const std::string& printedOn);

// The department analysis: its table and its chart.
PrintedReport AnalysisPrintedReport(const AnalysisResult& result, const AnalysisChart& chart,
                                    const std::string& printedOn);

// Today as TT.MM.JJJJ.
std::string TodayText();

// "Seite 2 von 3"
std::string PageNumberText(int page, int pages);

}  // namespace kalvora

#pragma once
// Department analysis: the stays of type "INT" per discharge month for each chosen department,
// counted inside each department database by one grouped query.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "store/admin_database.h"

namespace kalvora {

class StatusSink;

struct AnalysisRow {
    std::string hospital;    // columns 1-27 of the department's line
    std::string department;  // columns 30-78 of the line (30-81 for a department without stays)
    std::string year;        // characters 1-4 of DIS_YEARMONTH
    std::string month;       // characters 5-6 of DIS_YEARMONTH
    std::string count;       // number of "INT" stays discharged in that month
};

// Headers of the grid, and of the copied text (its fifth column reads differently).
inline constexpr std::array<std::string_view, 5> kAnalysisGridHeaders = {"KA", "Abteilung", "Jahr", "Monat",
                                                                         "#Intensiv-Patienten"};
// Column widths of the grid, in widths of the letter "X".
inline constexpr std::array<int, 5> kAnalysisGridWidths = {24, 40, 6, 8, 17};
inline constexpr std::array<std::string_view, 5> kAnalysisCopyHeaders = {"KA", "Abteilung", "Jahr", "Monat",
                                                                         "INT-Patienten"};

struct AnalysisResult {
    std::vector<AnalysisRow> rows;
    // German messages for chosen departments whose database is missing or unreadable; such a
    // department gets no row rather than a count of 0 that it may not have.
    std::vector<std::string> problems;
};

// Analyses the departments in the order given; writes status panels 1 to 3 while it works.
AnalysisResult AnalyseDepartments(const std::vector<Department>& departments,
                                  const std::string& systemDataPath, StatusSink& status);

// The five cells of a row, as the copy and the printed report show them.
std::array<std::string, 5> AnalysisRowCells(const AnalysisRow& row);

// What "Kopieren" puts on the clipboard: the header line, then the rows; cells separated by tabs,
// lines by carriage returns.
std::string AnalysisClipboardText(const std::vector<AnalysisRow>& rows);

}  // namespace kalvora

#include "reports/department_analysis.h"

#include "reports/department_line.h"
#include "reports/line_columns.h"
#include "reports/report_messages.h"
#include "shell/status_sink.h"
#include "store/database.h"
#include "store/file_ops.h"

namespace kalvora {

namespace {

// One row per discharge month (a missing month counts as blank), ascending, with the number of stays
// whose type is "INT" in any letter case (as the engine compares text). Read-only: nothing is stored in the
// department database.
constexpr std::string_view kMonthCounts =
    "SELECT coalesce(DIS_YEARMONTH, ''), sum(TYP = 'INT' COLLATE NOCASE)"
    " FROM \"Gesamt - Patientenadministration\" GROUP BY 1 ORDER BY 1";

void analyseDepartment(const std::string& line, const std::string& systemDataPath, AnalysisResult& result) {
    const std::string path = DepartmentDatabasePath(systemDataPath, line);
    const std::string fileName = DepartmentDatabaseName(line);
    if (!FileExists(path)) {
        result.problems.push_back(report_messages::DepartmentDbMissing(fileName));
        return;
    }
    std::vector<AnalysisRow> rows;
    try {
        Database department(path, OpenMode::ReadOnly);
        Statement months = department.prepare(kMonthCounts);
        while (months.step() == StepResult::Row) {
            const std::string yearMonth = months.text(0);
            rows.push_back({DepartmentHospitalColumn(line), LineColumns(line, 30, 78),
                            LineColumns(yearMonth, 1, 4), LineColumns(yearMonth, 5, 6),
                            std::to_string(months.integer(1))});
        }
    } catch (const StoreError&) {
        result.problems.push_back(report_messages::DepartmentDbUnreadable(fileName));
        return;
    }
    if (rows.empty())
        rows.push_back({DepartmentHospitalColumn(line), LineColumns(line, 30, 81), " ", " ", "0"});
    result.rows.insert(result.rows.end(), rows.begin(), rows.end());
}

void appendRow(std::string& text, const std::array<std::string_view, 5>& cells) {
    for (std::size_t cell = 0; cell < cells.size(); ++cell) {
        if (cell > 0) text += '\t';
        text += cells[cell];
    }
}

}  // namespace

AnalysisResult AnalyseDepartments(const std::vector<std::string>& departmentLines,
                                  const std::string& systemDataPath, StatusSink& status) {
    AnalysisResult result;
    for (const std::string& line : departmentLines) {
        status.setPanel(1, " Analyse...");
        status.setPanel(2, DepartmentHospitalPart(line) + " ");
        status.setPanel(3, DepartmentPanelPart(line) + " ");
        analyseDepartment(line, systemDataPath, result);
    }
    status.setPanel(1, " Bereit");
    status.setPanel(2, " ");
    status.setPanel(3, " ");
    return result;
}

std::string AnalysisClipboardText(const std::vector<AnalysisRow>& rows) {
    std::string text;
    appendRow(text, kAnalysisCopyHeaders);
    text += '\r';
    for (std::size_t index = 0; index < rows.size(); ++index) {
        if (index > 0) text += '\r';
        const AnalysisRow& row = rows[index];
        appendRow(text, {row.hospital, row.department, row.year, row.month, row.count});
    }
    return text;
}

}  // namespace kalvora

#include "reports/department_analysis_chart.h"

#include <algorithm>
#include <map>
#include <optional>
#include <stdexcept>
#include <utility>

#include "base/text.h"
#include "reports/department_line.h"

namespace kalvora {

namespace {

// Months counted from January of year 0, so that neighbouring months differ by one.
using MonthNumber = long long;

MonthNumber NumberOf(const AnalysisChartMonth& month) { return month.year * 12LL + (month.month - 1); }

AnalysisChartMonth MonthOf(MonthNumber number) {
    return {static_cast<int>(number / 12), static_cast<int>(number % 12) + 1};
}

bool AllDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// The month of a row: four digits of a year and a month from 01 to 12; none for a blank or other text.
std::optional<MonthNumber> MonthOfRow(const AnalysisRow& row) {
    if (row.year.size() != 4 || row.month.size() != 2 || !AllDigits(row.year) || !AllDigits(row.month))
        return std::nullopt;
    const int month = std::stoi(row.month);
    if (month < 1 || month > 12) return std::nullopt;
    return NumberOf({std::stoi(row.year), month});
}

// Whether the row was made for the department: same hospital columns and the same department code.
bool RowOfDepartment(const AnalysisRow& row, const Department& department) {
    return row.hospital == DepartmentHospitalColumn(department) &&
           LineColumns(row.department, 1, 8) == DepartmentLineColumns(department, 30, 37);
}

long long CountOf(const AnalysisRow& row) {
    const std::string count = std::string(TrimBlanks(row.count));
    if (!AllDigits(count)) return 0;
    try {
        return std::stoll(count);
    } catch (const std::out_of_range&) {
        return 0;
    }
}

// Hospital code, department code and name: two departments of the same name in two hospitals, or
// of one hospital with names that begin alike, still read differently.
std::string SeriesName(const Department& department) {
    const std::string line = BuildDepartmentLine(department);
    std::string name = std::string(TrimBlanks(LineColumns(line, 1, 4))) + " · " +
                       std::string(TrimBlanks(LineColumns(line, 30, 37)));
    const std::string departmentName = std::string(TrimBlanks(LineColumns(line, 41, 81)));
    if (!departmentName.empty()) name += " " + departmentName;
    return name;
}

// Calendar steps between labels, in months; beyond the table the steps go on as 10, 20, 50, 100,
// ... years.
constexpr MonthNumber kLabelSteps[] = {1, 2, 3, 6, 12, 24, 60};

MonthNumber LabelStep(std::size_t monthsApart) {
    for (MonthNumber step : kLabelSteps) {
        if (step >= static_cast<MonthNumber>(monthsApart)) return step;
    }
    for (MonthNumber years = 10;; years *= 10) {
        for (MonthNumber factor : {1, 2, 5}) {
            if (years * factor * 12 >= static_cast<MonthNumber>(monthsApart)) return years * factor * 12;
        }
    }
}

}  // namespace

std::string MonthLabel(const AnalysisChartMonth& month) {
    std::string label = std::to_string(month.month);
    if (label.size() < 2) label.insert(0, 1, '0');
    std::string year = std::to_string(month.year);
    if (year.size() < 4) year.insert(0, 4 - year.size(), '0');
    return label + "." + year;
}

AnalysisChart MakeAnalysisChart(const std::vector<Department>& analysed,
                                const std::vector<AnalysisRow>& rows) {
    struct ChartDepartment {
        AnalysisChartSeries series;
        std::map<MonthNumber, long long> counts;
    };
    // The rows of one department follow one another in the order of the lines.
    std::vector<ChartDepartment> departments;
    std::optional<MonthNumber> first;
    std::optional<MonthNumber> last;
    std::size_t next = 0;
    for (const Department& source : analysed) {
        if (next >= rows.size() || !RowOfDepartment(rows[next], source)) continue;
        ChartDepartment& department = departments.emplace_back();
        department.series.name = SeriesName(source);
        for (; next < rows.size() && RowOfDepartment(rows[next], source); ++next) {
            const AnalysisRow& row = rows[next];
            const std::optional<MonthNumber> month = MonthOfRow(row);
            if (!month) {
                department.series.withoutMonth += CountOf(row);
                continue;
            }
            department.counts[*month] += CountOf(row);
            first = first ? std::min(*first, *month) : *month;
            last = last ? std::max(*last, *month) : *month;
        }
    }
    AnalysisChart chart;
    if (first) {
        for (MonthNumber month = *first; month <= *last; ++month) chart.months.push_back(MonthOf(month));
    }
    for (ChartDepartment& department : departments) {
        for (const AnalysisChartMonth& month : chart.months) {
            const auto found = department.counts.find(NumberOf(month));
            department.series.counts.push_back(found == department.counts.end() ? 0 : found->second);
        }
        chart.series.push_back(std::move(department.series));
    }
    return chart;
}

std::vector<std::size_t> LabelledMonths(const std::vector<AnalysisChartMonth>& months,
                                        std::size_t monthsApart) {
    const MonthNumber step = LabelStep(monthsApart);
    std::vector<std::size_t> labelled;
    for (std::size_t index = 0; index < months.size(); ++index) {
        if (NumberOf(months[index]) % step == 0) labelled.push_back(index);
    }
    if (labelled.empty() && !months.empty()) labelled.push_back(0);
    return labelled;
}

std::string AnalysisBarText(const AnalysisChart& chart, std::size_t series, std::size_t month) {
    if (series >= chart.series.size() || month >= chart.months.size()) return {};
    const long long count = chart.series[series].counts.at(month);
    return chart.series[series].name + "\n" + MonthLabel(chart.months[month]) + ": " + std::to_string(count) +
           (count == 1 ? " Intensiv-Patient" : " Intensiv-Patienten");
}

std::string WithoutMonthNote(const AnalysisChart& chart) {
    std::string note;
    for (const AnalysisChartSeries& series : chart.series) {
        if (series.withoutMonth == 0) continue;
        note +=
            note.empty() ? "Intensiv-Patienten ohne gültigen Entlassungsmonat (nicht im Diagramm): " : "; ";
        note += series.name + ": " + std::to_string(series.withoutMonth);
    }
    return note;
}

}  // namespace kalvora

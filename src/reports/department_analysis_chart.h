#pragma once
// The department analysis as a bar chart: one series per analysed department over a time axis that
// holds every month from the first to the last discharge month of all of them, with the months that
// get a label, the text a bar shows on hover and the note on stays that have no month on the axis.

#include <cstddef>
#include <string>
#include <vector>

#include "reports/department_analysis.h"

namespace kalvora {

struct AnalysisChartMonth {
    int year = 0;
    int month = 0;  // 1-12
    friend bool operator==(const AnalysisChartMonth&, const AnalysisChartMonth&) = default;
};

// "MM.JJJJ"
std::string MonthLabel(const AnalysisChartMonth& month);

struct AnalysisChartSeries {
    std::string name;  // hospital code · department code and name: "K101 · 12100101 Anästhesie"
    std::vector<long long> counts;  // one per month of the chart
    long long withoutMonth = 0;     // stays whose discharge month is blank or no month JJJJMM
};

struct AnalysisChart {
    std::vector<AnalysisChartMonth> months;  // ascending, none left out between the first and the last
    std::vector<AnalysisChartSeries> series;
};

// `departments` are the analysed departments in the order given to AnalyseDepartments, `rows` its
// result. A department that got no row (its database could not be read) has no series.
AnalysisChart MakeAnalysisChart(const std::vector<Department>& departments,
                                const std::vector<AnalysisRow>& rows);

// The months that get a label on the time axis when labels must stand at least `monthsApart`
// months apart not to overlap: every month, or every 2nd, 3rd or 6th, or the January of every
// 1st, 2nd, 5th, 10th, 20th, ... year. The steps keep to the calendar so that the labels read as a
// scale; at least one month is labelled. Indices into `months`, ascending.
std::vector<std::size_t> LabelledMonths(const std::vector<AnalysisChartMonth>& months,
                                        std::size_t monthsApart);

// What the bar of a series in a month tells on hover: its department, the month and the count.
std::string AnalysisBarText(const AnalysisChart& chart, std::size_t series, std::size_t month);

// The note beside the chart on the stays that have no month on its axis; empty when there are none.
std::string WithoutMonthNote(const AnalysisChart& chart);

}  // namespace kalvora

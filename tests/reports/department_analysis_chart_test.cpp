// The chart of the department analysis: every month of the range of all departments on one axis,
// one series per analysed department, built from the analysis rows; the labelled months, the text
// of a bar and the note on stays without a month.

#include "reports/department_analysis_chart.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/status_sink.h"
#include "reports/department_analysis.h"
#include "reports/department_line.h"
#include "support/department_fixture.h"

namespace kalvora {
namespace {

using test::StayFixture;
using test::SystemFixture;

class SilentStatusSink : public StatusSink {
public:
    void setPanel(int, std::string_view) override {}
};

std::vector<std::string> Names(const AnalysisChart& chart) {
    std::vector<std::string> names;
    for (const AnalysisChartSeries& series : chart.series) names.push_back(series.name);
    return names;
}

std::vector<std::string> Labels(const std::vector<AnalysisChartMonth>& months) {
    std::vector<std::string> labels;
    for (const AnalysisChartMonth& month : months) labels.push_back(MonthLabel(month));
    return labels;
}

std::vector<AnalysisChartMonth> MonthsFrom(int year, int month, int count) {
    std::vector<AnalysisChartMonth> months;
    for (int index = 0; index < count; ++index) {
        months.push_back({year, month});
        if (++month > 12) {
            month = 1;
            ++year;
        }
    }
    return months;
}

TEST(AnalysisChartTest, analysedDepartments_monthsOfAllAscendingWithZerosForMissingMonths) {
    SystemFixture system;
    system.addHospital("K001", "LKH Musterstadt");
    system.addDepartmentName("121010", "Interne Intensiv");
    system.addDepartmentName("121020", "Chirurgische Intensiv");
    system.addDepartmentName("121030", "Kinderintensiv");
    system.addDepartmentName("121040", "Neurointensiv");
    system.addDepartment("K001", "12101001", "12101001.001");
    system.addDepartment("K001", "12102001", "12102001.001");
    system.addDepartment("K001", "12103001", "12103001.001");
    system.addDepartment("K001", "12104001", "12104001.001");
    int number = 0;
    const auto addStay = [&](const std::string& file, const std::string& discharge, const std::string& typ) {
        system.addStay(file,
                       StayFixture{std::to_string(++number), "19600101", "201201010800", discharge, typ});
    };
    // Internal: March twice, January once, one stay without discharge, one that is no ICU stay.
    addStay("12101001.001", "201203010800", "INT");
    addStay("12101001.001", "201203150800", "INT");
    addStay("12101001.001", "201201100800", "INT");
    addStay("12101001.001", "            ", "INT");
    addStay("12101001.001", "201204100800", "NIT");
    // Surgical: February and March of the year before.
    addStay("12102001.001", "201202010800", "INT");
    addStay("12102001.001", "201103010800", "INT");
    // Children: its database is gone. Neuro: no stays at all.
    std::filesystem::remove(system.file("system/12103001.001"));

    const std::vector<Department> departments = LoadDepartments(system.systemPath()).value();
    ASSERT_EQ(departments.size(), 4u);
    SilentStatusSink status;
    const AnalysisResult result = AnalyseDepartments(departments, system.systemPath(), status);
    const AnalysisChart chart = MakeAnalysisChart(departments, result.rows);

    // Every month from the first to the last discharge, also those without one.
    ASSERT_EQ(chart.months.size(), 14u);
    EXPECT_EQ(MonthLabel(chart.months.front()), "03.2011");
    EXPECT_EQ(MonthLabel(chart.months[10]), "01.2012");
    EXPECT_EQ(MonthLabel(chart.months.back()), "04.2012");
    EXPECT_EQ(Names(chart), (std::vector<std::string>{"K001 · 12101001 Interne Intensiv",
                                                      "K001 · 12102001 Chirurgische Intensiv",
                                                      "K001 · 12104001 Neurointensiv"}));
    ASSERT_EQ(chart.series.size(), 3u);
    std::vector<long long> internal(14, 0);
    internal[10] = 1;
    internal[12] = 2;
    EXPECT_EQ(chart.series[0].counts, internal);
    EXPECT_EQ(chart.series[0].withoutMonth, 1);
    std::vector<long long> surgical(14, 0);
    surgical[0] = 1;
    surgical[11] = 1;
    EXPECT_EQ(chart.series[1].counts, surgical);
    EXPECT_EQ(chart.series[1].withoutMonth, 0);
    EXPECT_EQ(chart.series[2].counts, std::vector<long long>(14, 0));
    EXPECT_EQ(chart.series[2].withoutMonth, 0);
}

TEST(AnalysisChartTest, rows_sameMonthOfOneDepartmentAddUpAndUnreadableCountsAreZero) {
    Department row;
    row.kanr = "K001";
    row.hospitalName = "LKH Musterstadt";
    row.abteilung = "12101001";
    row.departmentName = "  Interne Intensiv  ";
    row.dataFile = "12101001.001";
    row.status = "EXTERN";
    const Department firstDepartment = row;
    const std::string first = BuildDepartmentLine(row);
    row.abteilung = "12102001";
    row.departmentName = "";
    row.dataFile = "12102001.001";
    const Department secondDepartment = row;
    const std::string second = BuildDepartmentLine(row);
    const std::string hospital = DepartmentHospitalColumn(row);
    const std::string firstPart = first.substr(29, 49);
    const std::string secondPart = second.substr(29, 49);

    const std::vector<AnalysisRow> rows = {
        {hospital, firstPart, "2012", "05", "3"},  {hospital, firstPart, "2012", "05", " 4"},
        {hospital, firstPart, "2012", "06", "x"},  {hospital, secondPart, " ", " ", "7"},
        {hospital, secondPart, "2012", "04", "2"},
    };
    const AnalysisChart chart = MakeAnalysisChart({firstDepartment, secondDepartment}, rows);

    EXPECT_EQ(Labels(chart.months), (std::vector<std::string>{"04.2012", "05.2012", "06.2012"}));
    // A department without a name is named by its codes.
    EXPECT_EQ(Names(chart),
              (std::vector<std::string>{"K001 · 12101001 Interne Intensiv", "K001 · 12102001"}));
    EXPECT_EQ(chart.series[0].counts, (std::vector<long long>{0, 7, 0}));
    EXPECT_EQ(chart.series[1].counts, (std::vector<long long>{2, 0, 0}));
    EXPECT_EQ(chart.series[1].withoutMonth, 7);

    EXPECT_TRUE(MakeAnalysisChart({firstDepartment, secondDepartment}, {}).series.empty());
}

TEST(AnalysisChartTest, rows_monthsThatAreNoCalendarMonthCountWithoutMonth) {
    Department row;
    row.kanr = "K001";
    row.hospitalName = "LKH Musterstadt";
    row.abteilung = "12101001";
    row.departmentName = "Interne Intensiv";
    row.dataFile = "12101001.001";
    const std::string line = BuildDepartmentLine(row);
    const std::string hospital = DepartmentHospitalColumn(row);
    const std::string part = line.substr(29, 49);
    const std::vector<AnalysisRow> rows = {
        {hospital, part, "2012", "00", "1"},  {hospital, part, "2012", "13", "2"},
        {hospital, part, "201", "2 ", "4"},   {hospital, part, "2012", "11", "8"},
        {hospital, part, "2013", "02", "16"},
    };
    const AnalysisChart chart = MakeAnalysisChart({row}, rows);

    EXPECT_EQ(Labels(chart.months), (std::vector<std::string>{"11.2012", "12.2012", "01.2013", "02.2013"}));
    EXPECT_EQ(chart.series.at(0).counts, (std::vector<long long>{8, 0, 0, 16}));
    EXPECT_EQ(chart.series.at(0).withoutMonth, 7);
    EXPECT_EQ(
        WithoutMonthNote(chart),
        "Intensiv-Patienten ohne gültigen Entlassungsmonat (nicht im Diagramm): K001 · 12101001 Interne "
        "Intensiv: 7");
    EXPECT_EQ(AnalysisBarText(chart, 0, 3),
              "K001 · 12101001 Interne Intensiv\n02.2013: 16 Intensiv-Patienten");
    EXPECT_EQ(AnalysisBarText(chart, 0, 1),
              "K001 · 12101001 Interne Intensiv\n12.2012: 0 Intensiv-Patienten");
    EXPECT_EQ(AnalysisBarText(chart, 1, 0), "");
}

TEST(AnalysisChartTest, withoutStaysLackingAMonth_noteIsEmpty) {
    AnalysisChart chart;
    chart.series.push_back({"K001 · 12101001", {3}, 0});
    EXPECT_EQ(WithoutMonthNote(chart), "");
}

TEST(AnalysisChartTest, LabelledMonths_keepToTheCalendarAndStandFarEnoughApart) {
    const std::vector<AnalysisChartMonth> tenYears = MonthsFrom(2016, 1, 120);
    EXPECT_EQ(LabelledMonths(tenYears, 1).size(), 120u);
    EXPECT_EQ(LabelledMonths(tenYears, 0).size(), 120u);

    // Four months apart: every sixth month, January and July.
    const std::vector<std::size_t> halfYears = LabelledMonths(tenYears, 4);
    ASSERT_EQ(halfYears.size(), 20u);
    EXPECT_EQ(MonthLabel(tenYears[halfYears[0]]), "01.2016");
    EXPECT_EQ(MonthLabel(tenYears[halfYears[1]]), "07.2016");

    const std::vector<std::size_t> years = LabelledMonths(tenYears, 7);
    ASSERT_EQ(years.size(), 10u);
    for (std::size_t label = 0; label < years.size(); ++label)
        EXPECT_EQ(MonthLabel(tenYears[years[label]]), "01." + std::to_string(2016 + label));

    const std::vector<std::size_t> everySecondYear = LabelledMonths(tenYears, 13);
    ASSERT_EQ(everySecondYear.size(), 5u);
    EXPECT_EQ(MonthLabel(tenYears[everySecondYear[1]]), "01.2018");

    // Far more months than labels: every fifth, tenth, ... year.
    const std::vector<AnalysisChartMonth> century = MonthsFrom(1950, 3, 1200);
    const std::vector<std::size_t> decades = LabelledMonths(century, 100);
    ASSERT_EQ(decades.size(), 10u);
    EXPECT_EQ(MonthLabel(century[decades[0]]), "01.1960");
    EXPECT_EQ(MonthLabel(century[decades[9]]), "01.2050");

    // Labels of a short range start at the calendar step, not at the first month.
    const std::vector<AnalysisChartMonth> autumn = MonthsFrom(2016, 8, 6);
    const std::vector<std::size_t> quarters = LabelledMonths(autumn, 3);
    ASSERT_EQ(quarters.size(), 2u);
    EXPECT_EQ(MonthLabel(autumn[quarters[0]]), "10.2016");
    EXPECT_EQ(MonthLabel(autumn[quarters[1]]), "01.2017");
    // No step of the calendar falls into the range: its first month is labelled.
    EXPECT_EQ(LabelledMonths(MonthsFrom(2016, 8, 3), 6), std::vector<std::size_t>{0});
    EXPECT_TRUE(LabelledMonths({}, 1).empty());
}

}  // namespace
}  // namespace kalvora

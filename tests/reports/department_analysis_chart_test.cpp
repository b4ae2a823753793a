// The chart of the department analysis: months of all departments on one axis, one series per
// analysed department, built from the analysis rows.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "reports/department_analysis.h"
#include "reports/department_line.h"
#include "shell/status_sink.h"
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

    const std::vector<std::string> lines = LoadDepartmentLines(system.systemPath()).lines;
    ASSERT_EQ(lines.size(), 4u);
    SilentStatusSink status;
    const AnalysisResult result = AnalyseDepartments(lines, system.systemPath(), status);
    const AnalysisChart chart = MakeAnalysisChart(lines, result.rows);

    EXPECT_EQ(chart.months,
              (std::vector<std::string>{"03.2011", "01.2012", "02.2012", "03.2012", "04.2012"}));
    EXPECT_EQ(Names(chart),
              (std::vector<std::string>{"Interne Intensiv", "Chirurgische Intensiv", "Neurointensiv"}));
    ASSERT_EQ(chart.series.size(), 3u);
    EXPECT_EQ(chart.series[0].counts, (std::vector<long long>{0, 1, 0, 2, 0}));
    EXPECT_EQ(chart.series[1].counts, (std::vector<long long>{1, 0, 1, 0, 0}));
    EXPECT_EQ(chart.series[2].counts, (std::vector<long long>{0, 0, 0, 0, 0}));
}

TEST(AnalysisChartTest, rows_sameMonthOfOneDepartmentAddUpAndUnreadableCountsAreZero) {
    DepartmentRow row;
    row.kanr = "K001";
    row.hospitalName = "LKH Musterstadt";
    row.abteilung = "12101001";
    row.departmentName = "  Interne Intensiv  ";
    row.mdbDatei = "12101001.001";
    row.status = "EXTERN";
    const std::string first = BuildDepartmentLine(row);
    row.abteilung = "12102001";
    row.departmentName = "";
    row.mdbDatei = "12102001.001";
    const std::string second = BuildDepartmentLine(row);
    const std::string hospital = DepartmentHospitalColumn(first);
    const std::string firstPart = first.substr(29, 49);
    const std::string secondPart = second.substr(29, 49);

    const std::vector<AnalysisRow> rows = {
        {hospital, firstPart, "2012", "05", "3"},  {hospital, firstPart, "2012", "05", " 4"},
        {hospital, firstPart, "2012", "06", "x"},  {hospital, secondPart, " ", " ", "7"},
        {hospital, secondPart, "2012", "04", "2"},
    };
    const AnalysisChart chart = MakeAnalysisChart({first, second}, rows);

    EXPECT_EQ(chart.months, (std::vector<std::string>{"04.2012", "05.2012", "06.2012"}));
    // A department without a name is named by its code.
    EXPECT_EQ(Names(chart), (std::vector<std::string>{"Interne Intensiv", "12102001"}));
    EXPECT_EQ(chart.series[0].counts, (std::vector<long long>{0, 7, 0}));
    EXPECT_EQ(chart.series[1].counts, (std::vector<long long>{2, 0, 0}));

    EXPECT_TRUE(MakeAnalysisChart({first, second}, {}).series.empty());
}

}  // namespace
}  // namespace kalvora

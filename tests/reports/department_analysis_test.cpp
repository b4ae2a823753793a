#include "reports/department_analysis.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "base/status_sink.h"
#include "reports/department_line.h"
#include "store/database.h"
#include "support/department_fixture.h"

namespace kalvora {
namespace {

using test::StayFixture;
using test::SystemFixture;

class RecordingStatusSink : public StatusSink {
public:
    void setPanel(int panel, std::string_view text) override { panels[panel] = std::string(text); }
    std::map<int, std::string> panels;
};

class AnalysisTest : public ::testing::Test {
protected:
    void SetUp() override {
        system.addHospital("K001", "LKH Musterstadt");
        system.addDepartmentName("121010", "Interne Intensiv");
    }
    std::vector<Department> departments() { return LoadDepartments(system.systemPath()).value(); }

    SystemFixture system;
    RecordingStatusSink status;
};

TEST_F(AnalysisTest, months_countIntStaysAscendingWithBlankMonthFirst) {
    system.addDepartment("K001", "12101001", "12101001.001");
    const char* discharges[] = {"201203010800", "201201100800", "201203150800", "            ",
                                "201202010800"};
    int number = 0;
    for (const char* discharge : discharges) {
        StayFixture stay{std::to_string(++number), "19600101", "201201010800", discharge};
        system.addStay("12101001.001", stay);
    }
    StayFixture other{"99", "19600101", "201201010800", "201203200800", "XYZ"};
    system.addStay("12101001.001", other);

    AnalysisResult result = AnalyseDepartments(departments(), system.systemPath(), status);

    ASSERT_TRUE(result.problems.empty());
    ASSERT_EQ(result.rows.size(), 4U);
    EXPECT_EQ(result.rows[0].year, "    ");
    EXPECT_EQ(result.rows[0].month, "  ");
    EXPECT_EQ(result.rows[0].count, "1");
    EXPECT_EQ(result.rows[1].year + result.rows[1].month + result.rows[1].count, "2012011");
    EXPECT_EQ(result.rows[2].year + result.rows[2].month + result.rows[2].count, "2012021");
    EXPECT_EQ(result.rows[3].year + result.rows[3].month + result.rows[3].count, "2012032");
    EXPECT_EQ(result.rows[1].hospital, "K001 - LKH Musterstadt     ");
    EXPECT_EQ(result.rows[1].department, "12101001 - Interne Intensiv" + std::string(22, ' '));
    EXPECT_EQ(status.panels[1], " Bereit");
    EXPECT_EQ(status.panels[2], " ");
    EXPECT_EQ(status.panels[3], " ");
}

TEST_F(AnalysisTest, departmentWithoutIntStays_countsZeroPerMonth) {
    system.addDepartment("K001", "12101001", "12101001.001");
    system.addStay("12101001.001", {"1", "19600101", "201201010800", "201201050800", ""});

    AnalysisResult result = AnalyseDepartments(departments(), system.systemPath(), status);

    ASSERT_EQ(result.rows.size(), 1U);
    EXPECT_EQ(result.rows[0].month, "01");
    EXPECT_EQ(result.rows[0].count, "0");
}

TEST_F(AnalysisTest, emptyDepartment_givesOneBlankRowWithZero) {
    system.addDepartment("K001", "12101001", "12101001.001");

    AnalysisResult result = AnalyseDepartments(departments(), system.systemPath(), status);

    ASSERT_EQ(result.rows.size(), 1U);
    EXPECT_EQ(result.rows[0].department, "12101001 - Interne Intensiv" + std::string(25, ' '));
    EXPECT_EQ(result.rows[0].year, " ");
    EXPECT_EQ(result.rows[0].month, " ");
    EXPECT_EQ(result.rows[0].count, "0");
}

TEST_F(AnalysisTest, analysis_leavesNoStoredObjectInDepartmentDatabase) {
    const std::string path = system.addDepartment("K001", "12101001", "12101001.001");
    system.addStay("12101001.001", {"1", "19600101", "201201010800", "201201050800"});
    auto schemaCount = [&] {
        return Database(path, OpenMode::ReadOnly).scalar("SELECT count(*) FROM sqlite_master");
    };
    const long long before = schemaCount();

    AnalyseDepartments(departments(), system.systemPath(), status);

    EXPECT_EQ(schemaCount(), before);
}

TEST_F(AnalysisTest, missingDatabase_isNamedAndOthersStillAnalysed) {
    system.addDepartment("K001", "12101001", "12101001.001");
    system.addDepartment("K001", "12101002", "12101002.001");
    std::filesystem::remove(system.file("system/12101001.001"));

    AnalysisResult result = AnalyseDepartments(departments(), system.systemPath(), status);

    ASSERT_EQ(result.rows.size(), 1U);
    EXPECT_EQ(result.rows[0].department.substr(0, 8), "12101002");
    ASSERT_EQ(result.problems.size(), 1U);
    EXPECT_EQ(result.problems[0], "Die Abteilungsdatenbank 12101001.001 fehlt im Systemdatenverzeichnis!");
}

TEST_F(AnalysisTest, noDepartment_onlyStatusReset) {
    AnalysisResult result = AnalyseDepartments({}, system.systemPath(), status);
    EXPECT_TRUE(result.rows.empty());
    EXPECT_EQ(status.panels[1], " Bereit");
}

TEST(AnalysisClipboard, text_isTabSeparatedWithCarriageReturns) {
    std::vector<AnalysisRow> rows = {{"KA1", "Abt1", "2012", "01", "3"}, {"KA2", "Abt2", " ", " ", "0"}};
    EXPECT_EQ(AnalysisClipboardText(rows),
              "KA\tAbteilung\tJahr\tMonat\tINT-Patienten\rKA1\tAbt1\t2012\t01\t3\rKA2\tAbt2\t \t \t0");
}

}  // namespace
}  // namespace kalvora

// The analysis counts the months in the program; these tests hold its rows against the engine's own
// grouping of the same stays, with months and types as unusual as the table allows.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/status_sink.h"
#include "base/text.h"
#include "reports/department_analysis.h"
#include "reports/department_line.h"
#include "store/database.h"
#include "support/department_fixture.h"

namespace kalvora {
namespace {

constexpr std::string_view kEngineGrouping =
    "SELECT coalesce(DIS_YEARMONTH, ''), sum(TYP = 'INT' COLLATE NOCASE)"
    " FROM \"Gesamt - Patientenadministration\" GROUP BY 1 ORDER BY 1";

// Year, month and count of each row, as the engine groups the stays.
std::vector<std::string> EngineRows(const std::string& path) {
    Database department(path, OpenMode::ReadOnly);
    Statement months = department.prepare(kEngineGrouping);
    std::vector<std::string> rows;
    while (months.step() == StepResult::Row) {
        const std::string month = months.text(0);
        rows.push_back(LineColumns(month, 1, 4) + "|" + LineColumns(month, 5, 6) + "|" +
                       std::to_string(months.integer(1)));
    }
    return rows;
}

std::vector<std::string> AnalysedRows(const AnalysisResult& result) {
    std::vector<std::string> rows;
    for (const AnalysisRow& row : result.rows) rows.push_back(row.year + "|" + row.month + "|" + row.count);
    return rows;
}

TEST(AnalysisMonthsTest, AnalyseDepartments_randomMonthsAndTypes_matchEngineGrouping) {
    test::SystemFixture system;
    system.addHospital("K001", "LKH Musterstadt");
    system.addDepartmentName("121010", "Interne Intensiv");
    const std::string path = system.addDepartment("K001", "12101001", "12101001.001");
    {
        Database department(path);
        Statement insert = department.prepare(
            "INSERT INTO \"Gesamt - Patientenadministration\" (KIS_ID, DOB, ADM_DATE, DIS_YEARMONTH, TYP)"
            " VALUES (?, '19600101', '201201010800', ?, ?)");
        // Months out of order, blank, missing, longer and shorter than six characters, and
        // stored as blobs (which sort after every text); types in every letter case and near misses.
        const std::vector<std::string> months = {"201203", "201201",     "201112", "      ",
                                                 "",       "NULL",       "2012",   "20120312",
                                                 "2012x1", "BLOB201202", "BLOB",   "201203 "};
        const std::vector<std::string> types = {"INT", "int",  "Int",     "INT ", "IN",
                                                "",    "NULL", "BLOBINT", "ÍNT",  "XYZ"};
        std::mt19937 random(5);
        for (int stay = 0; stay < 500; ++stay) {
            const std::string& month = months[random() % months.size()];
            const std::string& type = types[random() % types.size()];
            insert.bind(1, std::to_string(stay));
            for (const auto& [index, value] : {std::pair{2, month}, std::pair{3, type}}) {
                if (value == "NULL")
                    insert.bindNull(index);
                else if (value.rfind("BLOB", 0) == 0)
                    insert.bind(index, value.substr(4));  // bound as text, made a blob below
                else
                    insert.bind(index, std::string_view(value));
            }
            insert.run();
            if (month.rfind("BLOB", 0) == 0 || type.rfind("BLOB", 0) == 0) {
                Statement toBlob = department.prepare(
                    std::string("UPDATE \"Gesamt - Patientenadministration\" SET ") +
                    (month.rfind("BLOB", 0) == 0 ? "DIS_YEARMONTH = CAST(DIS_YEARMONTH AS BLOB)"
                                                 : "TYP = CAST(TYP AS BLOB)") +
                    " WHERE KIS_ID = ?");
                toBlob.bind(1, std::to_string(stay)).run();
            }
        }
    }

    NullStatusSink status;
    const AnalysisResult result =
        AnalyseDepartments(LoadDepartments(system.systemPath()).value(), system.systemPath(), status);

    ASSERT_TRUE(result.problems.empty());
    const std::vector<std::string> expected = EngineRows(path);
    EXPECT_GT(expected.size(), 8U);
    EXPECT_EQ(AnalysedRows(result), expected);
}

}  // namespace
}  // namespace kalvora

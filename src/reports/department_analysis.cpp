#include "reports/department_analysis.h"

#include <functional>
#include <map>
#include <utility>

#include "base/status_sink.h"
#include "base/text.h"
#include "reports/department_line.h"
#include "store/department_database.h"
#include "store/file_ops.h"
#include "store/stored_data_messages.h"

namespace kalvora {

namespace {

// One row per discharge month (a missing month counts as blank), ascending, with the number of stays
// whose type is "INT" in any letter case (as the engine compares text). Months are ordered as the
// engine orders them: texts byte by byte, and after all texts any month stored as a blob.
// Read-only: nothing is stored in the department database.
class MonthCounts {
public:
    void add(std::string_view month, bool intensive, bool blob) {
        // Stays mostly follow one another in time, so a stay's month is most often the one before.
        if (last_ == nullptr || lastIsBlob_ != blob || last_->first != month) {
            auto& counts = blob ? blobs_ : texts_;
            auto entry = counts.find(month);
            if (entry == counts.end()) entry = counts.emplace(std::string(month), 0).first;
            last_ = &*entry;
            lastIsBlob_ = blob;
        }
        if (intensive) ++last_->second;
    }

    template <typename Visit>
    void forEachAscending(Visit visit) const {
        for (const auto& [month, count] : texts_) visit(month, count);
        for (const auto& [month, count] : blobs_) visit(month, count);
    }

private:
    std::map<std::string, long long, std::less<>> texts_;
    std::map<std::string, long long, std::less<>> blobs_;
    std::pair<const std::string, long long>* last_ = nullptr;
    bool lastIsBlob_ = false;
};

void analyseDepartment(const Department& department, const std::string& systemDataPath,
                       AnalysisResult& result) {
    const std::string path = DepartmentDatabasePath(systemDataPath, department);
    const std::string fileName = department.fileName();
    if (!FileExists(path)) {
        result.problems.push_back(stored_data_messages::DepartmentDbMissing(fileName));
        return;
    }
    MonthCounts months;
    try {
        ReadCurrentFile([&] {
            months = MonthCounts();
            DepartmentDatabase::ForReading(path).forEachStayMonth(
                [&](const StayMonth& stay) { months.add(stay.month, stay.intensive, stay.blob); });
        });
    } catch (const StoreError&) {
        result.problems.push_back(stored_data_messages::DepartmentDbUnreadable(fileName));
        return;
    }
    std::vector<AnalysisRow> rows;
    months.forEachAscending([&](const std::string& yearMonth, long long count) {
        rows.push_back({DepartmentHospitalColumn(department), DepartmentLineColumns(department, 30, 78),
                        LineColumns(yearMonth, 1, 4), LineColumns(yearMonth, 5, 6), std::to_string(count)});
    });
    if (rows.empty())
        rows.push_back(
            {DepartmentHospitalColumn(department), DepartmentLineColumns(department, 30, 81), " ", " ", "0"});
    result.rows.insert(result.rows.end(), rows.begin(), rows.end());
}

void appendRow(std::string& text, const std::array<std::string_view, 5>& cells) {
    for (std::size_t cell = 0; cell < cells.size(); ++cell) {
        if (cell > 0) text += '\t';
        text += cells[cell];
    }
}

}  // namespace

AnalysisResult AnalyseDepartments(const std::vector<Department>& departments,
                                  const std::string& systemDataPath, StatusSink& status) {
    AnalysisResult result;
    for (const Department& department : departments) {
        status.setPanel(1, " Analyse...");
        status.setPanel(2, DepartmentHospitalPart(department) + " ");
        status.setPanel(3, DepartmentPanelPart(department) + " ");
        analyseDepartment(department, systemDataPath, result);
    }
    status.setPanel(1, " Bereit");
    status.setPanel(2, " ");
    status.setPanel(3, " ");
    return result;
}

std::array<std::string, 5> AnalysisRowCells(const AnalysisRow& row) {
    return {row.hospital, row.department, row.year, row.month, row.count};
}

std::string AnalysisClipboardText(const std::vector<AnalysisRow>& rows) {
    std::string text;
    appendRow(text, kAnalysisCopyHeaders);
    text += '\r';
    for (std::size_t index = 0; index < rows.size(); ++index) {
        if (index > 0) text += '\r';
        const auto cells = AnalysisRowCells(rows[index]);
        appendRow(text, {cells[0], cells[1], cells[2], cells[3], cells[4]});
    }
    return text;
}

}  // namespace kalvora

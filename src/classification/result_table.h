#pragma once
// The classification result: one row of 24 columns per classified department, in the order of the
// classification dialog's list, and the table as "Kopieren" puts it on the clipboard.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "base/conversions.h"
#include "base/result.h"
#include "classification/classification_result.h"
#include "classification/classification_run.h"
#include "classification/department_entry.h"

namespace kalvora {

class StatusSink;

inline constexpr std::size_t kResultColumnCount = 24;
using ResultRow = std::array<std::string, kResultColumnCount>;

const std::array<std::string_view, kResultColumnCount>& ResultColumnHeaders();

// How numbers are shown: the notation's separators, and whether whole numbers are grouped by
// thousands ("#,##0": 1.134 in German notation, 1134 in the plain "C" notation).
struct ResultNotation {
    NumberNotation numbers = NumberNotation::German();
    bool groupThousands = true;
    static ResultNotation German() { return {NumberNotation::German(), true}; }
    static ResultNotation Plain() { return {NumberNotation::Plain(), false}; }
};

// The row of a classified department.
ResultRow ClassifiedRow(const ClassificationEntry& entry, const DepartmentInputs& inputs,
                        const ClassificationResult& result, const ClassificationRun& run,
                        const ResultNotation& notation);

// The row of a department whose computation failed: hospital, department and the run's values as
// for every row, the figures empty, the failure in "Kommentar".
ResultRow FailedRow(const ClassificationEntry& entry, const DepartmentInputs& inputs,
                    const ClassificationRun& run, std::string_view failure, const ResultNotation& notation);

// A number shown with as many places as it has ("0,15", "-1,3", "0").
std::string PlainNumberText(const Decimal& value, const NumberNotation& notation);

// The "Kommentar" of a department whose database is missing or cannot be read.
std::string FailureRemark(const std::string& systemDataPath, const DepartmentInputs& inputs);

struct ResultTable {
    std::vector<ResultRow> rows;

    // The 24 headers separated by tabs and ended by a carriage return, then the rows: cells
    // separated by tabs, rows by carriage returns.
    std::string ClipboardText() const;
};

// Classifies every entry in the order given, reporting progress in the status bar panels. A
// department whose computation fails gets a row with the failure in "Kommentar", and the run goes
// on. Fails with the date message when the run's period is not valid.
Result<ResultTable> ClassifyEntries(const std::vector<ClassificationEntry>& entries,
                                    const ClassificationRun& run, const std::string& systemDataPath,
                                    const ResultNotation& notation, StatusSink& status);

}  // namespace kalvora

#include "classification/result_table.h"

#include "base/decimal.h"
#include "base/paths.h"
#include "base/status_sink.h"
#include "classification/classify_department.h"
#include "store/file_ops.h"

namespace kalvora {

namespace {

constexpr std::array<std::string_view, kResultColumnCount> kHeaders = {
    "KA",
    "Abteilung",
    "Stufe",
    "Punkte",
    "TISS-Mittelwert für Einstufung (>=16)",
    "TISS-Mittelwert Gesamt",
    "TISS-Mittelwert über Basiswert",
    "DGKP/sBett",
    "DGKP/sBett über Basiswert",
    "Faktor für Bepunktung",
    "Basispunkte der Stufe",
    "Punkte je 0,1 korr TISS-28",
    "TISS-Tage gemeldet",
    "TISS-Tage für Einstufung",
    "TISS-Tage fehlend",
    "TISS-Ersatzscore",
    "MehrfachTISS verdichten",
    "0-Tage Mindeststunden",
    "Erhebungsdatum von",
    "Erhebungsdatum bis",
    "systemisierte Betten",
    "DGKP",
    "Voreinstufung",
    "Kommentar",
};

enum Column {
    kHospital = 0,
    kDepartment,
    kLevel,
    kPoints,
    kClassificationMean,
    kOverallMean,
    kTissExcess,
    kDgkpPerBed,
    kDgkpExcess,
    kFactor,
    kBasePoints,
    kPointsPerTenth,
    kReportedDays,
    kClassificationDays,
    kMissingDays,
    kSubstitutes,
    kMultiple,
    kMinimumHours,
    kPeriodFrom,
    kPeriodTo,
    kBeds,
    kDgkp,
    kPreset,
    kComment,
};

// "#,##0"
std::string WholeText(long long value, const ResultNotation& notation) {
    return notation.groupThousands ? GroupDigits(value, notation.numbers.groupSeparator)
                                   : std::to_string(value);
}

// "0.0" and "0.00"
std::string PlacesText(const Decimal& value, int places, const ResultNotation& notation) {
    return value.rescaled(places).toText(notation.numbers.decimalSeparator);
}

// The columns every row has, whether its computation succeeded or not.
ResultRow RowFrame(const ClassificationEntry& entry, const DepartmentInputs& inputs,
                   const ClassificationRun& run, const ResultNotation& notation) {
    ResultRow row;
    row[kHospital] = EntryHospitalText(entry);
    row[kDepartment] = EntryDepartmentText(entry);
    row[kSubstitutes] = run.ErsatzTISS;
    row[kMultiple] = run.MehrfachTISS;
    row[kMinimumHours] = run.MindestStd;
    row[kPeriodFrom] = FormatDateCode(run.Erhebungvon, 8);
    row[kPeriodTo] = FormatDateCode(run.Erhebungbis, 8);
    row[kBeds] = std::to_string(inputs.beds);
    row[kDgkp] = PlainNumberText(inputs.dgkp, notation.numbers);
    row[kPreset] = EntryPresetText(entry);
    return row;
}

}  // namespace

const std::array<std::string_view, kResultColumnCount>& ResultColumnHeaders() { return kHeaders; }

std::string PlainNumberText(const Decimal& value, const NumberNotation& notation) {
    std::string text = value.toText(notation.decimalSeparator);
    if (value.places <= 0) return text;
    text.erase(text.find_last_not_of('0') + 1);
    if (!text.empty() && text.back() == notation.decimalSeparator) text.pop_back();
    return text == "-0" ? "0" : text;
}

ResultRow ClassifiedRow(const ClassificationEntry& entry, const DepartmentInputs& inputs,
                        const ClassificationResult& result, const ClassificationRun& run,
                        const ResultNotation& notation) {
    ResultRow row = RowFrame(entry, inputs, run, notation);
    row[kLevel] = result.levelText;
    row[kPoints] = WholeText(result.points, notation);
    row[kClassificationMean] = PlacesText(result.classificationMean, 1, notation);
    row[kOverallMean] = PlacesText(result.overallMean, 1, notation);
    row[kTissExcess] = PlacesText(result.tissExcess, 1, notation);
    row[kDgkpPerBed] = PlacesText(result.dgkpPerBed, 2, notation);
    row[kDgkpExcess] = PlainNumberText(result.dgkpExcess, notation.numbers);
    row[kFactor] = PlacesText(Decimal{result.factor, 0}, 1, notation);
    row[kBasePoints] = WholeText(result.basePoints, notation);
    row[kPointsPerTenth] = PlacesText(result.pointsPerTenth, 1, notation);
    row[kReportedDays] = WholeText(result.reportedDays, notation);
    row[kClassificationDays] = WholeText(result.classificationDays, notation);
    row[kMissingDays] = WholeText(result.missingDays, notation);
    row[kComment] = result.comment;
    return row;
}

ResultRow FailedRow(const ClassificationEntry& entry, const DepartmentInputs& inputs,
                    const ClassificationRun& run, std::string_view failure, const ResultNotation& notation) {
    ResultRow row = RowFrame(entry, inputs, run, notation);
    row[kComment] = std::string(failure);
    return row;
}

std::string FailureRemark(const std::string& systemDataPath, const DepartmentInputs& inputs) {
    const bool present =
        !inputs.dataFileName.empty() && FileExists(JoinPath(systemDataPath, inputs.dataFileName));
    return "* Abteilungsdatenbank " + inputs.dataFileName +
           (present ? " kann nicht gelesen werden *" : " nicht gefunden *");
}

std::string ResultTable::ClipboardText() const {
    std::string text;
    for (std::size_t column = 0; column < kResultColumnCount; ++column) {
        text += kHeaders[column];
        text += column + 1 < kResultColumnCount ? '\t' : '\r';
    }
    for (std::size_t index = 0; index < rows.size(); ++index) {
        if (index > 0) text += '\r';
        for (std::size_t column = 0; column < kResultColumnCount; ++column) {
            if (column > 0) text += '\t';
            text += rows[index][column];
        }
    }
    return text;
}

Result<ResultTable> ClassifyEntries(const std::vector<ClassificationEntry>& entries,
                                    const ClassificationRun& run, const std::string& systemDataPath,
                                    const ResultNotation& notation, StatusSink& status) {
    if (const Outcome checked = CheckClassificationRun(run); !checked) return Failure{checked.message()};
    ResultTable table;
    int position = 0;
    for (const ClassificationEntry& entry : entries) {
        status.setPanel(1, " Einstufung...");
        status.setPanel(2, EntryHospitalText(entry) + " ");
        status.setPanel(3, EntryDepartmentText(entry) + " ");
        const DepartmentInputs inputs = DepartmentInputsOf(entry, notation.numbers);
        const Result<ClassificationResult> result = ClassifyDepartment(systemDataPath, run, inputs);
        table.rows.push_back(
            result ? ClassifiedRow(entry, inputs, *result, run, notation)
                   : FailedRow(entry, inputs, run, FailureRemark(systemDataPath, inputs), notation));
        Progress progress;
        progress.fileIndex = ++position;
        progress.fileCount = static_cast<int>(entries.size());
        status.yield(progress);
    }
    status.setPanel(1, " Bereit");
    status.setPanel(2, " ");
    status.setPanel(3, " ");
    return table;
}

}  // namespace kalvora

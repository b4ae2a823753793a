// kalvora-cli stay DB KIS_ID DOB ADM_DATE: the base data and survey days of one ICU stay as
// Key=Value lines, values as stored. Each survey day starts with its REC_DATE line.

#include "cli/cli_context.h"
#include "cli/report_arguments.h"
#include "reports/department_line.h"
#include "reports/line_columns.h"
#include "reports/report_messages.h"
#include "reports/stay_detail.h"

namespace kalvora::cli {

namespace {

struct StayOptions {
    std::string fileName;
    std::string admissionNumber;
    std::string birthDate;
    std::string admissionTime;
};

void printDetail(CliContext& context, const std::string& departmentLine, const StayDetail& detail) {
    std::ostream& out = context.out;
    out << "KA=" << TrimmedBlanks(DepartmentHospitalPart(departmentLine)) << '\n';
    out << "ABTEILUNG=" << TrimmedBlanks(DepartmentPart(departmentLine)) << '\n';
    out << "KIS_ID=" << detail.kisId << '\n';
    out << "DOB=" << detail.dob << '\n';
    out << "ADM_DATE=" << detail.admDate << '\n';
    out << "DIS_DATE=" << detail.disDate << '\n';
    out << "ICU_OUTCOME=" << detail.icuOutcome << '\n';
    out << "HOSP_DIS_DATE=" << detail.hospDisDate << '\n';
    out << "HOSP_MORT=" << detail.hospMort << '\n';
    out << "TYP=" << detail.typ << '\n';
    for (const SurveyDay& day : detail.surveyDays) {
        out << "REC_DATE=" << day.recordDate << '\n';
        for (std::size_t item = 0; item < day.items.size(); ++item)
            out << TissItems()[item].field << '=' << day.items[item] << '\n';
        out << "T28_SCORE=" << day.score << '\n';
    }
}

int runStay(CliContext& context, const StayOptions& options) {
    DepartmentLines list = ReadDepartmentList(context, true);
    if (!list.ok()) return list.exitCode;
    DepartmentLines chosen = ChooseNamedDepartments(context, list.lines, {options.fileName});
    if (!chosen.ok()) return chosen.exitCode;
    const std::string& line = chosen.lines.front();

    // The admission number is stored with 10 characters; a shorter one is meant with blanks after it.
    StayKey key{FixedWidth(options.admissionNumber, 10), options.birthDate, options.admissionTime};
    StayDetailResult result =
        LoadStayDetail(DepartmentDatabasePath(context.settings().SystemDataPath, line), key);
    if (!result.detail) return context.fail(result.error);
    printDetail(context, line, *result.detail);
    if (!result.detail->hasRecordType1) PrintMessage(context, report_messages::NoRecordType1);
    if (result.detail->surveyDays.empty()) PrintMessage(context, report_messages::NoSurveyDays);
    return kExitDone;
}

}  // namespace

void RegisterStayCommand(CLI::App& app, CommandAction& action) {
    auto options = std::make_shared<StayOptions>();
    CLI::App* command = app.add_subcommand("stay", "Basisdaten und Erhebungstage eines Aufenthalts ausgeben");
    command->add_option("DB", options->fileName, "Datenbankdatei der Abteilung (MDB_DATEI)")->required();
    command->add_option("KIS_ID", options->admissionNumber, "Aufnahmezahl")->required();
    command->add_option("DOB", options->birthDate, "Geburtsdatum (JJJJMMTT)")->required();
    command->add_option("ADM_DATE", options->admissionTime, "Aufnahmezeitpunkt (JJJJMMTThhmm)")->required();
    command->callback([options, &action] {
        action = [options](CliContext& context) { return runStay(context, *options); };
    });
}

}  // namespace kalvora::cli

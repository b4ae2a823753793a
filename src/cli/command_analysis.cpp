// kalvora-cli analysis DB...: the department analysis as its "Kopieren" puts it on the clipboard.

#include "base/status_sink.h"
#include "cli/cli_context.h"
#include "cli/report_arguments.h"
#include "reports/department_analysis.h"
#include "reports/department_analysis_chart.h"

namespace kalvora::cli {

namespace {

int runAnalysis(CliContext& context, const std::vector<std::string>& fileNames, const std::string& pdf) {
    DepartmentsRead list = ReadDepartmentList(context, true);
    if (!list.ok()) return list.exitCode;
    DepartmentsRead chosen = ChooseNamedDepartments(context, list.departments, fileNames);
    if (!chosen.ok()) return chosen.exitCode;
    NullStatusSink status;
    AnalysisResult result = AnalyseDepartments(chosen.departments, context.settings().SystemDataPath, status);
    context.out << ClipboardTextForOutput(AnalysisClipboardText(result.rows));
    for (const std::string& problem : result.problems) PrintMessage(context, problem);
    const int written = WritePdfReport(context, pdf, [&] {
        return AnalysisPrintedReport(result, MakeAnalysisChart(chosen.departments, result.rows), TodayText());
    });
    if (written != kExitDone) return written;
    return result.problems.empty() ? kExitDone : kExitFailed;
}

}  // namespace

void RegisterAnalysisCommand(CLI::App& app, CommandAction& action) {
    auto fileNames = std::make_shared<std::vector<std::string>>();
    auto pdf = std::make_shared<std::string>();
    CLI::App* command = app.add_subcommand("analysis", "Intensivpatienten je Entlassungsmonat zählen");
    command->add_option("DB", *fileNames, "Datenbankdateien der Abteilungen (MDB_DATEI)")->required();
    AddPdfOption(command, *pdf);
    command->callback([fileNames, pdf, &action] {
        action = [fileNames, pdf](CliContext& context) { return runAnalysis(context, *fileNames, *pdf); };
    });
}

}  // namespace kalvora::cli

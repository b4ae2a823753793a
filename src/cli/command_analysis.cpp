// kalvora-cli analysis DB...: the department analysis as its "Kopieren" puts it on the clipboard.

#include "base/status_sink.h"
#include "cli/cli_context.h"
#include "cli/report_arguments.h"
#include "reports/department_analysis.h"

namespace kalvora::cli {

namespace {

int runAnalysis(CliContext& context, const std::vector<std::string>& fileNames) {
    DepartmentsRead list = ReadDepartmentList(context, true);
    if (!list.ok()) return list.exitCode;
    DepartmentsRead chosen = ChooseNamedDepartments(context, list.departments, fileNames);
    if (!chosen.ok()) return chosen.exitCode;
    NullStatusSink status;
    AnalysisResult result = AnalyseDepartments(chosen.departments, context.settings().SystemDataPath, status);
    context.out << ClipboardTextForOutput(AnalysisClipboardText(result.rows));
    for (const std::string& problem : result.problems) PrintMessage(context, problem);
    return result.problems.empty() ? kExitDone : kExitFailed;
}

}  // namespace

void RegisterAnalysisCommand(CLI::App& app, CommandAction& action) {
    auto fileNames = std::make_shared<std::vector<std::string>>();
    CLI::App* command = app.add_subcommand("analysis", "Intensivpatienten je Entlassungsmonat zählen");
    command->add_option("DB", *fileNames, "Datenbankdateien der Abteilungen (MDB_DATEI)")->required();
    command->callback([fileNames, &action] {
        action = [fileNames](CliContext& context) { return runAnalysis(context, *fileNames); };
    });
}

}  // namespace kalvora::cli

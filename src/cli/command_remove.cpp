// kalvora-cli remove DB...: removes the data of the named departments (database file and
// administration row). The command line has chosen, so no question is asked.

#include "base/status_sink.h"
#include "cli/cli_context.h"
#include "cli/report_arguments.h"
#include "reports/department_removal.h"

namespace kalvora::cli {

namespace {

int runRemove(CliContext& context, const std::vector<std::string>& fileNames) {
    DepartmentsRead list = ReadDepartmentList(context, true);
    if (!list.ok()) return list.exitCode;
    DepartmentsRead chosen = ChooseNamedDepartments(context, list.departments, fileNames);
    if (!chosen.ok()) return chosen.exitCode;
    NullStatusSink status;
    RemovalResult result = RemoveDepartments(chosen.departments, context.settings().SystemDataPath, status);
    if (result.failed()) return context.fail(result.failure);
    int exitCode = kExitDone;
    for (const DepartmentRemoval& removal : result.departments) {
        const std::string message = RemovalMessage(removal);
        if (!message.empty()) PrintMessage(context, message);
        if (!LeavesDepartmentList(removal.outcome) || removal.outcome == RemovalOutcome::NotRegistered)
            exitCode = kExitFailed;
    }
    return exitCode;
}

}  // namespace

void RegisterRemoveCommand(CLI::App& app, CommandAction& action) {
    auto fileNames = std::make_shared<std::vector<std::string>>();
    CLI::App* command = app.add_subcommand("remove", "Daten von Abteilungen entfernen");
    command->add_option("DB", *fileNames, "Datenbankdateien der Abteilungen (MDB_DATEI)")->required();
    command->callback([fileNames, &action] {
        action = [fileNames](CliContext& context) { return runRemove(context, *fileNames); };
    });
}

}  // namespace kalvora::cli

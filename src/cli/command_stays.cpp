// kalvora-cli stays DB: the patient list of one department, one patient line per stay.

#include "cli/cli_context.h"
#include "cli/report_arguments.h"
#include "reports/department_line.h"
#include "reports/patient_line.h"

namespace kalvora::cli {

namespace {

int runStays(CliContext& context, const std::string& fileName) {
    DepartmentsRead list = ReadDepartmentList(context, true);
    if (!list.ok()) return list.exitCode;
    DepartmentsRead chosen = ChooseNamedDepartments(context, list.departments, {fileName});
    if (!chosen.ok()) return chosen.exitCode;
    const Result<std::vector<StayOverview>> stays = LoadPatientStays(
        DepartmentDatabasePath(context.settings().SystemDataPath, chosen.departments.front()));
    if (!stays) return context.fail(stays.message());
    for (const StayOverview& stay : *stays) context.out << PrintableText(BuildPatientLine(stay)) << '\n';
    return kExitDone;
}

}  // namespace

void RegisterStaysCommand(CLI::App& app, CommandAction& action) {
    auto fileName = std::make_shared<std::string>();
    CLI::App* command = app.add_subcommand("stays", "Patientenliste einer Abteilung ausgeben");
    command->add_option("DB", *fileName, "Datenbankdatei der Abteilung (MDB_DATEI)")->required();
    command->callback([fileName, &action] {
        action = [fileName](CliContext& context) { return runStays(context, *fileName); };
    });
}

}  // namespace kalvora::cli

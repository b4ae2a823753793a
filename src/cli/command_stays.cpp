// kalvora-cli stays DB: the patient list of one department, one patient line per stay.

#include "cli/cli_context.h"
#include "cli/report_arguments.h"
#include "reports/department_line.h"
#include "reports/patient_line.h"

namespace kalvora::cli {

namespace {

int runStays(CliContext& context, const std::string& fileName) {
    DepartmentLines list = ReadDepartmentList(context, true);
    if (!list.ok()) return list.exitCode;
    DepartmentLines chosen = ChooseNamedDepartments(context, list.lines, {fileName});
    if (!chosen.ok()) return chosen.exitCode;
    PatientList patients =
        LoadPatientLines(DepartmentDatabasePath(context.settings().SystemDataPath, chosen.lines.front()));
    if (!patients.error.empty()) return context.fail(patients.error);
    for (const std::string& line : patients.lines) context.out << PrintableText(line) << '\n';
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

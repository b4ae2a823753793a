// kalvora-cli departments: the department list of the ICU report, one department line each.

#include "cli/cli_context.h"
#include "cli/report_arguments.h"
#include "reports/department_line.h"

namespace kalvora::cli {

void RegisterDepartmentsCommand(CLI::App& app, CommandAction& action) {
    CLI::App* command = app.add_subcommand("departments", "Abteilungsliste des Intensivberichts ausgeben");
    command->callback([&action] {
        action = [](CliContext& context) {
            DepartmentsRead list = ReadDepartmentList(context, false);
            if (!list.ok()) return list.exitCode;
            for (const Department& department : list.departments)
                context.out << PrintableText(BuildDepartmentLine(department)) << '\n';
            return kExitDone;
        };
    });
}

}  // namespace kalvora::cli

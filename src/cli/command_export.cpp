// kalvora-cli export: the total database of the chosen departments (default: all) in the export
// directory.

#include "base/status_sink.h"
#include "cli/cli_context.h"
#include "cli/report_arguments.h"
#include "export/total_export.h"
#include "store/schema.h"

namespace kalvora::cli {

namespace {

struct ExportOptions {
    std::string output = std::string(files::DefaultExportDb);
    std::vector<std::string> fileNames;
};

int runExport(CliContext& context, const ExportOptions& options) {
    DepartmentsRead list = ReadDepartmentList(context, true);
    if (!list.ok()) return list.exitCode;
    DepartmentsRead chosen = options.fileNames.empty()
                                 ? list
                                 : ChooseNamedDepartments(context, list.departments, options.fileNames);
    if (!chosen.ok()) return chosen.exitCode;

    const Settings& settings = context.settings();
    ExportRequest request{chosen.departments, options.output, settings.SystemDataPath,
                          settings.ExportDataPath};
    NullStatusSink status;
    const Result<ExportDone> result = ExportTotalDatabase(request, status);
    if (!result) return context.fail(result.message());
    context.out << ExportSuccessText(0).substr(1) << '\n';
    if (result->refusedRows > 0) {
        const std::string refused = RefusedRowsText(result->refusedRows).substr(1);
        context.out << refused << '\n';
        context.err << refused << '\n';
    }
    return kExitDone;
}

}  // namespace

void RegisterExportCommand(CLI::App& app, CommandAction& action) {
    auto options = std::make_shared<ExportOptions>();
    CLI::App* command = app.add_subcommand("export", "Gesamtdatenbank im Exportverzeichnis erstellen");
    command->add_option("--output", options->output, "Dateiname der Gesamtdatenbank (sonst gesamt.mdb)");
    command->add_option("DB", options->fileNames, "Datenbankdateien der Abteilungen (sonst alle)");
    command->callback([options, &action] {
        action = [options](CliContext& context) { return runExport(context, *options); };
    });
}

}  // namespace kalvora::cli

#include "cli/cli_app.h"

#include <exception>

#include "cli/cli_context.h"

namespace kalvora::cli {

int RunCli(int argc, char** argv, std::ostream& out, std::ostream& err) {
    CLI::App app{"Kalvora: Import, Intensivbericht, Einstufung und Export von TISS-28-Daten", "kalvora-cli"};
    app.require_subcommand(1);
    app.fallthrough();
    GlobalOptions options;
    app.add_option("--ini", options.ini, "Einstellungsdatei (sonst Kalvora10_0.ini)");
    app.add_option("--system-dir", options.systemDir, "Systemdatenverzeichnis für diesen Lauf");
    app.add_option("--export-dir", options.exportDir, "Exportverzeichnis für diesen Lauf");
    app.add_option("--import-dir", options.importDir, "Importverzeichnis für diesen Lauf");
    app.add_option("--plaus", options.plaus, "Plausibilitätsstufe für diesen Lauf")
        ->check(CLI::IsMember({"Error", "Warning"}));
    app.add_option("--locale", options.locale, "Zahlenschreibweise: de (1.134 und 24,0) oder C")
        ->check(CLI::IsMember({"de", "C"}));

    CommandAction action;
    for (CommandRegistrar registrar :
         {RegisterSetupCommand, RegisterConfigCommand, RegisterImportCommand, RegisterDepartmentsCommand,
          RegisterStaysCommand, RegisterStayCommand, RegisterSearchCommand, RegisterStaffingCommand,
          RegisterClassifyCommand, RegisterAnalysisCommand, RegisterExportCommand, RegisterRemoveCommand})
        registrar(app, action);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        int code = app.exit(e, out, err);
        return code == 0 ? kExitDone : kExitUsage;
    }
    CliContext context(options, out, err);
    try {
        return action ? action(context) : kExitUsage;
    } catch (const std::exception& error) {
        return context.fail(error.what());
    }
}

}  // namespace kalvora::cli

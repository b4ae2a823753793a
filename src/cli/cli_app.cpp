#include "cli/cli_app.h"

#include <exception>

#include "cli/cli_context.h"
#include "cli/usage_texts.h"

namespace kalvora::cli {

int RunCli(int argc, char** argv, std::ostream& out, std::ostream& err) {
    CLI::App app{"Kalvora: Import, Intensivbericht, Einstufung und Export von TISS-28-Daten", "kalvora-cli"};
    UseGermanTexts(app);
    app.require_subcommand(1);
    app.fallthrough();
    app.set_version_flag("--version", "kalvora-cli " KALVORA_VERSION, "Programmversion zeigen");
    GlobalOptions options;
    app.add_option("--ini", options.ini, "Einstellungsdatei (sonst Kalvora10_0.ini)")->type_name("DATEI");
    app.add_option("--system-dir", options.systemDir, "Systemdatenverzeichnis für diesen Lauf")
        ->type_name("VERZEICHNIS");
    app.add_option("--export-dir", options.exportDir, "Exportverzeichnis für diesen Lauf")
        ->type_name("VERZEICHNIS");
    app.add_option("--import-dir", options.importDir, "Importverzeichnis für diesen Lauf")
        ->type_name("VERZEICHNIS");
    WithChoices(app.add_option("--plaus", options.plaus, "Plausibilitätsstufe für diesen Lauf"),
                {"Error", "Warning"});
    WithChoices(app.add_option("--locale", options.locale, "Zahlenschreibweise: de (1.134 und 24,0) oder C"),
                {"de", "C"});

    CommandAction action;
    for (CommandRegistrar registrar :
         {RegisterSetupCommand, RegisterConfigCommand, RegisterImportCommand, RegisterDepartmentsCommand,
          RegisterStaysCommand, RegisterStayCommand, RegisterSearchCommand, RegisterStaffingCommand,
          RegisterClassifyCommand, RegisterAnalysisCommand, RegisterExportCommand, RegisterRemoveCommand,
          RegisterProtocolCommand})
        registrar(app, action);
    FinishGermanHelp(app);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return kExitDone;
    } catch (const CLI::CallForVersion& version) {
        out << version.what() << '\n';
        return kExitDone;
    } catch (const CLI::ParseError& e) {
        err << UsageErrorText(app, e) << '\n';
        return kExitUsage;
    }
    CliContext context(options, out, err);
    try {
        return action ? action(context) : kExitUsage;
    } catch (const std::exception& error) {
        return context.fail(error.what());
    }
}

}  // namespace kalvora::cli

// kalvora-cli setup: a ready system data directory and a settings file pointing at it, written where
// the settings lookup reads it.

#include <chrono>
#include <filesystem>
#include <optional>

#include "base/paths.h"
#include "cli/cli_context.h"
#include "cli/usage_texts.h"
#include "store/system_setup.h"

namespace kalvora::cli {

namespace {

struct SetupOptions {
    std::string directory;
    std::string importDir;
    std::string exportDir;
    std::string hospitals;
    std::string departments;
    bool force = false;
};

std::string absolute(const std::string& path) {
    std::error_code error;
    auto result = std::filesystem::absolute(path, error);
    return error ? path : result.lexically_normal().string();
}

std::string directoryPath(const std::string& path) { return WithoutTrailingSeparators(absolute(path)); }

int currentYear() {
    auto today = std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now());
    return static_cast<int>(std::chrono::year_month_day(today).year());
}

// A directory given before the command (global option) or after it: both mean the same; two
// different ones are a usage error.
struct DirectoryChoice {
    std::optional<std::string> path;  // none when neither is given
    std::string conflict;             // the usage error
};

DirectoryChoice chooseDirectory(const std::string& globalOption, const std::string& global,
                                const std::string& own, const std::string& ownName) {
    if (global.empty()) return {own.empty() ? std::nullopt : std::optional(directoryPath(own)), {}};
    if (own.empty() || directoryPath(own) == directoryPath(global)) return {directoryPath(global), {}};
    return {std::nullopt, "zwei verschiedene Verzeichnisse angegeben: " + globalOption + " " + global +
                              " und " + ownName + " " + own + "."};
}

int runSetup(CliContext& context, const SetupOptions& options) {
    const GlobalOptions& global = context.options();
    const DirectoryChoice system =
        chooseDirectory("--system-dir", global.systemDir, options.directory, "DIR");
    const DirectoryChoice importDir =
        chooseDirectory("--import-dir", global.importDir, options.importDir, "--import-dir");
    const DirectoryChoice exportDir =
        chooseDirectory("--export-dir", global.exportDir, options.exportDir, "--export-dir");
    for (const DirectoryChoice* choice : {&system, &importDir, &exportDir}) {
        if (!choice->conflict.empty()) {
            context.err << UsageText("setup", choice->conflict) << '\n';
            return kExitUsage;
        }
    }
    if (!system.path) {
        context.err << UsageText("setup", "Es fehlt das Argument DIR (Systemdatenverzeichnis).") << '\n';
        return kExitUsage;
    }

    // The settings file is where every later read of the settings is answered from, as the windows
    // read them.
    SystemSetupRequest request =
        NewSystemSetupRequest(*system.path, absolute(context.settingsFile().lookupTarget()), currentYear());
    request.directory = {*system.path, options.hospitals, options.departments, options.force};
    if (importDir.path) request.importDirectory = *importDir.path;
    if (exportDir.path) request.exportDirectory = *exportDir.path;
    request.settings =
        NewSystemSettings(*system.path, request.importDirectory, request.exportDirectory, currentYear());
    if (!global.plaus.empty()) request.settings.PlausLevel = global.plaus;
    if (const Outcome done = SetUpSystem(request); !done) return context.fail(done.message());
    context.out << *request.settingsPath << '\n';
    return kExitDone;
}

}  // namespace

void RegisterSetupCommand(CLI::App& app, CommandAction& action) {
    auto options = std::make_shared<SetupOptions>();
    CLI::App* command = app.add_subcommand("setup", "Systemdatenverzeichnis und Einstellungsdatei anlegen");
    command->add_option("DIR", options->directory, "Systemdatenverzeichnis (oder --system-dir vor setup)");
    command->add_option("--import-dir", options->importDir, "Importverzeichnis (sonst DIR/import)")
        ->type_name("VERZEICHNIS");
    command->add_option("--export-dir", options->exportDir, "Exportverzeichnis (sonst DIR/export)")
        ->type_name("VERZEICHNIS");
    command->add_option("--hospitals", options->hospitals, "Liste der Krankenanstalten (Code;Bezeichnung)")
        ->type_name("CSV");
    command
        ->add_option("--departments", options->departments,
                     "Liste der Abteilungsfunktionen (Code;Bezeichnung)")
        ->type_name("CSV");
    command->add_flag(
        "--force", options->force,
        "bestehendes Systemdatenverzeichnis übernehmen (Abteilungen und Daten bleiben erhalten)");
    command->callback([options, &action] {
        action = [options](CliContext& context) { return runSetup(context, *options); };
    });
}

}  // namespace kalvora::cli

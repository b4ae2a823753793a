// kalvora-cli setup: a ready system data directory and a settings file pointing at it.

#include <chrono>
#include <filesystem>

#include "cli/cli_context.h"
#include "store/reference_list.h"

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

std::string withoutTrailingSeparator(std::string path) {
    while (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) path.pop_back();
    return path;
}

int currentYear() {
    auto today = std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now());
    return static_cast<int>(std::chrono::year_month_day(today).year());
}

int runSetup(CliContext& context, const SetupOptions& options) {
    std::string system = withoutTrailingSeparator(absolute(options.directory));
    std::string importDir =
        withoutTrailingSeparator(absolute(options.importDir.empty() ? JoinPath(system, "import") : options.importDir));
    std::string exportDir =
        withoutTrailingSeparator(absolute(options.exportDir.empty() ? JoinPath(system, "export") : options.exportDir));

    DataDirectoryRequest request{system, options.hospitals, options.departments, options.force};
    std::string message = CreateDataDirectory(request);
    if (!message.empty()) return context.fail(message);

    for (const std::string& directory : {importDir, exportDir}) {
        std::error_code error;
        std::filesystem::create_directories(directory, error);
        if (!std::filesystem::is_directory(directory))
            return context.fail("Das Verzeichnis " + directory + " kann nicht angelegt werden.");
    }

    std::string settingsPath = context.settingsFileName();
    if (std::filesystem::path(settingsPath).parent_path().empty())
        settingsPath = JoinPath(CommonSettingsDirectory(), settingsPath);
    settingsPath = absolute(settingsPath);
    std::error_code error;
    auto parent = std::filesystem::path(settingsPath).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent, error);

    std::string year = std::to_string(currentYear());
    IniFile ini;
    ini.load(settingsPath);
    ini.setValue("Path", "ImportDataPath", importDir);
    ini.setValue("Path", "ExportDataPath", exportDir);
    ini.setValue("Path", "SystemDataPath", system);
    ini.setValue("Plausibilitaet", "PlausLevel", "Warning");
    ini.setValue("Einstufung", "Erhebungvon", year + "0101");
    ini.setValue("Einstufung", "Erhebungbis", year + "1231");
    ini.setValue("Einstufung", "MindestStd", "0");
    ini.setValue("Einstufung", "MehrfachTISS", "N");
    ini.setValue("Einstufung", "ErsatzTISS", "N");
    if (!ini.save(settingsPath))
        return context.fail("Die Einstellungsdatei " + settingsPath + " kann nicht geschrieben werden.");
    context.out << settingsPath << '\n';
    return kExitDone;
}

}  // namespace

void RegisterSetupCommand(CLI::App& app, CommandAction& action) {
    auto options = std::make_shared<SetupOptions>();
    CLI::App* command = app.add_subcommand("setup", "Systemdatenverzeichnis und Einstellungsdatei anlegen");
    command->add_option("DIR", options->directory, "Systemdatenverzeichnis")->required();
    command->add_option("--import-dir", options->importDir, "Importverzeichnis (sonst DIR/import)");
    command->add_option("--export-dir", options->exportDir, "Exportverzeichnis (sonst DIR/export)");
    command->add_option("--hospitals", options->hospitals, "Liste der Krankenanstalten (Code;Bezeichnung)");
    command->add_option("--departments", options->departments, "Liste der Abteilungsfunktionen (Code;Bezeichnung)");
    command->add_flag("--force", options->force, "bestehende Datenbanken überschreiben");
    command->callback([options, &action] {
        action = [options](CliContext& context) { return runSetup(context, *options); };
    });
}

}  // namespace kalvora::cli

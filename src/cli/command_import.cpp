// kalvora-cli import: one import batch, the summary as "Kopieren" of the result window copies it.

#include <filesystem>

#include "base/paths.h"
#include "base/text.h"
#include "cli/cli_context.h"
#include "cli/clipboard_text.h"
#include "cli/terminal_progress.h"
#include "import/import_run.h"
#include "import/line_reader.h"
#include "import/protocol_choice.h"
#include "import/protocol_file.h"

namespace kalvora::cli {

namespace {

struct ImportOptions {
    bool initialise = false;
    std::string protocol = std::string(kDefaultProtocolFileName);
    std::vector<std::string> files;
};

// The file a FILE argument names: a bare name, as the import dialog lists it, in the import directory,
// else in the current directory; a path as given.
std::string DeliveryPath(const std::string& argument, const std::string& importDirectory) {
    if (std::filesystem::path(argument).has_parent_path()) return argument;
    const std::string listed = JoinPath(importDirectory, argument);
    std::error_code error;
    return std::filesystem::exists(listed, error) ? listed : argument;
}

// Why the file cannot be imported; empty when it is there and can be read.
std::string UnreadableDelivery(const ImportFile& file, const std::string& importDirectory) {
    std::error_code error;
    if (file.path == file.name && !std::filesystem::exists(file.path, error))
        return "Die Datei " + file.name + " ist weder im Importverzeichnis " + importDirectory +
               " noch im aktuellen Verzeichnis vorhanden.";
    LineReader reader;
    const Outcome opened = reader.open(file.path);
    return opened ? std::string() : opened.message();
}

int runImport(CliContext& context, const ImportOptions& options) {
    const Settings& settings = context.settings();
    const std::optional<std::string> protocolPath =
        ProtocolPathFor(settings.ExportDataPath, options.protocol);
    if (!protocolPath) return context.fail(std::string(*NoticeText(notices::InvalidFileName)));

    ImportBatchRequest request;
    request.mode = options.initialise ? ImportMode::Initialise : ImportMode::Append;
    request.protocolPath = *protocolPath;
    for (const std::string& argument : options.files) {
        ImportFile file{std::filesystem::path(argument).filename().string(),
                        DeliveryPath(argument, settings.ImportDataPath)};
        // Every file is checked before the batch starts, so that a missing one cannot stop it after the
        // files before it are stored.
        if (std::string problem = UnreadableDelivery(file, settings.ImportDataPath); !problem.empty()) {
            context.fail(problem);
            return context.fail("Es wurde nichts importiert.");
        }
        request.files.push_back(std::move(file));
    }

    TerminalProgress progress(context.err);
    ImportBatchResult result = RunImportBatch(request, settings, progress);
    if (result.refused()) return context.fail(result.refusal);
    if (result.failed()) {
        context.fail(std::string(messages::UnknownCause));
        return context.fail(result.failure);
    }
    context.out << ClipboardTextForOutput(SummaryClipboardText(result.summary));
    return kExitDone;
}

}  // namespace

void RegisterImportCommand(CLI::App& app, CommandAction& action) {
    auto options = std::make_shared<ImportOptions>();
    CLI::App* command = app.add_subcommand("import", "Datenlieferungen importieren");
    command->add_flag("--initialise", options->initialise,
                      "Gesamten Datenbestand der Abteilung initialisieren (sonst Neudaten anfügen)");
    command
        ->add_option("--protocol", options->protocol,
                     "Protokolldatei im Exportverzeichnis (sonst protocol.dat)")
        ->type_name("NAME");
    command
        ->add_option("FILE", options->files,
                     "Datenlieferungsdateien; ein Name ohne Verzeichnis liegt im Importverzeichnis")
        ->required();
    command->callback([options, &action] {
        action = [options](CliContext& context) { return runImport(context, *options); };
    });
}

}  // namespace kalvora::cli

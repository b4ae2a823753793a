// kalvora-cli import: one import batch, the summary as "Kopieren" of the result window copies it.

#include "cli/cli_context.h"
#include "cli/clipboard_text.h"
#include "cli/terminal_progress.h"
#include "import/import_batch_request.h"
#include "import/import_run.h"
#include "import/protocol_choice.h"
#include "import/protocol_file.h"

namespace kalvora::cli {

namespace {

struct ImportOptions {
    bool initialise = false;
    std::string protocol = std::string(kDefaultProtocolFileName);
    std::vector<std::string> files;
};

int runImport(CliContext& context, const ImportOptions& options) {
    const Settings& settings = context.settings();
    const std::optional<std::string> protocolPath =
        ProtocolPathFor(settings.ExportDataPath, options.protocol);
    if (!protocolPath) return context.fail(std::string(*NoticeText(notices::InvalidFileName)));

    std::vector<ImportFile> files;
    for (const std::string& argument : options.files)
        files.push_back(DeliveryFileOf(argument, settings.ImportDataPath));
    const Result<ImportBatchRequest> request =
        PlanImportBatch(std::move(files), options.initialise ? ImportMode::Initialise : ImportMode::Append,
                        *protocolPath, settings.ImportDataPath);
    if (!request) return context.fail(request.message());

    TerminalProgress progress(context.err);
    ImportBatchResult result = RunImportBatch(*request, settings, progress);
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

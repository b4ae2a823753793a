// kalvora-cli import: one import batch, the summary as "Kopieren" of the result window copies it.

#include <filesystem>

#include "cli/cli_context.h"
#include "cli/clipboard_text.h"
#include "cli/terminal_progress.h"
#include "import/field_validators.h"
#include "import/import_run.h"
#include "import/protocol_file.h"

namespace kalvora::cli {

namespace {

struct ImportOptions {
    bool initialise = false;
    std::string protocol = std::string(kDefaultProtocolFileName);
    std::vector<std::string> files;
};

std::string trimmed(const std::string& text) {
    size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

int runImport(CliContext& context, const ImportOptions& options) {
    CheckState state = CheckState::None;
    CheckFileName(options.protocol, state);
    if (state != CheckState::None) return context.fail(std::string(*NoticeText(notices::InvalidFileName)));
    const Settings& settings = context.settings();

    ImportBatchRequest request;
    request.mode = options.initialise ? ImportMode::Initialise : ImportMode::Append;
    request.protocolPath = JoinPath(settings.ExportDataPath, trimmed(options.protocol));
    for (const std::string& path : options.files)
        request.files.push_back({std::filesystem::path(path).filename().string(), path});

    TerminalProgress progress(context.err);
    ImportBatchResult result = RunImportBatch(request, settings, progress);
    if (result.refused()) return context.fail(result.refusal);
    if (result.failed()) {
        context.fail(std::string(messages::UnknownCause));
        return context.fail(result.failure);
    }
    PrintClipboardText(context.out, SummaryClipboardText(result.summary));
    return kExitDone;
}

}  // namespace

void RegisterImportCommand(CLI::App& app, CommandAction& action) {
    auto options = std::make_shared<ImportOptions>();
    CLI::App* command = app.add_subcommand("import", "Datenlieferungen importieren");
    command->add_flag("--initialise", options->initialise,
                      "Gesamten Datenbestand der Abteilung initialisieren (sonst Neudaten anfügen)");
    command->add_option("--protocol", options->protocol, "Protokolldatei im Exportverzeichnis");
    command->add_option("FILE", options->files, "Datenlieferungsdateien")->required();
    command->callback([options, &action] {
        action = [options](CliContext& context) { return runImport(context, *options); };
    });
}

}  // namespace kalvora::cli

// kalvora-cli protocol [--summary] [--type T] [--field F] [FILE]: the rows of a protocol file, or the
// overview of its findings, so that a delivery's faults can be read without a spreadsheet.

#include "base/paths.h"
#include "cli/cli_context.h"
#include "cli/clipboard_text.h"
#include "cli/report_arguments.h"
#include "cli/usage_texts.h"
#include "import/protocol_file.h"
#include "import/protocol_findings.h"

namespace kalvora::cli {

namespace {

struct ProtocolOptions {
    bool summary = false;
    std::string type;
    std::string field;
    std::string file;
};

int runProtocol(CliContext& context, const ProtocolOptions& options) {
    const std::string path = options.file.empty()
                                 ? JoinPath(context.settings().ExportDataPath, kDefaultProtocolFileName)
                                 : options.file;
    const Result<std::vector<ProtocolRow>> rows = ReadProtocolFile(path);
    if (!rows) return context.fail(rows.message());
    ProtocolFilter filter;
    filter.type = options.type;
    filter.parameter = options.field;
    const std::vector<ProtocolRow> chosen = FilterProtocolRows(*rows, filter);
    if (options.summary) {
        context.out << ClipboardTextForOutput(FindingsClipboardText(SummariseProtocol(chosen)));
        return kExitDone;
    }
    context.out << kProtocolHeader << '\n';
    for (const ProtocolRow& row : chosen) context.out << PrintableText(row.text) << '\n';
    return kExitDone;
}

}  // namespace

void RegisterProtocolCommand(CLI::App& app, CommandAction& action) {
    auto options = std::make_shared<ProtocolOptions>();
    CLI::App* command =
        app.add_subcommand("protocol", "Protokolldatei lesen: Zeilen oder Befunde im Überblick");
    command->add_flag("--summary", options->summary,
                      "Befunde zählen: Zeilen und Aufenthalte je Typ, Parameter und Kommentar");
    WithChoices(command->add_option("--type", options->type, "nur Zeilen dieses Typs"), {"Error", "Warning"});
    command->add_option("--field", options->field, "nur Zeilen zu diesem Parameter (z. B. Geburtsdatum)")
        ->type_name("PARAMETER");
    command->add_option("FILE", options->file, "Protokolldatei (sonst protocol.dat im Exportverzeichnis)");
    command->callback([options, &action] {
        action = [options](CliContext& context) { return runProtocol(context, *options); };
    });
}

}  // namespace kalvora::cli

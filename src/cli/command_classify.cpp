// kalvora-cli classify: the classification dialog's "Einstufung" for the given departments (all
// listed ones by default), printing the result table as "Kopieren" copies it.

#include <optional>
#include <tuple>
#include <utility>
#include <vector>

#include "base/status_sink.h"
#include "classification/classification_list.h"
#include "classification/classification_run.h"
#include "classification/department_entry.h"
#include "classification/result_table.h"
#include "cli/cli_context.h"
#include "cli/clipboard_text.h"
#include "cli/report_arguments.h"
#include "cli/usage_texts.h"
#include "cli/value_arguments.h"
#include "store/admin_database.h"

namespace kalvora::cli {

namespace {

struct ClassifyOptions {
    std::optional<std::string> from;
    std::optional<std::string> to;
    std::optional<std::string> minHours;
    std::optional<std::string> multipleTiss;
    std::optional<std::string> substituteTiss;
    std::vector<std::string> dataFiles;
    std::string pdf;
};

// Whole hours 0 to 24, as the drop-down list offers them.
std::optional<int> MinimumHoursOf(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return std::nullopt;
    const std::string digits = text.substr(first, text.find_last_not_of(' ') - first + 1);
    if (digits.size() > 2 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const int hours = std::stoi(digits);
    if (hours > kMaximumMinimumHours) return std::nullopt;
    return hours;
}

int runClassify(CliContext& context, const ClassifyOptions& options) {
    const std::string system = context.settings().SystemDataPath;
    const NumberNotation notation = context.notation();

    const Result<std::vector<Department>> records = ReadDepartments(system);
    if (!records) return context.fail(records.message());
    if (records->empty()) return context.fail(std::string(*NoticeText(notices::NoDataImported)));

    Result<std::vector<ClassificationEntry>> named = EntriesOfNamedDepartments(*records, options.dataFiles);
    if (!named) return context.fail(named.message());

    ClassificationRun run = ClassificationRunFromSettings(context.settings());
    for (auto [name, given, member] : {std::tuple{"--from", &options.from, &run.Erhebungvon},
                                       std::tuple{"--to", &options.to, &run.Erhebungbis}}) {
        if (!*given) continue;
        // As the dialog's date fields take it, a two-digit year in the 2000s.
        const CheckedValue day = DateArgument(name, **given, "2000");
        if (!day.ok()) return context.fail(day.error);
        *member = day.value;
    }
    if (options.minHours) {
        const auto hours = MinimumHoursOf(*options.minHours);
        if (!hours) return context.fail(std::string(messages::InvalidEntry));
        run.MindestStd = MinimumHoursText(*hours);
    }
    if (options.multipleTiss) run.MehrfachTISS = *options.multipleTiss;
    if (options.substituteTiss) run.ErsatzTISS = *options.substituteTiss;
    if (const Outcome checked = CheckClassificationRun(run); !checked) return context.fail(checked.message());

    // The list order is Dateiverwaltung's key order, whatever order the departments were named in.
    std::vector<ClassificationEntry> entries = std::move(*named);
    if (options.dataFiles.empty()) {
        Result<ClassificationDialogList> list = LoadClassificationDialogList(system);
        if (!list) return context.fail(list.message());
        // As the dialog says it: a department left out for want of its database is named.
        if (!list->unlisted.empty()) context.err << UnlistedDepartmentsText(list->unlisted) << '\n';
        entries = std::move(list->entries);
        if (entries.empty()) context.messages.ShowNotice(notices::NoDischargedTissPatients);
    }

    const ResultNotation resultNotation{notation, context.germanNotation()};
    NullStatusSink status;
    const Result<ResultTable> table = ClassifyEntries(entries, run, system, resultNotation, status);
    if (!table) return context.fail(table.message());
    context.out << ClipboardTextForOutput(table->ClipboardText());
    return WritePdfReport(context, options.pdf,
                          [&] { return ClassificationPrintedReport(*table, run, TodayText()); });
}

}  // namespace

void RegisterClassifyCommand(CLI::App& app, CommandAction& action) {
    auto options = std::make_shared<ClassifyOptions>();
    CLI::App* command = app.add_subcommand("classify", "Einstufung der Abteilungen");
    command->add_option("--from", options->from, "Zeitraum von (JJJJMMTT oder TT.MM.JJJJ)")
        ->type_name("DATUM");
    command->add_option("--to", options->to, "Zeitraum bis (JJJJMMTT oder TT.MM.JJJJ)")->type_name("DATUM");
    command->add_option("--min-hours", options->minHours, "Mindeststunden für 0-Tagespatienten (0 bis 24)")
        ->type_name("STUNDEN");
    WithChoices(
        command->add_option("--multiple-tiss", options->multipleTiss, "MehrfachTISS verdichten (J oder N)"),
        {"J", "N"});
    WithChoices(command->add_option("--substitute-tiss", options->substituteTiss,
                                    "TISS-Ersatzscore zählen (J oder N)"),
                {"J", "N"});
    AddPdfOption(command, options->pdf);
    command->add_option("DB", options->dataFiles, "Abteilungsdatenbanken (MDB_DATEI); sonst alle der Liste");
    command->callback([options, &action] {
        action = [options](CliContext& context) { return runClassify(context, *options); };
    });
}

}  // namespace kalvora::cli

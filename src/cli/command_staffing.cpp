// kalvora-cli staffing: the staffing window's "OK" for one department, then its entry line.

#include <optional>

#include "classification/classification_list.h"
#include "classification/department_entry.h"
#include "classification/department_staffing.h"
#include "cli/cli_context.h"
#include "cli/usage_texts.h"

namespace kalvora::cli {

namespace {

struct StaffingOptions {
    std::string dataFile;
    std::optional<std::string> dgkp;
    std::optional<std::string> beds;
    std::optional<std::string> preset;
};

// A number as the staffing window's field takes it: checked and formatted by CheckNumberEntry.
// An empty field cannot be read as a number and is refused like any other text that is none.
std::optional<std::string> CheckedEntry(const std::string& text, const StaffingField& field,
                                        const NumberNotation& notation, std::string& message) {
    if (text.find_first_not_of(' ') == std::string::npos) {
        message = std::string(messages::InvalidEntry);
        return std::nullopt;
    }
    NumberEntryResult checked = CheckNumberEntry(text, field.places, field.maxCharacters, false, notation);
    if (checked.message) {
        message = *checked.message;
        return std::nullopt;
    }
    return checked.text;
}

int runStaffing(CliContext& context, const StaffingOptions& options) {
    const std::string system = context.settings().SystemDataPath;
    const Result<std::vector<Department>> departments = ReadDepartments(system);
    if (!departments) return context.fail(departments.message());
    const Result<std::vector<ClassificationEntry>> named =
        EntriesOfNamedDepartments(*departments, {options.dataFile});
    if (!named) return context.fail(named.message());
    const ClassificationEntry& entry = named->front();

    const NumberNotation notation = context.notation();
    Staffing values = entry.staffing;
    std::string message;
    if (options.dgkp) {
        const auto text = CheckedEntry(*options.dgkp, kDgkpField, notation, message);
        if (!text) return context.fail(message);
        values.dgkp = DgkpOfEntry(*text, notation);
    }
    if (options.beds) {
        const auto text = CheckedEntry(*options.beds, kBedsField, notation, message);
        if (!text) return context.fail(message);
        values.beds = BedsOfEntry(*text);
    }
    if (options.preset) values.preset = *options.preset == "none" ? std::string() : *options.preset;

    const Outcome stored = StoreDepartmentStaffing(system, entry.department, values);
    if (!stored) return context.fail(stored.message());
    context.out << BuildDepartmentEntry(WithStaffing(entry, values), notation) << '\n';
    return kExitDone;
}

}  // namespace

void RegisterStaffingCommand(CLI::App& app, CommandAction& action) {
    auto options = std::make_shared<StaffingOptions>();
    CLI::App* command =
        app.add_subcommand("staffing", "DGKP, systemisierte Betten und Voreinstufung einer Abteilung");
    command->add_option("DB", options->dataFile, "Abteilungsdatenbank (MDB_DATEI)")->required();
    command->add_option("--dgkp", options->dgkp, "DGKP (zwei Dezimalstellen, höchstens 6 Zeichen)")
        ->type_name("ZAHL");
    command->add_option("--beds", options->beds, "systemisierte Betten (höchstens 3 Zeichen)")
        ->type_name("ZAHL");
    WithChoices(command->add_option("--preset", options->preset, "Voreinstufung E0 bis E3 oder none"),
                {"E0", "E1", "E2", "E3", "none"});
    command->callback([options, &action] {
        action = [options](CliContext& context) { return runStaffing(context, *options); };
    });
}

}  // namespace kalvora::cli

#include "cli/usage_texts.h"

#include <algorithm>

namespace kalvora::cli {

namespace {

constexpr const char* kHelpFlag = "-h,--help";
constexpr const char* kHelpDescription = "diese Hilfe zeigen";
constexpr const char* kExitCodes =
    "Rückgabewerte: 0 erledigt; 1 fehlgeschlagen oder abgelehnt (die Meldung steht auf stderr);\n"
    "2 falscher Aufruf; 3 nichts gefunden (search).";

std::string Quoted(const std::string& text) { return "„" + text + "“"; }

// "a, b oder c"
std::string ChoiceList(const std::vector<std::string>& choices) {
    std::string list;
    for (std::size_t i = 0; i < choices.size(); ++i) {
        if (i > 0) list += i + 1 == choices.size() ? " oder " : ", ";
        list += choices[i];
    }
    return list;
}

std::string CommandNames(const CLI::App& app) {
    std::string list;
    for (const CLI::App* command : app.get_subcommands({}))
        list += (list.empty() ? "" : ", ") + command->get_name();
    return list;
}

const CLI::App* ChosenCommand(const CLI::App& app) {
    const auto chosen = app.get_subcommands();
    return chosen.empty() ? nullptr : chosen.front();
}

// The first word that the parser did not take is the command the user meant.
std::string MissingCommandText(const CLI::App& app) {
    for (const std::string& argument : app.remaining()) {
        if (!argument.starts_with("-"))
            return "Unbekannter Befehl " + Quoted(argument) + ". Befehle: " + CommandNames(app) + ".";
    }
    return "Es fehlt der Befehl. Befehle: " + CommandNames(app) + ".";
}

std::string MissingArgumentText(const CLI::App& command) {
    for (const CLI::Option* option : command.get_options()) {
        if (option->get_required() && option->count() == 0)
            return "Es fehlt " + std::string(option->get_positional() ? "das Argument " : "die Option ") +
                   option->get_name() + " (" + option->get_description() + ").";
    }
    return "Es fehlt ein Argument.";
}

std::string SurplusArgumentsText(const std::vector<std::string>& arguments) {
    std::string text;
    for (const std::string& argument : arguments) {
        if (!text.empty()) text += " ";
        text += (argument.starts_with("-") ? "Unbekannte Option " : "Überzähliges Argument ") +
                Quoted(argument) + ".";
    }
    return text.empty() ? "Überzähliges Argument." : text;
}

// The option a parser message begins with ("--ini: 1 required TEXT missing").
std::string OptionNamed(const std::string& message) {
    const auto start = message.find("--");
    if (start == std::string::npos) return "?";
    const auto end = message.find_first_of(": =", start);
    return message.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// The parser's errors are told apart by their types: their names are not reliable.
template <typename Kind>
bool Is(const CLI::ParseError& error) {
    return dynamic_cast<const Kind*>(&error) != nullptr;
}

std::string ErrorText(const CLI::App& app, const CLI::ParseError& error) {
    const CLI::App* command = ChosenCommand(app);
    if (Is<CLI::RequiredError>(error))
        return command ? MissingArgumentText(*command) : MissingCommandText(app);
    if (Is<CLI::ExtrasError>(error)) return SurplusArgumentsText(app.remaining(true));
    if (Is<CLI::ArgumentMismatch>(error))
        return "Zur Option " + OptionNamed(error.what()) + " fehlt der Wert.";
    // The option's name and the refusal of WithChoices.
    if (Is<CLI::ValidationError>(error)) return error.what();
    if (Is<CLI::ConversionError>(error))
        return "Die Option " + OptionNamed(error.what()) + " nimmt keinen Wert an.";
    return "Die Befehlszeile kann nicht gelesen werden.";
}

}  // namespace

void UseGermanTexts(CLI::App& app) {
    auto formatter = app.get_formatter();
    for (auto [key, label] : {std::pair{"Usage", "Aufruf"}, std::pair{"OPTIONS", "OPTIONEN"},
                              std::pair{"SUBCOMMAND", "BEFEHL"}, std::pair{"SUBCOMMANDS", "BEFEHLE"},
                              std::pair{"Positionals", "Argumente"}, std::pair{"REQUIRED", "(Pflicht)"}})
        formatter->label(key, label);
    formatter->column_width(34);
    app.option_defaults()->group("Optionen");
    app.group("Befehle");
    app.footer(kExitCodes);
    app.set_help_flag(kHelpFlag, kHelpDescription);
}

void FinishGermanHelp(CLI::App& app) {
    for (CLI::App* command : app.get_subcommands([](CLI::App*) { return true; })) {
        // A command makes its help flag before it takes over the option group of the program.
        command->set_help_flag(kHelpFlag, kHelpDescription);
        for (CLI::Option* option :
             command->get_options([](CLI::Option* option) { return option->get_positional(); }))
            option->type_name("");
    }
}

CLI::Option* WithChoices(CLI::Option* option, const std::vector<std::string>& choices) {
    option->check([choices](const std::string& value) -> std::string {
        if (std::find(choices.begin(), choices.end(), value) != choices.end()) return {};
        return Quoted(value) + " ist nicht erlaubt, erlaubt sind " + ChoiceList(choices) + ".";
    });
    std::string typeName;
    for (const std::string& choice : choices) typeName += (typeName.empty() ? "" : "|") + choice;
    return option->type_name(typeName);
}

std::string UsageErrorText(const CLI::App& app, const CLI::ParseError& error) {
    const CLI::App* command = ChosenCommand(app);
    return UsageText(command ? command->get_name() : std::string(), ErrorText(app, error));
}

std::string UsageText(const std::string& command, const std::string& text) {
    const std::string program = command.empty() ? "kalvora-cli" : "kalvora-cli " + command;
    return program + ": " + text + "\nHilfe: " + program + " --help";
}

}  // namespace kalvora::cli

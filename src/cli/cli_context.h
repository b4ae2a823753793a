#pragma once
// What every command of kalvora-cli works with: the loaded settings (with the global overrides
// of this run), the number notation, the output streams and a message service that answers
// questions with Yes and writes notices to stderr.

#include <CLI/CLI.hpp>
#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "base/conversions.h"
#include "base/message_service.h"
#include "base/settings.h"

namespace kalvora::cli {

inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitNothingFound = 3;

struct GlobalOptions {
    std::string ini;
    std::string systemDir;
    std::string exportDir;
    std::string importDir;
    std::string plaus;
    std::string locale = "de";
};

// Writes every box of the core to stderr; questions are answered Yes (a script has chosen).
class StreamMessageService : public MessageService {
public:
    explicit StreamMessageService(std::ostream& err) : err_(err) {}

protected:
    Answer present(const MessageBox& box) override;

private:
    std::ostream& err_;
};

class CliContext {
public:
    CliContext(const GlobalOptions& options, std::ostream& out, std::ostream& err);

    // The settings file as the program would use it, created on first use.
    SettingsFile& settingsFile();
    // Loads the settings and applies the global overrides; cached.
    const Settings& settings();
    NumberNotation notation() const;
    bool germanNotation() const { return options_.locale != "C"; }

    std::ostream& out;
    std::ostream& err;
    StreamMessageService messages;
    const GlobalOptions& options() const { return options_; }
    // Settings file name as given by --ini, else the default name.
    std::string settingsFileName() const;

    // Prints the program's message on stderr and returns exit code 1.
    int fail(const std::string& message);

private:
    GlobalOptions options_;
    std::optional<SettingsFile> file_;
    std::optional<Settings> settings_;
};

// A command registers its subcommand and sets the action that runs after parsing.
using CommandAction = std::function<int(CliContext&)>;
using CommandRegistrar = void (*)(CLI::App& app, CommandAction& action);

void RegisterSetupCommand(CLI::App& app, CommandAction& action);
void RegisterConfigCommand(CLI::App& app, CommandAction& action);
void RegisterImportCommand(CLI::App& app, CommandAction& action);
void RegisterDepartmentsCommand(CLI::App& app, CommandAction& action);
void RegisterStaysCommand(CLI::App& app, CommandAction& action);
void RegisterStayCommand(CLI::App& app, CommandAction& action);
void RegisterSearchCommand(CLI::App& app, CommandAction& action);
void RegisterStaffingCommand(CLI::App& app, CommandAction& action);
void RegisterClassifyCommand(CLI::App& app, CommandAction& action);
void RegisterAnalysisCommand(CLI::App& app, CommandAction& action);
void RegisterExportCommand(CLI::App& app, CommandAction& action);
void RegisterRemoveCommand(CLI::App& app, CommandAction& action);
void RegisterProtocolCommand(CLI::App& app, CommandAction& action);

}  // namespace kalvora::cli

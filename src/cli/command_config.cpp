// kalvora-cli config: the nine settings as the program holds them after loading.

#include "cli/cli_context.h"

namespace kalvora::cli {

void RegisterConfigCommand(CLI::App& app, CommandAction& action) {
    CLI::App* command = app.add_subcommand("config", "geladene Einstellungen ausgeben");
    command->callback([&action] {
        action = [](CliContext& context) {
            const Settings& settings = context.settings();
            for (const SettingsKey& key : SettingsKeys())
                context.out << key.key << '=' << settings.*(key.member) << '\n';
            return kExitDone;
        };
    });
}

}  // namespace kalvora::cli

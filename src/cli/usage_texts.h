#pragma once
// The command line's own texts in German: the layout of --help with the exit codes, the fixed
// choices of an option, and the usage errors of the parser, each naming the command, option or
// argument concerned.

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

namespace kalvora::cli {

// German labels, option group, help flag and footer. Commands added afterwards inherit them;
// FinishGermanHelp, once all commands are added, gives them their German help flag and lists their
// arguments by name alone.
void UseGermanTexts(CLI::App& app);
void FinishGermanHelp(CLI::App& app);

// The option takes one of the choices; any other value is refused in German, naming them.
CLI::Option* WithChoices(CLI::Option* option, const std::vector<std::string>& choices);

// The usage error in German, followed by where to find the help.
std::string UsageErrorText(const CLI::App& app, const CLI::ParseError& error);
// "kalvora-cli COMMAND: TEXT" and where to find the help, for a usage error found after parsing.
std::string UsageText(const std::string& command, const std::string& text);

}  // namespace kalvora::cli

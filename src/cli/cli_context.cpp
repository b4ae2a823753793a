#include "cli/cli_context.h"

#include "base/paths.h"
#include "base/text.h"

namespace kalvora::cli {

Answer StreamMessageService::present(const MessageBox& box) {
    std::string text = box.text;
    size_t start = text.find_first_not_of(' ');
    err_ << (start == std::string::npos ? text : text.substr(start)) << '\n';
    if (!box.detail.empty()) err_ << box.detail << '\n';
    return box.buttons == MessageButtons::YesNo ? Answer::Yes : Answer::Ok;
}

CliContext::CliContext(const GlobalOptions& options, std::ostream& outStream, std::ostream& errStream)
    : out(outStream), err(errStream), messages(errStream), options_(options) {}

std::string CliContext::settingsFileName() const {
    return options_.ini.empty() ? std::string(kDefaultSettingsFileName) : options_.ini;
}

SettingsFile& CliContext::settingsFile() {
    if (!file_)
        file_.emplace(ExecutableDirectory(), CommonSettingsDirectory(), settingsFileName(), &messages);
    return *file_;
}

const Settings& CliContext::settings() {
    if (!settings_) {
        Settings loaded = LoadSettings(settingsFile());
        auto overridePath = [](std::string& member, const std::string& value) {
            if (value.empty()) return;
            member = WithoutTrailingSeparators(value);
        };
        overridePath(loaded.SystemDataPath, options_.systemDir);
        overridePath(loaded.ExportDataPath, options_.exportDir);
        overridePath(loaded.ImportDataPath, options_.importDir);
        if (!options_.plaus.empty()) loaded.PlausLevel = FixedWidth(options_.plaus, 7);
        settings_ = loaded;
    }
    return *settings_;
}

NumberNotation CliContext::notation() const {
    return germanNotation() ? NumberNotation::German() : NumberNotation::Plain();
}

int CliContext::fail(const std::string& message) {
    size_t start = message.find_first_not_of(' ');
    err << (start == std::string::npos ? message : message.substr(start)) << '\n';
    return kExitFailed;
}

}  // namespace kalvora::cli

#include "base/settings.h"

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

#include "base/ini_file.h"
#include "base/message_service.h"
#include "base/paths.h"
#include "base/text.h"

namespace kalvora {

namespace fs = std::filesystem;

namespace {

// The value of the key in the file, cut as the platform's 255-byte buffer cuts it; empty when the
// file, section or key is missing or the file cannot be read.
std::string ReadValue(const std::string& path, std::string_view section, std::string_view key) {
    IniFile file;
    if (!file.load(path)) return {};
    std::string value = file.value(section, key).value_or(std::string{});
    if (value.size() > kMaxSettingLength) value.resize(kMaxSettingLength);
    return value;
}

void ShowSettingsFileProblem(MessageService* messages, std::string_view text, std::string detail) {
    if (messages == nullptr) return;
    MessageBox box;
    box.text = std::string(text);
    box.title = std::string(kProgramTitle);
    box.icon = MessageIcon::Error;
    box.buttons = MessageButtons::Ok;
    box.detail = std::move(detail);
    messages->Show(box);
}

std::string DetailOf(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return {};
    }
}

}  // namespace

bool Settings::plausLevelIsError() const { return TrimBlanksAndTabs(PlausLevel) == "Error"; }

const std::vector<SettingsKey>& SettingsKeys() {
    static const std::vector<SettingsKey> keys = {
        {"Path", "ImportDataPath", &Settings::ImportDataPath, 0},
        {"Path", "ExportDataPath", &Settings::ExportDataPath, 0},
        {"Path", "SystemDataPath", &Settings::SystemDataPath, 0},
        {"Plausibilitaet", "PlausLevel", &Settings::PlausLevel, 7},
        {"Einstufung", "Erhebungvon", &Settings::Erhebungvon, 8},
        {"Einstufung", "Erhebungbis", &Settings::Erhebungbis, 8},
        {"Einstufung", "MindestStd", &Settings::MindestStd, 2},
        {"Einstufung", "MehrfachTISS", &Settings::MehrfachTISS, 1},
        {"Einstufung", "ErsatzTISS", &Settings::ErsatzTISS, 1},
    };
    return keys;
}

const SettingsKey& SettingsKeyOf(std::string Settings::*member) {
    for (const SettingsKey& key : SettingsKeys()) {
        if (key.member == member) return key;
    }
    throw std::logic_error("no settings key for this member");
}

std::optional<std::string> SettingsFileNameFromCommandLine(std::string_view commandLine) {
    constexpr std::string_view kOption = "/i:";
    const std::string_view line = TrimBlanksAndTabs(commandLine);
    if (!line.starts_with(kOption)) return std::nullopt;
    return std::string(TrimBlanksAndTabs(line.substr(kOption.size())));
}

SettingsFile::SettingsFile(std::string programDirectory, std::string commonDirectory,
                           std::string settingsFileName, MessageService* messages)
    : installDirectory_(WithoutOneTrailingSeparator(std::move(programDirectory))),
      commonDirectory_(std::move(commonDirectory)),
      settingsFileName_(std::move(settingsFileName)),
      messages_(messages) {}

std::string SettingsFile::resolveSecondPlace() const {
    // A bare name lies in the common directory; a name with a directory part is used unchanged.
    if (fs::path(settingsFileName_).has_parent_path()) return settingsFileName_;
    return JoinPath(commonDirectory_, settingsFileName_);
}

std::string SettingsFile::writeTarget() const {
    if (!programDirectory_.empty()) return JoinPath(programDirectory_, settingsFileName_);
    return resolveSecondPlace();
}

std::string SettingsFile::lookupTarget() const {
    const std::string inProgramDirectory = JoinPath(installDirectory_, settingsFileName_);
    std::error_code error;
    if (fs::is_regular_file(inProgramDirectory, error)) return inProgramDirectory;
    return resolveSecondPlace();
}

std::string SettingsFile::ReadSetting(std::string_view section, std::string_view key) {
    try {
        programDirectory_ = installDirectory_;
        std::string value = ReadValue(JoinPath(programDirectory_, settingsFileName_), section, key);
        if (!value.empty()) return value;

        programDirectory_.clear();
        value = ReadValue(resolveSecondPlace(), section, key);
        if (!value.empty()) return value;
        return std::string(kUnknownSetting);
    } catch (...) {
        ShowSettingsFileProblem(messages_, messages::IniReadProblem, DetailOf(std::current_exception()));
        return {};
    }
}

bool SettingsFile::WriteSetting(std::string Settings::*member, std::string_view value) {
    const SettingsKey& key = SettingsKeyOf(member);
    return WriteSetting(key.section, key.key, value);
}

bool SettingsFile::WriteSetting(std::string_view section, std::string_view key, std::string_view value) {
    try {
        const std::string target = writeTarget();
        // The common directory is ours to create; any other missing directory refuses the write.
        if (programDirectory_.empty() && !fs::path(settingsFileName_).has_parent_path()) {
            std::error_code ignored;
            fs::create_directories(commonDirectory_, ignored);
        }
        IniFile file;
        if (!file.load(target)) return false;
        file.setValue(section, key, value);
        return file.save(target);
    } catch (...) {
        ShowSettingsFileProblem(messages_, messages::IniWriteProblem, DetailOf(std::current_exception()));
        return false;
    }
}

Settings LoadSettings(SettingsFile& file) {
    Settings settings;
    for (const auto& setting : SettingsKeys()) {
        std::string value = file.ReadSetting(setting.section, setting.key);
        settings.*setting.member = setting.width > 0 ? FixedWidth(value, setting.width) : std::move(value);
    }
    // Consumers always add a separator before a file name, so a path never ends in one in memory.
    for (auto member : {&Settings::ImportDataPath, &Settings::ExportDataPath, &Settings::SystemDataPath}) {
        std::string& path = settings.*member;
        const auto last = path.find_last_not_of(" \t");
        if (last != std::string::npos && IsPathSeparator(path[last])) path.erase(last, 1);
    }
    return settings;
}

}  // namespace kalvora

#pragma once
// The settings file (an INI "profile" file) with its two-place lookup, and the nine values the
// program holds from it.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kalvora {

class MessageService;

inline constexpr std::string_view kDefaultSettingsFileName = "Kalvora10_0.ini";
inline constexpr std::string_view kUnknownSetting = "unknown";
// At most this many bytes of a value come back from ReadSetting (a 255-byte buffer with its end mark).
inline constexpr std::size_t kMaxSettingLength = 254;

// The nine values, held for the whole run. Fixed-width members are cut or padded with blanks.
struct Settings {
    std::string ImportDataPath;
    std::string ExportDataPath;
    std::string SystemDataPath;
    std::string PlausLevel;    // 7 characters
    std::string Erhebungvon;   // 8 characters
    std::string Erhebungbis;   // 8 characters
    std::string MindestStd;    // 2 characters
    std::string MehrfachTISS;  // 1 character
    std::string ErsatzTISS;    // 1 character

    // A trimmed PlausLevel of exactly "Error" makes failed optional field checks errors.
    bool plausLevelIsError() const;
};

// The settings in the order of the settings file: (section, key, member).
struct SettingsKey {
    std::string_view section;
    std::string_view key;
    std::string Settings::*member;
    int width;  // 0 for the variable-length paths
};
const std::vector<SettingsKey>& SettingsKeys();
// The key of a member of Settings.
const SettingsKey& SettingsKeyOf(std::string Settings::*member);

// The settings file name from the command line (everything after the program name): the rest
// after a leading "/i:", blanks removed; nullopt for any other command line.
std::optional<std::string> SettingsFileNameFromCommandLine(std::string_view commandLine);

// ReadSetting and WriteSetting with their two-place lookup: first the program directory, then
// the settings file name as given (a bare name lies in the common directory).
class SettingsFile {
public:
    SettingsFile(std::string programDirectory, std::string commonDirectory, std::string settingsFileName,
                 MessageService* messages = nullptr);

    std::string ReadSetting(std::string_view section, std::string_view key);
    bool WriteSetting(std::string_view section, std::string_view key, std::string_view value);
    // The same under the section and key of a member of Settings.
    bool WriteSetting(std::string Settings::*member, std::string_view value);

    const std::string& ProgramDirectory() const { return programDirectory_; }
    const std::string& SettingsFileName() const { return settingsFileName_; }
    // The file a write goes to now (the one the last read was answered from).
    std::string writeTarget() const;
    // The file every read is answered from once it holds all keys: the program directory's when it
    // is there, else the second place. A setup writes all keys to it.
    std::string lookupTarget() const;

private:
    std::string resolveSecondPlace() const;
    std::string installDirectory_;
    std::string commonDirectory_;
    std::string settingsFileName_;
    std::string programDirectory_;
    MessageService* messages_;
};

// Loads all nine values in the settings-file order, cuts them to their widths and strips one
// trailing separator from the three paths.
Settings LoadSettings(SettingsFile& file);

}  // namespace kalvora

#include "base/settings.h"

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

#include "base/message_service.h"

#ifdef _WIN32
#include <windows.h>
// The platform's macro of this name would hide our MessageBox type.
#undef MessageBox
#else
#include <pwd.h>
#include <unistd.h>
#endif

namespace kalvora {

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
constexpr std::string_view kNativeLineEnd = "\r\n";
#else
constexpr char kSeparator = '/';
constexpr std::string_view kNativeLineEnd = "\n";
#endif

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Settings files written on Windows use `\`; both count as a trailing separator.
bool IsSeparator(char c) { return c == '/' || c == '\\'; }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

std::string StripOneTrailingSeparator(std::string text) {
    if (!text.empty() && IsSeparator(text.back())) text.pop_back();
    return text;
}

// A line of the settings file as the lookups see it.
struct ParsedLine {
    enum class Kind { Other, Section, Entry } kind = Kind::Other;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // entry value, trimmed
};

ParsedLine ParseLine(std::string_view line, bool firstLine) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (firstLine && line.starts_with(kByteOrderMark)) line.remove_prefix(kByteOrderMark.size());
    std::string_view text = Trim(line);
    if (text.empty() || text.front() == ';' || text.front() == '#') return {};
    if (text.front() == '[') {
        text.remove_prefix(1);
        const auto close = text.find(']');
        if (close != std::string_view::npos) text = text.substr(0, close);
        return {ParsedLine::Kind::Section, Trim(text), {}};
    }
    const auto equals = text.find('=');
    if (equals == std::string_view::npos) return {};
    return {ParsedLine::Kind::Entry, Trim(text.substr(0, equals)), Trim(text.substr(equals + 1))};
}

// A file marked read-only (no write permission for anyone) is refused even where the user could
// override the mark, as the profile functions refuse it.
bool IsMarkedReadOnly(const fs::path& path) {
    std::error_code error;
    const auto status = fs::status(path, error);
    if (error) return false;
    constexpr auto writeBits = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    return (status.permissions() & writeBits) == fs::perms::none;
}

bool WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

fs::path TemporarySibling(const fs::path& target) {
    std::random_device device;
    fs::path temporary = target;
    temporary += ".tmp" + std::to_string(device() % 1000000U);
    return temporary;
}

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

bool Settings::plausLevelIsError() const { return Trim(PlausLevel) == "Error"; }

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

std::string FixedWidth(std::string_view text, int width) {
    if (width <= 0) return {};
    std::size_t position = 0;
    int characters = 0;
    while (position < text.size()) {
        // A new character starts at every byte that is not a UTF-8 continuation byte.
        if ((static_cast<unsigned char>(text[position]) & 0xC0U) != 0x80U) {
            if (characters == width) break;
            ++characters;
        }
        ++position;
    }
    std::string result(text.substr(0, position));
    result.append(static_cast<std::size_t>(width - characters), ' ');
    return result;
}

std::optional<std::string> SettingsFileNameFromCommandLine(std::string_view commandLine) {
    constexpr std::string_view kOption = "/i:";
    const std::string_view line = Trim(commandLine);
    if (!line.starts_with(kOption)) return std::nullopt;
    return std::string(Trim(line.substr(kOption.size())));
}

bool IniFile::load(const std::string& path) {
    lines_.clear();
    lineEnd_ = kNativeLineEnd;
    exists_ = false;

    std::error_code error;
    const auto status = fs::status(path, error);
    if (status.type() == fs::file_type::not_found) return true;
    if (error || fs::is_directory(status)) return false;

    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) return false;
    exists_ = true;

    const auto firstBreak = bytes.find('\n');
    if (firstBreak != std::string::npos)
        lineEnd_ = (firstBreak > 0 && bytes[firstBreak - 1] == '\r') ? "\r\n" : "\n";

    std::size_t start = 0;
    while (start < bytes.size()) {
        auto end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines_.push_back(std::move(line));
        start = end + 1;
    }
    return true;
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const {
    bool inSection = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const ParsedLine line = ParseLine(lines_[i], i == 0);
        if (line.kind == ParsedLine::Kind::Section) {
            inSection = EqualsIgnoringCase(line.name, section);
        } else if (line.kind == ParsedLine::Kind::Entry && inSection && EqualsIgnoringCase(line.name, key)) {
            return std::string(line.value);
        }
    }
    return std::nullopt;
}

void IniFile::setValue(std::string_view section, std::string_view key, std::string_view value) {
    // A line break inside the value would split the entry and spoil the file.
    value = value.substr(0, value.find_first_of("\r\n"));
    const std::string entry = std::string(key) + "=" + std::string(value);

    std::optional<std::size_t> sectionStart;  // line of the first matching section header
    std::size_t insertAt = 0;                 // after the last non-blank line of that section
    bool inSection = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const ParsedLine line = ParseLine(lines_[i], i == 0);
        if (line.kind == ParsedLine::Kind::Section) {
            if (inSection) break;
            inSection = EqualsIgnoringCase(line.name, section);
            if (inSection) {
                sectionStart = i;
                insertAt = i + 1;
            }
            continue;
        }
        if (!inSection) continue;
        if (line.kind == ParsedLine::Kind::Entry && EqualsIgnoringCase(line.name, key)) {
            lines_[i] = std::string(line.name) + "=" + std::string(value);
            return;
        }
        if (!Trim(lines_[i]).empty()) insertAt = i + 1;
    }

    if (sectionStart) {
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), entry);
        return;
    }
    lines_.push_back("[" + std::string(section) + "]");
    lines_.push_back(entry);
}

bool IniFile::save(const std::string& path) const {
    std::error_code error;
    fs::path target(path);
    // Replace the file a link points to, not the link itself.
    if (fs::is_symlink(target, error)) {
        target = fs::weakly_canonical(target, error);
        if (error) return false;
    }

    const auto status = fs::status(target, error);
    const bool existed = fs::exists(status);
    if (existed) {
        if (!fs::is_regular_file(status) || IsMarkedReadOnly(target)) return false;
        // Opening for appending changes nothing but tells whether we may write the file at all.
        std::ofstream probe(target, std::ios::binary | std::ios::app);
        if (!probe) return false;
    }

    std::string bytes;
    for (const auto& line : lines_) {
        bytes += line;
        bytes += lineEnd_;
    }

    const fs::path temporary = TemporarySibling(target);
    if (!WriteBytes(temporary, bytes)) {
        fs::remove(temporary, error);
        // A directory we may not create files in still lets us rewrite a writable file in place.
        return existed && WriteBytes(target, bytes);
    }
    if (existed) fs::permissions(temporary, status.permissions(), error);
    fs::rename(temporary, target, error);
    if (error) {
        fs::remove(temporary, error);
        return false;
    }
    return true;
}

SettingsFile::SettingsFile(std::string programDirectory, std::string commonDirectory,
                           std::string settingsFileName, MessageService* messages)
    : installDirectory_(StripOneTrailingSeparator(std::move(programDirectory))),
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
        if (last != std::string::npos && IsSeparator(path[last])) path.erase(last, 1);
    }
    return settings;
}

std::string ExecutableDirectory() {
#ifdef _WIN32
    std::wstring buffer(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    buffer.resize(length);
    return fs::path(buffer).parent_path().string();
#else
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    if (error) return fs::current_path(error).string();
    return executable.parent_path().string();
#endif
}

std::string CommonSettingsDirectory() {
#ifdef _WIN32
    const char* windows = std::getenv("WINDIR");
    return windows != nullptr ? std::string(windows) : std::string("C:\\Windows");
#else
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome != nullptr && *configHome != '\0') return JoinPath(configHome, "kalvora");
    std::string home;
    if (const char* homeVariable = std::getenv("HOME"); homeVariable != nullptr && *homeVariable != '\0') {
        home = homeVariable;
    } else if (const passwd* user = getpwuid(getuid()); user != nullptr && user->pw_dir != nullptr) {
        home = user->pw_dir;
    }
    return JoinPath(JoinPath(home, ".config"), "kalvora");
#endif
}

std::string JoinPath(std::string_view directory, std::string_view name) {
    std::string path(directory);
    path += kSeparator;
    path += name;
    return path;
}

}  // namespace kalvora

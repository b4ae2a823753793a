#include "base/ini_file.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

#include "base/text.h"

namespace kalvora {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kNativeLineEnd = "\n";

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
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
    std::string_view text = TrimBlanksAndTabs(line);
    if (text.empty() || text.front() == ';' || text.front() == '#') return {};
    if (text.front() == '[') {
        text.remove_prefix(1);
        const auto close = text.find(']');
        if (close != std::string_view::npos) text = text.substr(0, close);
        return {ParsedLine::Kind::Section, TrimBlanksAndTabs(text), {}};
    }
    const auto equals = text.find('=');
    if (equals == std::string_view::npos) return {};
    return {ParsedLine::Kind::Entry, TrimBlanksAndTabs(text.substr(0, equals)),
            TrimBlanksAndTabs(text.substr(equals + 1))};
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

}  // namespace

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
        if (!TrimBlanksAndTabs(lines_[i]).empty()) insertAt = i + 1;
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

}  // namespace kalvora

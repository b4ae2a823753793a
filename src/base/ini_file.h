#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kalvora {

// A small INI reader/writer: case-insensitive section and key names, blanks around values
// ignored, all other lines (comments, unknown keys) kept as they are on write.
class IniFile {
public:
    // Reads the file (LF or CR LF line ends); false when it cannot be read (a missing file reads as
    // empty).
    bool load(const std::string& path);
    bool exists() const { return exists_; }
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    void setValue(std::string_view section, std::string_view key, std::string_view value);
    // Writes the whole file with the line ends it was read with (a new file gets the platform's),
    // through a temporary file in the same directory; false when it cannot be written, and then the
    // file is left as it was. A file marked read-only is refused.
    bool save(const std::string& path) const;
    // The lines without their line ends.
    const std::vector<std::string>& lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
    std::string lineEnd_;
    bool exists_ = false;
};

}  // namespace kalvora

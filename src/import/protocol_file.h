#pragma once
// The protocol file of an import batch: one semicolon-separated row per finding, Windows-1252
// text with CR LF line ends, so that it opens in a spreadsheet and can go back to the hospital.

#include <cstdio>
#include <string>
#include <string_view>

#include "base/result.h"

namespace kalvora {

inline constexpr std::string_view kProtocolHeaderParameter = "HEADER_LINE";
inline constexpr std::string_view kProtocolHeader =
    "Datei;Krankenanstalt;Abteilung;Satzart;KH-Aufnahmezahl;Geburtsdatum;Aufnahmezeitpunkt;Typ;Parameter;"
    "Kommentar";
inline constexpr std::string_view kDefaultProtocolFileName = "protocol.dat";

namespace levels {
inline constexpr std::string_view Error = "Error";
inline constexpr std::string_view Warning = "Warning";
}  // namespace levels

// Where the findings of the checks go: the protocol file, or a list kept with a line until it is stored.
class ProtocolSink {
public:
    virtual ~ProtocolSink() = default;
    virtual void WriteProtocolRow(std::string_view level, std::string_view parameter, std::string_view line,
                                  std::string_view comment) = 0;
};

class ProtocolFile : public ProtocolSink {
public:
    ProtocolFile() = default;
    ~ProtocolFile() override;
    ProtocolFile(const ProtocolFile&) = delete;
    ProtocolFile& operator=(const ProtocolFile&) = delete;

    // Creates (or replaces) the file; fails with a German message when it cannot be created.
    Outcome create(const std::string& path);
    bool isOpen() const { return file_ != nullptr; }
    // Closes the file; false when buffered rows could not be written.
    bool close();
    // Writes every row so far to the disk; false when that failed (then or before).
    bool flush();
    const std::string& path() const { return path_; }

    // Name of the data file whose findings follow (as listed in the import dialog).
    void setDataFileName(std::string_view name);

    // Appends one finding. `line` is the protocol line in Windows-1252 (the delivery line itself, or
    // one built in its layout); `level`, `parameter` and `comment` are UTF-8. The parameter
    // "HEADER_LINE" writes the header line instead.
    void WriteProtocolRow(std::string_view level, std::string_view parameter, std::string_view line,
                          std::string_view comment) override;

    // True once a write failed (disk full, removed medium); the system's error number of the first failure.
    bool failed() const { return failed_; }
    int error() const { return error_; }
    long rowsWritten() const { return rows_; }

private:
    void put(std::string_view bytes);
    void putCell(std::string_view field);
    void writeBuffer();
    void fail();
    std::FILE* file_ = nullptr;
    std::string path_;
    std::string dataFileName_;  // Windows-1252
    std::string buffer_;
    bool failed_ = false;
    int error_ = 0;
    long rows_ = 0;
};

// "Die Protokolldatei PATH kann nicht geschrieben werden: kein Platz mehr auf dem Datenträger."
std::string ProtocolWriteFailure(const ProtocolFile& protocol);

// A field as one text cell of a spreadsheet: a field holding ";", a quote or a line break is quoted
// (its quotes doubled), and one that a spreadsheet would take for a formula (leading "=", "+", "-" or
// "@") gets a leading apostrophe. Any other field stays as it is.
std::string SpreadsheetCell(std::string_view field);

// Characters `start` (from 1) to start+length-1 of a line; shorter or empty past its end.
std::string_view LinePart(std::string_view line, int start, int length);

}  // namespace kalvora

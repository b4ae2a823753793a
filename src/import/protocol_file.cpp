#include "import/protocol_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/encoding.h"
#include "store/store_error_text.h"

namespace kalvora {

std::string_view LinePart(std::string_view line, int start, int length) {
    size_t from = static_cast<size_t>(start - 1);
    if (from >= line.size()) return {};
    return line.substr(from, static_cast<size_t>(length));
}

namespace {

bool LooksLikeFormula(std::string_view field) {
    return !field.empty() && std::string_view("=+-@").find(field.front()) != std::string_view::npos;
}

bool NeedsQuotes(std::string_view field) { return field.find_first_of(";\"\r\n") != std::string_view::npos; }

}  // namespace

std::string SpreadsheetCell(std::string_view field) {
    const bool formula = LooksLikeFormula(field);
    const bool quoted = NeedsQuotes(field);
    if (!formula && !quoted) return std::string(field);
    std::string cell = formula ? "'" : "";
    for (char c : field) {
        if (c == '"') cell += '"';
        cell += c;
    }
    return quoted ? "\"" + cell + "\"" : cell;
}

ProtocolFile::~ProtocolFile() { close(); }

Outcome ProtocolFile::create(const std::string& path) {
    close();
    failed_ = false;
    error_ = 0;
    rows_ = 0;
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr)
        return Failure{"Die Protokolldatei " + path +
                       " kann nicht angelegt werden: " + SystemErrorText(errno) + "."};
    path_ = path;
    return Done{};
}

void ProtocolFile::fail() {
    if (!failed_) error_ = errno != 0 ? errno : EIO;
    failed_ = true;
}

void ProtocolFile::writeBuffer() {
    if (buffer_.empty()) return;
    errno = 0;
    if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) fail();
    buffer_.clear();
}

bool ProtocolFile::flush() {
    if (file_ == nullptr) return !failed_;
    writeBuffer();
    errno = 0;
    if (std::fflush(file_) != 0) fail();
    // A full disk may show only when the blocks are written: the rows must be on the disk before
    // the department they describe is stored.
    if (!failed_ && ::fsync(::fileno(file_)) != 0 && errno != EINVAL) fail();
    return !failed_;
}

bool ProtocolFile::close() {
    if (file_ == nullptr) return !failed_;
    writeBuffer();
    errno = 0;
    if (std::fclose(file_) != 0) fail();
    file_ = nullptr;
    return !failed_;
}

std::string ProtocolWriteFailure(const ProtocolFile& protocol) {
    return "Die Protokolldatei " + protocol.path() +
           " kann nicht geschrieben werden: " + SystemErrorText(protocol.error()) + ".";
}

void ProtocolFile::setDataFileName(std::string_view name) { dataFileName_ = Utf8ToWindows1252(name); }

void ProtocolFile::put(std::string_view bytes) { buffer_.append(bytes); }

void ProtocolFile::putCell(std::string_view field) {
    // Almost every field is plain text and goes out without a copy.
    if (LooksLikeFormula(field) || NeedsQuotes(field))
        put(SpreadsheetCell(field));
    else
        put(field);
}

void ProtocolFile::WriteProtocolRow(std::string_view level, std::string_view parameter, std::string_view line,
                                    std::string_view comment) {
    if (file_ == nullptr) return;
    if (parameter == kProtocolHeaderParameter) {
        put(kProtocolHeader);
    } else {
        putCell(dataFileName_);
        static constexpr int cuts[][2] = {{2, 4}, {6, 8}, {1, 1}, {14, 10}, {24, 8}, {32, 12}};
        for (const auto& cut : cuts) {
            put(";");
            putCell(LinePart(line, cut[0], cut[1]));
        }
        put(";");
        putCell(level);
        put(";");
        putCell(IsAscii(parameter) ? std::string(parameter) : Utf8ToWindows1252(parameter));
        put(";");
        putCell(IsAscii(comment) ? std::string(comment) : Utf8ToWindows1252(comment));
    }
    put("\r\n");
    ++rows_;
    // Rows go to the disk in blocks; a batch may write hundreds of thousands of findings.
    if (buffer_.size() >= 64 * 1024) writeBuffer();
}

}  // namespace kalvora

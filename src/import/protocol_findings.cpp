#include "import/protocol_findings.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <tuple>

#include "base/encoding.h"
#include "import/protocol_file.h"
#include "store/store_error_text.h"

namespace kalvora {

namespace {

constexpr std::size_t kFieldCount = 10;

// One record of the file: its fields as bytes, and the bytes it was read from.
struct RawRecord {
    std::vector<std::string> fields;
    std::string_view text;
    long lineNumber = 0;
    bool unterminatedQuote = false;
};

// Reads the record that begins at `pos`, as the protocol writer puts it: ";" between fields, a field
// in quotes when it holds ";", a quote or a line break (its quotes doubled), CR LF or LF at the end.
RawRecord NextRecord(std::string_view bytes, std::size_t& pos, long& line) {
    RawRecord record;
    record.lineNumber = line;
    const std::size_t start = pos;
    std::string field;
    bool quoted = false;
    bool atFieldStart = true;
    while (pos < bytes.size()) {
        const char c = bytes[pos];
        if (quoted) {
            if (c == '"' && pos + 1 < bytes.size() && bytes[pos + 1] == '"') {
                field += '"';
                pos += 2;
                continue;
            }
            if (c == '"') {
                quoted = false;
            } else {
                if (c == '\n') ++line;
                field += c;
            }
            ++pos;
            continue;
        }
        if (c == '"' && atFieldStart) {
            quoted = true;
            atFieldStart = false;
            ++pos;
            continue;
        }
        if (c == ';') {
            record.fields.push_back(std::move(field));
            field.clear();
            atFieldStart = true;
            ++pos;
            continue;
        }
        if (c == '\n' || (c == '\r' && pos + 1 < bytes.size() && bytes[pos + 1] == '\n')) {
            record.text = bytes.substr(start, pos - start);
            pos += c == '\r' ? 2 : 1;
            ++line;
            record.fields.push_back(std::move(field));
            return record;
        }
        field += c;
        atFieldStart = false;
        ++pos;
    }
    record.unterminatedQuote = quoted;
    record.text = bytes.substr(start, pos - start);
    record.fields.push_back(std::move(field));
    ++line;
    return record;
}

// The writer puts an apostrophe before a field that a spreadsheet would take for a formula.
std::string CellValue(const std::string& field) {
    std::string_view value = field;
    if (value.size() >= 2 && value.front() == '\'' &&
        std::string_view("=+-@").find(value[1]) != std::string_view::npos)
        value.remove_prefix(1);
    return IsAscii(value) ? std::string(value) : Windows1252ToUtf8(value);
}

std::string Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
// Letters, digits, "_" and every byte of a multi-byte character make up words.
bool IsWordCharacter(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x80 || IsDigit(c) || c == '_' || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
// Separators inside a number or date: "24,5", "01.03.2012", "10:00", "2012-03-01", "3/4".
bool IsNumberSeparator(char c) { return c == '.' || c == ',' || c == ':' || c == '-' || c == '/'; }

}  // namespace

std::vector<std::string> ProtocolRow::cells() const {
    return {file, hospital, department, recordType, kisId, birthDate, admission, type, parameter, comment};
}

bool ProtocolRow::namesStay() const {
    return !Trimmed(kisId).empty() || !Trimmed(birthDate).empty() || !Trimmed(admission).empty();
}

Result<std::vector<ProtocolRow>> ParseProtocolText(std::string_view bytes, const std::string& path) {
    std::size_t pos = 0;
    long line = 1;
    const RawRecord header = NextRecord(bytes, pos, line);
    if (header.text != kProtocolHeader)
        return Failure{"Die Datei " + path +
                       " ist keine Protokolldatei: ihre erste Zeile ist nicht die Kopfzeile „Datei;"
                       "Krankenanstalt;…;Kommentar“."};
    std::vector<ProtocolRow> rows;
    while (pos < bytes.size()) {
        RawRecord record = NextRecord(bytes, pos, line);
        const std::string where = "Die Protokolldatei " + path + " ist in Zeile " +
                                  std::to_string(record.lineNumber) + " beschädigt: ";
        if (record.unterminatedQuote) return Failure{where + "ein Anführungszeichen wird nicht geschlossen."};
        if (record.fields.size() != kFieldCount)
            return Failure{where + "sie hat " + std::to_string(record.fields.size()) + " statt " +
                           std::to_string(kFieldCount) + " Felder."};
        ProtocolRow row;
        std::string* targets[] = {&row.file,      &row.hospital,  &row.department, &row.recordType,
                                  &row.kisId,     &row.birthDate, &row.admission,  &row.type,
                                  &row.parameter, &row.comment};
        for (std::size_t i = 0; i < kFieldCount; ++i) *targets[i] = CellValue(record.fields[i]);
        if (row.type != levels::Error && row.type != levels::Warning)
            return Failure{where + "der Typ „" + row.type + "“ ist weder „Error“ noch „Warning“."};
        row.text = IsAscii(record.text) ? std::string(record.text) : Windows1252ToUtf8(record.text);
        row.lineNumber = record.lineNumber;
        rows.push_back(std::move(row));
    }
    return rows;
}

Result<std::vector<ProtocolRow>> ReadProtocolFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        const int error = errno;
        return Failure{"Die Protokolldatei " + path +
                       " kann nicht gelesen werden: " + SystemErrorText(error) + "."};
    }
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) return Failure{"Die Protokolldatei " + path + " kann nicht gelesen werden."};
    return ParseProtocolText(bytes, path);
}

std::string CommentPattern(std::string_view comment) {
    std::string pattern;
    std::size_t i = 0;
    while (i < comment.size()) {
        if (!IsDigit(comment[i]) || (i > 0 && IsWordCharacter(comment[i - 1]))) {
            pattern += comment[i++];
            continue;
        }
        std::size_t end = i;
        while (end < comment.size()) {
            if (IsDigit(comment[end])) {
                ++end;
            } else if (IsNumberSeparator(comment[end]) && end + 1 < comment.size() &&
                       IsDigit(comment[end + 1])) {
                end += 2;
            } else {
                break;
            }
        }
        if (end < comment.size() && IsWordCharacter(comment[end])) {
            // Digits at the start of a word ("3fach") are part of it.
            while (end < comment.size() && IsWordCharacter(comment[end])) ++end;
            pattern.append(comment.substr(i, end - i));
        } else {
            pattern += '#';
        }
        i = end;
    }
    return pattern;
}

bool ProtocolFilter::matches(const ProtocolRow& row) const {
    if (!type.empty() && row.type != type) return false;
    if (!parameter.empty() && Trimmed(row.parameter) != Trimmed(parameter)) return false;
    if (!file.empty() && row.file != file) return false;
    const std::string wanted = Trimmed(kisId);
    return wanted.empty() || row.kisId.find(wanted) != std::string::npos;
}

std::vector<ProtocolRow> FilterProtocolRows(const std::vector<ProtocolRow>& rows,
                                            const ProtocolFilter& filter) {
    std::vector<ProtocolRow> chosen;
    std::copy_if(rows.begin(), rows.end(), std::back_inserter(chosen),
                 [&filter](const ProtocolRow& row) { return filter.matches(row); });
    return chosen;
}

bool ProtocolFinding::covers(const ProtocolRow& row) const {
    return row.type == type && row.parameter == parameter && CommentPattern(row.comment) == comment;
}

std::vector<ProtocolFinding> SummariseProtocol(const std::vector<ProtocolRow>& rows) {
    using Key = std::tuple<std::string, std::string, std::string>;
    using Stay = std::tuple<std::string, std::string, std::string, std::string>;
    std::map<Key, std::pair<long, std::set<Stay>>> kinds;
    for (const ProtocolRow& row : rows) {
        auto& [count, stays] = kinds[Key{row.type, row.parameter, CommentPattern(row.comment)}];
        ++count;
        if (row.namesStay()) stays.insert(Stay{row.file, row.kisId, row.birthDate, row.admission});
    }
    std::vector<ProtocolFinding> findings;
    findings.reserve(kinds.size());
    for (const auto& [key, counts] : kinds)
        findings.push_back({std::get<0>(key), std::get<1>(key), std::get<2>(key), counts.first,
                            static_cast<long>(counts.second.size())});
    std::sort(findings.begin(), findings.end(), [](const ProtocolFinding& a, const ProtocolFinding& b) {
        const bool aError = a.type == levels::Error;
        const bool bError = b.type == levels::Error;
        return std::tuple(!aError, -a.rows, a.parameter, a.comment, a.type) <
               std::tuple(!bError, -b.rows, b.parameter, b.comment, b.type);
    });
    return findings;
}

const std::vector<std::string>& FindingHeaders() {
    static const std::vector<std::string> headers = {"Typ", "Parameter", "Kommentar", "Zeilen",
                                                     "Aufenthalte"};
    return headers;
}

std::vector<std::string> FindingCells(const ProtocolFinding& finding) {
    return {finding.type, finding.parameter, finding.comment, std::to_string(finding.rows),
            std::to_string(finding.stays)};
}

std::string FindingsClipboardText(const std::vector<ProtocolFinding>& findings) {
    auto join = [](const std::vector<std::string>& cells) {
        std::string line;
        for (std::size_t i = 0; i < cells.size(); ++i) line += (i ? "\t" : "") + cells[i];
        return line;
    };
    std::string text = join(FindingHeaders());
    for (const ProtocolFinding& finding : findings) text += "\r" + join(FindingCells(finding));
    return text;
}

}  // namespace kalvora

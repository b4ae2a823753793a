#pragma once
// Reading a protocol file back, and the overview of its findings: which kind of finding how often,
// in how many stays. The command line prints it, the protocol window shows and sorts it.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace kalvora {

// One row of a protocol file, its ten fields in UTF-8 as they were written (quotes and the
// apostrophe in front of a formula-like field taken off again).
struct ProtocolRow {
    std::string file;        // Datei
    std::string hospital;    // Krankenanstalt
    std::string department;  // Abteilung
    std::string recordType;  // Satzart
    std::string kisId;       // KH-Aufnahmezahl
    std::string birthDate;   // Geburtsdatum
    std::string admission;   // Aufnahmezeitpunkt
    std::string type;        // Typ: "Error" or "Warning"
    std::string parameter;   // Parameter
    std::string comment;     // Kommentar
    std::string text;        // the whole row as it stands in the file, in UTF-8
    long lineNumber = 0;     // where the row begins in the file (the header is line 1)

    // The ten fields in the order of the header.
    std::vector<std::string> cells() const;
    // A finding about a stay names it; one about the sum record or the file names none.
    bool namesStay() const;
};

// The protocol's rows in file order; a missing, unreadable or foreign file fails with a German
// message naming the file (and the line, when a row is damaged).
Result<std::vector<ProtocolRow>> ReadProtocolFile(const std::string& path);
// The same for the file's bytes; `path` only names it in messages.
Result<std::vector<ProtocolRow>> ParseProtocolText(std::string_view bytes, const std::string& path);

// The comment with each number or date that is not part of a word written "#":
// "Erhebungstag 20120301 ohne Standardmonitoring unplausibel" -> "Erhebungstag # ohne ...".
std::string CommentPattern(std::string_view comment);

// What the rows shown are chosen by; an empty criterion takes every row.
struct ProtocolFilter {
    std::string type;       // "Error" or "Warning"
    std::string parameter;  // compared without surrounding blanks
    std::string file;
    std::string kisId;  // part of the KH-Aufnahmezahl, blanks around it ignored
    bool matches(const ProtocolRow& row) const;
};

std::vector<ProtocolRow> FilterProtocolRows(const std::vector<ProtocolRow>& rows,
                                            const ProtocolFilter& filter);

// One kind of finding: type, parameter and the comment's pattern, with its rows and stays.
struct ProtocolFinding {
    std::string type;
    std::string parameter;
    std::string comment;  // the pattern
    long rows = 0;
    long stays = 0;  // distinct (Datei, KH-Aufnahmezahl, Geburtsdatum, Aufnahmezeitpunkt)

    bool covers(const ProtocolRow& row) const;
};

// One finding per kind: errors first, then by rows (most first), parameter and comment.
std::vector<ProtocolFinding> SummariseProtocol(const std::vector<ProtocolRow>& rows);

// "Typ", "Parameter", "Kommentar", "Zeilen", "Aufenthalte".
const std::vector<std::string>& FindingHeaders();
std::vector<std::string> FindingCells(const ProtocolFinding& finding);
// The findings as a table to copy: the header, then one line per finding, tabs between the cells
// and a carriage return between the lines.
std::string FindingsClipboardText(const std::vector<ProtocolFinding>& findings);

}  // namespace kalvora

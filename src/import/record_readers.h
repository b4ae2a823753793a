#pragma once
// The readers of the two record types, in two steps: checking a delivery line's fields (which needs
// nothing but the line, so it can run ahead on another thread) and storing the line's row into the
// work file, where the protocol rows of the field checks are written before those of the store.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "import/check_state.h"
#include "import/protocol_file.h"
#include "import/stay_checks.h"
#include "import/work_database.h"

namespace kalvora {

class WorkDatabase;

// The figures of a stay derived by the record type 1 reader, each of fixed width.
struct StayFigures {
    std::string days;     // 5
    std::string hours;    // 2
    std::string age;      // 3
    std::string outcome;  // 1
};

// What the field checks of a line depend on besides the line: the codes of the file (Windows-1252)
// and whether plausibility findings count as errors.
struct LineRules {
    std::string_view kaCode;
    std::string_view departmentCode;
    bool plausLevelIsError = false;
};

// The protocol rows of one line's field checks, kept until the line is stored. All rows name the
// line itself.
class LineFindings : public ProtocolSink {
public:
    void WriteProtocolRow(std::string_view level, std::string_view parameter, std::string_view line,
                          std::string_view comment) override;
    void writeTo(ProtocolSink& protocol, std::string_view line) const;

private:
    struct Row {
        std::string_view level;
        std::string parameter;
        std::string comment;
    };
    std::vector<Row> rows_;
};

// A line after its field checks; the row holds views into the line.
struct CheckedType1 {
    RecordType1Row row;
    StayFigures figures;
    CheckState state = CheckState::None;
    LineFindings findings;
};

struct CheckedType3 {
    RecordType3Row row;  // without T28_SCORE and STUNDEN, which are set when the line is stored
    std::string scoreText;
    CheckState state = CheckState::None;
    LineFindings findings;
};

// Lines are Windows-1252 bytes without their line end.
CheckedType1 CheckRecordType1(const LineRules& rules, std::string_view line);
CheckedType3 CheckRecordType3(const LineRules& rules, std::string_view line);

// What the store step shares with the import run for one line.
struct LineContext {
    ProtocolSink& protocol;
    WorkDatabase& work;
    CheckState state = CheckState::None;
    bool duplicateFlag = false;
    // Hours of the stay the line belongs to, copied onto its survey days (none while unknown).
    const std::optional<std::string>* stayHours = nullptr;
};

// Writes the line's field findings, stores its row and reports a row already stored; the line's check
// state ends up in the context.
void StoreRecordType1(LineContext& context, std::string_view line, const CheckedType1& checked);
void StoreRecordType3(LineContext& context, std::string_view line, CheckedType3& checked);
// For a record type 1 line whose row is stored later: writes its field findings and takes its state.
void NoteRecordType1(LineContext& context, std::string_view line, const CheckedType1& checked);
// The fields a counted record type 1 line gives its stay (Satzart_1 is the caller's).
void SetStayFields(StayRow& stay, std::string_view line, const StayFigures& figures);
// STUNDEN of a stay: the whole hours of a stay that ended on its day of admission, "99" otherwise.
std::string StayHours(const StayFigures& figures);
// For a line whose row is stored later: writes its field findings and reports a day the stay has
// already, as StoreRecordType3 does.
void NoteRecordType3(LineContext& context, std::string_view line, const CheckedType3& checked,
                     bool duplicate);
// The row of a checked record type 3 line with its score, as it is stored.
void CompleteRecordType3(CheckedType3& checked);
// The item values of a checked survey line whose row follows from its stay's key, its date and its
// items alone: a line of ASCII characters without errors, under its stay's key, with a valid survey
// date, the codes of the file and every item a plain 0 or 1. Bit i is set when the (i + 1)-th item is
// 1. None for other lines.
std::optional<std::uint32_t> ItemValuesOnly(const LineRules& rules, std::string_view line,
                                            const CheckedType3& checked);
// The codes of the file as the rows store them (UTF-8): KA_ID, ICU_FUN_ID and ICU_FUN_SID.
struct RowCodes {
    std::string_view kaCode, departmentId, departmentSid;
};
// The row such a line gives, with its score, from the codes of the file and the stay's key (UTF-8),
// its survey date (eight digits) and item values. The row holds views into those texts and into
// `checked`.
void RowOfItemValues(const RowCodes& codes, std::string_view kisId, std::string_view dob,
                     std::string_view admDate, std::string_view recDate, std::uint32_t items,
                     CheckedType3& checked);
// Whether the row is stored under the key of its line's stay: not when a key field was blanked.
template <typename Row>
bool IsUnderLineKey(const Row& row, std::string_view line) {
    return row.KIS_ID == LinePart(line, 14, 10) && row.DOB == LinePart(line, 24, 8) &&
           row.ADM_DATE == LinePart(line, 32, 12);
}
// Whether the row has a blanked birth date or admission time: such rows belong to no stay, and
// whether one repeats another is decided across stays in the order of the file.
template <typename Row>
bool HasBlankedKeyField(const Row& row) {
    return row.DOB == " " || row.ADM_DATE == " ";
}

}  // namespace kalvora

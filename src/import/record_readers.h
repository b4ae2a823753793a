#pragma once
// The readers of the two record types: each checks the fields of one delivery line, writes a
// protocol row per finding, raises the line's check state and adds the line's row to the work file.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "import/check_state.h"
#include "import/stay_checks.h"

namespace kalvora {

class ProtocolFile;
class WorkDatabase;

// The figures of a stay derived by the record type 1 reader, each of fixed width.
struct StayFigures {
    std::string days;     // 5
    std::string hours;    // 2
    std::string age;      // 3
    std::string outcome;  // 1
};

// What the readers share with the import run for one line.
struct LineContext {
    ProtocolFile& protocol;
    WorkDatabase& work;
    std::string_view kaCode;          // of the file, Windows-1252
    std::string_view departmentCode;  // of the file, Windows-1252
    bool plausLevelIsError = false;
    CheckState state = CheckState::None;
    bool duplicateFlag = false;
    StayFigures figures;
    // Hours of the stay the line belongs to, copied onto its survey days (none while unknown).
    const std::optional<std::string>* stayHours = nullptr;
    // Receives each survey day stored under the key its line names (none: not collected).
    std::vector<CheckedDay>* storedDays = nullptr;
};

// Lines are Windows-1252 bytes without their line end.
void ReadRecordType1(LineContext& context, std::string_view line);
void ReadRecordType3(LineContext& context, std::string_view line);

}  // namespace kalvora

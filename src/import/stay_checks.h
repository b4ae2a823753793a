#pragma once
// The checks of each stay as a whole after a file has been read, the substitute survey days for
// missing days, and the comparison with the sum record.
//
// The walk after reading takes the stays in key order, checks each new stay from its survey days
// (those held back while reading and those in the work file) and stores the held-back days of the
// stays without errors, so that the survey days are written in key order.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "base/status_sink.h"
#include "import/checked_day.h"
#include "import/stay_row.h"

namespace kalvora {

class ProtocolFile;
class WorkDatabase;
struct RecordType3Row;

// The survey day a record type 3 row stores.
CheckedDay CheckedDayOf(const RecordType3Row& row);

// A protocol row the checks of a stay write, in the order they are found.
struct FindingRow {
    std::string_view level;
    std::string parameter;
    std::string line;  // Windows-1252
    std::string comment;
};

// A substitute survey day to store: qualifier "E", "M" or "L", its date and score.
struct SubstituteDay {
    std::string_view qualifier;
    std::string date;
    std::string score;
};

// What the checks find for one stay.
struct StayCheckOutcome {
    std::string flag;  // the stay's flag after the checks
    std::vector<FindingRow> rows;
    std::vector<SubstituteDay> substitutes;

    bool changesNothing(std::string_view storedFlag) const {
        return rows.empty() && substitutes.empty() && flag == storedFlag;
    }
};

// The checks of one new stay from its row and its stored survey days (in any order). The codes
// of the file are Windows-1252.
StayCheckOutcome CheckStay(const StayRow& stay, std::vector<CheckedDay> days, std::string_view kaCode,
                           std::string_view departmentCode);

// A stay's survey days in the work file: none, days that count (read for its checks), or days it had
// before it was delivered again (removed before its new days are stored).
enum class StoredDays { None, Counted, Replaced };

// The survey days of this file held back while it was read, handed to the walk a batch of stays at a
// time: the walk stores them, with the stay's substitute days, unless the stay ends with errors. The
// next batch is prepared while the walk works on the current one.
class HeldBackRows {
public:
    virtual ~HeldBackRows() = default;
    // Starts getting the held-back rows of a batch of stays; batches are taken in the order prepared.
    virtual void prepare(const std::vector<StayRow>& stays) = 0;
    // Makes the batch prepared first the one `rowsOf` answers for.
    virtual void take() = 0;
    // The held-back rows of the stay at `at` in the batch taken, in place of `rows` (valid until the
    // next batch is taken), and what the work file holds of the stay's survey days.
    virtual StoredDays rowsOf(size_t at, std::vector<const RecordType3Row*>& rows) = 0;
};

struct StayCheckCounts {
    long long oldStays = 0;
    long long errorStays = 0;
    long long countedRecordLines = 0;
    bool findings = false;
};

struct StayCheckContext {
    ProtocolFile& protocol;
    WorkDatabase& work;
    std::string_view kaCode;          // Windows-1252
    std::string_view departmentCode;  // Windows-1252
    // The survey days held back while reading; without them every day is in the work file.
    HeldBackRows* heldBack = nullptr;
    // Lets the window repaint now and then during a long walk; none on the command line.
    StatusSink* status = nullptr;
};

StayCheckCounts checkStays(StayCheckContext& context);

void checkSumRecord(StayCheckContext& context, bool sumPresent, long long sumValue, StayCheckCounts& counts);

}  // namespace kalvora

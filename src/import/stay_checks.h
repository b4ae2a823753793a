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
struct RecordType1Row;
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

// A stay whose row was held back while the file was read: the walk stores its row.
struct HeldBackStay {
    bool olderRow = false;  // the work file holds an older row of the stay, which this one replaces
    // Its record type 1 row, stored with it; null when there is none to store (stored as it was read,
    // or the line did not count).
    const RecordType1Row* type1Row = nullptr;
};

// The stays the walk after reading takes, a batch at a time in key order: the work file's stays and
// those held back while reading, with the survey days held back for each. The walk stores them, with
// the stay's substitute days, unless the stay ends with errors. The next batch is prepared while the
// walk works on the current one; the walk changes only stays it has been given.
class WalkStays {
public:
    virtual ~WalkStays() = default;
    // The next batch in place of `stays`; false when every stay has been walked.
    virtual bool next(std::vector<StayRow>& stays) = 0;
    // The held-back survey rows of the stay at `at` in the batch, in place of `rows` (valid until the
    // next batch), and what the work file holds of the stay's survey days.
    virtual StoredDays rowsOf(size_t at, std::vector<const RecordType3Row*>& rows) = 0;
    // The stay at `at` if its row was held back; null for a stay of the work file.
    virtual const HeldBackStay* heldStayOf(size_t at) = 0;
};

// Where the walk stores the survey days of the stays it accepts: the work file, unless another store
// is given. A day stored twice is a failure (StoreError), reported when the store finds it.
class SurveyDayStore {
public:
    virtual ~SurveyDayStore() = default;
    // Stores the row; its texts need to stay valid only during the call. A substitute day is named so
    // in a failure.
    virtual void store(const RecordType3Row& row, bool substitute) = 0;
    // The walk has finished a batch of stays.
    virtual void batchDone() {}
};

// The failure of a survey day found stored already.
std::string AlreadyStoredDay(std::string_view recDate, bool substitute);

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
    // The stays to walk; needed by checkStays.
    WalkStays* stays = nullptr;
    // Where the accepted stays' survey days go; none: the work file.
    SurveyDayStore* days = nullptr;
    // Lets the window repaint now and then during a long walk; none on the command line.
    StatusSink* status = nullptr;
};

StayCheckCounts checkStays(StayCheckContext& context);

void checkSumRecord(StayCheckContext& context, bool sumPresent, long long sumValue, StayCheckCounts& counts);

}  // namespace kalvora

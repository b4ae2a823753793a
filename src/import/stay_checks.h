#pragma once
// The checks of each stay as a whole after a file has been read, the substitute survey days for
// missing days, and the comparison with the sum record.
//
// A stay whose lines follow one another in the file is checked as soon as its last line is read,
// from the survey days the readers have just stored; the walk after reading then only writes out
// what was found. Stays whose rows changed after that (lines of a stay read earlier, stays already
// stored) are checked from the stored rows.

#include <array>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
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

// Outcomes worked out while the file is read, by stay key. Only outcomes that change something are
// kept, so a stay with no entry and no recheck mark passed its checks unchanged. Memory is bounded:
// beyond `limit` kept stays everything is forgotten and every stay is checked from the stored rows.
class PrecheckedStays {
public:
    explicit PrecheckedStays(size_t limit = 50000) : limit_(limit) {}
    void record(const StayRow& stay, StayCheckOutcome outcome);
    // The stay's rows changed after its check (or it was never checked from memory).
    void recheck(const StayRow& stay);

    enum class Lookup { Unchanged, Found, Recheck };
    Lookup find(const StayRow& stay, const StayCheckOutcome*& outcome) const;

private:
    static std::string keyOf(const StayRow& stay);
    void forgetIfFull();
    size_t limit_;
    bool forgotten_ = false;
    std::unordered_map<std::string, StayCheckOutcome> outcomes_;
    std::unordered_set<std::string> recheck_;
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
    // Outcomes found while reading; without them every stay is checked from the stored rows.
    const PrecheckedStays* prechecked = nullptr;
    // Lets the window repaint now and then during a long walk; none on the command line.
    StatusSink* status = nullptr;
};

StayCheckCounts checkStays(StayCheckContext& context);

void checkSumRecord(StayCheckContext& context, bool sumPresent, long long sumValue, StayCheckCounts& counts);

}  // namespace kalvora

#pragma once
// The checks of each stay as a whole after a file has been read, the substitute survey days for
// missing days, and the comparison with the sum record.

#include <string>
#include <string_view>

namespace kalvora {

class ProtocolFile;
class WorkDatabase;

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
};

StayCheckCounts checkStays(StayCheckContext& context);

void checkSumRecord(StayCheckContext& context, bool sumPresent, long long sumValue, StayCheckCounts& counts);

}  // namespace kalvora

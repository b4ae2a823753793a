#include "reports/stay_detail.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "base/conversions.h"
#include "base/text.h"
#include "store/file_ops.h"
#include "store/stored_data_messages.h"

namespace kalvora {

namespace {

// Entry number for a value that lies from 1 to `last`, else 0.
int entryInRange(std::string_view value, int last) {
    const double number = NumericValue(value);
    if (number < 1 || number > last) return 0;
    return static_cast<int>(WholeNumericValue(value));
}

}  // namespace

static StayDetail loadStayDetailOnce(const std::string& departmentDbPath, const StayKey& key, bool& found) {
    DepartmentDatabase department = DepartmentDatabase::ForReading(departmentDbPath);
    StayDetail detail;
    const std::optional<StoredStay> stay = department.stay(key);
    found = stay.has_value();
    if (!found) return detail;
    // The fields both rows have; the record type 1 row, when there is one, has the last word.
    const auto takeCommonFields = [&detail](const auto& row) {
        detail.kisId = row.kisId;
        detail.dob = row.dob;
        detail.admDate = row.admDate;
        detail.disDate = row.disDate;
        detail.icuOutcome = row.icuOutcome;
    };
    takeCommonFields(*stay);
    detail.typ = stay->typ;
    if (const std::optional<StoredRecordType1> recordType1 = department.recordType1(key)) {
        detail.hasRecordType1 = true;
        takeCommonFields(*recordType1);
        detail.hospDisDate = recordType1->hospDisDate;
        detail.hospMort = recordType1->hospMort;
    }
    detail.surveyDays = department.surveyDays(key);
    return detail;
}

int IcuOutcomeEntry(std::string_view value) { return entryInRange(value, 4); }
int HospitalStatusEntry(std::string_view value) { return entryInRange(value, 2); }

bool IsItemTicked(std::string_view value) {
    const double number = NumericValue(value);
    if (number < 0 || number > 1) return false;
    return WholeNumericValue(value) == 1;
}

std::string ScoreDisplay(std::string_view storedScore) {
    if (IsBlankText(storedScore)) return {};
    const double number = NumericValue(storedScore);
    if (number == std::floor(number) && std::fabs(number) < 1e15)
        return std::to_string(static_cast<long long>(number));
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.15g", number);
    return buffer;
}

Result<StayDetail> LoadStayDetail(const std::string& departmentDbPath, const StayKey& key) {
    const std::string fileName = std::filesystem::path(departmentDbPath).filename().string();
    if (!FileExists(departmentDbPath)) return Failure{stored_data_messages::DepartmentDbMissing(fileName)};
    bool found = false;
    StayDetail detail;
    try {
        detail = ReadCurrentFile([&] { return loadStayDetailOnce(departmentDbPath, key, found); });
    } catch (const StoreError&) {
        return Failure{stored_data_messages::DepartmentDbUnreadable(fileName)};
    }
    if (!found) return Failure{std::string(stored_data_messages::StayNotFound)};
    return detail;
}

}  // namespace kalvora

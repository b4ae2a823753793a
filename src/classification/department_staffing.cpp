#include "classification/department_staffing.h"

#include "store/data_directory.h"

namespace kalvora {

Decimal DgkpOfEntry(std::string_view text, const NumberNotation& notation) {
    return Decimal::fromDouble(ParseLocaleNumber(text, notation).value_or(0.0), kDgkpField.places);
}

long long BedsOfEntry(std::string_view text) { return WholeNumericValue(text); }

Outcome StoreDepartmentStaffing(const std::string& systemDataPath, const Department& department,
                                const Staffing& values) {
    try {
        const DataDirectoryLock lock(systemDataPath);
        AdminDatabase admin = AdminDatabase::ForWriting(lock);
        admin.storeStaffing(department.kanr, department.abteilung, values);
    } catch (const StoreError& error) {
        return Failure{error.what()};
    }
    return Done{};
}

}  // namespace kalvora

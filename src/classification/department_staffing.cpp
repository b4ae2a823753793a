#include "classification/department_staffing.h"

#include "store/data_directory.h"

namespace kalvora {

Decimal DgkpOfEntry(std::string_view text, const NumberNotation& notation) {
    return Decimal::fromDouble(ParseLocaleNumber(text, notation).value_or(0.0), kDgkpField.places);
}

long long BedsOfEntry(std::string_view text) { return WholeNumericValue(text); }

bool StoreDepartmentStaffing(const std::string& systemDataPath, std::string_view kanr,
                             std::string_view abteilung, const Staffing& values) {
    const DataDirectoryLock lock(systemDataPath);
    AdminDatabase admin = AdminDatabase::ForWriting(lock);
    return admin.storeStaffing(kanr, abteilung, values);
}

}  // namespace kalvora

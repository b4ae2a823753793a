#include "store/imported_data_check.h"

#include "store/admin_database.h"

namespace kalvora {

Result<bool> CheckImportedData(const std::string& systemDataPath) {
    const std::string path = AdminDatabase::PathIn(systemDataPath);
    try {
        return AdminDatabase(Database(path, OpenMode::ReadOnly)).hasDepartments();
    } catch (const StoreError& error) {
        return Failure{"Die Verwaltungsdatenbank " + path + " kann nicht gelesen werden (" + error.what() +
                       ")."};
    }
}

}  // namespace kalvora

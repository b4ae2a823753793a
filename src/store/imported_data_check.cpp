#include "store/imported_data_check.h"

#include "store/admin_database.h"

namespace kalvora {

ImportedDataCheck CheckImportedData(const std::string& systemDataPath) {
    const std::string path = AdminDatabase::PathIn(systemDataPath);
    ImportedDataCheck result;
    try {
        result.present = AdminDatabase(Database(path, OpenMode::ReadOnly)).hasDepartments();
    } catch (const StoreError& error) {
        result.error =
            "Die Verwaltungsdatenbank " + path + " kann nicht gelesen werden (" + error.what() + ").";
    }
    return result;
}

}  // namespace kalvora

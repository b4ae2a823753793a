#include "store/imported_data_check.h"

#include "base/settings.h"
#include "store/database.h"
#include "store/schema.h"

namespace kalvora {

ImportedDataCheck CheckImportedData(const std::string& systemDataPath) {
    const std::string path = JoinPath(systemDataPath, files::AdminDb);
    ImportedDataCheck result;
    try {
        Database admin(path, OpenMode::ReadOnly);
        Statement first =
            admin.prepare("SELECT 1 FROM " + QuoteIdentifier(tables::Dateiverwaltung) + " LIMIT 1");
        result.present = first.step() == StepResult::Row;
    } catch (const StoreError& error) {
        result.error =
            "Die Verwaltungsdatenbank " + path + " kann nicht gelesen werden (" + error.what() + ").";
    }
    return result;
}

}  // namespace kalvora

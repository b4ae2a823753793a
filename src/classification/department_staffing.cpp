#include "classification/department_staffing.h"

#include "store/database.h"

namespace kalvora {

bool StoreStaffing(Database& admin, std::string_view kanr, std::string_view abteilung,
                   const StaffingValues& values) {
    Statement update = admin.prepare(
        "UPDATE Dateiverwaltung SET SBETT = ?1, DGKP = ?2, VOREINSTUFUNG = ?3 "
        "WHERE KANR = ?4 AND ABTEILUNG = ?5;");
    update.bind(1, values.beds);
    update.bind(2, values.dgkp.toDouble());
    update.bind(3, std::string_view(values.preset));
    update.bind(4, kanr);
    update.bind(5, abteilung);
    update.run();
    return admin.changes() > 0;
}

}  // namespace kalvora

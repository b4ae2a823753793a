#pragma once
// The database files of the system data directory, their tables and fields.

#include <array>
#include <string_view>

namespace kalvora {

class Database;

namespace files {
inline constexpr std::string_view AdminDb = "iadmin.mdb";
inline constexpr std::string_view TemplateDb = "ibds.mdb";
inline constexpr std::string_view WorkDb = "temp.mdb";
inline constexpr std::string_view DefaultExportDb = "gesamt.mdb";
}  // namespace files

namespace tables {
inline constexpr std::string_view Dateiverwaltung = "Dateiverwaltung";
inline constexpr std::string_view Hospitals = "KANR-Bezeichnung";
inline constexpr std::string_view Departments = "ABT-Bezeichnung";
inline constexpr std::string_view Stays = "Gesamt - Patientenadministration";
inline constexpr std::string_view RecordType1 = "Satzart 1 - Patientenadministration Intensiv";
inline constexpr std::string_view RecordType3 = "Satzart 3 - TISS28";
inline constexpr std::string_view RecordType3Work = "Satzart 3 - TISS28 TEMP";
}  // namespace tables

// Fields of "Gesamt - Patientenadministration" in table order.
inline constexpr std::array<std::string_view, 16> kStayFields = {
    "KA_ID", "ICU_FUN_ID",    "ICU_FUN_SID", "KIS_ID", "DOB",   "ADM_DATE", "Satzart_1",   "Satzart_3",
    "FLAG",  "DIS_YEARMONTH", "DIS_DATE",    "BD",     "Alter", "TYP",      "ICU_OUTCOME", "STUNDEN"};

// Fields of "Satzart 1 - Patientenadministration Intensiv" in table order.
inline constexpr std::array<std::string_view, 11> kRecordType1Fields = {
    "QUALIFIER", "KA_ID",    "ICU_FUN_ID",  "ICU_FUN_SID",   "KIS_ID",   "DOB",
    "ADM_DATE",  "DIS_DATE", "ICU_OUTCOME", "HOSP_DIS_DATE", "HOSP_MORT"};

// Fields of "Satzart 3 - TISS28" before the 28 item fields, and after them.
inline constexpr std::array<std::string_view, 8> kRecordType3LeadingFields = {
    "QUALIFIER", "KA_ID", "ICU_FUN_ID", "ICU_FUN_SID", "KIS_ID", "DOB", "ADM_DATE", "REC_DATE"};
inline constexpr std::array<std::string_view, 2> kRecordType3TrailingFields = {"T28_SCORE", "STUNDEN"};

// Creates the tables of the administration database (empty).
void CreateAdminSchema(Database& db);
// Creates the four tables of a department database (the template), empty.
void CreateDepartmentSchema(Database& db);

}  // namespace kalvora

#pragma once
// German texts of the ICU report and the export for the cases in which stored data are missing or
// cannot be read. The catalog texts of the message service stay where they are.

#include <string>
#include <string_view>

namespace kalvora::stored_data_messages {

// Shown in place of a hospital or department name that has no row in its name table.
inline constexpr std::string_view MissingName = "(ohne Bezeichnung)";

inline std::string AdminDbUnreadable(std::string_view path) {
    return "Die Verwaltungsdatenbank " + std::string(path) + " fehlt oder kann nicht gelesen werden!";
}
inline std::string DepartmentDbMissing(std::string_view fileName) {
    return "Die Abteilungsdatenbank " + std::string(fileName) + " fehlt im Systemdatenverzeichnis!";
}
inline std::string DepartmentDbUnreadable(std::string_view fileName) {
    return "Die Abteilungsdatenbank " + std::string(fileName) + " kann nicht gelesen werden!";
}
inline std::string UnknownDepartment(std::string_view fileName) {
    return "Keine Abteilung mit der Datenbank " + std::string(fileName) + " vorhanden!";
}
inline constexpr std::string_view StayNotFound =
    "Der Aufenthalt ist in der Abteilungsdatenbank nicht vorhanden!";
inline constexpr std::string_view NoRecordType1 =
    "Zu diesem Aufenthalt ist keine Satzart 1 (Entlassungsdaten) gespeichert.";
inline constexpr std::string_view NoSurveyDays =
    "Zu diesem Aufenthalt sind keine TISS-28-Erhebungstage gespeichert.";

}  // namespace kalvora::stored_data_messages

#pragma once
// DepartmentLine: the fixed-column text that describes one department in the department lists of
// the ICU report and the export. Windows read its fields back by column, so the layout is exact:
//
//   1-4 KANR | 5-7 " - " | 8-27 hospital name | 28-29 blanks | 30-37 ABTEILUNG | 38-40 " - " |
//   41-81 department name | 82-84 blanks | 85-96 MDB_DATEI | 97 blank | 98- Status

#include <string>
#include <string_view>
#include <vector>

#include "store/admin_database.h"

namespace kalvora {

// The line of a department; a name without a row in its table shows as "(ohne Bezeichnung)".
std::string BuildDepartmentLine(const Department& row);

// Readers by column range.
std::string DepartmentHospitalPart(std::string_view line);    // 1-28: number, name, one blank
std::string DepartmentHospitalColumn(std::string_view line);  // 1-27
std::string DepartmentPanelPart(std::string_view line);       // 29-72
std::string DepartmentPart(std::string_view line);            // 30-73
std::string DepartmentDatabaseName(std::string_view line);    // 85-96, blanks removed
std::string ExportListLine(std::string_view line);            // 1-96: the line of the export list

// The department list: one line per row of Dateiverwaltung, in ascending text order.
struct DepartmentList {
    std::vector<std::string> lines;
    std::string error;  // German message when the administration database cannot be read
};
DepartmentList LoadDepartmentLines(const std::string& systemDataPath);

// The department database named by columns 85-96 of the line, in the system data directory.
std::string DepartmentDatabasePath(const std::string& systemDataPath, std::string_view line);

// The line of the department whose database file is `fileName`; none when no line names it.
const std::string* FindDepartmentLine(const std::vector<std::string>& lines, std::string_view fileName);

// Lines of the named departments in list order, whatever order the names come in, each once.
struct DepartmentChoice {
    std::vector<std::string> lines;
    std::string error;  // German message naming the first unknown database file
};
DepartmentChoice ChooseDepartments(const std::vector<std::string>& lines,
                                   const std::vector<std::string>& fileNames);

}  // namespace kalvora

#pragma once
// The departments of the ICU report and the export, and the fixed-column line that shows one of
// them in the department lists. The lists hold Department values; the line is only rendered, for the
// screen, the clipboard and the status panels:
//
//   1-4 KANR | 5-7 " - " | 8-27 hospital name | 28-29 blanks | 30-37 ABTEILUNG | 38-40 " - " |
//   41-81 department name | 82-84 blanks | 85-96 MDB_DATEI | 97 blank | 98- Status

#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "store/admin_database.h"

namespace kalvora {

// The line of a department; a name without a row in its table shows as "(ohne Bezeichnung)".
std::string BuildDepartmentLine(const Department& department);

// Column ranges of the line.
std::string DepartmentHospitalPart(const Department& department);    // 1-28: number, name, one blank
std::string DepartmentHospitalColumn(const Department& department);  // 1-27
std::string DepartmentPanelPart(const Department& department);       // 29-72
std::string DepartmentPart(const Department& department);            // 30-73
std::string DepartmentLineColumns(const Department& department, int first, int last);
std::string ExportListLine(const Department& department);  // 1-96: the line of the export list

// "EXTERN" when the department's Status begins with "E" (data of the import), else "INTERN".
std::string CurrentDepartmentStatus(const Department& department);

// The department list: every row of Dateiverwaltung, in ascending text order of their lines. Fails
// with a German message when the administration database cannot be read.
Result<std::vector<Department>> LoadDepartments(const std::string& systemDataPath);

// The department's database in the system data directory.
std::string DepartmentDatabasePath(const std::string& systemDataPath, const Department& department);

// The department whose database file is `fileName` (blanks do not count); none when no department
// has it.
const Department* FindDepartment(const std::vector<Department>& departments, std::string_view fileName);

// The named departments in list order, whatever order the names come in, each once. Fails with a
// German message naming the first unknown database file.
Result<std::vector<Department>> ChooseDepartments(const std::vector<Department>& departments,
                                                  const std::vector<std::string>& fileNames);

}  // namespace kalvora

#include "reports/department_line.h"

#include <algorithm>

#include "base/paths.h"
#include "base/text.h"
#include "store/data_directory.h"
#include "store/file_ops.h"
#include "store/stored_data_messages.h"

namespace kalvora {

std::string BuildDepartmentLine(const Department& department) {
    // Codes are brought to their stored widths so that the columns hold even for rows that were not
    // written by the import.
    std::string line = FixedWidth(department.kanr, 4);
    line += " - ";
    line += FixedWidth(department.hospitalName.value_or(std::string(stored_data_messages::MissingName)), 20);
    line += "  ";
    line += FixedWidth(department.abteilung, 8);
    line += " - ";
    line +=
        FixedWidth(department.departmentName.value_or(std::string(stored_data_messages::MissingName)), 41);
    line += "   ";
    line += FixedWidth(department.dataFile, 12);
    line += ' ';
    line += department.status;
    return line;
}

std::string DepartmentLineColumns(const Department& department, int first, int last) {
    return LineColumns(BuildDepartmentLine(department), first, last);
}

std::string DepartmentHospitalPart(const Department& department) {
    return DepartmentLineColumns(department, 1, 28);
}
std::string DepartmentHospitalColumn(const Department& department) {
    return DepartmentLineColumns(department, 1, 27);
}
std::string DepartmentPanelPart(const Department& department) {
    return DepartmentLineColumns(department, 29, 72);
}
std::string DepartmentPart(const Department& department) { return DepartmentLineColumns(department, 30, 73); }
std::string ExportListLine(const Department& department) { return DepartmentLineColumns(department, 1, 96); }

std::string CurrentDepartmentStatus(const Department& department) {
    return department.status.starts_with('E') ? "EXTERN" : "INTERN";
}

std::string DepartmentDatabasePath(const std::string& systemDataPath, const Department& department) {
    return JoinPath(systemDataPath, department.fileName());
}

Result<std::vector<Department>> LoadDepartments(const std::string& systemDataPath) {
    Result<std::vector<Department>> departments = ReadDepartments(systemDataPath);
    if (!departments)
        return Failure{stored_data_messages::AdminDbUnreadable(AdminDatabase::PathIn(systemDataPath))};
    SortByLine(*departments, BuildDepartmentLine);
    return departments;
}

const Department* FindDepartment(const std::vector<Department>& departments, std::string_view fileName) {
    const std::string wanted = WithoutBlanks(fileName);
    auto found = std::find_if(departments.begin(), departments.end(),
                              [&](const Department& department) { return department.fileName() == wanted; });
    return found == departments.end() ? nullptr : &*found;
}

Result<std::vector<Department>> ChooseDepartments(const std::vector<Department>& departments,
                                                  const std::vector<std::string>& fileNames) {
    std::vector<bool> chosen(departments.size(), false);
    for (const std::string& name : fileNames) {
        const Department* department = FindDepartment(departments, name);
        if (department == nullptr) return Failure{stored_data_messages::UnknownDepartment(name)};
        chosen[static_cast<std::size_t>(department - departments.data())] = true;
    }
    std::vector<Department> result;
    for (std::size_t index = 0; index < departments.size(); ++index) {
        if (chosen[index]) result.push_back(departments[index]);
    }
    return result;
}

}  // namespace kalvora

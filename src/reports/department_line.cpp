#include "reports/department_line.h"

#include <algorithm>

#include "base/paths.h"
#include "base/text.h"
#include "store/data_directory.h"
#include "store/database.h"
#include "store/file_ops.h"
#include "store/schema.h"
#include "store/stored_data_messages.h"

namespace kalvora {

std::string BuildDepartmentLine(const Department& row) {
    // Codes are brought to their stored widths so that the columns hold even for rows that were not
    // written by the import.
    std::string line = FixedWidth(row.kanr, 4);
    line += " - ";
    line += FixedWidth(row.hospitalName.value_or(std::string(stored_data_messages::MissingName)), 20);
    line += "  ";
    line += FixedWidth(row.abteilung, 8);
    line += " - ";
    line += FixedWidth(row.departmentName.value_or(std::string(stored_data_messages::MissingName)), 41);
    line += "   ";
    line += FixedWidth(row.dataFile, 12);
    line += ' ';
    line += row.status;
    return line;
}

std::string DepartmentHospitalPart(std::string_view line) { return LineColumns(line, 1, 28); }
std::string DepartmentHospitalColumn(std::string_view line) { return LineColumns(line, 1, 27); }
std::string DepartmentPanelPart(std::string_view line) { return LineColumns(line, 29, 72); }
std::string DepartmentPart(std::string_view line) { return LineColumns(line, 30, 73); }
std::string DepartmentDatabaseName(std::string_view line) {
    return std::string(TrimBlanks(LineColumns(line, 85, 96)));
}
std::string ExportListLine(std::string_view line) { return LineColumns(line, 1, 96); }

std::string DepartmentDatabasePath(const std::string& systemDataPath, std::string_view line) {
    return JoinPath(systemDataPath, DepartmentDatabaseName(line));
}

DepartmentList LoadDepartmentLines(const std::string& systemDataPath) {
    DepartmentList list;
    const std::string path = AdminDatabase::PathIn(systemDataPath);
    if (!FileExists(path)) {
        list.error = stored_data_messages::AdminDbUnreadable(path);
        return list;
    }
    try {
        for (const Department& department : AdminDatabase::ForReading(systemDataPath).departments())
            list.lines.push_back(BuildDepartmentLine(department));
    } catch (const StoreError&) {
        list.lines.clear();
        list.error = stored_data_messages::AdminDbUnreadable(path);
        return list;
    }
    std::stable_sort(list.lines.begin(), list.lines.end());
    return list;
}

const std::string* FindDepartmentLine(const std::vector<std::string>& lines, std::string_view fileName) {
    const std::string wanted = std::string(TrimBlanks(fileName));
    auto found = std::find_if(lines.begin(), lines.end(), [&](const std::string& line) {
        return DepartmentDatabaseName(line) == wanted;
    });
    return found == lines.end() ? nullptr : &*found;
}

DepartmentChoice ChooseDepartments(const std::vector<std::string>& lines,
                                   const std::vector<std::string>& fileNames) {
    DepartmentChoice choice;
    std::vector<bool> chosen(lines.size(), false);
    for (const std::string& name : fileNames) {
        const std::string* line = FindDepartmentLine(lines, name);
        if (line == nullptr) {
            choice.error = stored_data_messages::UnknownDepartment(name);
            return choice;
        }
        chosen[static_cast<std::size_t>(line - lines.data())] = true;
    }
    for (std::size_t index = 0; index < lines.size(); ++index) {
        if (chosen[index]) choice.lines.push_back(lines[index]);
    }
    return choice;
}

}  // namespace kalvora

#include "classification/classification_list.h"

#include <algorithm>
#include <set>

#include "base/paths.h"
#include "base/text.h"
#include "store/department_database.h"
#include "store/file_ops.h"
#include "store/stored_data_messages.h"

namespace kalvora {

bool HasClassifiableStays(const std::string& departmentDbPath) {
    return ReadCurrentFile(
        [&] { return DepartmentDatabase::ForReading(departmentDbPath).hasClassifiableStays(); });
}

Result<ClassificationDialogList> LoadClassificationDialogList(const std::string& systemDataPath) {
    const Result<std::vector<Department>> departments = ReadDepartments(systemDataPath);
    if (!departments) return Failure{departments.message()};
    ClassificationDialogList list;
    for (const Department& department : *departments) {
        const std::string dataFile = department.fileName();
        const std::string path = JoinPath(systemDataPath, dataFile);
        if (dataFile.empty() || !FileExists(path)) {
            list.unlisted.push_back({dataFile, true});
            continue;
        }
        try {
            if (HasClassifiableStays(path)) list.entries.push_back(EntryOfDepartment(department));
        } catch (const StoreError&) {
            list.unlisted.push_back({dataFile, false});
        }
    }
    return list;
}

Result<std::vector<ClassificationEntry>> EntriesOfNamedDepartments(
    const std::vector<Department>& departments, const std::vector<std::string>& fileNames) {
    std::set<std::string> wanted;
    for (const std::string& fileName : fileNames) {
        const std::string name = WithoutBlanks(fileName);
        const bool known =
            std::any_of(departments.begin(), departments.end(),
                        [&](const Department& department) { return department.fileName() == name; });
        if (!known) return Failure{stored_data_messages::UnknownDepartment(fileName)};
        wanted.insert(name);
    }
    std::vector<ClassificationEntry> entries;
    for (const Department& department : departments) {
        if (wanted.count(department.fileName()) > 0) entries.push_back(EntryOfDepartment(department));
    }
    return entries;
}

std::string UnlistedDepartmentsText(const std::vector<UnlistedDepartment>& unlisted) {
    std::string text;
    for (const UnlistedDepartment& department : unlisted) {
        if (!text.empty()) text += '\n';
        text += department.fileMissing ? stored_data_messages::DepartmentDbMissing(department.dataFile)
                                       : stored_data_messages::DepartmentDbUnreadable(department.dataFile);
    }
    return text;
}

}  // namespace kalvora

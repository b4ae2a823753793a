#include "classification/classification_list.h"

#include <algorithm>
#include <set>

#include "base/paths.h"
#include "base/text.h"
#include "store/data_directory.h"
#include "store/database.h"
#include "store/file_ops.h"
#include "store/schema.h"
#include "store/stored_data_messages.h"

namespace kalvora {

namespace {

constexpr std::string_view kClassifiableStay =
    R"(SELECT 1 FROM "Gesamt - Patientenadministration" WHERE TYP = 'INT' AND FLAG <> 'U' LIMIT 1;)";

}  // namespace

bool HasClassifiableStays(const std::string& departmentDbPath) {
    return ReadCurrentFile([&] {
        Database department(departmentDbPath, OpenMode::ReadOnly);
        Statement stay = department.prepare(kClassifiableStay);
        return stay.step() == StepResult::Row;
    });
}

ClassificationDialogList LoadClassificationDialogList(const std::string& systemDataPath,
                                                      const NumberNotation& notation) {
    AdminDatabase admin = AdminDatabase::ForReading(systemDataPath);
    ClassificationDialogList list;
    for (const Department& record : admin.departments()) {
        const std::string dataFile = record.fileName();
        const std::string path = JoinPath(systemDataPath, dataFile);
        if (dataFile.empty() || !FileExists(path)) {
            list.unlisted.push_back({dataFile, true});
            continue;
        }
        try {
            if (HasClassifiableStays(path)) list.entries.push_back(BuildDepartmentEntry(record, notation));
        } catch (const StoreError&) {
            list.unlisted.push_back({dataFile, false});
        }
    }
    return list;
}

NamedEntries EntriesOfNamedDepartments(const std::vector<Department>& departments,
                                       const std::vector<std::string>& fileNames,
                                       const NumberNotation& notation) {
    NamedEntries named;
    std::set<std::string> wanted;
    for (const std::string& fileName : fileNames) {
        const std::string name = WithoutBlanks(fileName);
        const bool known =
            std::any_of(departments.begin(), departments.end(),
                        [&](const Department& department) { return department.fileName() == name; });
        if (!known) {
            named.unknownName = fileName;
            return named;
        }
        wanted.insert(name);
    }
    for (const Department& department : departments) {
        if (wanted.count(department.fileName()) > 0)
            named.entries.push_back(BuildDepartmentEntry(department, notation));
    }
    return named;
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

std::vector<std::string> ClassificationDialogEntries(const std::string& systemDataPath,
                                                     const NumberNotation& notation) {
    return LoadClassificationDialogList(systemDataPath, notation).entries;
}

}  // namespace kalvora

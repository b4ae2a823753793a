#include "classification/classification_list.h"

#include "store/stored_data_messages.h"
#include "base/settings.h"
#include "store/data_directory.h"
#include "store/database.h"
#include "store/file_ops.h"
#include "store/schema.h"

namespace kalvora {

namespace {

constexpr std::string_view kDepartmentRecords =
    R"(SELECT d.KANR, d.ABTEILUNG, d.MDB_DATEI, h.BEZEICHNUNG, a.BEZEICHNUNG, d.DGKP, d.SBETT, d.VOREINSTUFUNG
       FROM Dateiverwaltung AS d
       LEFT JOIN "KANR-Bezeichnung" AS h ON h.KANR = d.KANR
       LEFT JOIN "ABT-Bezeichnung" AS a ON a.ABTEILUNG = substr(d.ABTEILUNG, 1, 6)
       ORDER BY d.KANR, d.ABTEILUNG;)";

constexpr std::string_view kClassifiableStay =
    R"(SELECT 1 FROM "Gesamt - Patientenadministration" WHERE TYP = 'INT' AND FLAG <> 'U' LIMIT 1;)";

DepartmentRecord RecordOfRow(const Statement& row) {
    DepartmentRecord record;
    record.kanr = row.text(0);
    record.abteilung = row.text(1);
    record.dataFile = row.text(2);
    record.hospitalName = row.text(3);
    record.departmentName = row.text(4);
    record.dgkp = row.real(5);
    record.beds = row.integer(6);
    record.preset = row.text(7);
    return record;
}

std::string WithoutBlanks(const std::string& text) {
    std::string result;
    for (const char c : text) {
        if (c != ' ') result.push_back(c);
    }
    return result;
}

}  // namespace

std::vector<DepartmentRecord> ReadDepartmentRecords(Database& admin) {
    std::vector<DepartmentRecord> records;
    Statement rows = admin.prepare(kDepartmentRecords);
    while (rows.step() == StepResult::Row) records.push_back(RecordOfRow(rows));
    return records;
}

std::optional<DepartmentRecord> FindDepartmentRecord(Database& admin, const std::string& dataFile) {
    const std::string wanted = WithoutBlanks(dataFile);
    for (DepartmentRecord& record : ReadDepartmentRecords(admin)) {
        if (WithoutBlanks(record.dataFile) == wanted) return std::move(record);
    }
    return std::nullopt;
}

bool HasClassifiableStays(const std::string& departmentDbPath) {
    return ReadCurrentFile([&] {
        Database department(departmentDbPath, OpenMode::ReadOnly);
        Statement stay = department.prepare(kClassifiableStay);
        return stay.step() == StepResult::Row;
    });
}

ClassificationDialogList LoadClassificationDialogList(const std::string& systemDataPath,
                                                      const NumberNotation& notation) {
    RecoverDataDirectory(systemDataPath);
    Database admin(JoinPath(systemDataPath, files::AdminDb), OpenMode::ReadOnly);
    ClassificationDialogList list;
    for (const DepartmentRecord& record : ReadDepartmentRecords(admin)) {
        const std::string dataFile = WithoutBlanks(record.dataFile);
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

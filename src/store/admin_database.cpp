#include "store/admin_database.h"

#include "base/paths.h"
#include "base/text.h"
#include "store/data_directory.h"
#include "store/file_ops.h"
#include "store/schema.h"
#include "store/stored_data_messages.h"

namespace kalvora {

namespace {

constexpr std::string_view kDepartments =
    R"(SELECT d.KANR, d.ABTEILUNG, d.MDB_DATEI, d.Status, h.BEZEICHNUNG, h.KANR IS NOT NULL,
              a.BEZEICHNUNG, a.ABTEILUNG IS NOT NULL, d.DGKP, d.SBETT, d.VOREINSTUFUNG
       FROM Dateiverwaltung AS d
       LEFT JOIN "KANR-Bezeichnung" AS h ON h.KANR = d.KANR
       LEFT JOIN "ABT-Bezeichnung" AS a ON a.ABTEILUNG = substr(d.ABTEILUNG, 1, 6)
       ORDER BY d.KANR, d.ABTEILUNG;)";

Department DepartmentOfRow(const Statement& row) {
    Department department;
    department.kanr = row.text(0);
    department.abteilung = row.text(1);
    department.dataFile = row.text(2);
    department.status = row.text(3);
    if (row.integer(5) != 0) department.hospitalName = row.text(4);
    if (row.integer(7) != 0) department.departmentName = row.text(6);
    department.dgkp = row.real(8);
    department.beds = row.integer(9);
    department.preset = row.text(10);
    return department;
}

}  // namespace

std::string Department::fileName() const { return WithoutBlanks(dataFile); }

Result<std::vector<Department>> ReadDepartments(const std::string& systemDataPath) {
    const std::string path = AdminDatabase::PathIn(systemDataPath);
    if (!FileExists(path)) return Failure{stored_data_messages::AdminDbUnreadable(path)};
    try {
        return AdminDatabase::ForReading(systemDataPath).departments();
    } catch (const StoreError& error) {
        return Failure{error.what()};
    }
}

std::string AdminDatabase::PathIn(const std::string& systemDataPath) {
    return JoinPath(systemDataPath, files::AdminDb);
}

AdminDatabase AdminDatabase::ForReading(const std::string& systemDataPath) {
    RecoverDataDirectory(systemDataPath);
    return AdminDatabase(Database(PathIn(systemDataPath), OpenMode::ReadOnly));
}

AdminDatabase AdminDatabase::ForWriting(const DataDirectoryLock& lock) {
    return AdminDatabase(Database(PathIn(lock.systemDataPath()), OpenMode::ReadWrite));
}

std::vector<Department> AdminDatabase::departments() {
    std::vector<Department> departments;
    Statement rows = db_.prepare(kDepartments);
    while (rows.step() == StepResult::Row) departments.push_back(DepartmentOfRow(rows));
    return departments;
}

std::optional<Department> AdminDatabase::findByFileName(std::string_view fileName) {
    const std::string wanted = WithoutBlanks(fileName);
    for (Department& department : departments()) {
        if (department.fileName() == wanted) return std::move(department);
    }
    return std::nullopt;
}

namespace {

std::optional<std::string> FirstText(Statement& statement) {
    if (statement.step() != StepResult::Row) return std::nullopt;
    return statement.text(0);
}

}  // namespace

std::optional<std::string> AdminDatabase::dataFileOf(std::string_view kanr, std::string_view abteilung) {
    Statement find = db_.prepare("SELECT MDB_DATEI FROM Dateiverwaltung WHERE KANR = ? AND ABTEILUNG = ?");
    find.bind(1, kanr).bind(2, abteilung);
    return FirstText(find);
}

std::optional<std::string> AdminDatabase::hospitalName(std::string_view kanr) {
    Statement find = db_.prepare("SELECT BEZEICHNUNG FROM \"KANR-Bezeichnung\" WHERE KANR = ?");
    find.bind(1, kanr);
    return FirstText(find);
}

std::optional<std::string> AdminDatabase::functionName(std::string_view functionCode) {
    Statement find = db_.prepare("SELECT BEZEICHNUNG FROM \"ABT-Bezeichnung\" WHERE ABTEILUNG = ?");
    find.bind(1, functionCode);
    return FirstText(find);
}

bool AdminDatabase::hasDepartments() {
    Statement first = db_.prepare("SELECT 1 FROM " + QuoteIdentifier(tables::Dateiverwaltung) + " LIMIT 1");
    return first.step() == StepResult::Row;
}

bool AdminDatabase::storeStaffing(std::string_view kanr, std::string_view abteilung,
                                  const Staffing& staffing) {
    Statement update = db_.prepare(
        "UPDATE Dateiverwaltung SET SBETT = ?1, DGKP = ?2, VOREINSTUFUNG = ?3 WHERE KANR = ?4 AND ABTEILUNG "
        "= ?5;");
    update.bind(1, staffing.beds);
    update.bind(2, staffing.dgkp.toDouble());
    update.bind(3, std::string_view(staffing.preset));
    update.bind(4, kanr);
    update.bind(5, abteilung);
    update.run();
    return db_.changes() > 0;
}

std::optional<RegisteredFile> AdminDatabase::findRegisteredFile(const Department& department) {
    Statement seek = db_.prepare("SELECT rowid, MDB_DATEI FROM Dateiverwaltung WHERE MDB_DATEI = ? LIMIT 1");
    seek.bind(1, department.dataFile);
    if (seek.step() == StepResult::Row)
        return RegisteredFile{seek.integer(0), std::string(TrimBlanks(seek.textView(1)))};
    // A stored name of another width still names the same file.
    Statement byName = db_.prepare("SELECT rowid, MDB_DATEI FROM Dateiverwaltung WHERE trim(MDB_DATEI) = ?");
    byName.bind(1, department.fileName());
    if (byName.step() == StepResult::Row)
        return RegisteredFile{byName.integer(0), std::string(TrimBlanks(byName.textView(1)))};
    return std::nullopt;
}

bool AdminDatabase::isRegisteredFile(std::string_view fileName) {
    Statement registered = db_.prepare("SELECT 1 FROM Dateiverwaltung WHERE trim(MDB_DATEI) = ?");
    registered.bind(1, fileName);
    return registered.step() == StepResult::Row;
}

void AdminDatabase::applyRegistration(const DepartmentRegistration& registration) {
    if (registration.isNew) {
        Statement insert = db_.prepare(
            "INSERT INTO Dateiverwaltung (KANR, ABTEILUNG, MDB_DATEI, SBETT, DGKP, Status, VOREINSTUFUNG)"
            " SELECT ?1, ?2, ?3, 0, 0, 'EXTERN', ' '"
            " WHERE NOT EXISTS (SELECT 1 FROM Dateiverwaltung WHERE KANR = ?1 AND ABTEILUNG = ?2)");
        insert.bind(1, std::string_view(registration.kanr)).bind(2, std::string_view(registration.abteilung));
        insert.bind(3, std::string_view(registration.mdbDatei));
        insert.run();
    } else {
        Statement update =
            db_.prepare("UPDATE Dateiverwaltung SET Status = 'EXTERN' WHERE KANR = ? AND ABTEILUNG = ?");
        update.bind(1, std::string_view(registration.kanr)).bind(2, std::string_view(registration.abteilung));
        update.run();
    }
}

std::optional<std::string> AdminDatabase::statusOf(std::string_view kanr, std::string_view abteilung) {
    Statement status = db_.prepare("SELECT Status FROM Dateiverwaltung WHERE KANR = ? AND ABTEILUNG = ?");
    status.bind(1, kanr).bind(2, abteilung);
    if (status.step() != StepResult::Row || status.isNull(0)) return std::nullopt;
    return status.text(0);
}

void AdminDatabase::removeRegistration(const DepartmentRegistration& registration) {
    Statement remove =
        db_.prepare("DELETE FROM Dateiverwaltung WHERE KANR = ? AND ABTEILUNG = ? AND MDB_DATEI = ?");
    remove.bind(1, std::string_view(registration.kanr)).bind(2, std::string_view(registration.abteilung));
    remove.bind(3, std::string_view(registration.mdbDatei));
    remove.run();
}

void AdminDatabase::restoreStatus(const DepartmentRegistration& registration, std::string_view status) {
    Statement restore = db_.prepare("UPDATE Dateiverwaltung SET Status = ? WHERE KANR = ? AND ABTEILUNG = ?");
    restore.bind(1, status);
    restore.bind(2, std::string_view(registration.kanr)).bind(3, std::string_view(registration.abteilung));
    restore.run();
}

void AdminDatabase::removeRow(long long rowid) {
    Statement remove = db_.prepare("DELETE FROM Dateiverwaltung WHERE rowid = ?");
    remove.bind(1, rowid);
    remove.run();
}

}  // namespace kalvora

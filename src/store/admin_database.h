#pragma once
// The administration database iadmin.mdb: the departments of Dateiverwaltung with the names of
// their hospitals and functions, and the changes the windows and the command line make to them.
// Windows and the command line reach these rows only through this type.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/decimal.h"
#include "base/result.h"
#include "store/database.h"

namespace kalvora {

class DataDirectoryLock;

// The three values of a department that only the classification uses.
struct Staffing {
    Decimal dgkp{0, 2};  // DGKP, two places
    long long beds = 0;  // SBETT, systemised beds
    std::string preset;  // VOREINSTUFUNG: empty or "E0" to "E3"
};

// One row of Dateiverwaltung with the names of its hospital and its department function.
struct Department {
    std::string kanr;       // KANR
    std::string abteilung;  // ABTEILUNG
    std::string dataFile;   // MDB_DATEI as stored
    std::string status;     // Status
    // BEZEICHNUNG of "KANR-Bezeichnung" for KANR, and of "ABT-Bezeichnung" for the first six
    // characters of ABTEILUNG; none when the name table has no such row.
    std::optional<std::string> hospitalName;
    std::optional<std::string> departmentName;
    double dgkp = 0.0;
    long long beds = 0;
    std::string preset;

    // MDB_DATEI without its blanks: the file name in the system data directory.
    std::string fileName() const;
};

// The row of Dateiverwaltung that a department file belongs to.
struct DepartmentRegistration {
    std::string kanr;
    std::string abteilung;
    std::string mdbDatei;  // file name in the system data directory
    bool isNew = false;    // a new row (SBETT, DGKP 0, VOREINSTUFUNG blank); else Status becomes EXTERN
};

// A registered department file: the row's rowid and its MDB_DATEI without leading and trailing blanks.
struct RegisteredFile {
    long long rowid = 0;
    std::string fileName;
};

// Every department of the data directory, in the order of Dateiverwaltung's key (KANR, ABTEILUNG).
// Fails with "Die Verwaltungsdatenbank ... kann nicht gelesen werden" when iadmin.mdb is missing, and
// with the engine's German message when it cannot be read.
Result<std::vector<Department>> ReadDepartments(const std::string& systemDataPath);

class AdminDatabase {
public:
    // The file in the system data directory.
    static std::string PathIn(const std::string& systemDataPath);

    // For reading: an interrupted change of the directory is finished first. Throws StoreError.
    static AdminDatabase ForReading(const std::string& systemDataPath);
    // For writing, under the data directory's lock. Throws StoreError.
    static AdminDatabase ForWriting(const DataDirectoryLock& lock);

    // Every row in the order of the table's key (KANR, ABTEILUNG).
    std::vector<Department> departments();
    // The row whose MDB_DATEI is `fileName` once both are without blanks.
    std::optional<Department> findByFileName(std::string_view fileName);
    // MDB_DATEI of the department (KANR, ABTEILUNG), as stored; none when it is not registered.
    std::optional<std::string> dataFileOf(std::string_view kanr, std::string_view abteilung);
    // BEZEICHNUNG of a hospital code in "KANR-Bezeichnung", of a function code in "ABT-Bezeichnung";
    // none when the code is not listed.
    std::optional<std::string> hospitalName(std::string_view kanr);
    std::optional<std::string> functionName(std::string_view functionCode);
    // Whether Dateiverwaltung has a row at all.
    bool hasDepartments();
    // Writes SBETT, DGKP and VOREINSTUFUNG into the row (KANR, ABTEILUNG); false when there is no
    // such row and nothing was stored.
    bool storeStaffing(std::string_view kanr, std::string_view abteilung, const Staffing& staffing);

    // The row of the department: the one whose MDB_DATEI is the department's as stored, else the one
    // whose MDB_DATEI names the same file with other blanks; none when no row names its file.
    std::optional<RegisteredFile> findRegisteredFile(const Department& department);
    // Whether a row's MDB_DATEI, without leading and trailing blanks, is `fileName`.
    bool isRegisteredFile(std::string_view fileName);

    // The store's own changes of Dateiverwaltung, made together with the department file (see
    // data_directory.h); the caller holds the directory's lock and a transaction.
    // A new department gets its row (once); a known one gets Status "EXTERN".
    void applyRegistration(const DepartmentRegistration& registration);
    // Status of the row (KANR, ABTEILUNG); none when there is no row or its Status is NULL.
    std::optional<std::string> statusOf(std::string_view kanr, std::string_view abteilung);
    // Takes a new department's row back (only the row with this MDB_DATEI).
    void removeRegistration(const DepartmentRegistration& registration);
    // Gives the row (KANR, ABTEILUNG) its Status back.
    void restoreStatus(const DepartmentRegistration& registration, std::string_view status);
    void removeRow(long long rowid);

    // An administration database opened by the caller.
    explicit AdminDatabase(Database db) : db_(std::move(db)) {}

    // The connection, for the transactions of the store's own changes of the directory.
    Database& database() { return db_; }

private:
    Database db_;
};

}  // namespace kalvora

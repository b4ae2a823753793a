#pragma once
// The administration database iadmin.mdb: the departments of Dateiverwaltung with the names of
// their hospitals and functions, and the changes the windows and the command line make to them.
// Windows and the command line reach these rows only through this type.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/decimal.h"
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

    // An administration database opened by the caller.
    explicit AdminDatabase(Database db) : db_(std::move(db)) {}

    // The connection, for the store's own changes of the directory (a department file replaced
    // together with its row).
    Database& database() { return db_; }

private:
    Database db_;
};

}  // namespace kalvora

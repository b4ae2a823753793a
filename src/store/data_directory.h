#pragma once
// The system data directory as a whole: one writer at a time, and department files that change
// together with their row of Dateiverwaltung.
//
// Every program that changes the directory (import, removal, staffing, set-up, export) holds the
// directory lock, an advisory lock on "kalvora.lock" beside iadmin.mdb, for as long as it works.
// Readers take no lock: the engine keeps each database consistent for them.
//
// A department file and its row change in one step through a pending-change note ("kalvora.pending"):
// once the note is on the disk the change counts as made, and whoever next opens the directory
// finishes it. Before the note exists nothing has changed.

#include <chrono>
#include <string>

#include "store/admin_database.h"
#include "store/database.h"

namespace kalvora {

inline constexpr std::string_view kDataDirectoryLockFile = "kalvora.lock";
inline constexpr std::string_view kPendingChangeFile = "kalvora.pending";

// The directory lock was not free in time: another program changes the data directory.
class DataDirectoryInUse : public StoreError {
public:
    explicit DataDirectoryInUse(const std::string& systemDataPath);
};

// The lock of one system data directory, held from construction to destruction. Taking it finishes
// an interrupted change and removes the work files of runs that died.
class DataDirectoryLock {
public:
    static constexpr std::chrono::milliseconds kDefaultWait{3000};

    // Waits up to `wait` for the lock; throws DataDirectoryInUse when it stays taken, StoreError
    // when the lock file cannot be made (missing or read-only directory).
    explicit DataDirectoryLock(const std::string& systemDataPath,
                               std::chrono::milliseconds wait = kDefaultWait);
    ~DataDirectoryLock();
    DataDirectoryLock(const DataDirectoryLock&) = delete;
    DataDirectoryLock& operator=(const DataDirectoryLock&) = delete;

    const std::string& systemDataPath() const { return systemDataPath_; }

private:
    std::string systemDataPath_;
    int fd_ = -1;
};

// For readers: finishes an interrupted change when no writer is at work, so that a department file
// and its row agree before they are read. Quiet when the directory lacks the note or cannot be locked.
void RecoverDataDirectory(const std::string& systemDataPath);

// A name for the work file of one run in the system data directory, distinct from every other run's.
std::string PrivateWorkFilePath(const std::string& systemDataPath);

// Whether `path` names one of the directory's own files: a database (administration, template,
// registered department, work file), a journal of one, or the lock and note files. Such a file
// must never be overwritten by a protocol or an export.
bool IsSystemDataFile(const std::string& path, const std::string& systemDataPath);
// Whether the file exists and is a database of the engine, wherever it lies.
bool IsDatabaseFile(const std::string& path);
// "Die Datei NAME des Systemdatenverzeichnisses darf nicht überschrieben werden!"
std::string SystemDataFileRefusal(const std::string& path);

// Puts the finished and synced work file in place of the department file and records the department
// as imported ("EXTERN"), both or neither. `admin` is the open administration database of the
// directory whose lock the caller holds. Throws StoreError when the change could not be made; the
// old file and row are then untouched and the work file is left to the caller.
void ReplaceDepartmentFile(AdminDatabase& admin, const DataDirectoryLock& lock,
                           const DepartmentRegistration& registration, const std::string& workFilePath);

enum class FileRemoval { Removed, AlreadyGone, NotRemovable };

// Deletes the department file and its row (by rowid) of Dateiverwaltung, both or neither: when the
// file cannot be deleted the row stays (NotRemovable). Throws StoreError when the row cannot be
// deleted; the file is then kept as well.
FileRemoval RemoveDepartmentFile(AdminDatabase& admin, const DataDirectoryLock& lock, long long rowid,
                                 const std::string& mdbDatei);

}  // namespace kalvora

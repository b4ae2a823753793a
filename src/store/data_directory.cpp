#include "store/data_directory.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <thread>

#include "base/paths.h"
#include "store/admin_database.h"
#include "store/file_ops.h"
#include "store/schema.h"
#include "store/store_error_text.h"

namespace kalvora {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kWorkFilePrefix = "temp-";
constexpr std::string_view kWorkFileSuffix = ".mdb";
constexpr std::string_view kRemovedSuffix = ".entfernt";
constexpr std::string_view kJournalSuffix = "-journal";

// What the pending-change note says: one "key=value" line each.
struct PendingChange {
    enum class Kind { Replace, Remove } kind = Kind::Replace;
    DepartmentRegistration registration;        // Replace: the row to record
    std::string workFile;                       // Replace: the finished work file's name
    std::optional<std::string> previousStatus;  // Replace of a known department: its Status before
    long long rowid = 0;                        // Remove: the row to delete
    std::string removedFile;                    // Remove: the department file's name while it is removed
};

std::string notePath(const std::string& directory) { return JoinPath(directory, kPendingChangeFile); }

bool isPlainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\:\r\n") == std::string::npos;
}

bool hasLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

void syncDirectory(const std::string& directory) {
    int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

void removeFile(const std::string& path) {
    std::error_code error;
    fs::remove(path, error);
}

// Written beside the note, synced, then moved into place: the note is there whole or not at all.
void writeNote(const std::string& directory, const PendingChange& change) {
    std::ostringstream text;
    if (change.kind == PendingChange::Kind::Replace) {
        const DepartmentRegistration& r = change.registration;
        text << "change=replace\nkanr=" << r.kanr << "\nabteilung=" << r.abteilung
             << "\nmdb_datei=" << r.mdbDatei << "\nnew=" << (r.isNew ? 1 : 0)
             << "\nwork_file=" << change.workFile << "\n";
        if (change.previousStatus) text << "previous_status=" << *change.previousStatus << "\n";
    } else {
        text << "change=remove\nrowid=" << change.rowid << "\nmdb_datei=" << change.registration.mdbDatei
             << "\nremoved_file=" << change.removedFile << "\n";
    }
    text << "end\n";
    const std::string content = text.str();
    const std::string path = notePath(directory);
    const std::string pending = PendingFileName(path);
    int fd = ::open(pending.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) throw StoreError(FileErrorText(pending, errno, true));
    std::size_t written = 0;
    while (written < content.size()) {
        ssize_t n = ::write(fd, content.data() + written, content.size() - written);
        if (n < 0) {
            if (errno == EINTR) continue;
            int error = errno;
            ::close(fd);
            removeFile(pending);
            throw StoreError(FileErrorText(pending, error, true));
        }
        written += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0) {
        int error = errno;
        ::close(fd);
        removeFile(pending);
        throw StoreError(FileErrorText(pending, error, true));
    }
    ::close(fd);
    if (std::rename(pending.c_str(), path.c_str()) != 0) {
        int error = errno;
        removeFile(pending);
        throw StoreError(FileErrorText(path, error, true));
    }
    syncDirectory(directory);
}

void removeNote(const std::string& directory) {
    removeFile(notePath(directory));
    syncDirectory(directory);
}

// The note of an interrupted change; none when there is no note. A note that was never completed
// cannot exist (it is moved into place whole); one that cannot be understood is an error.
std::optional<PendingChange> readNote(const std::string& directory) {
    const std::string path = notePath(directory);
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::map<std::string, std::string> values;
    std::string line;
    bool complete = false;
    while (std::getline(file, line)) {
        if (line == "end") {
            complete = true;
            break;
        }
        std::size_t equals = line.find('=');
        if (equals != std::string::npos) values[line.substr(0, equals)] = line.substr(equals + 1);
    }
    auto broken = [&] {
        return StoreError("Die Notiz " + path +
                          " über eine unterbrochene Änderung des Systemdatenverzeichnisses ist unlesbar!");
    };
    if (!complete) throw broken();
    PendingChange change;
    change.registration.mdbDatei = values["mdb_datei"];
    if (values["change"] == "replace") {
        change.kind = PendingChange::Kind::Replace;
        change.registration.kanr = values["kanr"];
        change.registration.abteilung = values["abteilung"];
        change.registration.isNew = values["new"] == "1";
        change.workFile = values["work_file"];
        if (values.count("previous_status") != 0) change.previousStatus = values["previous_status"];
        if (!isPlainFileName(change.workFile)) throw broken();
    } else if (values["change"] == "remove") {
        change.kind = PendingChange::Kind::Remove;
        change.removedFile = values["removed_file"];
        try {
            change.rowid = std::stoll(values["rowid"]);
        } catch (const std::exception&) {
            throw broken();
        }
        if (!isPlainFileName(change.removedFile)) throw broken();
    } else {
        throw broken();
    }
    if (!isPlainFileName(change.registration.mdbDatei)) throw broken();
    return change;
}

// The Status a known department has now; none for a new one or one whose Status cannot be noted.
std::optional<std::string> currentStatus(AdminDatabase& admin, const DepartmentRegistration& registration) {
    if (registration.isNew) return std::nullopt;
    std::optional<std::string> status = admin.statusOf(registration.kanr, registration.abteilung);
    if (status && hasLineBreak(*status)) return std::nullopt;
    return status;
}

// Takes back what applyRegistration recorded, when the file could not be put in place after all.
void undoRegistration(AdminDatabase& admin, const PendingChange& change) {
    const DepartmentRegistration& registration = change.registration;
    Transaction transaction(admin.database(), true);
    if (registration.isNew) {
        admin.removeRegistration(registration);
    } else if (change.previousStatus) {
        admin.restoreStatus(registration, *change.previousStatus);
    }
    transaction.commit();
}

// Moves the work file over the department file. A journal beside the department file belongs to the
// old content: left there, the engine would roll it back onto the new one.
void moveWorkFileIntoPlace(const std::string& directory, const std::string& workFile,
                           const std::string& mdbDatei) {
    const std::string target = JoinPath(directory, mdbDatei);
    removeFile(target + std::string(kJournalSuffix));
    ReplaceFileAtomically(JoinPath(directory, workFile), target);
}

void deleteRemovedFile(const std::string& directory, const PendingChange& change) {
    const std::string target = JoinPath(directory, change.registration.mdbDatei);
    removeFile(JoinPath(directory, change.removedFile));
    removeFile(target + std::string(kJournalSuffix));
    syncDirectory(directory);
}

void finishChange(const std::string& directory, const PendingChange& change) {
    AdminDatabase admin(Database(AdminDatabase::PathIn(directory), OpenMode::ReadWrite));
    if (change.kind == PendingChange::Kind::Replace) {
        Transaction transaction(admin.database(), true);
        admin.applyRegistration(change.registration);
        transaction.commit();
        if (FileExists(JoinPath(directory, change.workFile))) {
            try {
                moveWorkFileIntoPlace(directory, change.workFile, change.registration.mdbDatei);
            } catch (const StoreError&) {
                undoRegistration(admin, change);  // the old file stays, and so does its row
            }
        }
    } else {
        const std::string target = JoinPath(directory, change.registration.mdbDatei);
        std::error_code error;
        if (fs::exists(fs::symlink_status(target))) {
            fs::rename(target, JoinPath(directory, change.removedFile), error);
            if (error) return;  // the file stays, and so does its row: the removal did not happen
        }
        Transaction transaction(admin.database(), true);
        admin.removeRow(change.rowid);
        transaction.commit();
        deleteRemovedFile(directory, change);
    }
}

bool startsWith(const std::string& text, std::string_view prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

bool endsWith(const std::string& text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// "temp-<process>-<run>.mdb", with or without "-journal": a work file as PrivateWorkFilePath names it.
bool isWorkFileName(std::string name) {
    if (endsWith(name, kJournalSuffix)) name.resize(name.size() - kJournalSuffix.size());
    if (!startsWith(name, kWorkFilePrefix) || !endsWith(name, kWorkFileSuffix)) return false;
    const std::string middle =
        name.substr(kWorkFilePrefix.size(), name.size() - kWorkFilePrefix.size() - kWorkFileSuffix.size());
    const std::size_t dash = middle.find('-');
    auto digits = [](const std::string& text) {
        return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
    };
    return dash != std::string::npos && digits(middle.substr(0, dash)) && digits(middle.substr(dash + 1));
}

// Work files and removed department files of runs that died; only the lock holder may judge them.
void removeLeftovers(const std::string& directory) {
    std::error_code error;
    for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (isWorkFileName(name) || endsWith(name, kRemovedSuffix)) removeFile(it->path().string());
    }
}

bool tryLock(int fd) { return ::flock(fd, LOCK_EX | LOCK_NB) == 0; }

}  // namespace

bool IsSystemDataFile(const std::string& path, const std::string& systemDataPath) {
    std::error_code error;
    const fs::path directory = fs::weakly_canonical(systemDataPath, error);
    if (error) return false;
    const fs::path file = fs::weakly_canonical(path, error);
    if (error || file.parent_path() != directory) return false;
    std::string name = file.filename().string();
    if (endsWith(name, kJournalSuffix)) name.resize(name.size() - kJournalSuffix.size());
    if (name == files::AdminDb || name == files::TemplateDb || name == files::WorkDb ||
        name == kDataDirectoryLockFile || name == kPendingChangeFile || endsWith(name, kRemovedSuffix) ||
        isWorkFileName(name))
        return true;
    const std::string adminPath = AdminDatabase::PathIn(systemDataPath);
    if (!FileExists(adminPath)) return false;
    try {
        AdminDatabase admin(Database(adminPath, OpenMode::ReadOnly));
        return admin.isRegisteredFile(name);
    } catch (const StoreError&) {
        return false;
    }
}

bool IsDatabaseFile(const std::string& path) {
    std::ifstream existing(path, std::ios::binary);
    char header[16] = {};
    return existing.read(header, sizeof header) &&
           std::string_view(header, sizeof header) == std::string_view("SQLite format 3\0", 16);
}

std::string SystemDataFileRefusal(const std::string& path) {
    return "Die Datei " + fs::path(path).filename().string() +
           " des Systemdatenverzeichnisses darf nicht überschrieben werden!";
}

DataDirectoryInUse::DataDirectoryInUse(const std::string& systemDataPath)
    : StoreError("Das Systemdatenverzeichnis " + systemDataPath +
                 " wird gerade von einem anderen Programm geändert (Import, Entfernen, Personalstand, "
                 "Export oder Einrichten). Bitte versuchen Sie es später noch einmal!") {}

DataDirectoryLock::DataDirectoryLock(const std::string& systemDataPath, std::chrono::milliseconds wait)
    : systemDataPath_(systemDataPath) {
    const std::string path = JoinPath(systemDataPath, kDataDirectoryLockFile);
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ < 0) {
        int error = errno;
        throw StoreError("Das Systemdatenverzeichnis " + systemDataPath +
                             " kann nicht für Änderungen gesperrt werden: " + SystemErrorText(error),
                         0);
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (!tryLock(fd_)) {
        if (errno != EWOULDBLOCK && errno != EINTR) break;  // no locking here (some network shares)
        if (std::chrono::steady_clock::now() >= deadline) {
            ::close(fd_);
            fd_ = -1;
            throw DataDirectoryInUse(systemDataPath);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    try {
        if (std::optional<PendingChange> change = readNote(systemDataPath)) {
            finishChange(systemDataPath, *change);
            removeNote(systemDataPath);
        }
        removeLeftovers(systemDataPath);
    } catch (const StoreError& error) {
        ::close(fd_);
        fd_ = -1;
        throw StoreError("Eine unterbrochene Änderung des Systemdatenverzeichnisses " + systemDataPath +
                             " kann nicht abgeschlossen werden: " + error.what(),
                         error.code());
    }
}

DataDirectoryLock::~DataDirectoryLock() {
    if (fd_ >= 0) ::close(fd_);
}

void RecoverDataDirectory(const std::string& systemDataPath) {
    if (!FileExists(notePath(systemDataPath))) return;
    try {
        // A writer at work finishes its own change in a moment; a dead one left the lock free.
        DataDirectoryLock lock(systemDataPath, std::chrono::milliseconds(500));
    } catch (const StoreError&) {
    }
}

std::string PrivateWorkFilePath(const std::string& systemDataPath) {
    static std::atomic<unsigned> counter{0};
    return JoinPath(systemDataPath, std::string(kWorkFilePrefix) + std::to_string(::getpid()) + "-" +
                                        std::to_string(++counter) + std::string(kWorkFileSuffix));
}

void ReplaceDepartmentFile(AdminDatabase& admin, const DataDirectoryLock& lock,
                           const DepartmentRegistration& registration, const std::string& workFilePath) {
    const std::string& directory = lock.systemDataPath();
    const std::string workFile = fs::path(workFilePath).filename().string();
    if (!isPlainFileName(registration.mdbDatei) || hasLineBreak(registration.kanr) ||
        hasLineBreak(registration.abteilung))
        throw StoreError("Der Dateiname " + registration.mdbDatei +
                         " ist für eine Abteilungsdatenbank ungültig!");
    const std::string target = JoinPath(directory, registration.mdbDatei);
    std::error_code statusError;
    const fs::file_status targetStatus = fs::symlink_status(target, statusError);
    if (fs::exists(targetStatus) && !fs::is_regular_file(targetStatus))
        throw StoreError("An der Stelle der Abteilungsdatenbank " + target +
                         " steht keine Datei (ein Verzeichnis oder ein Verweis); sie wird nicht ersetzt!");

    Transaction transaction(admin.database(), true);
    PendingChange change;
    change.kind = PendingChange::Kind::Replace;
    change.registration = registration;
    change.workFile = workFile;
    change.previousStatus = currentStatus(admin, registration);
    admin.applyRegistration(registration);

    // Writers of the old file (the classification's work table) wait until it is replaced, so that
    // no journal of theirs is begun for the old file and left beside the new one.
    std::optional<Database> old;
    if (FileExists(target)) {
        try {
            old.emplace(target, OpenMode::ReadWrite);
            // Readers finish in moments; a classification of a large department takes longer.
            old->setBusyTimeout(std::chrono::seconds(30));
            old->execute("BEGIN EXCLUSIVE");
        } catch (const StoreError& error) {
            if (IsBusyCode(error.code())) throw;
            old.reset();  // not a database any more: nobody can write it either
        }
    }

    writeNote(directory, change);
    try {
        transaction.commit();
    } catch (...) {
        removeNote(directory);
        throw;
    }
    try {
        moveWorkFileIntoPlace(directory, workFile, registration.mdbDatei);
    } catch (const StoreError&) {
        old.reset();
        undoRegistration(admin, change);
        removeNote(directory);
        throw;
    }
    old.reset();
    removeNote(directory);
}

FileRemoval RemoveDepartmentFile(AdminDatabase& admin, const DataDirectoryLock& lock, long long rowid,
                                 const std::string& mdbDatei) {
    const std::string& directory = lock.systemDataPath();
    if (!isPlainFileName(mdbDatei)) return FileRemoval::NotRemovable;
    const std::string target = JoinPath(directory, mdbDatei);
    std::error_code error;
    const fs::file_status status = fs::symlink_status(target, error);
    const bool present = fs::exists(status);
    if (present && fs::is_directory(status)) return FileRemoval::NotRemovable;

    Transaction transaction(admin.database(), true);
    admin.removeRow(rowid);
    PendingChange change;
    change.kind = PendingChange::Kind::Remove;
    change.rowid = rowid;
    change.registration.mdbDatei = mdbDatei;
    change.removedFile = mdbDatei + std::string(kRemovedSuffix);
    writeNote(directory, change);
    const std::string removed = JoinPath(directory, change.removedFile);
    if (present) {
        fs::rename(target, removed, error);
        if (error) {
            removeNote(directory);
            return FileRemoval::NotRemovable;  // the transaction rolls the row back
        }
    }
    try {
        transaction.commit();
    } catch (...) {
        if (present) fs::rename(removed, target, error);
        removeNote(directory);
        throw;
    }
    deleteRemovedFile(directory, change);
    removeNote(directory);
    return present ? FileRemoval::Removed : FileRemoval::AlreadyGone;
}

}  // namespace kalvora

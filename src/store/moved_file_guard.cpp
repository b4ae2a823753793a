#include "store/moved_file_guard.h"

#include <sqlite3.h>

namespace kalvora {
namespace {

// A database file as the engine sees it through this layer: the operating system's file follows
// the header in the same allocation.
struct GuardedFile {
    sqlite3_file base;
    sqlite3_file* real;
};

sqlite3_vfs* g_system = nullptr;

sqlite3_file* Real(sqlite3_file* file) { return reinterpret_cast<GuardedFile*>(file)->real; }

bool HasMoved(sqlite3_file* real) {
    int moved = 0;
    return real->pMethods->xFileControl(real, SQLITE_FCNTL_HAS_MOVED, &moved) == SQLITE_OK && moved != 0;
}

int Close(sqlite3_file* file) {
    sqlite3_file* real = Real(file);
    return real->pMethods != nullptr ? real->pMethods->xClose(real) : SQLITE_OK;
}
int Read(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
    return Real(file)->pMethods->xRead(Real(file), buffer, amount, offset);
}
int Write(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset) {
    return Real(file)->pMethods->xWrite(Real(file), buffer, amount, offset);
}
int Truncate(sqlite3_file* file, sqlite3_int64 size) {
    return Real(file)->pMethods->xTruncate(Real(file), size);
}
int Sync(sqlite3_file* file, int flags) { return Real(file)->pMethods->xSync(Real(file), flags); }
int FileSize(sqlite3_file* file, sqlite3_int64* size) {
    return Real(file)->pMethods->xFileSize(Real(file), size);
}
int Lock(sqlite3_file* file, int level) { return Real(file)->pMethods->xLock(Real(file), level); }
int Unlock(sqlite3_file* file, int level) { return Real(file)->pMethods->xUnlock(Real(file), level); }

// The engine takes a journal beside an unlocked database for the leftover of a writer that died
// and rolls it back into the file. The journal is found by name; once an import has stored a new
// file under that name, a journal there belongs to the new file's writer. A connection still
// holding the old file must leave it alone: for it, the journal counts as in use.
int CheckReservedLock(sqlite3_file* file, int* reserved) {
    sqlite3_file* real = Real(file);
    const int rc = real->pMethods->xCheckReservedLock(real, reserved);
    if (rc == SQLITE_OK && *reserved == 0 && HasMoved(real)) *reserved = 1;
    return rc;
}

int FileControl(sqlite3_file* file, int operation, void* argument) {
    return Real(file)->pMethods->xFileControl(Real(file), operation, argument);
}
int SectorSize(sqlite3_file* file) { return Real(file)->pMethods->xSectorSize(Real(file)); }
int DeviceCharacteristics(sqlite3_file* file) {
    return Real(file)->pMethods->xDeviceCharacteristics(Real(file));
}
// Shared memory (version 2) and memory mapping (version 3) are passed on where the system layer
// has them.
bool Offers(sqlite3_file* file, int version) { return Real(file)->pMethods->iVersion >= version; }
int ShmMap(sqlite3_file* file, int region, int size, int extend, void volatile** memory) {
    if (!Offers(file, 2)) return SQLITE_IOERR_SHMMAP;
    return Real(file)->pMethods->xShmMap(Real(file), region, size, extend, memory);
}
int ShmLock(sqlite3_file* file, int offset, int count, int flags) {
    if (!Offers(file, 2)) return SQLITE_IOERR_SHMLOCK;
    return Real(file)->pMethods->xShmLock(Real(file), offset, count, flags);
}
void ShmBarrier(sqlite3_file* file) {
    if (Offers(file, 2)) Real(file)->pMethods->xShmBarrier(Real(file));
}
int ShmUnmap(sqlite3_file* file, int deleteFlag) {
    return Offers(file, 2) ? Real(file)->pMethods->xShmUnmap(Real(file), deleteFlag) : SQLITE_OK;
}
int Fetch(sqlite3_file* file, sqlite3_int64 offset, int amount, void** page) {
    if (!Offers(file, 3)) {
        *page = nullptr;
        return SQLITE_OK;
    }
    return Real(file)->pMethods->xFetch(Real(file), offset, amount, page);
}
int Unfetch(sqlite3_file* file, sqlite3_int64 offset, void* page) {
    if (!Offers(file, 3)) return SQLITE_OK;
    return Real(file)->pMethods->xUnfetch(Real(file), offset, page);
}

const sqlite3_io_methods kGuardedMethods = {
    3,
    Close,
    Read,
    Write,
    Truncate,
    Sync,
    FileSize,
    Lock,
    Unlock,
    CheckReservedLock,
    FileControl,
    SectorSize,
    DeviceCharacteristics,
    ShmMap,
    ShmLock,
    ShmBarrier,
    ShmUnmap,
    Fetch,
    Unfetch,
};

// Main database files get the guard; journals and temporary files are the system's own.
int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
    if ((flags & SQLITE_OPEN_MAIN_DB) == 0) return g_system->xOpen(g_system, name, file, flags, outFlags);
    auto* guarded = reinterpret_cast<GuardedFile*>(file);
    guarded->base.pMethods = nullptr;
    guarded->real = reinterpret_cast<sqlite3_file*>(guarded + 1);
    const int rc = g_system->xOpen(g_system, name, guarded->real, flags, outFlags);
    if (guarded->real->pMethods != nullptr) guarded->base.pMethods = &kGuardedMethods;
    return rc;
}

int Delete(sqlite3_vfs*, const char* name, int syncDir) { return g_system->xDelete(g_system, name, syncDir); }
int Access(sqlite3_vfs*, const char* name, int flags, int* result) {
    return g_system->xAccess(g_system, name, flags, result);
}
int FullPathname(sqlite3_vfs*, const char* name, int size, char* out) {
    return g_system->xFullPathname(g_system, name, size, out);
}
void* DlOpen(sqlite3_vfs*, const char* name) { return g_system->xDlOpen(g_system, name); }
void DlError(sqlite3_vfs*, int size, char* message) { g_system->xDlError(g_system, size, message); }
void (*DlSym(sqlite3_vfs*, void* handle, const char* symbol))(void) {
    return g_system->xDlSym(g_system, handle, symbol);
}
void DlClose(sqlite3_vfs*, void* handle) { g_system->xDlClose(g_system, handle); }
int Randomness(sqlite3_vfs*, int size, char* out) { return g_system->xRandomness(g_system, size, out); }
int Sleep(sqlite3_vfs*, int microseconds) { return g_system->xSleep(g_system, microseconds); }
int CurrentTime(sqlite3_vfs*, double* now) { return g_system->xCurrentTime(g_system, now); }
int GetLastError(sqlite3_vfs*, int size, char* out) { return g_system->xGetLastError(g_system, size, out); }
int CurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* now) { return g_system->xCurrentTimeInt64(g_system, now); }

}  // namespace

void InstallMovedFileGuard() {
    static sqlite3_vfs guard;
    if (g_system != nullptr) return;
    g_system = sqlite3_vfs_find(nullptr);
    if (g_system == nullptr || g_system->iVersion < 2) return;
    guard = sqlite3_vfs{};
    guard.iVersion = 2;
    guard.szOsFile = static_cast<int>(sizeof(GuardedFile)) + g_system->szOsFile;
    guard.mxPathname = g_system->mxPathname;
    guard.zName = "kalvora-moved-file-guard";
    guard.xOpen = Open;
    guard.xDelete = Delete;
    guard.xAccess = Access;
    guard.xFullPathname = FullPathname;
    guard.xDlOpen = DlOpen;
    guard.xDlError = DlError;
    guard.xDlSym = DlSym;
    guard.xDlClose = DlClose;
    guard.xRandomness = Randomness;
    guard.xSleep = Sleep;
    guard.xCurrentTime = CurrentTime;
    guard.xGetLastError = GetLastError;
    guard.xCurrentTimeInt64 = CurrentTimeInt64;
    sqlite3_vfs_register(&guard, 1);
}

}  // namespace kalvora

// The system data directory: its lock (against this and other processes), the finishing of a
// change that a killed program left behind in kalvora.pending, replacing and removing a department
// file together with its row of Dateiverwaltung, reading a database whose writer died during its
// commit, the German error texts, and which files belong to the directory.

#include "store/data_directory.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <optional>

#include "store/database.h"
#include "store/store_error_text.h"
#include "support/department_fixture.h"
#include "support/temp_dir.h"

namespace kalvora {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::ReadFile;
using test::SystemFixture;
using test::TempDir;
using test::WriteFile;

const char* const kKanr = "K001";
const char* const kAbteilung = "121010";
const char* const kMdb = "12101001.101";

std::string In(const std::string& directory, const std::string& name) { return directory + "/" + name; }
bool Exists(const std::string& path) { return fs::exists(fs::symlink_status(path)); }

// A database with `rows` rows in table t, each value starting with `marker`.
void MakeDatabase(const std::string& path, const std::string& marker, int rows) {
    fs::remove(path);
    Database db(path, OpenMode::Create);
    db.execute("CREATE TABLE t (id INTEGER PRIMARY KEY, v TEXT)");
    db.prepare(
          "INSERT INTO t (v) WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?2)"
          " SELECT ?1 || hex(zeroblob(150)) FROM n")
        .bind(1, marker)
        .bind(2, rows)
        .run();
}

// Rows of t starting with `marker`, and all rows of t (read through Database, so a journal left
// beside the file would be rolled back first).
std::pair<long long, long long> MarkedRows(const std::string& path, const std::string& marker) {
    Database db(path, OpenMode::ReadOnly);
    Statement marked = db.prepare("SELECT count(*) FROM t WHERE v LIKE ?1 || '%'");
    marked.bind(1, marker);
    marked.step();
    return {marked.integer(0), db.scalar("SELECT count(*) FROM t")};
}

// A writer changes every row of t and dies before its commit, its changes already in the file:
// the journal beside it is hot.
void LeaveHotJournal(const std::string& path) {
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        sqlite3* db = nullptr;
        int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
        if (rc == SQLITE_OK)
            rc = sqlite3_exec(db,
                              "PRAGMA journal_mode = DELETE; PRAGMA cache_size = 1; BEGIN;"
                              " UPDATE t SET v = 'dead' || v;",
                              nullptr, nullptr, nullptr);
        ::_exit(rc == SQLITE_OK ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_TRUE(Exists(path + "-journal"));
}

// What a plain read-only connection of the engine gets when it reads t.
int RawReadOnlyRead(const std::string& path) {
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_extended_result_codes(db, 1);
        rc = sqlite3_exec(db, "SELECT count(*) FROM t", nullptr, nullptr, nullptr);
    }
    sqlite3_close(db);
    return rc;
}

// ---- Dateiverwaltung ----

struct Row {
    long long sbett = 0;
    double dgkp = 0;
    std::string voreinstufung, status, mdbDatei;
};

long long Register(const std::string& dir, const std::string& kanr, const std::string& abteilung,
                   const std::string& mdb, const Row& values = {12, 3.5, "A", "INTERN", ""}) {
    Database admin(In(dir, "iadmin.mdb"));
    admin
        .prepare(
            "INSERT INTO Dateiverwaltung (KANR, ABTEILUNG, MDB_DATEI, SBETT, DGKP, VOREINSTUFUNG, Status)"
            " VALUES (?, ?, ?, ?, ?, ?, ?)")
        .bind(1, kanr)
        .bind(2, abteilung)
        .bind(3, mdb)
        .bind(4, values.sbett)
        .bind(5, values.dgkp)
        .bind(6, values.voreinstufung)
        .bind(7, values.status)
        .run();
    return admin.scalar("SELECT last_insert_rowid()");
}

std::optional<Row> FindRow(const std::string& dir, const std::string& kanr = kKanr,
                           const std::string& abteilung = kAbteilung) {
    Database admin(In(dir, "iadmin.mdb"), OpenMode::ReadOnly);
    Statement select = admin.prepare(
        "SELECT SBETT, DGKP, VOREINSTUFUNG, Status, MDB_DATEI FROM Dateiverwaltung WHERE KANR = ? AND "
        "ABTEILUNG = ?");
    select.bind(1, kanr).bind(2, abteilung);
    if (select.step() != StepResult::Row) return std::nullopt;
    return Row{select.integer(0), select.real(1), select.text(2), select.text(3), select.text(4)};
}

long long RowCount(const std::string& dir) {
    Database admin(In(dir, "iadmin.mdb"), OpenMode::ReadOnly);
    return admin.scalar("SELECT count(*) FROM Dateiverwaltung");
}

void ExpectRow(const std::optional<Row>& row, const Row& expected) {
    ASSERT_TRUE(row.has_value());
    EXPECT_EQ(row->sbett, expected.sbett);
    EXPECT_DOUBLE_EQ(row->dgkp, expected.dgkp);
    EXPECT_EQ(row->voreinstufung, expected.voreinstufung);
    EXPECT_EQ(row->status, expected.status);
    EXPECT_EQ(row->mdbDatei, expected.mdbDatei);
}

// ---- The note, as the program writes it ----

void WriteReplaceNote(const std::string& dir, bool isNew, const std::string& workFile) {
    WriteFile(In(dir, "kalvora.pending"), std::string("change=replace\nkanr=") + kKanr +
                                              "\nabteilung=" + kAbteilung + "\nmdb_datei=" + kMdb + "\nnew=" +
                                              (isNew ? "1" : "0") + "\nwork_file=" + workFile + "\nend\n");
}

void WriteRemoveNote(const std::string& dir, long long rowid, const std::string& mdb) {
    WriteFile(In(dir, "kalvora.pending"), "change=remove\nrowid=" + std::to_string(rowid) + "\nmdb_datei=" +
                                              mdb + "\nremoved_file=" + mdb + ".entfernt\nend\n");
}

// An interrupted change is finished by the next writer and by a reader alike.
enum class Finisher { Writer, Reader };

void Finish(const std::string& dir, Finisher finisher) {
    if (finisher == Finisher::Writer)
        DataDirectoryLock lock(dir, 500ms);
    else
        RecoverDataDirectory(dir);
}

const char* Name(Finisher finisher) { return finisher == Finisher::Writer ? "writer" : "reader"; }

// ---- The lock ----

// Another program holding the lock: a child process that is killed, never ends by itself.
class LockHolderProcess {
public:
    explicit LockHolderProcess(const std::string& dir) {
        int pipeFds[2];
        if (::pipe(pipeFds) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(pipeFds[0]);
            char answer = 'F';
            try {
                DataDirectoryLock lock(dir, 0ms);
                answer = 'L';
                (void)!::write(pipeFds[1], &answer, 1);
                for (;;) ::pause();
            } catch (...) {
            }
            (void)!::write(pipeFds[1], &answer, 1);
            ::_exit(1);
        }
        ::close(pipeFds[1]);
        char answer = 0;
        locked_ = pid_ > 0 && ::read(pipeFds[0], &answer, 1) == 1 && answer == 'L';
        ::close(pipeFds[0]);
    }
    ~LockHolderProcess() { kill(); }
    bool locked() const { return locked_; }
    // Returns whether the child ended by SIGKILL.
    bool kill() {
        if (pid_ <= 0) return false;
        ::kill(pid_, SIGKILL);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    }

private:
    pid_t pid_ = -1;
    bool locked_ = false;
};

// Runs `take` expecting DataDirectoryInUse; returns the milliseconds it took.
template <typename Take>
long long ExpectInUse(const std::string& dir, Take take) {
    const auto start = std::chrono::steady_clock::now();
    try {
        take();
        ADD_FAILURE() << "the lock was granted although it is held";
    } catch (const DataDirectoryInUse& error) {
        EXPECT_NE(std::string(error.what()).find("Das Systemdatenverzeichnis " + dir + " wird gerade"),
                  std::string::npos)
            << error.what();
    }
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
        .count();
}

TEST(DataDirectoryLock, secondLockInThisProcess_waitsTheGivenTimeThenIsRefused) {
    SystemFixture system;
    const std::string dir = system.systemPath();
    {
        DataDirectoryLock first(dir);
        const long long elapsed = ExpectInUse(dir, [&] { DataDirectoryLock second(dir, 300ms); });
        EXPECT_GE(elapsed, 240);
        EXPECT_LT(elapsed, 3000);
    }
    EXPECT_NO_THROW(DataDirectoryLock again(dir, 0ms));
}

TEST(DataDirectoryLock, lockOfAnotherProcess_blocksUntilThatProcessIsKilled) {
    SystemFixture system;
    const std::string dir = system.systemPath();
    LockHolderProcess other(dir);
    ASSERT_TRUE(other.locked());
    ExpectInUse(dir, [&] { DataDirectoryLock mine(dir, 200ms); });
    ASSERT_TRUE(other.kill());
    EXPECT_NO_THROW(DataDirectoryLock mine(dir, 200ms));
}

TEST(DataDirectoryLock, missingDirectory_isAStoreErrorNotInUse) {
    TempDir temp;
    const std::string missing = temp.file("nowhere");
    try {
        DataDirectoryLock lock(missing, 100ms);
        FAIL() << "a lock in a missing directory";
    } catch (const DataDirectoryInUse& error) {
        FAIL() << "reported as in use: " << error.what();
    } catch (const StoreError& error) {
        EXPECT_NE(std::string(error.what()).find(missing), std::string::npos) << error.what();
        EXPECT_NE(std::string(error.what()).find("nicht vorhanden"), std::string::npos) << error.what();
    }
    EXPECT_FALSE(Exists(missing));
}

// ---- Finishing an interrupted change ----

TEST(InterruptedChange, replace_isFinishedWhateverStepTheKillCameAt) {
    struct Case {
        const char* name;
        bool isNew;
        bool workFilePresent;  // false: the work file was already moved over the department file
        bool rowPresent;       // the admin transaction was already committed (or the department is old)
    };
    const Case cases[] = {
        {"new, nothing done yet", true, true, false}, {"new, row committed", true, true, true},
        {"new, file moved", true, false, false},      {"existing, nothing done yet", false, true, true},
        {"existing, file moved", false, false, true},
    };
    const Row custom{12, 3.5, "A", "INTERN", kMdb};  // of a department imported before
    const Row recorded{0, 0, " ", "EXTERN", kMdb};   // what the program records for a new one
    for (Finisher finisher : {Finisher::Writer, Finisher::Reader}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + ", finished by the " + Name(finisher));
            SystemFixture system;
            const std::string dir = system.systemPath();
            const std::string department = In(dir, kMdb);
            const std::string work = In(dir, "temp-123-1.mdb");
            // The old content with a journal a dead writer left: it must not reach the new file.
            MakeDatabase(department, "old", 2000);
            ASSERT_NO_FATAL_FAILURE(LeaveHotJournal(department));
            if (c.isNew) fs::remove(department);
            if (c.rowPresent) Register(dir, kKanr, kAbteilung, kMdb, c.isNew ? recorded : custom);
            Register(dir, "K002", kAbteilung, "other.101");
            MakeDatabase(work, "new", 10);
            const std::string newContent = ReadFile(work);
            if (!c.workFilePresent) {
                fs::remove(department + "-journal");
                fs::rename(work, department);
            }
            WriteReplaceNote(dir, c.isNew, "temp-123-1.mdb");

            Finish(dir, finisher);

            EXPECT_FALSE(Exists(In(dir, "kalvora.pending")));
            EXPECT_FALSE(Exists(work));
            EXPECT_FALSE(Exists(department + "-journal"));
            ASSERT_TRUE(Exists(department));
            EXPECT_EQ(ReadFile(department), newContent);
            EXPECT_EQ(MarkedRows(department, "new"), std::make_pair(10LL, 10LL));
            Row expected = c.isNew ? recorded : custom;
            expected.status = "EXTERN";
            ExpectRow(FindRow(dir), expected);
            EXPECT_EQ(RowCount(dir), 2);
        }
    }
}

TEST(InterruptedChange, remove_deletesFileAndRowOnlyOfThatDepartment) {
    struct Case {
        const char* name;
        bool fileInPlace;
        bool fileRenamed;  // moved to NAME.entfernt
        bool rowPresent;
    };
    const Case cases[] = {
        {"nothing done yet", true, false, true},
        {"file renamed", false, true, true},
        {"row deleted", false, true, false},
        {"file deleted too", false, false, false},
    };
    for (Finisher finisher : {Finisher::Writer, Finisher::Reader}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + ", finished by the " + Name(finisher));
            SystemFixture system;
            const std::string dir = system.systemPath();
            const std::string department = system.addDepartment(kKanr, kAbteilung, kMdb);
            const std::string other = system.addDepartment("K002", kAbteilung, "12101002.101");
            const std::string third = system.addDepartment("K003", kAbteilung, "12101003.101");
            const long long rowid = [&] {
                Database admin(In(dir, "iadmin.mdb"));
                return admin.scalar("SELECT rowid FROM Dateiverwaltung WHERE KANR = 'K001'");
            }();
            if (!c.fileInPlace) {
                if (c.fileRenamed)
                    fs::rename(department, department + ".entfernt");
                else
                    fs::remove(department);
            }
            if (!c.rowPresent) {
                Database admin(In(dir, "iadmin.mdb"));
                admin.prepare("DELETE FROM Dateiverwaltung WHERE rowid = ?").bind(1, rowid).run();
            }
            WriteRemoveNote(dir, rowid, kMdb);

            Finish(dir, finisher);

            EXPECT_FALSE(Exists(In(dir, "kalvora.pending")));
            EXPECT_FALSE(Exists(department));
            EXPECT_FALSE(Exists(department + ".entfernt"));
            EXPECT_FALSE(FindRow(dir).has_value());
            EXPECT_TRUE(FindRow(dir, "K002").has_value());
            EXPECT_TRUE(FindRow(dir, "K003").has_value());
            EXPECT_EQ(RowCount(dir), 2);
            EXPECT_TRUE(IsDatabaseFile(other));
            EXPECT_TRUE(IsDatabaseFile(third));
        }
    }
}

TEST(InterruptedChange, unreadableNote_isReportedAndChangesNothing) {
    const std::string tail = "\nmdb_datei=" + std::string(kMdb);
    const std::string cases[] = {
        "change=replace\nkanr=K001\nabteilung=121010" + tail + "\nnew=1\nwork_file=temp-9-1.mdb\n",  // no end
        "",
        "change=rename\nkanr=K001\nabteilung=121010" + tail + "\nnew=1\nwork_file=temp-9-1.mdb\nend\n",
        "change=remove\nrowid=eins" + tail + "\nremoved_file=x.entfernt\nend\n",
        "change=remove\nrowid=1" + tail + "\nremoved_file=../x.entfernt\nend\n",
        "change=replace\nkanr=K001\nabteilung=121010" + tail + "\nnew=1\nwork_file=../temp-9-1.mdb\nend\n",
        "change=replace\nkanr=K001\nabteilung=121010\nmdb_datei=sub/"
        "x.101\nnew=1\nwork_file=temp-9-1.mdb\nend\n",
    };
    for (const std::string& note : cases) {
        SCOPED_TRACE(note);
        SystemFixture system;
        const std::string dir = system.systemPath();
        const std::string department = system.addDepartment(kKanr, kAbteilung, kMdb);
        const std::string work = In(dir, "temp-9-1.mdb");
        MakeDatabase(work, "new", 3);
        const std::string oldContent = ReadFile(department), workContent = ReadFile(work);
        WriteFile(In(dir, "kalvora.pending"), note);

        for (int attempt = 0; attempt < 2; ++attempt) {  // the failed attempt leaves the lock free
            try {
                DataDirectoryLock lock(dir, 200ms);
                ADD_FAILURE() << "the lock was granted";
            } catch (const DataDirectoryInUse& error) {
                ADD_FAILURE() << "reported as in use: " << error.what();
            } catch (const StoreError& error) {
                const std::string text = error.what();
                EXPECT_NE(text.find("unterbrochene Änderung"), std::string::npos) << text;
                EXPECT_NE(text.find(In(dir, "kalvora.pending")), std::string::npos) << text;
            }
        }
        EXPECT_NO_THROW(RecoverDataDirectory(dir));

        EXPECT_EQ(ReadFile(In(dir, "kalvora.pending")), note);
        EXPECT_EQ(ReadFile(department), oldContent);
        EXPECT_EQ(ReadFile(work), workContent);  // may be the only copy of the new content
        ExpectRow(FindRow(dir), Row{0, 0, " ", "EXTERN", kMdb});
        EXPECT_EQ(RowCount(dir), 1);
    }
}

TEST(InterruptedChange, readerLeavesTheChangeOfAWriterAtWorkAlone) {
    SystemFixture system;
    const std::string dir = system.systemPath();
    DataDirectoryLock writer(dir);
    MakeDatabase(In(dir, "temp-5-1.mdb"), "new", 3);
    WriteReplaceNote(dir, true, "temp-5-1.mdb");
    EXPECT_NO_THROW(RecoverDataDirectory(dir));
    EXPECT_TRUE(Exists(In(dir, "kalvora.pending")));
    EXPECT_TRUE(Exists(In(dir, "temp-5-1.mdb")));
    EXPECT_FALSE(Exists(In(dir, kMdb)));
    EXPECT_FALSE(FindRow(dir).has_value());
}

TEST(InterruptedChange, workFilesOfDeadRunsGoWhenTheLockIsTaken_otherFilesStay) {
    SystemFixture system;
    const std::string dir = system.systemPath();
    const std::string department = system.addDepartment(kKanr, kAbteilung, "12100101.101");
    const char* const leftovers[] = {"temp-123-1.mdb", "temp-123-1.mdb-journal", "X.entfernt"};
    const char* const kept[] = {"iadmin.mdb", "ibds.mdb", "12100101.101", "temp.mdb", "notes.txt"};
    for (const char* name : leftovers) WriteFile(In(dir, name), "left over");
    for (const char* name : {"temp.mdb", "notes.txt"}) WriteFile(In(dir, name), "kept");

    RecoverDataDirectory(dir);  // a reader cannot know whether a writer still uses them
    for (const char* name : leftovers) EXPECT_TRUE(Exists(In(dir, name))) << name;

    { DataDirectoryLock lock(dir); }
    for (const char* name : leftovers) EXPECT_FALSE(Exists(In(dir, name))) << name;
    for (const char* name : kept) EXPECT_TRUE(Exists(In(dir, name))) << name;
    EXPECT_EQ(ReadFile(In(dir, "notes.txt")), "kept");
}

// ---- Replacing and removing a department ----

TEST(DepartmentFile, replace_putsWorkFileInPlaceAndRecordsTheImport) {
    for (bool isNew : {true, false}) {
        SCOPED_TRACE(isNew ? "new department" : "existing department");
        SystemFixture system;
        const std::string dir = system.systemPath();
        const Row custom{7, 2.25, "B", "INTERN", kMdb};
        if (!isNew) {
            Register(dir, kKanr, kAbteilung, kMdb, custom);
            MakeDatabase(In(dir, kMdb), "old", 50);
        }
        DataDirectoryLock lock(dir);
        AdminDatabase admin(Database(In(dir, "iadmin.mdb")));
        const std::string work = PrivateWorkFilePath(dir);
        EXPECT_NE(work, PrivateWorkFilePath(dir));
        EXPECT_TRUE(IsSystemDataFile(work, dir));
        MakeDatabase(work, "new", 5);
        const std::string content = ReadFile(work);

        ReplaceDepartmentFile(admin, lock, {kKanr, kAbteilung, kMdb, isNew}, work);

        EXPECT_EQ(ReadFile(In(dir, kMdb)), content);
        EXPECT_FALSE(Exists(work));
        EXPECT_FALSE(Exists(In(dir, "kalvora.pending")));
        Row expected = isNew ? Row{0, 0, " ", "", kMdb} : custom;
        expected.status = "EXTERN";
        ExpectRow(FindRow(dir), expected);
        EXPECT_EQ(RowCount(dir), 1);
    }
}

TEST(DepartmentFile, invalidNames_areRefusedBeforeAnythingChanges) {
    const DepartmentRegistration cases[] = {
        {kKanr, kAbteilung, "../12101001.101", true},
        {kKanr, kAbteilung, "sub/12101001.101", true},
        {kKanr, kAbteilung, "", true},
        {kKanr, kAbteilung, "..", true},
        {"K001\nend", kAbteilung, kMdb, true},
        {kKanr, "121010\r", kMdb, true},
    };
    for (const DepartmentRegistration& registration : cases) {
        SCOPED_TRACE(registration.kanr + "/" + registration.abteilung + "/" + registration.mdbDatei);
        SystemFixture system;
        const std::string dir = system.systemPath();
        DataDirectoryLock lock(dir);
        AdminDatabase admin(Database(In(dir, "iadmin.mdb")));
        const std::string work = PrivateWorkFilePath(dir);
        MakeDatabase(work, "new", 1);
        EXPECT_THROW(ReplaceDepartmentFile(admin, lock, registration, work), StoreError);
        EXPECT_TRUE(Exists(work));
        EXPECT_FALSE(Exists(In(dir, "kalvora.pending")));
        EXPECT_EQ(RowCount(dir), 0);
    }
}

TEST(DepartmentFile, adminDatabaseLockedByAnotherWriter_failsAfterWaitingAndChangesNothing) {
    SystemFixture system;
    const std::string dir = system.systemPath();
    const std::string department = system.addDepartment(kKanr, kAbteilung, kMdb);
    const std::string oldContent = ReadFile(department);
    DataDirectoryLock lock(dir);
    AdminDatabase admin(Database(In(dir, "iadmin.mdb")));
    Database blocker(In(dir, "iadmin.mdb"));
    blocker.execute("BEGIN IMMEDIATE");
    const std::string work = PrivateWorkFilePath(dir);
    MakeDatabase(work, "new", 5);

    auto expectBusy = [&](auto change) {
        try {
            change();
            ADD_FAILURE() << "changed while the administration database is locked";
        } catch (const StoreError& error) {
            EXPECT_TRUE(IsBusyCode(error.code())) << error.code();
            EXPECT_NE(std::string(error.what()).find("iadmin.mdb wird gerade von einem anderen Programm"),
                      std::string::npos)
                << error.what();
        }
        EXPECT_EQ(ReadFile(department), oldContent);
        EXPECT_TRUE(Exists(work));
        EXPECT_FALSE(Exists(In(dir, "kalvora.pending")));
        EXPECT_FALSE(Exists(department + ".entfernt"));
        ExpectRow(FindRow(dir), Row{0, 0, " ", "EXTERN", kMdb});
    };
    expectBusy([&] { ReplaceDepartmentFile(admin, lock, {kKanr, kAbteilung, kMdb, false}, work); });
    const long long rowid = admin.database().scalar("SELECT rowid FROM Dateiverwaltung");
    expectBusy([&] { RemoveDepartmentFile(admin, lock, rowid, kMdb); });
    blocker.execute("ROLLBACK");
}

TEST(DepartmentFile, remove_takesFileAndRowTogether) {
    SystemFixture system;
    const std::string dir = system.systemPath();
    const std::string department = system.addDepartment(kKanr, kAbteilung, kMdb);
    system.addDepartment("K002", kAbteilung, "12101002.101");
    system.addDepartment("K003", kAbteilung, "12101003.101");
    fs::remove(In(dir, "12101003.101"));
    DataDirectoryLock lock(dir);
    AdminDatabase admin(Database(In(dir, "iadmin.mdb")));
    auto rowidOf = [&](const char* kanr) {
        Statement select = admin.database().prepare("SELECT rowid FROM Dateiverwaltung WHERE KANR = ?");
        select.bind(1, std::string_view(kanr));
        select.step();
        return select.integer(0);
    };

    EXPECT_EQ(RemoveDepartmentFile(admin, lock, rowidOf("K001"), kMdb), FileRemoval::Removed);
    EXPECT_EQ(RemoveDepartmentFile(admin, lock, rowidOf("K003"), "12101003.101"), FileRemoval::AlreadyGone);

    EXPECT_FALSE(Exists(department));
    EXPECT_FALSE(Exists(department + ".entfernt"));
    EXPECT_FALSE(Exists(In(dir, "kalvora.pending")));
    EXPECT_FALSE(FindRow(dir).has_value());
    EXPECT_FALSE(FindRow(dir, "K003").has_value());
    EXPECT_TRUE(FindRow(dir, "K002").has_value());
    EXPECT_TRUE(IsDatabaseFile(In(dir, "12101002.101")));
}

TEST(DepartmentFile, remove_ofAFileThatCannotBeRemoved_keepsTheRow) {
    SystemFixture system;
    const std::string dir = system.systemPath();
    Register(dir, kKanr, kAbteilung, kMdb);
    fs::create_directories(In(dir, kMdb));
    WriteFile(In(dir, std::string(kMdb) + "/inside"), "x");
    DataDirectoryLock lock(dir);
    AdminDatabase admin(Database(In(dir, "iadmin.mdb")));

    EXPECT_EQ(
        RemoveDepartmentFile(admin, lock, admin.database().scalar("SELECT rowid FROM Dateiverwaltung"), kMdb),
        FileRemoval::NotRemovable);
    EXPECT_TRUE(fs::is_directory(In(dir, kMdb)));
    EXPECT_TRUE(Exists(In(dir, std::string(kMdb) + "/inside")));
    EXPECT_TRUE(FindRow(dir).has_value());
    EXPECT_FALSE(Exists(In(dir, "kalvora.pending")));
}

TEST(DepartmentFile, remove_takesTheJournalAlong_soALaterFileOfThatNameKeepsItsContent) {
    SystemFixture system;
    const std::string dir = system.systemPath();
    const std::string department = In(dir, kMdb);
    const long long rowid = Register(dir, kKanr, kAbteilung, kMdb);
    MakeDatabase(department, "old", 2000);
    ASSERT_NO_FATAL_FAILURE(LeaveHotJournal(department));
    {
        DataDirectoryLock lock(dir);
        AdminDatabase admin(Database(In(dir, "iadmin.mdb")));
        EXPECT_EQ(RemoveDepartmentFile(admin, lock, rowid, kMdb), FileRemoval::Removed);
    }
    EXPECT_FALSE(Exists(department + "-journal"));

    // A new department file of the same name, however it comes there.
    MakeDatabase(In(dir, "elsewhere.db"), "fresh", 10);
    fs::rename(In(dir, "elsewhere.db"), department);
    EXPECT_EQ(MarkedRows(department, "fresh"), std::make_pair(10LL, 10LL));
}

TEST(DepartmentFile, replace_overAPathThatIsADirectory_failsInGermanAndLeavesTheRowAlone) {
    SystemFixture system;
    const std::string dir = system.systemPath();
    fs::create_directories(In(dir, kMdb));
    const std::string work = In(dir, "temp-77-1.mdb");
    {
        DataDirectoryLock lock(dir);
        AdminDatabase admin(Database(In(dir, "iadmin.mdb")));
        MakeDatabase(work, "new", 1);
        try {
            ReplaceDepartmentFile(admin, lock, {kKanr, kAbteilung, kMdb, true}, work);
            ADD_FAILURE() << "a work file replaced a directory";
        } catch (const StoreError& error) {
            EXPECT_EQ(std::string(error.what()).find("cannot move"), std::string::npos) << error.what();
            EXPECT_NE(std::string(error.what()).find(kMdb), std::string::npos) << error.what();
        }
        EXPECT_TRUE(Exists(work));
        EXPECT_FALSE(FindRow(dir).has_value());  // "the old file and row are then untouched"
        EXPECT_FALSE(Exists(In(dir, "kalvora.pending")));
    }
    // The importer removes its work file after the failure; the next writer must not then record
    // a department that has no database.
    fs::remove(work);
    EXPECT_NO_THROW(DataDirectoryLock next(dir, 200ms));
    EXPECT_FALSE(FindRow(dir).has_value());
}

// A change noted by a run that died, whose file can no longer be put in place: the row goes back
// to what it was, so that the directory reads as before the run and stays writable.
TEST(InterruptedChange, replaceWhoseFileCannotBePutInPlace_takesTheRowBack) {
    for (const bool isNew : {true, false}) {
        SCOPED_TRACE(isNew ? "new department" : "known department");
        SystemFixture system;
        const std::string dir = system.systemPath();
        if (!isNew) Register(dir, kKanr, kAbteilung, kMdb, {12, 3.5, "A", "INTERN", kMdb});
        // The run had committed the row already; its file cannot replace what now stands there.
        {
            Database admin(In(dir, "iadmin.mdb"));
            if (isNew)
                Register(dir, kKanr, kAbteilung, kMdb, {0, 0, " ", "EXTERN", kMdb});
            else
                admin.execute("UPDATE Dateiverwaltung SET Status = 'EXTERN'");
        }
        fs::create_directories(In(dir, std::string(kMdb) + "/inhalt"));
        MakeDatabase(In(dir, "temp-77-1.mdb"), "new", 1);
        WriteFile(In(dir, "kalvora.pending"),
                  std::string("change=replace\nkanr=") + kKanr + "\nabteilung=" + kAbteilung +
                      "\nmdb_datei=" + kMdb + "\nnew=" + (isNew ? "1" : "0") + "\nwork_file=temp-77-1.mdb\n" +
                      (isNew ? "" : "previous_status=INTERN\n") + "end\n");

        EXPECT_NO_THROW(DataDirectoryLock lock(dir, 500ms));
        if (isNew)
            EXPECT_FALSE(FindRow(dir).has_value());
        else
            ExpectRow(FindRow(dir), {12, 3.5, "A", "INTERN", kMdb});
        EXPECT_FALSE(Exists(In(dir, "kalvora.pending")));
        EXPECT_FALSE(Exists(In(dir, "temp-77-1.mdb")));
        EXPECT_NO_THROW(DataDirectoryLock again(dir, 200ms));
    }
}

// ---- A writer that died during its commit ----

TEST(HotJournal, readOnlyOpenAndCopy_seeTheLastCommittedContent) {
    TempDir temp;
    const std::string path = temp.file("dept.mdb");
    const std::string copy = temp.file("copy.mdb");
    MakeDatabase(path, "old", 2000);
    ASSERT_NO_FATAL_FAILURE(LeaveHotJournal(path));
    // The engine alone cannot read it read-only: the state the recovery is for.
    const int raw = RawReadOnlyRead(path);
    ASSERT_NE(raw, SQLITE_OK);
    ASSERT_EQ(raw & 0xff, SQLITE_READONLY) << sqlite3_errstr(raw);
    ASSERT_TRUE(Exists(path + "-journal"));

    EXPECT_EQ(MarkedRows(path, "old"), std::make_pair(2000LL, 2000LL));
    EXPECT_EQ(RawReadOnlyRead(path), SQLITE_OK);

    MakeDatabase(path, "old", 2000);
    ASSERT_NO_FATAL_FAILURE(LeaveHotJournal(path));
    ASSERT_NE(RawReadOnlyRead(path), SQLITE_OK);
    WriteFile(copy + "-journal", ReadFile(path + "-journal"));  // a stale journal where the copy goes
    RewriteDatabase(path, copy, 4096);
    EXPECT_FALSE(Exists(copy + "-journal"));
    EXPECT_EQ(MarkedRows(copy, "old"), std::make_pair(2000LL, 2000LL));
}

// ---- German texts ----

TEST(StoreErrorText, engineFailuresNameTheFileInGerman) {
    struct Case {
        int code;
        const char* german;
    };
    const Case cases[] = {
        {SQLITE_FULL, "kein Platz mehr auf dem Datenträger"},
        {SQLITE_READONLY, "schreibgeschützt"},
        {SQLITE_READONLY_ROLLBACK, "schreibgeschützt"},
        {SQLITE_IOERR_WRITE, "Ein-/Ausgabefehler"},
        {SQLITE_IOERR_FSYNC, "Ein-/Ausgabefehler"},
        {SQLITE_CORRUPT, "beschädigt"},
        {SQLITE_NOTADB, "keine Datenbank"},
        {SQLITE_BUSY, "von einem anderen Programm verwendet"},
        {SQLITE_LOCKED, "von einem anderen Programm verwendet"},
        {SQLITE_CANTOPEN, "nicht geöffnet"},
    };
    const char* const english[] = {
        "database or disk is full", "readonly",       "malformed",     "disk I/O error",
        "database is locked",       "unable to open", "not a database"};
    const std::string path = "/daten/system/12101001.101";
    for (const Case& c : cases) {
        const std::string text = DatabaseErrorText(path, c.code, sqlite3_errstr(c.code));
        SCOPED_TRACE(text);
        EXPECT_NE(text.find(path), std::string::npos);
        EXPECT_NE(text.find(c.german), std::string::npos);
        for (const char* phrase : english) EXPECT_EQ(text.find(phrase), std::string::npos) << phrase;
    }
    // Without a text of its own the engine's is kept, with the file.
    const std::string other = DatabaseErrorText(path, SQLITE_MISMATCH, "datatype mismatch");
    EXPECT_NE(other.find(path), std::string::npos);
    EXPECT_NE(other.find("datatype mismatch"), std::string::npos);
    EXPECT_TRUE(IsBusyCode(SQLITE_BUSY_SNAPSHOT));
    EXPECT_FALSE(IsBusyCode(SQLITE_READONLY));
}

TEST(StoreErrorText, systemFailuresInGerman) {
    struct Case {
        int error;
        const char* german;
    };
    const Case cases[] = {
        {ENOSPC, "kein Platz mehr auf dem Datenträger"},
        {EDQUOT, "Speicherkontingent"},
        {EACCES, "keine Berechtigung"},
        {EPERM, "keine Berechtigung"},
        {EROFS, "schreibgeschützt"},
        {EIO, "Ein-/Ausgabefehler"},
        {ENOENT, "nicht vorhanden"},
        {EISDIR, "Verzeichnis"},
    };
    for (const Case& c : cases) {
        const std::string text = SystemErrorText(c.error);
        EXPECT_NE(text.find(c.german), std::string::npos) << text;
        EXPECT_EQ(text.find(std::strerror(c.error)), std::string::npos) << text;
    }
    EXPECT_EQ(FileErrorText("/d/x.txt", ENOSPC, true),
              "Die Datei /d/x.txt kann nicht geschrieben werden: kein Platz mehr auf dem Datenträger.");
    EXPECT_EQ(FileErrorText("/d/x.txt", EIO, false),
              "Die Datei /d/x.txt kann nicht gelesen werden: Ein-/Ausgabefehler des Datenträgers.");
}

TEST(StoreErrorText, realFailuresOfTheEngineReachTheUserInGerman) {
    TempDir temp;
    const std::string path = temp.file("dept.mdb");
    MakeDatabase(path, "old", 1);
    Database readOnly(path, OpenMode::ReadOnly);
    auto expectGerman = [&](auto change, const std::string& file, int code, const char* german) {
        try {
            change();
            ADD_FAILURE() << "no failure";
        } catch (const StoreError& error) {
            const std::string text = error.what();
            EXPECT_EQ(error.code() & 0xff, code) << text;
            EXPECT_NE(text.find(file), std::string::npos) << text;
            EXPECT_NE(text.find(german), std::string::npos) << text;
            EXPECT_EQ(text.find("readonly"), std::string::npos) << text;
            EXPECT_EQ(text.find("unable to open"), std::string::npos) << text;
        }
    };
    expectGerman([&] { readOnly.execute("INSERT INTO t (v) VALUES ('x')"); }, path, SQLITE_READONLY,
                 "schreibgeschützt");
    expectGerman([&] { readOnly.prepare("DELETE FROM t").run(); }, path, SQLITE_READONLY, "schreibgeschützt");
    const std::string missing = temp.file("missing.mdb");
    expectGerman([&] { Database db(missing, OpenMode::ReadOnly); }, missing, SQLITE_CANTOPEN,
                 "nicht geöffnet");
}

// ---- The directory's own files ----

TEST(SystemDataFile, recognisesTheDirectorysOwnFilesOnly) {
    SystemFixture system;
    const std::string dir = system.systemPath();
    Register(dir, kKanr, kAbteilung, "12100101.101   ");
    fs::create_directories(In(dir, "sub"));
    TempDir elsewhere;
    struct Case {
        std::string path;
        bool own;
    };
    const Case cases[] = {
        {In(dir, "iadmin.mdb"), true},
        {In(dir, "ibds.mdb"), true},
        {In(dir, "temp.mdb"), true},
        {In(dir, "kalvora.lock"), true},
        {In(dir, "kalvora.pending"), true},
        {In(dir, "temp-1-2.mdb"), true},
        {In(dir, "temp-1-2.mdb-journal"), true},
        {In(dir, "iadmin.mdb-journal"), true},
        {In(dir, "12100101.101"), true},
        {In(dir, "12100101.101-journal"), true},
        {In(dir, "sub/../12100101.101"), true},
        {In(dir, "sub/../iadmin.mdb"), true},
        {In(dir, "nosub/../12100101.101"), true},
        {In(dir, "12100202.101"), false},
        {In(dir, "protokoll.txt"), false},
        {In(dir, "sub/12100101.101"), false},
        {elsewhere.file("iadmin.mdb"), false},
        {elsewhere.file("12100101.101"), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsSystemDataFile(c.path, dir), c.own) << c.path;
        EXPECT_EQ(IsSystemDataFile(c.path, dir + "/"), c.own) << c.path << " (directory given with a slash)";
    }
    EXPECT_EQ(SystemDataFileRefusal(In(dir, "iadmin.mdb")),
              "Die Datei iadmin.mdb des Systemdatenverzeichnisses darf nicht überschrieben werden!");
}

TEST(SystemDataFile, databaseFilesAreRecognisedByTheirContent) {
    TempDir temp;
    MakeDatabase(temp.file("anything.txt"), "x", 1);
    WriteFile(temp.file("text.mdb"), "SQLite format 2 is not what this is, just a line of text\n");
    WriteFile(temp.file("short.mdb"), "SQLite");
    EXPECT_TRUE(IsDatabaseFile(temp.file("anything.txt")));
    EXPECT_FALSE(IsDatabaseFile(temp.file("text.mdb")));
    EXPECT_FALSE(IsDatabaseFile(temp.file("short.mdb")));
    EXPECT_FALSE(IsDatabaseFile(temp.file("missing.mdb")));
    EXPECT_FALSE(IsDatabaseFile(temp.path().string()));
}

}  // namespace
}  // namespace kalvora

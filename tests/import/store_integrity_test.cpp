// Several programs on one system data directory, and what killed writers and full disks leave
// behind: a second writer is refused without changing anything, readers see a department as it was
// before or after an import, a journal left by a killed writer never spoils what is read or
// stored, and the protocol never takes the place of a database.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "base/status_sink.h"
#include "delivery_generator.h"
#include "store/data_directory.h"
#include "store/database.h"
#include "store/schema.h"
#include "support/cli_runner.h"
#include "support/import_fixture.h"
#include "support/table_digest.h"

extern char** environ;

namespace kalvora::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Sanitized and unoptimised builds import several times slower: smaller deliveries keep the tests short.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KALVORA_SANITIZED_BUILD
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(KALVORA_SANITIZED_BUILD) || !defined(NDEBUG)
constexpr int kScale = 10;
#else
constexpr int kScale = 1;
#endif
constexpr int kStays = 3000 / kScale;

const std::string kHospital = "K101";
const std::string kDepartmentA = "12100101";
const std::string kDatabaseA = "12100101.101";
const std::string kDepartmentB = "12100201";
const std::string kDatabaseB = "12100201.101";
const std::string kDepartmentC = "12100301";
const std::string kDatabaseC = "12100301.101";

const std::string kInUse = "wird gerade von einem anderen Programm geändert";

// ---- deliveries ----

tools::GeneratorOptions Delivery(std::uint64_t seed, int stays, const std::string& department,
                                 const std::string& firstAdmission, const std::string& hospital = kHospital) {
    tools::GeneratorOptions options;
    options.seed = seed;
    options.stays = stays;
    options.hospital = hospital;
    options.department = department;
    options.firstAdmission = firstAdmission;
    options.faultRate = 0.02;
    return options;
}

// Writes the delivery into `directory` and returns its path.
std::string WriteDelivery(const tools::GeneratorOptions& options, const std::string& directory, char period) {
    tools::WrittenDelivery written = tools::WriteDeliveryFile(options, directory, period, '6');
    if (!written.result.ok()) throw std::runtime_error(written.result.error);
    return written.path.string();
}

// ---- what a directory holds ----

// The integrity check and every row of the department's three tables. The file is opened for
// writing, as the next writer would open it: a journal left beside it is rolled back first.
std::string DepartmentContent(const std::string& path) {
    if (!fs::is_regular_file(path)) return "no file " + path;
    try {
        Database db(path, OpenMode::ReadWrite);
        std::string content = "integrity:";
        Statement check = db.prepare("PRAGMA integrity_check");
        while (check.step() == StepResult::Row) content += " " + check.text(0);
        content += "\n";
        for (std::string_view table : {tables::Stays, tables::RecordType1, tables::RecordType3})
            content += TableDigest(db, table);
        return content;
    } catch (const StoreError& error) {
        return std::string("unreadable: ") + error.what();
    }
}

// Every row of Dateiverwaltung in key order.
std::string Registrations(const std::string& systemDir) {
    Database admin(systemDir + "/" + std::string(files::AdminDb), OpenMode::ReadOnly);
    Statement rows = admin.prepare(
        "SELECT KANR, ABTEILUNG, MDB_DATEI, SBETT, DGKP, VOREINSTUFUNG, Status FROM Dateiverwaltung"
        " ORDER BY KANR, ABTEILUNG");
    std::string text;
    while (rows.step() == StepResult::Row) {
        for (int i = 0; i < rows.columnCount(); ++i) text += (rows.isNull(i) ? "NULL" : rows.text(i)) + "|";
        text += "\n";
    }
    return text;
}

bool IsRegistered(const std::string& systemDir, const std::string& mdbDatei) {
    return Registrations(systemDir).find("|" + mdbDatei + "|") != std::string::npos;
}

// Name and bytes of every file in the directory.
std::map<std::string, std::string> Files(const std::string& directory) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(directory)) {
        const std::string name = entry.path().filename().string();
        files[name] = entry.is_regular_file() ? ReadFile(entry.path().string()) : std::string("(no file)");
    }
    return files;
}

std::vector<std::string> Names(const std::map<std::string, std::string>& files) {
    std::vector<std::string> names;
    for (const auto& [name, bytes] : files) names.push_back(name);
    return names;
}

// Whether an import has begun its work file ("temp-PID-N.mdb").
bool HasWorkFile(const std::string& systemDir) {
    for (const auto& entry : fs::directory_iterator(systemDir)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("temp", 0) == 0 && name.find(".mdb") != std::string::npos) return true;
    }
    return false;
}

// No work file, no pending-change note, no journal: what a finished writer leaves.
void ExpectNothingLeftOver(const std::string& systemDir) {
    for (const auto& entry : fs::directory_iterator(systemDir)) {
        const std::string name = entry.path().filename().string();
        EXPECT_NE(name.rfind("temp-", 0), 0u) << name;
        EXPECT_NE(name, std::string(kPendingChangeFile));
        EXPECT_EQ(name.find("-journal"), std::string::npos) << name;
    }
}

std::string Lowercase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The engine's and the system's English texts that must not reach the user.
void ExpectNoEnglishEngineText(const std::string& text) {
    const std::string lower = Lowercase(text);
    for (const char* phrase : {"database", "disk", "malformed", "readonly", "read-only", "input/output",
                               "unable to", "file is not", "no such", "cannot", "error"})
        EXPECT_EQ(lower.find(phrase), std::string::npos) << "\"" << phrase << "\" in: " << text;
}

// ---- a killed writer's journal ----

// Leaves beside the database the journal of a writer killed before its commit: a child process
// runs `changes` in a transaction with a cache of one page, so that changed pages reach the file,
// and is killed before it commits.
::testing::AssertionResult LeaveJournalOfKilledWriter(const std::string& path, const std::string& changes) {
    const std::string before = ReadFile(path);
    const pid_t pid = fork();
    if (pid < 0) return ::testing::AssertionFailure() << "fork failed";
    if (pid == 0) {
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) _exit(2);
        const std::string script = "PRAGMA cache_size = 1; BEGIN; " + changes;
        if (sqlite3_exec(db, script.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) _exit(3);
        raise(SIGKILL);
        _exit(4);
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return ::testing::AssertionFailure() << "waitpid failed";
    if (!WIFSIGNALED(status) || WTERMSIG(status) != SIGKILL)
        return ::testing::AssertionFailure() << "the writer ended otherwise: status " << status;
    std::error_code error;
    if (fs::file_size(path + "-journal", error) == 0 || error)
        return ::testing::AssertionFailure() << "no journal beside " << path;
    if (ReadFile(path) == before) return ::testing::AssertionFailure() << "no changed page reached " << path;
    return ::testing::AssertionSuccess();
}

const std::string kChangeEveryStay =
    "UPDATE \"Gesamt - Patientenadministration\" SET FLAG = 'X';"
    "UPDATE \"Satzart 3 - TISS28\" SET T28_SCORE = '999';";

const std::string kChangeDepartments =
    "UPDATE Dateiverwaltung SET DGKP = 99, SBETT = 42;"
    "DELETE FROM Dateiverwaltung WHERE ABTEILUNG = '12100201';"
    "CREATE TABLE Fuellung (x);"
    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000)"
    " INSERT INTO Fuellung SELECT randomblob(900) FROM n;";

// ---- kalvora-cli processes ----

// A system data directory with its settings file, and the kalvora-cli programs run on it, whose
// output and error output go to files of their own.
class Installation {
public:
    Installation() {
        ini = fixture.dir.file("settings.ini");
        const std::string root = fixture.dir.path().string();
        WriteFile(ini, "[Path]\nImportDataPath=" + root + "/import\nExportDataPath=" + root +
                           "/export\nSystemDataPath=" + root +
                           "/sys\n[Plausibilitaet]\nPlausLevel=Warning\n"
                           "[Einstufung]\nErhebungvon=20160101\nErhebungbis=20161231\nMindestStd=0\n"
                           "MehrfachTISS=N\nErsatzTISS=N\n");
        fs::create_directories(fixture.dir.file("out"));
    }
    ~Installation() {
        // A program still running (a test that stopped early) is killed; a stopped one as well.
        for (const auto& [pid, stem] : stems_) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    Installation(const Installation&) = delete;
    Installation& operator=(const Installation&) = delete;

    std::string sys() const { return fixture.systemDir(); }
    std::string importDir() const { return fixture.dir.file("import"); }
    std::string exportDir() const { return fixture.dir.file("export"); }
    std::string db(const std::string& name) const { return sys() + "/" + name; }

    // Starts kalvora-cli with the settings file and the arguments.
    pid_t start(const std::vector<std::string>& given) {
        std::string stem;
        {
            std::lock_guard<std::mutex> guard(mutex_);
            stem = fixture.dir.file("out/" + std::to_string(++started_));
        }
        std::vector<std::string> arguments = {KALVORA_CLI_BINARY, "--ini", ini};
        arguments.insert(arguments.end(), given.begin(), given.end());
        std::vector<char*> argv;
        for (std::string& argument : arguments) argv.push_back(argument.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, (stem + ".out").c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, (stem + ".err").c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        pid_t pid = -1;
        const int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (error != 0) throw std::runtime_error("kalvora-cli cannot be started");
        std::lock_guard<std::mutex> guard(mutex_);
        stems_[pid] = stem;
        return pid;
    }

    // Waits for the program (killed after two minutes); its exit code (-1 when it did not exit)
    // and its output.
    CliRun finish(pid_t pid) {
        std::string stem;
        {
            std::lock_guard<std::mutex> guard(mutex_);
            stem = stems_.at(pid);
        }
        const Clock::time_point deadline = Clock::now() + std::chrono::minutes(2);
        int status = 0;
        while (waitpid(pid, &status, WNOHANG) == 0) {
            if (Clock::now() > deadline) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        {
            std::lock_guard<std::mutex> guard(mutex_);
            stems_.erase(pid);
        }
        CliRun run;
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.out = ReadFile(stem + ".out");
        run.err = ReadFile(stem + ".err");
        return run;
    }

    CliRun run(const std::vector<std::string>& arguments) { return finish(start(arguments)); }

    // Whether the program is still at work (it may be stopped); without collecting its exit status.
    static bool Running(pid_t pid) {
        siginfo_t info{};
        return waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
               info.si_pid == 0;
    }

    ImportFixture fixture;
    std::string ini;

private:
    std::mutex mutex_;
    std::map<pid_t, std::string> stems_;
    int started_ = 0;
};

// What a department holds after the imports (argument lists of kalvora-cli) into a new directory.
std::string CleanContent(const std::vector<std::vector<std::string>>& imports, const std::string& database) {
    Installation clean;
    for (const auto& arguments : imports) {
        CliRun run = clean.run(arguments);
        if (run.exitCode != 0) return "the clean import failed: " + run.err;
    }
    return DepartmentContent(clean.db(database));
}

void ExpectRefusedAsInUse(const CliRun& run, const std::string& systemDir, const std::string& what) {
    EXPECT_EQ(run.exitCode, 1) << what << ": " << run.err;
    EXPECT_NE(run.err.find("Das Systemdatenverzeichnis " + systemDir + " " + kInUse), std::string::npos)
        << what << ": " << run.err;
}

// ---- one writer at a time ----

TEST(StoreIntegrity, directoryLockedByAnotherProgram_everyWriterIsRefusedAndChangesNothing) {
    Installation in;
    const std::string a = WriteDelivery(Delivery(7, kStays, kDepartmentA, "20160104"), in.importDir(), 'A');
    const std::string a2 = WriteDelivery(Delivery(8, kStays, kDepartmentA, "20160601"), in.importDir(), 'B');
    const std::string b = WriteDelivery(Delivery(9, 100, kDepartmentB, "20160104"), in.importDir(), 'A');
    ASSERT_EQ(in.run({"import", a}).exitCode, 0);

    {
        DataDirectoryLock lock(in.sys());
        const auto systemFiles = Files(in.sys());
        const auto exportFiles = Files(in.exportDir());

        // All at once, so that their waits overlap.
        const std::vector<std::pair<std::string, std::vector<std::string>>> writers = {
            {"import of a new department", {"import", b}},
            {"import into the stored department", {"import", "--initialise", a2}},
            {"remove", {"remove", kDatabaseA}},
            {"staffing", {"staffing", kDatabaseA, "--dgkp", "9", "--beds", "4"}},
            {"export", {"export"}},
            {"setup", {"setup", in.sys(), "--force"}},
        };
        const std::string settings = ReadFile(in.ini);
        std::vector<pid_t> pids;
        for (const auto& [what, arguments] : writers) pids.push_back(in.start(arguments));
        ImportBatchResult batch;
        std::thread inProcess([&] {
            ImportBatchRequest request;
            request.files.push_back({fs::path(b).filename().string(), b});
            request.protocolPath = in.exportDir() + "/batch.dat";
            NullStatusSink status;
            batch = RunImportBatch(request, in.fixture.settings, status);
        });
        for (std::size_t i = 0; i < pids.size(); ++i) {
            CliRun run = in.finish(pids[i]);
            ExpectRefusedAsInUse(run, in.sys(), writers[i].first);
            EXPECT_EQ(run.out, "") << writers[i].first;
        }
        inProcess.join();
        EXPECT_TRUE(batch.refused());
        EXPECT_NE(batch.refusal.find(kInUse), std::string::npos) << batch.refusal;
        EXPECT_FALSE(batch.failed()) << batch.failure;
        EXPECT_TRUE(batch.summary.empty());

        EXPECT_EQ(Names(Files(in.sys())), Names(systemFiles));
        EXPECT_TRUE(Files(in.sys()) == systemFiles) << "a refused writer changed the system data directory";
        EXPECT_EQ(Names(Files(in.exportDir())), Names(exportFiles));
        EXPECT_TRUE(Files(in.exportDir()) == exportFiles) << "a refused writer changed the export directory";
        EXPECT_EQ(ReadFile(in.ini), settings);
    }

    // Once the lock is free the same import works.
    CliRun afterwards = in.run({"import", b});
    EXPECT_EQ(afterwards.exitCode, 0) << afterwards.err;
    EXPECT_TRUE(IsRegistered(in.sys(), kDatabaseB));
}

TEST(StoreIntegrity, importAtWork_otherWritersAreRefusedAndItStoresItsWholeContent) {
    Installation in;
    const std::string a = WriteDelivery(Delivery(7, kStays, kDepartmentA, "20160104"), in.importDir(), 'A');
    const std::string a2 = WriteDelivery(Delivery(8, kStays, kDepartmentA, "20160601"), in.importDir(), 'B');
    const std::string b = WriteDelivery(Delivery(9, 100, kDepartmentB, "20160104"), in.importDir(), 'A');
    const std::string c = WriteDelivery(Delivery(10, 100, kDepartmentC, "20160104"), in.importDir(), 'A');
    ASSERT_EQ(in.run({"import", a}).exitCode, 0);
    ASSERT_EQ(in.run({"import", c}).exitCode, 0);

    // The same import on a directory of its own: the department's content and the protocol.
    std::string expectedContent, expectedProtocol;
    {
        Installation clean;
        ASSERT_EQ(clean.run({"import", a}).exitCode, 0);
        ASSERT_EQ(clean.run({"import", a2}).exitCode, 0);
        expectedContent = DepartmentContent(clean.db(kDatabaseA));
        expectedProtocol = ReadFile(clean.exportDir() + "/protocol.dat");
    }
    const std::string registrations = Registrations(in.sys());
    const std::string fileC = ReadFile(in.db(kDatabaseC));

    // The import is held while it holds the lock: it has begun its work file.
    const pid_t importing = in.start({"import", a2});
    while (!HasWorkFile(in.sys()) && Installation::Running(importing)) {
    }
    ASSERT_EQ(kill(importing, SIGSTOP), 0);
    ASSERT_TRUE(HasWorkFile(in.sys())) << "the import ended before it could be held";

    const std::vector<std::pair<std::string, std::vector<std::string>>> writers = {
        {"import of a new department", {"import", b}},
        {"remove", {"remove", kDatabaseC}},
        {"staffing", {"staffing", kDatabaseC, "--dgkp", "9"}},
        {"export", {"export"}},
    };
    std::vector<pid_t> pids;
    for (const auto& [what, arguments] : writers) pids.push_back(in.start(arguments));
    for (std::size_t i = 0; i < pids.size(); ++i)
        ExpectRefusedAsInUse(in.finish(pids[i]), in.sys(), writers[i].first);

    ASSERT_EQ(kill(importing, SIGCONT), 0);
    CliRun imported = in.finish(importing);
    EXPECT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_EQ(DepartmentContent(in.db(kDatabaseA)), expectedContent);
    EXPECT_EQ(ReadFile(in.exportDir() + "/protocol.dat"), expectedProtocol)
        << "the refused import touched the protocol of the running one";
    EXPECT_EQ(Registrations(in.sys()), registrations);
    EXPECT_EQ(ReadFile(in.db(kDatabaseC)), fileC);
    EXPECT_FALSE(fs::exists(in.db(kDatabaseB)));
    EXPECT_FALSE(fs::exists(in.exportDir() + "/gesamt.mdb"));
    ExpectNothingLeftOver(in.sys());
}

TEST(StoreIntegrity, twoImportsStartedTogether_bothStoreOrOneIsRefusedAndNothingIsMixed) {
    TempDir deliveries;
    const std::string a =
        WriteDelivery(Delivery(7, kStays, kDepartmentA, "20160104"), deliveries.file("d"), 'A');
    const std::string b =
        WriteDelivery(Delivery(9, kStays, kDepartmentB, "20160104"), deliveries.file("d"), 'A');
    const std::map<std::string, std::string> expected = {
        {kDatabaseA, CleanContent({{"import", a}}, kDatabaseA)},
        {kDatabaseB, CleanContent({{"import", b}}, kDatabaseB)}};
    int refusals = 0;
    for (int round = 1; round <= 5; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        Installation in;
        const pid_t first = in.start({"import", a});
        const pid_t second = in.start({"import", b});
        const std::vector<std::pair<std::string, CliRun>> runs = {{kDatabaseA, in.finish(first)},
                                                                  {kDatabaseB, in.finish(second)}};
        int stored = 0;
        for (const auto& [database, run] : runs) {
            if (run.exitCode == 0) {
                ++stored;
                EXPECT_EQ(DepartmentContent(in.db(database)), expected.at(database)) << database;
                EXPECT_TRUE(IsRegistered(in.sys(), database)) << database;
            } else {
                ++refusals;
                ExpectRefusedAsInUse(run, in.sys(), "import of " + database);
                EXPECT_FALSE(fs::exists(in.db(database))) << database;
                EXPECT_FALSE(IsRegistered(in.sys(), database)) << database;
            }
        }
        EXPECT_GE(stored, 1);
        ExpectNothingLeftOver(in.sys());
    }
    std::cout << "[ imports  ] 5 rounds of two imports at once: " << refusals << " refused\n";
}

// ---- journals of killed writers ----

TEST(StoreIntegrity, journalOfKilledWriterBesideDepartment_readersSeeTheCommittedContent) {
    Installation in;
    const std::string a = WriteDelivery(Delivery(7, kStays, kDepartmentA, "20160104"), in.importDir(), 'A');
    ASSERT_EQ(in.run({"import", a}).exitCode, 0);
    const std::string content = DepartmentContent(in.db(kDatabaseA));
    const std::vector<std::vector<std::string>> readers = {{"stays", kDatabaseA}, {"classify", kDatabaseA}};
    std::vector<CliRun> before;
    for (const auto& arguments : readers) {
        before.push_back(in.run(arguments));
        ASSERT_EQ(before.back().exitCode, 0) << before.back().err;
    }
    for (std::size_t i = 0; i < readers.size(); ++i) {
        SCOPED_TRACE(readers[i][0]);
        ASSERT_TRUE(LeaveJournalOfKilledWriter(in.db(kDatabaseA), kChangeEveryStay));
        CliRun run = in.run(readers[i]);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out, before[i].out);
        EXPECT_EQ(DepartmentContent(in.db(kDatabaseA)), content);
    }
}

TEST(StoreIntegrity, journalOfKilledWriterBesideDepartment_appendingImportBuildsOnTheCommittedContent) {
    Installation in;
    const std::string a = WriteDelivery(Delivery(7, kStays, kDepartmentA, "20160104"), in.importDir(), 'A');
    const std::string a2 = WriteDelivery(Delivery(8, kStays, kDepartmentA, "20160601"), in.importDir(), 'B');
    const std::string expected = CleanContent({{"import", a}, {"import", a2}}, kDatabaseA);
    ASSERT_EQ(in.run({"import", a}).exitCode, 0);
    ASSERT_TRUE(LeaveJournalOfKilledWriter(in.db(kDatabaseA), kChangeEveryStay));

    CliRun run = in.run({"import", a2});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_FALSE(fs::exists(in.db(kDatabaseA) + "-journal"));
    EXPECT_EQ(DepartmentContent(in.db(kDatabaseA)), expected);
    ExpectNothingLeftOver(in.sys());
}

TEST(StoreIntegrity, journalOfKilledWriterBesideDepartment_initialisingImportLeavesNoneBehind) {
    Installation in;
    const std::string a = WriteDelivery(Delivery(7, kStays, kDepartmentA, "20160104"), in.importDir(), 'A');
    const std::string a2 = WriteDelivery(Delivery(8, kStays, kDepartmentA, "20160601"), in.importDir(), 'B');
    const std::string expected = CleanContent({{"import", a2}}, kDatabaseA);
    ASSERT_EQ(in.run({"import", a}).exitCode, 0);
    ASSERT_TRUE(LeaveJournalOfKilledWriter(in.db(kDatabaseA), kChangeEveryStay));

    CliRun run = in.run({"import", "--initialise", a2});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    // A journal of the old content left beside the new file would be rolled back onto it by the
    // next writer; DepartmentContent opens the file as one.
    EXPECT_FALSE(fs::exists(in.db(kDatabaseA) + "-journal"));
    EXPECT_EQ(DepartmentContent(in.db(kDatabaseA)), expected);
    CliRun stays = in.run({"stays", kDatabaseA});
    EXPECT_EQ(stays.exitCode, 0) << stays.err;
    ExpectNothingLeftOver(in.sys());
}

TEST(StoreIntegrity, journalOfKilledWriterBesideAdministration_readersSeeTheCommittedDepartments) {
    Installation in;
    const std::string a = WriteDelivery(Delivery(7, kStays, kDepartmentA, "20160104"), in.importDir(), 'A');
    const std::string b = WriteDelivery(Delivery(9, 100, kDepartmentB, "20160104"), in.importDir(), 'A');
    ASSERT_EQ(in.run({"import", a}).exitCode, 0);
    ASSERT_EQ(in.run({"import", b}).exitCode, 0);
    ASSERT_EQ(in.run({"staffing", kDatabaseA, "--dgkp", "12", "--beds", "6"}).exitCode, 0);
    const std::string registrations = Registrations(in.sys());
    const std::string admin = in.db(std::string(files::AdminDb));

    const std::vector<std::vector<std::string>> readers = {
        {"departments"}, {"classify"}, {"classify", kDatabaseB}, {"stays", kDatabaseB}};
    std::vector<CliRun> before;
    for (const auto& arguments : readers) {
        before.push_back(in.run(arguments));
        ASSERT_EQ(before.back().exitCode, 0) << before.back().err;
    }
    for (std::size_t i = 0; i < readers.size(); ++i) {
        SCOPED_TRACE(readers[i][0] + (readers[i].size() > 1 ? " " + readers[i][1] : std::string()));
        ASSERT_TRUE(LeaveJournalOfKilledWriter(admin, kChangeDepartments));
        CliRun run = in.run(readers[i]);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out, before[i].out);
        EXPECT_EQ(Registrations(in.sys()), registrations);
    }
    Database check(admin, OpenMode::ReadWrite);
    EXPECT_EQ(check.scalar("SELECT count(*) FROM sqlite_master WHERE name = 'Fuellung'"), 0);
}

// ---- the protocol ----

TEST(StoreIntegrity, protocolOnFullDisk_failsInGermanAndStoresNothing) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    ImportFixture fixture;
    const std::string importDir = fixture.dir.file("import");
    const std::string faulty = WriteDelivery(Delivery(7, kStays, kDepartmentA, "20160104"), importDir, 'A');
    // One correct stay: the protocol holds its header only.
    Type1 stay{"A1", "19500615", "201601041000", "201601051000"};
    stay.hospitalDischarge = "20160110";
    const std::string clean = fixture.writeDelivery(
        "C6100101.101",
        DeliveryFile({Line(stay), Line(Type3{"A1", "19500615", "201601041000", "20160104"}),
                      Line(Type3{"A1", "19500615", "201601041000", "20160105"}), SumLine(1, 0, 2, 0)}));
    auto importOnto = [&](const std::string& path, const std::string& protocol) {
        ImportBatchRequest request;
        request.files.push_back({fs::path(path).filename().string(), path});
        request.protocolPath = protocol;
        NullStatusSink status;
        return RunImportBatch(request, fixture.settings, status);
    };
    const std::string failure =
        "Die Protokolldatei /dev/full kann nicht geschrieben werden: kein Platz mehr auf dem Datenträger.";

    // A new department: neither file nor row.
    for (const std::string& delivery : {faulty, clean}) {
        SCOPED_TRACE(delivery == clean ? "header only" : "findings");
        ImportBatchResult result = importOnto(delivery, "/dev/full");
        EXPECT_TRUE(result.failed());
        EXPECT_NE(result.failure.find(failure), std::string::npos) << result.failure;
        EXPECT_FALSE(fs::exists(fixture.departmentDb(kDatabaseA)));
        EXPECT_EQ(Registrations(fixture.systemDir()), "");
        ExpectNothingLeftOver(fixture.systemDir());
    }

    // A stored department keeps its content and row.
    const std::string stored = WriteDelivery(Delivery(8, kStays, kDepartmentA, "20160601"), importDir, 'B');
    ImportBatchResult first = importOnto(stored, fixture.protocolPath());
    ASSERT_FALSE(first.failed()) << first.failure;
    const std::string content = DepartmentContent(fixture.departmentDb(kDatabaseA));
    const std::string registrations = Registrations(fixture.systemDir());
    for (ImportMode mode : {ImportMode::Append, ImportMode::Initialise}) {
        ImportBatchRequest request;
        request.files.push_back({fs::path(faulty).filename().string(), faulty});
        request.mode = mode;
        request.protocolPath = "/dev/full";
        NullStatusSink status;
        ImportBatchResult result = RunImportBatch(request, fixture.settings, status);
        EXPECT_NE(result.failure.find(failure), std::string::npos) << result.failure;
        EXPECT_EQ(DepartmentContent(fixture.departmentDb(kDatabaseA)), content);
        EXPECT_EQ(Registrations(fixture.systemDir()), registrations);
        ExpectNothingLeftOver(fixture.systemDir());
    }
}

TEST(StoreIntegrity, protocolNamedLikeDatabaseOfTheDirectory_isRefusedByTheCommandAndOverwritesNothing) {
    Installation in;
    const std::string sys = in.sys();
    const std::string k103 =
        WriteDelivery(Delivery(7, 200, kDepartmentB, "20160104", "K103"), in.importDir(), 'A');
    const std::string a = WriteDelivery(Delivery(8, 200, kDepartmentA, "20160104"), in.importDir(), 'A');
    ASSERT_EQ(in.run({"--export-dir", sys, "import", k103}).exitCode, 0);
    ASSERT_TRUE(fs::exists(in.db("12100201.103")));
    // A total database of an earlier export lies in the same directory.
    CliRun exported = in.run({"--export-dir", sys, "export"});
    ASSERT_EQ(exported.exitCode, 0) << exported.err;
    ASSERT_TRUE(IsDatabaseFile(in.db("gesamt.mdb")));
    const std::string stored = DepartmentContent(in.db("12100201.103"));

    for (const std::string name : {"12100201.103", "iadmin.mdb", "ibds.mdb", "gesamt.mdb"}) {
        SCOPED_TRACE(name);
        const auto files = Files(sys);
        CliRun run = in.run({"--export-dir", sys, "import", "--protocol", name, a});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find("Die Datei " + name + " "), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("darf nicht"), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(Files(sys) == files) << "the system data directory changed";
    }
    EXPECT_EQ(DepartmentContent(in.db("12100201.103")), stored);

    CliRun ordinary = in.run({"--export-dir", sys, "import", "--protocol", "proto.dat", a});
    EXPECT_EQ(ordinary.exitCode, 0) << ordinary.err;
    EXPECT_EQ(ReadFile(sys + "/proto.dat").rfind("Datei;Krankenanstalt;Abteilung;", 0), 0u);
    EXPECT_TRUE(IsRegistered(sys, kDatabaseA));
}

TEST(StoreIntegrity, protocolPathOfDatabaseOrDirectoryFile_isRefusedByTheImportBatch) {
    ImportFixture fixture;
    const std::string sys = fixture.systemDir();
    const std::string exportDir = fixture.dir.file("export");
    const std::string k103 =
        WriteDelivery(Delivery(7, 200, kDepartmentB, "20160104", "K103"), fixture.dir.file("import"), 'A');
    const std::string a =
        WriteDelivery(Delivery(8, 200, kDepartmentA, "20160104"), fixture.dir.file("import"), 'A');
    ASSERT_FALSE(fixture.import({fs::path(k103).filename().string()}).failed());
    {
        Database total(exportDir + "/gesamt.mdb", OpenMode::Create);
        total.execute("CREATE TABLE t (x); INSERT INTO t VALUES (1)");
    }
    auto importWith = [&](const std::string& protocol) {
        ImportBatchRequest request;
        request.files.push_back({fs::path(a).filename().string(), a});
        request.protocolPath = protocol;
        NullStatusSink status;
        return RunImportBatch(request, fixture.settings, status);
    };

    for (const std::string& path : {sys + "/12100201.103", sys + "/iadmin.mdb", sys + "/ibds.mdb",
                                    sys + "/12100201.103-journal", sys + "/iadmin.mdb-journal",
                                    sys + "/" + std::string(kPendingChangeFile), exportDir + "/gesamt.mdb"}) {
        SCOPED_TRACE(path);
        const auto systemFiles = Files(sys);
        const auto exportFiles = Files(exportDir);
        ImportBatchResult result = importWith(path);
        EXPECT_TRUE(result.refused());
        EXPECT_NE(result.refusal.find("Die Datei " + fs::path(path).filename().string() + " "),
                  std::string::npos)
            << result.refusal;
        EXPECT_TRUE(result.summary.empty());
        EXPECT_TRUE(Files(sys) == systemFiles) << "the system data directory changed";
        EXPECT_TRUE(Files(exportDir) == exportFiles) << "the export directory changed";
    }

    ImportBatchResult ordinary = importWith(exportDir + "/other.dat");
    EXPECT_FALSE(ordinary.refused()) << ordinary.refusal;
    EXPECT_FALSE(ordinary.failed()) << ordinary.failure;
    EXPECT_TRUE(IsRegistered(sys, kDatabaseA));
}

// ---- readers during imports ----

TEST(StoreIntegrity, readersDuringImports_seeOldOrNewContentAndTheImportsStoreAll) {
    Installation in;
    const std::string a = WriteDelivery(Delivery(7, kStays, kDepartmentA, "20160104"), in.importDir(), 'A');
    const std::string a2 = WriteDelivery(Delivery(8, kStays, kDepartmentA, "20160601"), in.importDir(), 'B');
    ASSERT_EQ(in.run({"import", a}).exitCode, 0);
    const std::vector<std::string> classify = {"classify", kDatabaseA};
    const std::vector<std::string> stays = {"stays", kDatabaseA};
    // New content, old again, new again: the department file is replaced five times.
    std::vector<std::vector<std::string>> imports;
    for (int i = 0; i < 5; ++i)
        imports.push_back(i % 2 == 0 ? std::vector<std::string>{"import", a2}
                                     : std::vector<std::string>{"import", "--initialise", a});

    // What the readers show of the old and of the new content, and the imports' summaries, from the
    // same imports without readers.
    std::set<std::string> classifications, patientLists;
    auto shown = [](Installation& where, const std::vector<std::string>& arguments) {
        CliRun run = where.run(arguments);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        return run.out;
    };
    classifications.insert(shown(in, classify));
    patientLists.insert(shown(in, stays));
    std::string expected;
    std::vector<std::string> summaries;
    {
        Installation clean;
        ASSERT_EQ(clean.run({"import", a}).exitCode, 0);
        for (const auto& arguments : imports) summaries.push_back(shown(clean, arguments));
        expected = DepartmentContent(clean.db(kDatabaseA));
        classifications.insert(shown(clean, classify));
        patientLists.insert(shown(clean, stays));
    }
    ASSERT_EQ(classifications.size(), 2u) << "old and new content classify alike";
    ASSERT_EQ(patientLists.size(), 2u);

    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::vector<std::pair<std::string, CliRun>> reads;
    auto reader = [&](const std::vector<std::string>& arguments) {
        while (!stop) {
            CliRun run = in.run(arguments);
            std::lock_guard<std::mutex> guard(mutex);
            reads.emplace_back(arguments[0], std::move(run));
        }
    };
    std::vector<std::thread> readers;
    readers.emplace_back(reader, classify);
    readers.emplace_back(reader, classify);
    readers.emplace_back(reader, stays);
    std::vector<CliRun> imported;
    for (const auto& arguments : imports) imported.push_back(in.run(arguments));
    stop = true;
    for (std::thread& thread : readers) thread.join();

    for (std::size_t i = 0; i < imported.size(); ++i) {
        EXPECT_EQ(imported[i].exitCode, 0) << imported[i].err;
        EXPECT_EQ(imported[i].out, summaries[i]) << "import " << i + 1 << " did not store what it read";
    }
    std::size_t classified = 0;
    for (const auto& [command, run] : reads) {
        EXPECT_EQ(run.exitCode, 0) << command << ": " << run.err;
        EXPECT_EQ(run.out.find("kann nicht gelesen werden"), std::string::npos) << command << ": " << run.out;
        EXPECT_EQ(run.out.find("nicht gefunden"), std::string::npos) << command << ": " << run.out;
        const auto& seen = command == "classify" ? classifications : patientLists;
        EXPECT_EQ(seen.count(run.out), 1u) << command << " showed neither the old nor the new content:\n"
                                           << run.out;
        if (command == "classify") ++classified;
    }
    EXPECT_GT(classified, 0u);
    std::cout << "[ readers  ] " << reads.size() << " reads (" << classified << " classifications) during "
              << imported.size() << " imports\n";
    EXPECT_FALSE(fs::exists(in.db(kDatabaseA) + "-journal"));
    EXPECT_EQ(DepartmentContent(in.db(kDatabaseA)), expected);
    ExpectNothingLeftOver(in.sys());
}

// A program that opened the department before an import stored it anew (a classification waiting
// for the department's lock while the import stores) still holds the old, replaced file. Its next
// read must not take the journal of a program writing the new file for a journal of its own.
TEST(StoreIntegrity, connectionToReplacedDepartmentFile_leavesTheJournalOfTheNewFileAlone) {
    Installation in;
    const std::string a = WriteDelivery(Delivery(7, kStays, kDepartmentA, "20160104"), in.importDir(), 'A');
    const std::string a2 = WriteDelivery(Delivery(8, kStays, kDepartmentA, "20160601"), in.importDir(), 'B');
    ASSERT_EQ(in.run({"import", a}).exitCode, 0);
    const std::string path = in.db(kDatabaseA);
    const std::string journal = path + "-journal";
    std::string classified, expected;
    {
        Installation clean;
        ASSERT_EQ(clean.run({"import", a}).exitCode, 0);
        ASSERT_EQ(clean.run({"import", a2}).exitCode, 0);
        classified = clean.run({"classify", kDatabaseA}).out;
        expected = DepartmentContent(clean.db(kDatabaseA));
    }

    Database replaced(path, OpenMode::ReadWrite);
    ASSERT_EQ(in.run({"import", a2}).exitCode, 0);

    // A classification of the new file, held during its commit: its journal lies beside the file,
    // synced (the journal's header is written then), and the file is being written.
    auto journalWritten = [&] {
        std::ifstream file(journal, std::ios::binary);
        char first = 0;
        return file.get(first) && first != 0;
    };
    pid_t writer = -1;
    for (int attempt = 0; attempt < 200 && writer < 0; ++attempt) {
        const pid_t pid = in.start({"classify", kDatabaseA});
        while (!journalWritten() && Installation::Running(pid)) {
        }
        kill(pid, SIGSTOP);
        if (journalWritten()) {
            writer = pid;
        } else {
            kill(pid, SIGCONT);
            in.finish(pid);
        }
    }
    ASSERT_GT(writer, 0) << "no classification could be held while writing";

    try {
        replaced.scalar("SELECT count(*) FROM \"Gesamt - Patientenadministration\"");
    } catch (const StoreError&) {
        // The old file may be refused; it must not be mended with the other file's journal.
    }
    EXPECT_TRUE(fs::exists(journal)) << "the journal of the running classification was removed";

    kill(writer, SIGCONT);
    CliRun run = in.finish(writer);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, classified);
    EXPECT_EQ(DepartmentContent(path), expected);
}

// ---- German messages ----

TEST(StoreIntegrity, brokenDepartmentFile_importFailsInGermanAndLeavesTheFile) {
    Installation in;
    const std::string a = WriteDelivery(Delivery(7, 200, kDepartmentA, "20160104"), in.importDir(), 'A');
    const std::string a2 = WriteDelivery(Delivery(8, 200, kDepartmentA, "20160601"), in.importDir(), 'B');
    ASSERT_EQ(in.run({"import", a}).exitCode, 0);
    const std::string path = in.db(kDatabaseA);
    const std::string good = ReadFile(path);
    const std::string registrations = Registrations(in.sys());

    struct Breakage {
        std::string what;
        std::function<void()> apply;
    };
    const std::vector<Breakage> breakages = {
        {"text instead of a database",
         [&] {
             std::string text;
             for (int i = 0; i < 200; ++i) text += "Aufenthalt;Tag;Punkte\r\n";
             WriteFile(path, text);
         }},
        {"pages overwritten behind the header",
         [&] {
             std::string bytes = good;
             for (std::size_t i = 4096; i < bytes.size(); ++i) bytes[i] = static_cast<char>('A' + i % 23);
             WriteFile(path, bytes);
         }},
        {"a directory in place of the file",
         [&] {
             fs::remove(path);
             fs::create_directory(path);
         }},
    };
    for (const Breakage& breakage : breakages) {
        SCOPED_TRACE(breakage.what);
        fs::remove_all(path);
        breakage.apply();
        const auto files = Files(in.sys());
        for (const std::vector<std::string>& arguments :
             {std::vector<std::string>{"import", a2}, std::vector<std::string>{"stays", kDatabaseA}}) {
            CliRun run = in.run(arguments);
            EXPECT_EQ(run.exitCode, 1) << arguments[0] << ": " << run.out;
            EXPECT_NE(run.err, "") << arguments[0];
            ExpectNoEnglishEngineText(run.err);
        }
        EXPECT_TRUE(Files(in.sys()) == files) << "the failed import changed the system data directory";
        EXPECT_EQ(Registrations(in.sys()), registrations);
    }
}

}  // namespace
}  // namespace kalvora::test

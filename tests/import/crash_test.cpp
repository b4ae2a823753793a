// Killing the import program at any moment, storing included: the department database stays sound
// and holds either its complete old or its complete new content, its Dateiverwaltung row fits, and
// the next import works.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "delivery_generator.h"
#include "store/data_directory.h"
#include "store/database.h"
#include "store/schema.h"
#include "support/import_fixture.h"
#include "support/table_digest.h"

extern char** environ;

namespace kalvora::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kKills = 30;
constexpr int kMomentKills = 2;
// Sanitized and unoptimised builds run the import several times slower: smaller deliveries keep the
// test's length alike.
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
constexpr int kStoredStays = 3000 / kScale;
constexpr int kDeliveredStays = 20000 / kScale;
const std::string kHospital = "K101";
const std::string kDepartment = "12100101";
const std::string kDepartmentDb = "12100101.101";

// What a department holds: the result of the integrity check, rows and checksum of each of the
// three tables (rows in the order of all their columns), and the department's Dateiverwaltung row.
struct DepartmentState {
    std::string integrity;
    std::string tables;
    std::string registration;
};

// Whether a work file of an import run lies in the system data directory.
bool HasWorkFile(const std::string& systemDir) {
    for (const auto& entry : fs::directory_iterator(systemDir)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("temp-", 0) == 0 && name.size() > 4 && name.substr(name.size() - 4) == ".mdb")
            return true;
    }
    return false;
}

void RemoveWorkFiles(const std::string& systemDir) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(systemDir))
        if (entry.path().filename().string().rfind("temp-", 0) == 0) found.push_back(entry.path());
    for (const fs::path& path : found) fs::remove(path);
}

DepartmentState ReadStoredDepartment(const std::string& systemDir);

// What the programs read: a change cut short by the kill is first finished, as every reader does.
DepartmentState ReadDepartment(const std::string& systemDir) {
    RecoverDataDirectory(systemDir);
    return ReadStoredDepartment(systemDir);
}

DepartmentState ReadStoredDepartment(const std::string& systemDir) {
    DepartmentState state;
    // Opened for writing as the program's next start would, so that an interrupted transaction of
    // the administration database is rolled back first.
    Database admin(systemDir + "/" + std::string(files::AdminDb), OpenMode::ReadWrite);
    Statement row = admin.prepare(
        "SELECT KANR, ABTEILUNG, MDB_DATEI, SBETT, DGKP, VOREINSTUFUNG, Status FROM Dateiverwaltung"
        " WHERE KANR = ? AND ABTEILUNG = ?");
    row.bind(1, std::string_view(kHospital)).bind(2, std::string_view(kDepartment));
    while (row.step() == StepResult::Row) {
        for (int i = 0; i < row.columnCount(); ++i)
            state.registration += (row.isNull(i) ? "NULL" : row.text(i)) + "|";
        state.registration += "\n";
    }
    state.registration += "rows: " + std::to_string(admin.scalar("SELECT count(*) FROM Dateiverwaltung"));

    Database db(systemDir + "/" + kDepartmentDb, OpenMode::ReadOnly);
    Statement check = db.prepare("PRAGMA integrity_check");
    while (check.step() == StepResult::Row) state.integrity += check.text(0);
    for (std::string_view table : {tables::Stays, tables::RecordType1, tables::RecordType3})
        state.tables += TableDigest(db, table);
    return state;
}

std::string WriteSettingsFile(const std::string& path, const std::string& root) {
    WriteFile(path, "[Path]\nImportDataPath=" + root + "/import\nExportDataPath=" + root +
                        "/export\nSystemDataPath=" + root +
                        "/sys\n[Plausibilitaet]\nPlausLevel=Warning\n"
                        "[Einstufung]\nErhebungvon=20160101\nErhebungbis=20161231\nMindestStd=0\n"
                        "MehrfachTISS=N\nErsatzTISS=N\n");
    return path;
}

// kalvora-cli import of one delivery, its output thrown away.
pid_t StartImport(const std::string& ini, const std::string& delivery) {
    std::vector<std::string> arguments = {KALVORA_CLI_BINARY, "--ini", ini, "import", delivery};
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? pid : -1;
}

// Waits for the process, killing it when it takes longer than a minute; its exit code, or -1.
int WaitForExit(pid_t pid) {
    Clock::time_point deadline = Clock::now() + std::chrono::seconds(60);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (Clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

enum class KillMoment { AfterDelay, WorkFileCreated, Replaced };

struct Kill {
    KillMoment moment;
    double delay;  // seconds after the start, for AfterDelay
};

ino_t FileIdentity(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? status.st_ino : 0;
}

// Polls until `reached` holds; false when the process ends first.
template <typename Condition>
bool AwaitMoment(pid_t pid, Condition reached) {
    Clock::time_point deadline = Clock::now() + std::chrono::seconds(60);
    while (!reached()) {
        // Looks without reaping, so that the caller still collects the exit status.
        siginfo_t info{};
        // The run may have reached the moment and ended since the last look (a busy machine lets it
        // run through between two looks): one more look tells.
        if (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
            info.si_pid != 0)
            return reached();
        if (Clock::now() > deadline) return false;
    }
    return true;
}

void CopySystemDirectory(const std::string& from, const std::string& to) {
    fs::create_directories(to);
    fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

tools::GeneratorOptions Delivery(std::uint64_t seed, int stays, const std::string& firstAdmission) {
    tools::GeneratorOptions options;
    options.seed = seed;
    options.stays = stays;
    options.hospital = kHospital;
    options.department = kDepartment;
    options.firstAdmission = firstAdmission;
    options.faultRate = 0.02;
    return options;
}

TEST(ImportCrash, killedAtAnyMoment_leavesOldOrNewContentAndNextImportWorks) {
    ImportFixture fixture;
    const std::string root = fixture.dir.path().string();
    const std::string systemDir = fixture.systemDir();
    const std::string importDir = fixture.dir.file("import");

    // The department with its stored stays.
    auto stored = tools::WriteDeliveryFile(Delivery(7, kStoredStays, "20160104"), importDir, 'A', '6');
    ASSERT_TRUE(stored.result.ok()) << stored.result.error;
    ImportBatchResult first = fixture.import({stored.path.filename().string()});
    ASSERT_FALSE(first.failed()) << first.failure;
    DepartmentState oldState = ReadDepartment(systemDir);
    ASSERT_EQ(oldState.integrity, "ok");
    fs::copy_file(systemDir + "/" + kDepartmentDb, fixture.dir.file("old-department.db"));

    auto delivered = tools::WriteDeliveryFile(Delivery(8, kDeliveredStays, "20160301"), importDir, 'B', '6');
    ASSERT_TRUE(delivered.result.ok()) << delivered.result.error;
    const std::string delivery = delivered.path.string();

    // The new content from imports that run to their end on a copy; the longer of two runs is taken
    // as the run's length.
    const std::string copyRoot = fixture.dir.file("copy");
    CopySystemDirectory(systemDir, copyRoot + "/sys");
    fs::create_directories(copyRoot + "/export");
    const std::string copyIni = WriteSettingsFile(copyRoot + "/settings.ini", copyRoot);
    Clock::duration runLength{};
    for (int run = 0; run < 2; ++run) {
        fs::copy_file(fixture.dir.file("old-department.db"), copyRoot + "/sys/" + kDepartmentDb,
                      fs::copy_options::overwrite_existing);
        Clock::time_point started = Clock::now();
        ASSERT_EQ(WaitForExit(StartImport(copyIni, delivery)), 0);
        runLength = std::max(runLength, Clock::now() - started);
    }
    DepartmentState newState = ReadDepartment(copyRoot + "/sys");
    ASSERT_EQ(newState.integrity, "ok");
    ASSERT_NE(newState.tables, oldState.tables);
    ASSERT_EQ(newState.registration, oldState.registration);

    // The kill moments: one at a random point of each of kKills equal slices of the run and a tenth
    // beyond its end (the length of a run varies); then a few kills right when the work file appears
    // and right after the department file was replaced.
    std::vector<Kill> kills;
    std::random_device entropy;
    const unsigned seed = entropy();
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> within(0.0, 1.0);
    const double span = std::chrono::duration<double>(runLength).count() * 1.1;
    for (int slice = 0; slice < kKills; ++slice)
        kills.push_back({KillMoment::AfterDelay, span * (slice + within(random)) / kKills});
    for (int i = 0; i < kMomentKills; ++i) {
        kills.push_back({KillMoment::Replaced, 0});
        kills.push_back({KillMoment::WorkFileCreated, 0});
    }

    const std::string ini = WriteSettingsFile(fixture.dir.file("settings.ini"), root);
    const std::string departmentPath = systemDir + "/" + kDepartmentDb;
    int keptOld = 0, becameNew = 0, finished = 0;
    for (size_t i = 0; i < kills.size(); ++i) {
        const Kill& plan = kills[i];
        SCOPED_TRACE("kill " + std::to_string(i) + " (" + std::to_string(plan.delay) + " s), random seed " +
                     std::to_string(seed));
        const Clock::time_point start = Clock::now();
        const ino_t oldFile = FileIdentity(departmentPath);
        // A work file left by an earlier kill would be taken for the new one.
        if (plan.moment == KillMoment::WorkFileCreated) RemoveWorkFiles(systemDir);
        const pid_t pid = StartImport(ini, delivery);
        ASSERT_GT(pid, 0);
        bool reached = true;
        if (plan.moment == KillMoment::AfterDelay)
            std::this_thread::sleep_until(start + std::chrono::duration_cast<Clock::duration>(
                                                      std::chrono::duration<double>(plan.delay)));
        else if (plan.moment == KillMoment::WorkFileCreated)
            reached = AwaitMoment(pid, [&] { return HasWorkFile(systemDir); });
        else
            reached = AwaitMoment(pid, [&] { return FileIdentity(departmentPath) != oldFile; });
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            ++finished;
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the import failed before its kill";
        } else {
            kill(pid, SIGKILL);
            ASSERT_EQ(waitpid(pid, &status, 0), pid);
        }
        EXPECT_TRUE(reached) << "the import ended before the awaited moment";

        DepartmentState state = ReadDepartment(systemDir);
        ASSERT_EQ(state.integrity, "ok");
        ASSERT_EQ(state.registration, oldState.registration);
        if (state.tables == newState.tables) {
            ++becameNew;
            // Back to the old content, so that every kill interrupts the same change.
            fs::copy_file(fixture.dir.file("old-department.db"), systemDir + "/restore.db");
            fs::rename(systemDir + "/restore.db", departmentPath);
        } else {
            ASSERT_EQ(state.tables, oldState.tables)
                << "the department holds neither its old nor its new content";
            ASSERT_NE(plan.moment, KillMoment::Replaced)
                << "the replaced department file lost its new content";
            ++keptOld;
        }
    }
    std::cout << "[ kills    ] " << kills.size() << " kills, " << kKills << " of them spread over " << span
              << " s (seed " << seed << "): old content " << keptOld << ", new content " << becameNew
              << " (finished before the kill: " << finished << ")\n";

    // Whatever the last kill left behind (here a work file cut short), the next import runs to its
    // end and stores the new content.
    ASSERT_EQ(WaitForExit(StartImport(ini, delivery)), 0);
    DepartmentState after = ReadDepartment(systemDir);
    EXPECT_EQ(after.integrity, "ok");
    EXPECT_EQ(after.tables, newState.tables);
    EXPECT_EQ(after.registration, oldState.registration);
    EXPECT_FALSE(HasWorkFile(systemDir));
}

}  // namespace
}  // namespace kalvora::test

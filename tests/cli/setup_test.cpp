// kalvora-cli setup on a directory in use, after a failure, and with the settings file that is in
// effect.

#include <gtest/gtest.h>

#include <filesystem>

#include "store/database.h"
#include "support/cli_runner.h"
#include "support/temp_dir.h"

namespace kalvora::test {
namespace {

namespace fs = std::filesystem;

const std::string kDemo = std::string(KALVORA_SOURCE_DIR) + "/data/demo/A6100101.101";

class SetupOfAnExistingDirectory : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(run({"setup", system()}).exitCode, 0);
        ASSERT_EQ(run({"import", kDemo}).exitCode, 0);
        ASSERT_EQ(run({"staffing", "12100101.101", "--beds", "7"}).exitCode, 0);
    }
    CliRun run(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--ini", dir.file("k.ini")});
        return RunCliInProcess(arguments);
    }
    std::string system() const { return dir.file("sys"); }
    std::string list(const std::string& name, const std::string& content) {
        WriteFile(dir.file(name), content);
        return dir.file(name);
    }
    long long adminCount(const std::string& sql) {
        Database admin(system() + "/iadmin.mdb", OpenMode::ReadOnly);
        return admin.scalar(sql);
    }
    TempDir dir;
};

TEST_F(SetupOfAnExistingDirectory, refusal_offersOnlyAWayThatKeepsTheData) {
    CliRun again = run({"setup", system()});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_NE(again.err.find("--force übernimmt es: die Abteilungen und ihre Daten bleiben erhalten"),
              std::string::npos)
        << again.err;
    EXPECT_EQ(again.err.find("überschreib"), std::string::npos) << again.err;
}

TEST_F(SetupOfAnExistingDirectory, force_keepsDepartmentsFilesAndStaffing) {
    CliRun forced = run({"setup", "--force", system()});
    ASSERT_EQ(forced.exitCode, 0) << forced.err;
    EXPECT_NE(run({"departments"}).out.find("12100101.101 EXTERN"), std::string::npos);
    EXPECT_EQ(adminCount("SELECT SBETT FROM Dateiverwaltung"), 7);
    Database department(system() + "/12100101.101", OpenMode::ReadOnly);
    EXPECT_EQ(department.scalar("SELECT count(*) FROM \"Gesamt - Patientenadministration\""), 40);
}

TEST_F(SetupOfAnExistingDirectory, newLists_replaceOnlyTheNameTablesOrAreRefusedNamingTheMissingCodes) {
    struct Case {
        std::string option;
        std::string content;
        std::string refusal;  // part of the message; empty when taken
        std::string departmentLine;
    };
    const Case cases[] = {
        {"--hospitals", "K102;Andere\n",
         "Krankenanstalten der registrierten Abteilungen; es fehlen: K101 (12100101.101)",
         "K101 - Landesklinikum Muste"},
        {"--departments", "121002;Innere\n",
         "Abteilungsfunktionen der registrierten Abteilungen; es fehlen: 121001 (12100101.101)",
         "12100101 - Intensivmedizin Anästhesie"},
        {"--hospitals", "k101;Neuer Name\nK999;Neu\n", "", "K101 - Neuer Name"},
        {"--departments", "121001;Anästhesie neu\n", "", "12100101 - Anästhesie neu"},
    };
    for (const Case& c : cases) {
        const std::string path = list("list.csv", c.content);
        CliRun result = run({"setup", "--force", system(), c.option, path});
        EXPECT_EQ(result.exitCode, c.refusal.empty() ? 0 : 1) << c.content;
        if (!c.refusal.empty()) {
            EXPECT_NE(result.err.find(path + " enthält nicht alle " + c.refusal), std::string::npos)
                << result.err;
        }
        EXPECT_NE(run({"departments"}).out.find(c.departmentLine), std::string::npos) << c.content;
        EXPECT_EQ(adminCount("SELECT count(*) FROM Dateiverwaltung"), 1);
    }
}

TEST_F(SetupOfAnExistingDirectory, failureAfterTheNewLists_leavesNamesAndSettingsAsTheyWere) {
    const std::string before = ReadFile(dir.file("k.ini"));
    // A settings file that is a directory cannot be written.
    fs::create_directories(dir.file("dir.ini"));
    CliRun result = RunCliInProcess({"--ini", dir.file("dir.ini"), "setup", "--force", system(),
                                     "--hospitals", list("list.csv", "K101;Neuer Name\n")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("dir.ini"), std::string::npos) << result.err;
    EXPECT_EQ(adminCount("SELECT count(*) FROM \"KANR-Bezeichnung\" WHERE BEZEICHNUNG = 'Neuer Name'"), 0);
    EXPECT_EQ(ReadFile(dir.file("k.ini")), before);
}

TEST(FailedSetup, leavesNothingBehind) {
    struct Case {
        std::string what;
        std::string settingsFile;
        std::string exportDirectory;  // empty: the default
    };
    const Case cases[] = {
        {"the settings file is a directory", "conf/k.ini", ""},
        {"the export directory lies under a file", "new/k.ini", "plain/export"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        WriteFile(dir.file("plain"), "a file");
        fs::create_directories(dir.file("conf/k.ini"));
        std::vector<std::string> arguments = {"--ini", dir.file(c.settingsFile), "setup",
                                              dir.file("sys/data")};
        if (!c.exportDirectory.empty())
            arguments.insert(arguments.end(), {"--export-dir", dir.file(c.exportDirectory)});
        EXPECT_EQ(RunCliInProcess(arguments).exitCode, 1) << c.what;
        EXPECT_FALSE(fs::exists(dir.file("sys"))) << c.what;
        EXPECT_FALSE(fs::exists(dir.file("new"))) << c.what;
        // The next setup is not refused.
        EXPECT_EQ(RunCliInProcess({"--ini", dir.file("k.ini"), "setup", dir.file("sys/data")}).exitCode, 0)
            << c.what;
    }
}

TEST(SetupOptions, givenBeforeTheCommand_countLikeThoseAfterIt) {
    TempDir dir;
    const std::string ini = dir.file("k.ini");
    CliRun setup =
        RunCliInProcess({"--ini", ini, "--system-dir", dir.file("sys"), "--import-dir", dir.file("in"),
                         "--export-dir", dir.file("out"), "--plaus", "Error", "setup"});
    ASSERT_EQ(setup.exitCode, 0) << setup.err;
    const std::string config = RunCliInProcess({"--ini", ini, "config"}).out;
    EXPECT_NE(config.find("ImportDataPath=" + dir.file("in") + "\nExportDataPath=" + dir.file("out") +
                          "\nSystemDataPath=" + dir.file("sys") + "\nPlausLevel=Error  \n"),
              std::string::npos)
        << config;
    CliRun conflict = RunCliInProcess({"--ini", ini, "--import-dir", dir.file("a"), "setup", "--force",
                                       dir.file("sys"), "--import-dir", dir.file("b")});
    EXPECT_EQ(conflict.exitCode, 2);
    EXPECT_NE(conflict.err.find("--import-dir " + dir.file("a") + " und --import-dir " + dir.file("b")),
              std::string::npos)
        << conflict.err;
}

// The settings file of the program directory is read first: setup writes that one.
TEST(SetupSettingsFile, inTheProgramDirectory_isTheOneWrittenAndPrinted) {
    TempDir dir;
    const std::string program = dir.file("bin/kalvora-cli");
    fs::create_directories(dir.file("bin"));
    fs::copy_file(KALVORA_CLI_BINARY, program);
    fs::create_directories(dir.file("share/kalvora"));
    fs::copy(std::string(KALVORA_SOURCE_DIR) + "/data/reference", dir.file("share/kalvora/reference"));
    WriteFile(dir.file("bin/Kalvora10_0.ini"), "[Path]\nSystemDataPath=/old/system\n");

    CliRun setup =
        RunCliBinary("/usr/bin/env", {"HOME=" + dir.file("home"), "XDG_CONFIG_HOME=" + dir.file("config"),
                                      program, "setup", dir.file("sys")});
    ASSERT_EQ(setup.exitCode, 0);
    EXPECT_EQ(setup.out, dir.file("bin/Kalvora10_0.ini") + "\n");
    EXPECT_FALSE(fs::exists(dir.file("config/kalvora/Kalvora10_0.ini")));
    CliRun config =
        RunCliBinary("/usr/bin/env", {"XDG_CONFIG_HOME=" + dir.file("config"), program, "config"});
    EXPECT_NE(config.out.find("SystemDataPath=" + dir.file("sys") + "\n"), std::string::npos) << config.out;
}

// A program copied into an installation takes the lists of that installation's share/kalvora,
// whatever the tree it was built in holds; without lists it fails, naming the list, and makes nothing.
TEST(SetupShippedLists, comeFromTheInstallationOfTheProgram) {
    TempDir dir;
    const std::string program = dir.file("prefix/bin/kalvora-cli");
    fs::create_directories(dir.file("prefix/bin"));
    fs::copy_file(KALVORA_CLI_BINARY, program);
    const std::vector<std::string> environment = {"HOME=" + dir.file("home"),
                                                  "XDG_CONFIG_HOME=" + dir.file("config"), program};

    std::vector<std::string> withoutLists = environment;
    withoutLists.insert(withoutLists.end(), {"setup", dir.file("bare")});
    CliRun refused = RunCliBinary("/usr/bin/env", withoutLists, dir.file("err.txt"));
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("hospitals.csv"), std::string::npos) << refused.err;
    EXPECT_FALSE(fs::exists(dir.file("bare")));
    EXPECT_FALSE(fs::exists(dir.file("config/kalvora/Kalvora10_0.ini")));

    WriteFile(dir.file("prefix/share/kalvora/reference/hospitals.csv"), "K901;Krankenhaus am See\n");
    WriteFile(dir.file("prefix/share/kalvora/reference/departments.csv"), "121001;Intensiv am See\n");
    std::vector<std::string> withLists = environment;
    withLists.insert(withLists.end(), {"setup", dir.file("sys")});
    CliRun setup = RunCliBinary("/usr/bin/env", withLists, dir.file("err.txt"));
    ASSERT_EQ(setup.exitCode, 0) << setup.err;
    Database admin(dir.file("sys/iadmin.mdb"), OpenMode::ReadOnly);
    EXPECT_EQ(admin.scalar("SELECT count(*) FROM \"KANR-Bezeichnung\""), 1);
    EXPECT_EQ(admin.scalar("SELECT count(*) FROM \"KANR-Bezeichnung\" WHERE KANR = 'K901'"), 1);
    EXPECT_EQ(admin.scalar("SELECT count(*) FROM \"ABT-Bezeichnung\" WHERE ABTEILUNG = '121001'"), 1);
}

}  // namespace
}  // namespace kalvora::test

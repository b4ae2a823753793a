// kalvora-cli setup and config, in-process and as the built program.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "cli/cli_app.h"
#include "support/temp_dir.h"

namespace kalvora::test {
namespace {

struct CliResult {
    int code;
    std::string out;
    std::string err;
};

CliResult Cli(std::vector<std::string> args) {
    args.insert(args.begin(), "kalvora-cli");
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    std::ostringstream out, err;
    int code = cli::RunCli(static_cast<int>(argv.size()), argv.data(), out, err);
    return {code, out.str(), err.str()};
}

TEST(CliSetup, setupThenConfig_printsTheNineValuesAsHeld) {
    TempDir dir;
    std::string ini = dir.file("conf/kal.ini");
    CliResult setup = Cli({"--ini", ini, "setup", dir.file("sys")});
    ASSERT_EQ(setup.code, 0) << setup.err;
    EXPECT_EQ(setup.out, ini + "\n");
    CliResult config = Cli({"--ini", ini, "config"});
    ASSERT_EQ(config.code, 0) << config.err;
    std::string year = config.out.substr(config.out.find("Erhebungvon=") + 12, 4);
    EXPECT_EQ(config.out,
              "ImportDataPath=" + dir.file("sys/import") + "\nExportDataPath=" + dir.file("sys/export") +
                  "\nSystemDataPath=" + dir.file("sys") + "\nPlausLevel=Warning\nErhebungvon=" + year +
                  "0101\nErhebungbis=" + year + "1231\nMindestStd=0 \nMehrfachTISS=N\nErsatzTISS=N\n");
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("sys/import")));
    EXPECT_TRUE(std::filesystem::is_regular_file(dir.file("sys/ibds.mdb")));
}

TEST(CliSetup, globalOptions_overrideForThisRunOnly) {
    TempDir dir;
    std::string ini = dir.file("kal.ini");
    ASSERT_EQ(Cli({"--ini", ini, "setup", dir.file("sys")}).code, 0);
    std::string before = ReadFile(ini);
    CliResult config = Cli({"--ini", ini, "--plaus", "Error", "--system-dir", "/elsewhere/", "config"});
    EXPECT_NE(config.out.find("SystemDataPath=/elsewhere\n"), std::string::npos);
    EXPECT_NE(config.out.find("PlausLevel=Error  \n"), std::string::npos);
    EXPECT_EQ(ReadFile(ini), before);
}

TEST(CliSetup, existingAdministrationDatabase_needsForce) {
    TempDir dir;
    std::string ini = dir.file("kal.ini");
    ASSERT_EQ(Cli({"--ini", ini, "setup", dir.file("sys")}).code, 0);
    CliResult again = Cli({"--ini", ini, "setup", dir.file("sys")});
    EXPECT_EQ(again.code, 1);
    EXPECT_NE(again.err.find("--force"), std::string::npos);
    EXPECT_EQ(Cli({"--ini", ini, "setup", "--force", dir.file("sys")}).code, 0);
}

TEST(CliSetup, malformedReferenceList_failsAndWritesNothing) {
    TempDir dir;
    WriteFile(dir.file("hospitals.csv"), "K101;Eins\nkaputt\n");
    CliResult result = Cli(
        {"--ini", dir.file("kal.ini"), "setup", dir.file("sys"), "--hospitals", dir.file("hospitals.csv")});
    EXPECT_EQ(result.code, 1);
    EXPECT_NE(result.err.find("hospitals.csv, Zeile 2"), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("sys/iadmin.mdb")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("kal.ini")));
}

TEST(CliSetup, directoryThatCannotBeMade_fails) {
    TempDir dir;
    WriteFile(dir.file("plain"), "a file");
    CliResult result = Cli({"--ini", dir.file("kal.ini"), "setup", dir.file("plain/sys")});
    EXPECT_EQ(result.code, 1);
    EXPECT_NE(result.err.find("plain/sys"), std::string::npos) << result.err;
}

TEST(CliSetup, wrongUsage_exitsWithTwo) {
    EXPECT_EQ(Cli({"setup"}).code, 2);
    EXPECT_EQ(Cli({"--plaus", "Streng", "config"}).code, 2);
    EXPECT_EQ(Cli({"nosuchcommand"}).code, 2);
}

TEST(CliBinary, setupConfigAndImportOfTheDemoFiles) {
    TempDir dir;
    std::string ini = dir.file("kal.ini");
    std::string command = std::string(KALVORA_CLI_BINARY) + " --ini " + ini + " setup " + dir.file("sys") +
                          " >/dev/null && " + KALVORA_CLI_BINARY + " --ini " + ini + " import " +
                          KALVORA_SOURCE_DIR + "/data/demo/A6100101.101 " + KALVORA_SOURCE_DIR +
                          "/data/demo/T6100401.102";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[4096];
    while (size_t got = fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, got);
    EXPECT_EQ(pclose(pipe), 0);
    EXPECT_EQ(output.substr(0, output.find('\n')),
              "Datei\tKA\tAbteilung\t#Patienten\tdavon importiert\tKommentar");
    EXPECT_NE(output.find("A6100101.101\tK101 - Landesklinikum Muste\t"), std::string::npos) << output;
    EXPECT_NE(output.find("\t 40   \t 40   \t\n"), std::string::npos) << output;
    EXPECT_NE(output.find("T6100401.102\t"), std::string::npos);
    EXPECT_NE(output.find("\tPeriode, Jahr, Abteilung oder KA ungültig\n"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(dir.file("sys/export/protocol.dat")));
}

TEST(CliImport, invalidProtocolName_isRefused) {
    TempDir dir;
    std::string ini = dir.file("kal.ini");
    ASSERT_EQ(Cli({"--ini", ini, "setup", dir.file("sys")}).code, 0);
    for (std::string name : {"protokoll-1.dat", "../x.dat", "a:x", "Protokoll_2012.txt"}) {
        CliResult result = Cli({"--ini", ini, "import", "--protocol", name, "whatever"});
        EXPECT_EQ(result.code, 1) << name;
        EXPECT_EQ(result.err, "Ungültiger Dateiname!\n") << name;
    }
}

}  // namespace
}  // namespace kalvora::test

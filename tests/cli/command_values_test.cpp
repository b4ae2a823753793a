// What the commands do with the values a user gives them and with stored texts: values that a window
// would cut or misread are refused, the dates printed by the lists are taken back, a batch with a
// missing file stores nothing, a locked administration database changes nothing.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>

#include "store/database.h"
#include "support/cli_runner.h"
#include "support/department_fixture.h"

namespace kalvora::test {
namespace {

namespace fs = std::filesystem;

class CommandValues : public ::testing::Test {
protected:
    void SetUp() override {
        system.addHospital("K101", "LKH");
        system.addDepartmentName("121001", "Anästhesie");
        system.addDepartment("K101", "12100101", "12100101.101");
        system.addStay("12100101.101", {"2566567054", "19330103", "201601040011", "201601061708"});
        system.addStay("12100101.101", {"\x1B[2J\t\r\nX  ", "19400111", "201602010800", "201602050800"});
        ini = system.writeSettingsFile();
    }
    CliRun run(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--ini", ini});
        return RunCliInProcess(arguments);
    }
    SystemFixture system;
    std::string ini;
};

TEST_F(CommandValues, tooLongOrMalformedValues_areRefusedNamingThem) {
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    };
    const std::string db = "12100101.101";
    const Case cases[] = {
        {{"search", "--kis-id", "2566567054XX"},
         "--kis-id „2566567054XX“: Die Aufnahmezahl hat mehr als 10 Zeichen!"},
        {{"stay", db, "2566567054xx", "19330103", "201601040011"},
         "KIS_ID „2566567054xx“: Die Aufnahmezahl hat mehr als 10 Zeichen!"},
        {{"search", "--dob", "1940111"}, "--dob „1940111“: Ungültiges Datum (JJJJMMTT) oder (TT.MM.JJJJ)!"},
        {{"stay", db, "2566567054", "3.1.33", "201601040011"},
         "DOB „3.1.33“: Ungültiges Datum (JJJJMMTT) oder (TT.MM.JJJJ)!"},
        {{"stay", db, "2566567054", "19330103", "2016010400"},
         "ADM_DATE „2016010400“: Ungültiger Zeitpunkt (JJJJMMTThhmm) oder (TT.MM.JJJJ, hh:mm)!"},
        {{"stay", db, "2566567054", "19330103", "04.01.2016, 24:11"},
         "ADM_DATE „04.01.2016, 24:11“: Ungültiger Zeitpunkt (JJJJMMTThhmm) oder (TT.MM.JJJJ, hh:mm)!"},
        {{"classify", "--from", "2025011"},
         "--from „2025011“: Ungültiges Datum (JJJJMMTT) oder (TT.MM.JJJJ)!"},
        {{"classify", "--from", "20251231", "--to", "20250101"},
         "Der Erhebungszeitraum endet (01.01.2025) vor seinem Beginn (31.12.2025)!"},
    };
    for (const Case& c : cases) {
        CliRun result = run(c.arguments);
        EXPECT_EQ(result.exitCode, 1) << c.message;
        EXPECT_EQ(result.err, c.message + "\n");
        EXPECT_EQ(result.out, "");
    }
}

TEST_F(CommandValues, stay_takesTheDatesAsTheListsPrintThem) {
    for (const auto& [dob, admission] :
         {std::pair{"19330103", "201601040011"}, std::pair{"03.01.1933", "04.01.2016, 00:11"},
          std::pair{"3.1.1933", "04.01.2016 0:11"}}) {
        CliRun result = run({"stay", "12100101.101", "2566567054", dob, admission});
        EXPECT_EQ(result.exitCode, 0) << dob << " " << admission << ": " << result.err;
        EXPECT_NE(result.out.find("KIS_ID=2566567054\nDOB=19330103\nADM_DATE=201601040011\n"),
                  std::string::npos);
    }
    EXPECT_EQ(run({"search", "--dob", "11.01.1940"}).exitCode, 0);
}

TEST_F(CommandValues, storedControlCharacters_areNotPrintedRaw) {
    const std::string stays = run({"stays", "12100101.101"}).out;
    EXPECT_EQ(stays.find('\x1B'), std::string::npos);
    EXPECT_EQ(stays.find('\t'), std::string::npos);
    EXPECT_EQ(stays.substr(0, 26), "?[2J???X     11.01.1940   ") << stays;
    const std::string stay = run({"stay", "12100101.101", "\x1B[2J\t\r\nX", "19400111", "201602010800"}).out;
    EXPECT_NE(stay.find("\nKIS_ID=?[2J???X  \nDOB="), std::string::npos) << stay;
}

TEST_F(CommandValues, importBatchWithAMissingFile_storesNothing) {
    const std::string delivery = std::string(KALVORA_SOURCE_DIR) + "/data/demo/A6100101.101";
    CliRun result = run({"import", delivery, system.file("import/fehlt.101")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Die Datei " + system.file("import/fehlt.101") +
                              " ist nicht vorhanden.\nEs wurde nichts importiert.\n");
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(run({"stays", "12100101.101"}).out.find("2566567061"), std::string::npos);
    EXPECT_FALSE(fs::exists(system.exportPath() + "/protocol.dat"));
    CliRun bare = run({"import", "fehlt.101"});
    EXPECT_NE(bare.err.find("fehlt.101 ist weder im Importverzeichnis " + system.file("import")),
              std::string::npos)
        << bare.err;
}

TEST_F(CommandValues, importOfABareName_readsTheImportDirectory) {
    fs::create_directories(system.file("import"));
    fs::copy_file(std::string(KALVORA_SOURCE_DIR) + "/data/demo/A6100101.101",
                  system.file("import/A6100101.101"));
    CliRun result = run({"import", "A6100101.101"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("\nA6100101.101\tK101 - LKH  "), std::string::npos) << result.out;
}

// A protocol name that stands for a folder of the export directory is refused as the import dialog
// refuses it, before anything is read or stored.
TEST_F(CommandValues, importWithAProtocolNameOfAFolder_isRefusedAsAnInvalidFileName) {
    fs::create_directories(system.exportPath() + "/sub");
    const std::string delivery = std::string(KALVORA_SOURCE_DIR) + "/data/demo/A6100101.101";
    for (const char* name : {"sub", ".", ".."}) {
        SCOPED_TRACE(name);
        CliRun result = run({"import", "--protocol", name, delivery});
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err, "Ungültiger Dateiname!\n");
        EXPECT_EQ(result.out, "");
    }
    EXPECT_EQ(run({"stays", "12100101.101"}).out.find("2566567061"), std::string::npos);
}

// Another program holds the write lock of iadmin.mdb: the writers wait, then change nothing.
TEST_F(CommandValues, writersUnderAWriteLockOfTheAdministration_changeNothing) {
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open((system.systemPath() + "/iadmin.mdb").c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    const std::string inUse = "Die Datenbank " + system.systemPath() +
                              "/iadmin.mdb wird gerade von einem anderen Programm verwendet.\n";
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"remove", "12100101.101"}, {"staffing", "12100101.101", "--beds", "9"}}) {
        std::vector<std::string> command = {"--ini", ini};
        command.insert(command.end(), arguments.begin(), arguments.end());
        CliRun result = RunCliBinary(KALVORA_CLI_BINARY, command, system.file("err.txt"));
        EXPECT_EQ(result.exitCode, 1) << arguments[0];
        EXPECT_EQ(result.err, inUse) << arguments[0];
    }
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_NE(run({"departments"}).out.find("12100101.101"), std::string::npos);
    EXPECT_TRUE(fs::exists(system.systemPath() + "/12100101.101"));
    Database admin(system.systemPath() + "/iadmin.mdb", OpenMode::ReadOnly);
    EXPECT_EQ(admin.scalar("SELECT SBETT FROM Dateiverwaltung"), 0);
}

}  // namespace
}  // namespace kalvora::test

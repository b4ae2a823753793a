// The command line's own texts: usage errors, help and version in German, naming what was wrong.

#include <gtest/gtest.h>

#include "support/cli_runner.h"
#include "support/temp_dir.h"

namespace kalvora::test {
namespace {

TEST(CliUsage, errors_areGermanAndNameWhatWasWrong) {
    struct Case {
        std::vector<std::string> arguments;
        std::string message;  // the first line of stderr
    };
    const Case cases[] = {
        {{},
         "kalvora-cli: Es fehlt der Befehl. Befehle: setup, config, import, departments, stays, stay, "
         "search, "
         "staffing, classify, analysis, export, remove, protocol."},
        {{"--ini", "k.ini", "stais", "x"},
         "kalvora-cli: Unbekannter Befehl „stais“. Befehle: setup, config, import, "
         "departments, stays, stay, search, staffing, classify, analysis, export, "
         "remove, protocol."},
        {{"stays"},
         "kalvora-cli stays: Es fehlt das Argument DB (Datenbankdatei der Abteilung (MDB_DATEI))."},
        {{"stays", "a", "b", "--all"},
         "kalvora-cli stays: Überzähliges Argument „b“. Unbekannte Option „--all“."},
        {{"departments", "--ini"}, "kalvora-cli departments: Zur Option --ini fehlt der Wert."},
        {{"staffing", "x", "--preset", "E4"},
         "kalvora-cli staffing: --preset: „E4“ ist nicht erlaubt, erlaubt sind E0, E1, E2, E3 oder none."},
        {{"--plaus", "Streng", "config"},
         "kalvora-cli config: --plaus: „Streng“ ist nicht erlaubt, erlaubt sind Error oder Warning."},
        {{"import", "--initialise=ja", "x"},
         "kalvora-cli import: Die Option --initialise nimmt keinen Wert an."},
    };
    for (const Case& c : cases) {
        CliRun result = RunCliInProcess(c.arguments);
        EXPECT_EQ(result.exitCode, 2) << c.message;
        EXPECT_EQ(result.err.substr(0, result.err.find('\n')), c.message);
        EXPECT_NE(result.err.find("\nHilfe: kalvora-cli"), std::string::npos) << result.err;
    }
}

TEST(CliUsage, help_isGermanAndListsTheExitCodes) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--help"}, {"stay", "--help"}}) {
        CliRun result = RunCliInProcess(arguments);
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_NE(result.out.find("Aufruf: kalvora-cli"), std::string::npos) << result.out;
        EXPECT_NE(result.out.find("-h,--help                       diese Hilfe zeigen"), std::string::npos)
            << result.out;
        EXPECT_NE(result.out.find("Rückgabewerte: 0 erledigt; 1 fehlgeschlagen"), std::string::npos)
            << result.out;
        for (const char* english :
             {"Usage", "Options", "OPTIONS", "Subcommands", "Positionals", "REQUIRED", "Print"})
            EXPECT_EQ(result.out.find(english), std::string::npos) << english << " in\n" << result.out;
    }
}

TEST(CliUsage, version_printsTheProgramVersion) {
    CliRun result = RunCliInProcess({"--version"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "kalvora-cli 10.0\n");
}

TEST(CliUsage, referenceListWithCodesDifferingInCaseOnly_isRefusedNamingTheLine) {
    TempDir dir;
    WriteFile(dir.file("h.csv"), "K101;Eins\nk101;Zwei\n");
    CliRun result = RunCliInProcess(
        {"--ini", dir.file("k.ini"), "setup", dir.file("sys"), "--hospitals", dir.file("h.csv")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, dir.file("h.csv") +
                              ", Zeile 2: der Code \"k101\" kommt mehrfach vor (auch als \"K101\"; "
                              "Groß- und Kleinschreibung zählen nicht).\n");
}

}  // namespace
}  // namespace kalvora::test

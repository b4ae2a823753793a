// kalvora-cli protocol: the rows of a protocol file, filtered, and a clear refusal of other files.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/cli_runner.h"
#include "support/temp_dir.h"

namespace kalvora {
namespace {

const std::string kHeader =
    "Datei;Krankenanstalt;Abteilung;Satzart;KH-Aufnahmezahl;Geburtsdatum;Aufnahmezeitpunkt;Typ;Parameter;"
    "Kommentar";

std::string WriteProtocol(const test::TempDir& dir) {
    const std::string path = dir.file("protocol.dat");
    // Windows-1252, as the import writes it: "ü" is one byte.
    test::WriteFile(path,
                    kHeader + "\r\n" +
                        "A2100101.101;K101;12100101;1;A1        ;19500615;201203011000;Error;Geburtsdatum;"
                        "Ung\xfcltiger Parameter\r\n"
                        "A2100101.101;K101;12100101;3;A1        ;19500615;201203011000;Warning;TISS28;"
                        "Erhebungstag 20120302 ohne Standardmonitoring unplausibel\r\n"
                        "A2100101.101;K101;12100101;3;A2        ;19600101;201203021000;Warning;TISS28;"
                        "Erhebungstag 20120303 ohne Standardmonitoring unplausibel\r\n"
                        "A2100101.101;K101;12100101;0;;;;Warning; ;Summensatz fehlt\r\n");
    return path;
}

TEST(ProtocolCommand, filters_chooseTheRowsPrintedInUtf8) {
    test::TempDir dir;
    const std::string path = WriteProtocol(dir);
    struct Case {
        std::vector<std::string> arguments;
        std::vector<std::string> rowsStarting;  // KH-Aufnahmezahl and Typ of each printed row
    };
    const std::vector<Case> cases = {
        {{"protocol", path}, {"A1:Error", "A1:Warning", "A2:Warning", ":Warning"}},
        {{"protocol", "--type", "Warning", path}, {"A1:Warning", "A2:Warning", ":Warning"}},
        {{"protocol", "--field", "TISS28", path}, {"A1:Warning", "A2:Warning"}},
        {{"protocol", "--type", "Error", "--field", "TISS28", path}, {}},
    };
    for (const Case& c : cases) {
        const test::CliRun run = test::RunCliInProcess(c.arguments);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        std::vector<std::string> got;
        std::size_t start = run.out.find('\n') + 1;
        EXPECT_EQ(run.out.substr(0, start), kHeader + "\n");
        for (std::size_t stop; (stop = run.out.find('\n', start)) != std::string::npos; start = stop + 1) {
            const std::string line = run.out.substr(start, stop - start);
            std::vector<std::string> fields;
            for (std::size_t from = 0, to; from <= line.size(); from = to + 1) {
                to = line.find(';', from);
                if (to == std::string::npos) to = line.size();
                fields.push_back(line.substr(from, to - from));
            }
            ASSERT_EQ(fields.size(), 10u) << line;
            got.push_back(fields[4].substr(0, fields[4].find(' ')) + ":" + fields[7]);
        }
        EXPECT_EQ(got, c.rowsStarting) << c.arguments.size();
    }
    const test::CliRun all = test::RunCliInProcess({"protocol", "--type", "Error", path});
    EXPECT_NE(all.out.find(";Geburtsdatum;Ungültiger Parameter\n"), std::string::npos) << all.out;
}

TEST(ProtocolCommand, summary_printsTheFindingsTable) {
    test::TempDir dir;
    const test::CliRun run = test::RunCliInProcess({"protocol", "--summary", WriteProtocol(dir)});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out,
              "Typ\tParameter\tKommentar\tZeilen\tAufenthalte\n"
              "Error\tGeburtsdatum\tUngültiger Parameter\t1\t1\n"
              "Warning\tTISS28\tErhebungstag # ohne Standardmonitoring unplausibel\t2\t2\n"
              "Warning\t \tSummensatz fehlt\t1\t0\n");
}

TEST(ProtocolCommand, foreignOrMissingFile_failsWithItsName) {
    test::TempDir dir;
    test::WriteFile(dir.file("liste.csv"), "Name;Wert\r\nA;1\r\n");
    for (const std::string& path : {dir.file("liste.csv"), dir.file("fehlt.dat")}) {
        const test::CliRun run = test::RunCliInProcess({"protocol", "--summary", path});
        EXPECT_EQ(run.exitCode, 1) << path;
        EXPECT_EQ(run.out, "") << path;
        EXPECT_NE(run.err.find(path), std::string::npos) << run.err;
    }
    const test::CliRun wrongType =
        test::RunCliInProcess({"protocol", "--type", "Fatal", dir.file("liste.csv")});
    EXPECT_EQ(wrongType.exitCode, 2);
}

}  // namespace
}  // namespace kalvora

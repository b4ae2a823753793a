#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "classification/classification_list.h"
#include "classification_fixture.h"
#include "cli/cli_app.h"
#include "store/admin_database.h"
#include "support/temp_dir.h"

namespace kalvora {
namespace {

using test::ClassificationFixture;
using test::StayData;

struct CliOutcome {
    int code;
    std::string out;
    std::string err;
};

class ClassificationCliTest : public ::testing::Test {
protected:
    ClassificationCliTest() {
        fixture.addHospitalName("K100", "Nord");
        fixture.addDepartmentName("121010", "Intensiv");
        fixture.addDepartment("K200", "12101001", "12200101.111", 4.3, 2, "  ");
        fixture.addDepartment("K100", "12101001", "12100101.111", 0, 0, " ");
        StayData stay;
        stay.admission = "201203010800";
        stay.discharge = "201203041000";
        fixture.addStayWithDays("12200101.111", stay, 1, 4, "201203", "024");
        fixture.addStayWithDays("12100101.111", stay, 1, 2, "201203", "030");
        ini = fixture.path("kalvora.ini");
        writeSettings("20120101", "20121231");
    }

    void writeSettings(const std::string& from, const std::string& to) {
        test::WriteFile(ini, "[Path]\nSystemDataPath=" + fixture.systemDir() +
                                 "\n[Einstufung]\nErhebungvon=" + from + "\nErhebungbis=" + to +
                                 "\nMindestStd=0\nMehrfachTISS=N\nErsatzTISS=N\n");
    }

    CliOutcome run(std::vector<std::string> args) {
        args.insert(args.begin(), {"kalvora-cli", "--ini", ini});
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(arg.data());
        std::ostringstream out;
        std::ostringstream err;
        const int code = cli::RunCli(static_cast<int>(argv.size()), argv.data(), out, err);
        return {code, out.str(), err.str()};
    }

    static std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        std::istringstream stream(text);
        for (std::string line; std::getline(stream, line);) lines.push_back(line);
        return lines;
    }

    static std::string Field(const std::string& line, int index) {
        std::istringstream stream(line);
        std::string field;
        for (int i = 0; i <= index; ++i) std::getline(stream, field, '\t');
        return field;
    }

    ClassificationFixture fixture;
    std::string ini;
};

TEST_F(ClassificationCliTest, classify_noDepartmentsGiven_classifiesTheListedOnesInListOrder) {
    const CliOutcome outcome = run({"classify"});
    ASSERT_EQ(outcome.code, 0) << outcome.err;
    ASSERT_EQ(outcome.out.back(), '\n');
    EXPECT_EQ(outcome.out.find('\r'), std::string::npos);
    const std::vector<std::string> lines = Lines(outcome.out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(Field(lines[0], 0), "KA");
    EXPECT_EQ(Field(lines[1], 0), "K100 - Nord" + std::string(16, ' '));
    EXPECT_EQ(Field(lines[1], 2), "Keine Einstufung möglich");
    EXPECT_EQ(Field(lines[1], 23), "* DGKP pro systemisiertem Bett < 1,50 *");
    EXPECT_EQ(Field(lines[2], 2), "Stufe 1                 ");
    EXPECT_EQ(Field(lines[2], 3), "799");
    EXPECT_EQ(Field(lines[2], 5), "24,0");
    EXPECT_EQ(Field(lines[2], 17), "0 ");
    EXPECT_EQ(Field(lines[2], 23), "* Auslastung <35% *");
}

// A department whose database is gone is not classified, but named on stderr as the dialog names it.
TEST_F(ClassificationCliTest, classify_departmentWithoutItsDatabase_isNamedOnStderr) {
    std::remove((fixture.systemDir() + "/12200101.111").c_str());
    const CliOutcome outcome = run({"classify"});
    ASSERT_EQ(outcome.code, 0) << outcome.err;
    EXPECT_EQ(Lines(outcome.out).size(), 2u);
    EXPECT_EQ(outcome.err, "Die Abteilungsdatenbank 12200101.111 fehlt im Systemdatenverzeichnis!\n");
}

TEST_F(ClassificationCliTest, classify_departmentsGivenInReverse_areProcessedInListOrder) {
    const CliOutcome outcome =
        run({"--locale", "C", "classify", "--from", "01.03.2012", "--to", "20120331", "--min-hours", "4",
             "--multiple-tiss", "J", "12200101.111", "12100101.111"});
    ASSERT_EQ(outcome.code, 0) << outcome.err;
    const std::vector<std::string> lines = Lines(outcome.out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(Field(lines[1], 0).substr(0, 4), "K100");
    EXPECT_EQ(Field(lines[2], 0).substr(0, 4), "K200");
    EXPECT_EQ(Field(lines[2], 5), "24.0");
    EXPECT_EQ(Field(lines[2], 16), "J");
    EXPECT_EQ(Field(lines[2], 17), "4 ");
    EXPECT_EQ(Field(lines[2], 18), "01.03.2012");
    EXPECT_EQ(Field(lines[2], 23), "* Zeitraum ist <90 Tage ** Auslastung <35% *");
}

TEST_F(ClassificationCliTest, classify_unknownDepartment_failsWithMessage) {
    const CliOutcome outcome = run({"classify", "12999999.999"});
    EXPECT_EQ(outcome.code, 1);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, "Keine Abteilung mit der Datenbank 12999999.999 vorhanden!\n");
}

TEST_F(ClassificationCliTest, classify_blankOrInvalidPeriod_isRefused) {
    const std::string message = "Ungültiges Datum (JJJJMMTT) oder (TT.MM.JJJJ)!\n";
    EXPECT_EQ(run({"classify", "--from", ""}).err, "--from „“: " + message);
    EXPECT_EQ(run({"classify", "--to", "31.02.2012"}).err, "--to „31.02.2012“: " + message);
    writeSettings("", "20121231");
    const CliOutcome outcome = run({"classify"});
    EXPECT_EQ(outcome.code, 1);
    EXPECT_EQ(outcome.err, message);
    EXPECT_EQ(outcome.out, "");
}

TEST_F(ClassificationCliTest, classify_invalidMinimumHours_isRefused) {
    const CliOutcome outcome = run({"classify", "--min-hours", "25"});
    EXPECT_EQ(outcome.code, 1);
    EXPECT_EQ(outcome.err, "Die Eingabe ist ungültig!\n");
}

TEST_F(ClassificationCliTest, staffing_newValues_storesThemAndPrintsRewrittenEntry) {
    const CliOutcome outcome =
        run({"staffing", "12100101.111", "--dgkp", "5,50", "--beds", "4", "--preset", "E2"});
    ASSERT_EQ(outcome.code, 0) << outcome.err;
    const std::string entry = outcome.out.substr(0, outcome.out.size() - 1);
    EXPECT_EQ(entry.substr(29, 6), "  5,50");
    EXPECT_EQ(entry.substr(39, 3), "  4");
    EXPECT_EQ(entry.substr(47, 5), " 1,38");
    EXPECT_EQ(entry.substr(60, 2), "E2");
    EXPECT_EQ(entry.substr(179), "12100101.111");

    const auto record = AdminDatabase::ForReading(fixture.systemDir()).findByFileName("12100101.111");
    EXPECT_DOUBLE_EQ(record->dgkp, 5.5);
    EXPECT_EQ(record->beds, 4);
    EXPECT_EQ(record->preset, "E2");

    const CliOutcome cleared = run({"staffing", "12100101.111", "--beds", "0", "--preset", "none"});
    ASSERT_EQ(cleared.code, 0) << cleared.err;
    EXPECT_EQ(cleared.out.substr(29, 6), "  5,50");
    EXPECT_EQ(cleared.out.substr(47, 5), " 0,00");
    EXPECT_EQ(cleared.out.substr(60, 2), "  ");
}

TEST_F(ClassificationCliTest, staffing_plainLocale_readsPointAsDecimalSeparator) {
    const CliOutcome outcome =
        run({"--locale", "C", "staffing", "12100101.111", "--dgkp", "2.5", "--beds", "2"});
    ASSERT_EQ(outcome.code, 0) << outcome.err;
    EXPECT_EQ(outcome.out.substr(29, 6), "  2.50");
    EXPECT_EQ(outcome.out.substr(47, 5), " 1.25");
}

TEST_F(ClassificationCliTest, staffing_invalidNumbers_failWithTheWindowsMessages) {
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    for (const Case& c : {Case{{"--dgkp", "abc"}, "Die Eingabe ist ungültig!\n"},
                          Case{{"--dgkp", "1234,5"}, "Maximal  6 Stellen zulässig!\n"},
                          Case{{"--dgkp", "5.50"}, "Die Eingabe ist ungültig!\n"},
                          Case{{"--beds", "1000"}, "Maximal  3 Stellen zulässig!\n"},
                          Case{{"--beds", ""}, "Die Eingabe ist ungültig!\n"}}) {
        std::vector<std::string> args = {"staffing", "12100101.111"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliOutcome outcome = run(args);
        EXPECT_EQ(outcome.code, 1) << c.args[1];
        EXPECT_EQ(outcome.err, c.message) << c.args[1];
    }
    EXPECT_EQ(AdminDatabase::ForReading(fixture.systemDir()).findByFileName("12100101.111")->beds, 0);
}

TEST_F(ClassificationCliTest, staffing_unknownDepartment_failsWithMessage) {
    const CliOutcome outcome = run({"staffing", "12999999.999", "--beds", "3"});
    EXPECT_EQ(outcome.code, 1);
    EXPECT_EQ(outcome.err, "Keine Abteilung mit der Datenbank 12999999.999 vorhanden!\n");
}

TEST_F(ClassificationCliTest, staffing_negativeDgkp_isStoredAsTheWindowAllowsIt) {
    const CliOutcome outcome = run({"staffing", "12100101.111", "--dgkp", "-5", "--beds", "2"});
    ASSERT_EQ(outcome.code, 0) << outcome.err;
    EXPECT_EQ(outcome.out.substr(29, 6), " -5,00");
    EXPECT_EQ(outcome.out.substr(47, 5), "-2,50");
}

TEST_F(ClassificationCliTest, classify_noListedDepartment_printsNoticeAndHeaderOnly) {
    for (const char* file : {"12200101.111", "12100101.111"}) {
        Database department = fixture.openDepartment(file);
        department.execute("UPDATE \"Gesamt - Patientenadministration\" SET FLAG = 'U'");
    }
    const CliOutcome outcome = run({"classify"});
    EXPECT_EQ(outcome.code, 0);
    EXPECT_EQ(outcome.err, "Intensivberichte enthalten keine entlassenen TISS-Patienten!\n");
    ASSERT_EQ(Lines(outcome.out).size(), 1u);
    EXPECT_EQ(Field(outcome.out, 23), "Kommentar\n");
}

TEST_F(ClassificationCliTest, classify_nothingImported_failsWithNotice) {
    fixture.openAdmin().execute("DELETE FROM Dateiverwaltung");
    const CliOutcome outcome = run({"classify"});
    EXPECT_EQ(outcome.code, 1);
    EXPECT_EQ(outcome.err, "Es wurden noch keine Daten importiert!\n");
}

TEST_F(ClassificationCliTest, binary_classify_printsTheResultTable) {
    const std::string command =
        std::string(KALVORA_CLI_BINARY) + " --ini '" + ini + "' classify 12200101.111";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
    EXPECT_EQ(pclose(pipe), 0);
    const std::vector<std::string> lines = Lines(output);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(Field(lines[1], 2), "Stufe 1                 ");
}

}  // namespace
}  // namespace kalvora

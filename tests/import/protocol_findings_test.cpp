// Reading a protocol file back and the overview of its findings. The overview of a generated
// delivery full of faults is checked against a count of its own, made here from the file's bytes.

#include "import/protocol_findings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "base/encoding.h"
#include "delivery_generator.h"
#include "import/protocol_file.h"
#include "support/cli_runner.h"
#include "support/import_fixture.h"
#include "support/temp_dir.h"

namespace kalvora {
namespace {

const std::string kHeader(kProtocolHeader);

std::string ProtocolBytes(const std::vector<std::string>& rows) {
    std::string bytes = kHeader + "\r\n";
    for (const std::string& row : rows) bytes += row + "\r\n";
    return bytes;
}

TEST(CommentPattern, numbersAndDatesOutsideWords_becomeHash) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Erhebungstag 20120301 ohne Standardmonitoring unplausibel",
         "Erhebungstag # ohne Standardmonitoring unplausibel"},
        {"5 TISS28-Tage vs. 3 Pflegetage", "# TISS28-Tage vs. # Pflegetage"},
        {"am 01.03.2012 erhoben", "am # erhoben"},
        {"um 10:00 Uhr, 24,5 Stunden", "um # Uhr, # Stunden"},
        {"Datum 20120301.", "Datum #."},
        {"K101 und T28_MECH_VENT", "K101 und T28_MECH_VENT"},
        {"Wert 3fach", "Wert 3fach"},
        {"Ungültiger Parameter", "Ungültiger Parameter"},
        {"ä1 bleibt", "ä1 bleibt"},
        {"(12)", "(#)"},
        {"12", "#"},
        {"", ""},
    };
    for (const auto& [comment, pattern] : cases) EXPECT_EQ(CommentPattern(comment), pattern) << comment;
}

TEST(ProtocolReading, rowsAsWritten_giveTheirFieldsBack) {
    test::TempDir dir;
    const std::string path = dir.file("protocol.dat");
    {
        ProtocolFile protocol;
        ASSERT_TRUE(protocol.create(path));
        protocol.WriteProtocolRow("", kProtocolHeaderParameter, "", "");
        protocol.setDataFileName("A6100101.101");
        protocol.WriteProtocolRow(levels::Error, "Geburtsdatum",
                                  "1K10112100101A;1\"x     19500615201203011000", "Ungültiger Parameter");
        protocol.WriteProtocolRow(levels::Warning, " ", "0", "Summensatz fehlt");
        protocol.WriteProtocolRow(levels::Warning, "TISS28", "3K10112100101=B1      ", "Größe über 3 Tage");
        ASSERT_TRUE(protocol.close());
    }
    const Result<std::vector<ProtocolRow>> rows = ReadProtocolFile(path);
    ASSERT_TRUE(rows) << rows.message();
    ASSERT_EQ(rows->size(), 3u);
    const ProtocolRow& first = rows->at(0);
    EXPECT_EQ(first.cells(),
              (std::vector<std::string>{"A6100101.101", "K101", "12100101", "1", "A;1\"x     ", "19500615",
                                        "201203011000", "Error", "Geburtsdatum", "Ungültiger Parameter"}));
    EXPECT_EQ(first.lineNumber, 2);
    EXPECT_EQ(rows->at(1).recordType, "0");
    EXPECT_FALSE(rows->at(1).namesStay());
    EXPECT_TRUE(first.namesStay());
    EXPECT_EQ(rows->at(2).kisId, "=B1      ");
    EXPECT_EQ(rows->at(2).comment, "Größe über 3 Tage");
    EXPECT_EQ(rows->at(2).text, "A6100101.101;K101;12100101;3;'=B1      ;;;Warning;TISS28;Größe über 3 Tage");
}

TEST(ProtocolReading, lineFeedsAloneAndAnEmptyProtocol_areRead) {
    const auto lf =
        ParseProtocolText(kHeader + "\nf;K101;12100101;1;A1;19500615;201203011000;Warning;X;y\n", "p");
    ASSERT_TRUE(lf) << lf.message();
    EXPECT_EQ(lf->size(), 1u);
    const auto empty = ParseProtocolText(kHeader + "\r\n", "p");
    ASSERT_TRUE(empty) << empty.message();
    EXPECT_TRUE(empty->empty());
}

TEST(ProtocolReading, foreignOrDamagedFiles_areRefusedWithTheirPlace) {
    const std::string row = "f;K101;12100101;1;A1;19500615;201203011000;Error;X;y";
    const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
        {"empty file", "", "ist keine Protokolldatei"},
        {"a delivery file", "1K10112100101A1        19500615201203011000\r\n", "ist keine Protokolldatei"},
        {"binary bytes",
         std::string("\x7f"
                     "ELF\0\0\x01\xff",
                     9),
         "ist keine Protokolldatei"},
        {"header with another column", kHeader + ";Extra\r\n" + row + "\r\n", "ist keine Protokolldatei"},
        {"row with nine fields", ProtocolBytes({row, "f;K101;12100101;1;A1;19500615;2012;Error;X"}),
         "in Zeile 3 beschädigt: sie hat 9 statt 10 Felder."},
        {"row with eleven fields", ProtocolBytes({row + ";z"}), "in Zeile 2 beschädigt: sie hat 11 statt 10"},
        {"unknown type", ProtocolBytes({"f;K101;12100101;1;A1;19500615;2012;Fatal;X;y"}),
         "in Zeile 2 beschädigt: der Typ „Fatal“"},
        {"unclosed quote", ProtocolBytes({"f;K101;12100101;1;\"A1;19500615;2012;Error;X;y"}),
         "in Zeile 2 beschädigt: ein Anführungszeichen"},
    };
    for (const auto& [name, bytes, message] : cases) {
        const auto rows = ParseProtocolText(bytes, "/tmp/p.dat");
        ASSERT_FALSE(rows) << name;
        EXPECT_NE(rows.message().find("/tmp/p.dat"), std::string::npos) << name << ": " << rows.message();
        EXPECT_NE(rows.message().find(message), std::string::npos) << name << ": " << rows.message();
    }
    const auto missing = ReadProtocolFile("/nonexistent/protocol.dat");
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.message().find("kann nicht gelesen werden"), std::string::npos) << missing.message();
}

ProtocolRow Row(std::string file, std::string kisId, std::string type, std::string parameter,
                std::string comment, std::string admission = "201203011000") {
    ProtocolRow row;
    row.file = std::move(file);
    row.kisId = std::move(kisId);
    row.birthDate = "19500615";
    row.admission = std::move(admission);
    row.type = std::move(type);
    row.parameter = std::move(parameter);
    row.comment = std::move(comment);
    return row;
}

TEST(ProtocolSummary, countsRowsAndDistinctStays_errorsFirstThenMostRows) {
    std::vector<ProtocolRow> rows = {
        Row("a", "1", "Warning", "TISS28", "Erhebungstag 20120301 ohne Standardmonitoring unplausibel"),
        Row("a", "1", "Warning", "TISS28", "Erhebungstag 20120302 ohne Standardmonitoring unplausibel"),
        Row("a", "2", "Warning", "TISS28", "Erhebungstag 20120301 ohne Standardmonitoring unplausibel"),
        // The same admission number in another file, or admitted at another time, is another stay.
        Row("b", "1", "Warning", "TISS28", "Erhebungstag 20120301 ohne Standardmonitoring unplausibel"),
        Row("a", "1", "Warning", "TISS28", "Erhebungstag 20120303 ohne Standardmonitoring unplausibel",
            "201204011000"),
        Row("a", "3", "Error", "Geburtsdatum", "Ungültiger Parameter"),
        Row("a", "4", "Warning", "Aufnahmezeitpunkt", "Ungültiger Parameter"),
        Row("a", "5", "Warning", "Aufnahmezeitpunkt", "Ungültiger Parameter"),
        Row("a", "6", "Warning", "Abteilung", "Ungültiger Parameter"),
        Row("a", "7", "Warning", "Abteilung", "Ungültiger Parameter"),
        Row("a", "", "Warning", " ", "Summensatz fehlt", ""),
        Row("b", "", "Warning", " ", "Summensatz fehlt", ""),
    };
    rows[10].birthDate.clear();
    rows[11].birthDate.clear();
    const std::vector<ProtocolFinding> findings = SummariseProtocol(rows);
    std::vector<std::vector<std::string>> table;
    for (const ProtocolFinding& finding : findings) table.push_back(FindingCells(finding));
    const std::vector<std::vector<std::string>> expected = {
        {"Error", "Geburtsdatum", "Ungültiger Parameter", "1", "1"},
        {"Warning", "TISS28", "Erhebungstag # ohne Standardmonitoring unplausibel", "5", "4"},
        {"Warning", " ", "Summensatz fehlt", "2", "0"},
        {"Warning", "Abteilung", "Ungültiger Parameter", "2", "2"},
        {"Warning", "Aufnahmezeitpunkt", "Ungültiger Parameter", "2", "2"},
    };
    EXPECT_EQ(table, expected);
    EXPECT_TRUE(findings[1].covers(rows[0]));
    EXPECT_FALSE(findings[1].covers(rows[5]));
    EXPECT_EQ(
        FindingsClipboardText({findings[0]}),
        "Typ\tParameter\tKommentar\tZeilen\tAufenthalte\rError\tGeburtsdatum\tUngültiger Parameter\t1\t1");
}

TEST(ProtocolFilter, typeParameterFileAndAdmissionNumber_chooseRows) {
    const std::vector<ProtocolRow> rows = {
        Row("a", "A100      ", "Error", "Geburtsdatum", "x"),
        Row("a", "B200      ", "Warning", "Geburtsdatum", "x"),
        Row("b", "A101      ", "Warning", " ", "x"),
    };
    auto chosen = [&rows](ProtocolFilter filter) {
        std::string kisIds;
        for (const ProtocolRow& row : FilterProtocolRows(rows, filter)) kisIds += row.kisId.substr(0, 4);
        return kisIds;
    };
    EXPECT_EQ(chosen({}), "A100B200A101");
    EXPECT_EQ(chosen({"Warning", "", "", ""}), "B200A101");
    EXPECT_EQ(chosen({"", " Geburtsdatum ", "", ""}), "A100B200");
    EXPECT_EQ(chosen({"", "", "b", ""}), "A101");
    EXPECT_EQ(chosen({"", "", "", " A10 "}), "A100A101");
    EXPECT_EQ(chosen({"Error", "", "b", ""}), "");
}

// --- an independent count over the protocol of a generated delivery full of faults --------------

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t stop; (stop = text.find(separator, start)) != std::string::npos;
         start = stop + separator.size())
        parts.push_back(text.substr(start, stop - start));
    parts.push_back(text.substr(start));
    return parts;
}

// Numbers and dates replaced by a regular expression, on a copy whose bytes of umlauts are letters.
std::string Pattern(const std::string& comment) {
    std::string masked = comment;
    for (char& c : masked) {
        if (static_cast<unsigned char>(c) >= 0x80) c = 'x';
    }
    static const std::regex number(R"((^|[^A-Za-z0-9_])([0-9]+([.,:/-][0-9]+)*)(?![A-Za-z0-9_]))");
    std::string result;
    std::size_t copied = 0;
    for (auto it = std::sregex_iterator(masked.begin(), masked.end(), number); it != std::sregex_iterator();
         ++it) {
        const std::size_t start = static_cast<std::size_t>(it->position(2));
        result += comment.substr(copied, start - copied) + "#";
        copied = start + static_cast<std::size_t>(it->length(2));
    }
    return result + comment.substr(copied);
}

TEST(ProtocolSummary, ofAGeneratedDeliveryFullOfFaults_agreesWithAnIndependentCount) {
    test::ImportFixture fixture;
    std::vector<std::string> names;
    for (auto [seed, department, period] :
         {std::tuple{11, "12100101", 'A'}, std::tuple{12, "12100201", 'B'}}) {
        tools::GeneratorOptions options;
        options.seed = static_cast<std::uint64_t>(seed);
        options.stays = 400;
        options.hospital = "K101";
        options.department = department;
        options.firstAdmission = "20120104";
        options.faultRate = 0.6;
        options.sumRecord = seed == 11 ? tools::SumRecordMode::Wrong : tools::SumRecordMode::Missing;
        const auto written = tools::WriteDeliveryFile(options, fixture.dir.file("import"), period, '2');
        ASSERT_TRUE(written.result.ok()) << written.result.error;
        names.push_back(written.path.filename().string());
    }
    const ImportBatchResult imported = fixture.import(names);
    ASSERT_FALSE(imported.failed()) << imported.failure;

    // Rows split at CR LF and ";": no field of these deliveries holds either.
    const std::string bytes = test::ReadFile(fixture.protocolPath());
    std::vector<std::string> lines = Split(bytes, "\r\n");
    ASSERT_EQ(lines.front(), kHeader);
    ASSERT_EQ(lines.back(), "");
    lines.pop_back();
    using Key = std::tuple<std::string, std::string, std::string>;
    std::map<Key, std::pair<long, std::set<std::string>>> counts;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string> fields = Split(lines[i], ";");
        ASSERT_EQ(fields.size(), 10u) << lines[i];
        ASSERT_EQ(lines[i].find('"'), std::string::npos) << lines[i];
        auto& [rows, stays] = counts[Key{fields[7], fields[8], Pattern(fields[9])}];
        ++rows;
        if ((fields[4] + fields[5] + fields[6]).find_first_not_of(' ') != std::string::npos)
            stays.insert(fields[0] + "|" + fields[4] + "|" + fields[5] + "|" + fields[6]);
    }
    std::vector<std::tuple<int, long, std::string, std::string, std::string, long>> order;
    for (const auto& [key, value] : counts)
        order.emplace_back(std::get<0>(key) == "Error" ? 0 : 1, -value.first, std::get<1>(key),
                           std::get<2>(key), std::get<0>(key), static_cast<long>(value.second.size()));
    std::sort(order.begin(), order.end());
    std::string expected = "Typ\tParameter\tKommentar\tZeilen\tAufenthalte\n";
    for (const auto& [errorRank, rows, parameter, comment, type, stays] : order)
        expected += type + "\t" + parameter + "\t" + comment + "\t" + std::to_string(-rows) + "\t" +
                    std::to_string(stays) + "\n";
    // The protocol is Windows-1252, the command prints UTF-8.
    const test::CliRun run =
        test::RunCliBinary(KALVORA_CLI_BINARY, {"protocol", "--summary", fixture.protocolPath()});
    ASSERT_EQ(run.exitCode, 0);
    std::string expectedUtf8;
    for (const std::string& line : Split(expected, "\n")) {
        if (!line.empty()) expectedUtf8 += Windows1252ToUtf8(line) + "\n";
    }
    EXPECT_EQ(run.out, expectedUtf8);
    // Many kinds of finding, errors and warnings, and findings that recur in many stays.
    EXPECT_GE(order.size(), 15u);
    EXPECT_EQ(std::get<0>(order.front()), 0);
    EXPECT_EQ(std::get<0>(order.back()), 1);
    EXPECT_GT(-std::get<1>(order.front()), 10);
}

}  // namespace
}  // namespace kalvora

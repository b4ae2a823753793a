#include "store/reference_list.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "base/encoding.h"
#include "base/paths.h"
#include "store/database.h"
#include "store/schema.h"
#include "store/system_setup.h"

namespace kalvora {

namespace {

std::string trim(std::string_view text) {
    size_t begin = text.find_first_not_of(" \t\r");
    if (begin == std::string_view::npos) return {};
    size_t end = text.find_last_not_of(" \t\r");
    return std::string(text.substr(begin, end - begin + 1));
}

// Codes are compared as the name tables compare them (COLLATE NOCASE: ASCII letters without case).
std::string CodeKey(std::string_view code) {
    std::string key(code);
    std::transform(key.begin(), key.end(), key.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
    return key;
}

// The codes a registered department needs in the table: its hospital, or its function.
std::map<std::string, std::vector<std::string>> NeededCodes(Database& admin, std::string_view table) {
    const bool hospitals = table == tables::Hospitals;
    Statement rows =
        admin.prepare(hospitals ? "SELECT KANR, MDB_DATEI FROM Dateiverwaltung ORDER BY KANR, ABTEILUNG"
                                : "SELECT substr(ABTEILUNG, 1, 6), MDB_DATEI FROM Dateiverwaltung "
                                  "ORDER BY KANR, ABTEILUNG");
    std::map<std::string, std::vector<std::string>> needed;
    while (rows.step() == StepResult::Row) needed[rows.text(0)].push_back(rows.text(1));
    return needed;
}

std::string MissingCodesRefusal(std::string_view table, const std::string& listPath,
                                const std::map<std::string, std::vector<std::string>>& missing) {
    std::string text = "Die Liste " + listPath + " enthält nicht alle " +
                       (table == tables::Hospitals ? "Krankenanstalten" : "Abteilungsfunktionen") +
                       " der registrierten Abteilungen; es fehlen: ";
    bool first = true;
    for (const auto& [code, departments] : missing) {
        text += (first ? "" : ", ") + code + " (";
        for (std::size_t i = 0; i < departments.size(); ++i) text += (i > 0 ? ", " : "") + departments[i];
        text += ")";
        first = false;
    }
    return text + ". Es wurde nichts geändert.";
}

}  // namespace

Result<std::vector<ReferenceEntry>> ReadReferenceList(const std::string& path, int codeLength) {
    std::vector<ReferenceEntry> entries;
    std::ifstream in(path, std::ios::binary);
    if (!in) return Failure{"Die Datei " + path + " kann nicht gelesen werden."};
    std::stringstream buffer;
    buffer << in.rdbuf();
    std::string bytes = buffer.str();
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);
    if (!IsValidUtf8(bytes)) bytes = Windows1252ToUtf8(bytes);

    std::map<std::string, std::string> seen;  // code key -> the code as first written
    std::istringstream lines(bytes);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (trim(line).empty()) continue;
        size_t separator = line.find(';');
        std::string code = separator == std::string::npos ? std::string() : trim(line.substr(0, separator));
        std::string name = separator == std::string::npos ? std::string() : trim(line.substr(separator + 1));
        std::string where = path + ", Zeile " + std::to_string(number) + ": ";
        if (separator == std::string::npos || code.empty())
            return Failure{where + "erwartet wird \"Code;Bezeichnung\"."};
        if (codeLength > 0 && static_cast<int>(code.size()) != codeLength)
            return Failure{where + "der Code \"" + code + "\" muss " + std::to_string(codeLength) +
                           " Zeichen lang sein."};
        if (auto [earlier, added] = seen.emplace(CodeKey(code), code); !added)
            return Failure{where + "der Code \"" + code + "\" kommt mehrfach vor" +
                           (earlier->second == code ? std::string(".")
                                                    : " (auch als \"" + earlier->second +
                                                          "\"; Groß- und Kleinschreibung zählen nicht).")};
        entries.push_back({code, name});
    }
    return entries;
}

void FillNameTable(Database& admin, std::string_view table, const std::vector<ReferenceEntry>& entries) {
    Statement insert = admin.prepare("INSERT INTO " + QuoteIdentifier(table) + " VALUES (?, ?)");
    for (const auto& entry : entries) {
        insert.bind(1, entry.code).bind(2, entry.name);
        insert.run();
    }
}

Outcome ReplaceNameTable(Database& admin, std::string_view table, const std::string& listPath,
                         const std::vector<ReferenceEntry>& entries) {
    std::set<std::string> listed;
    for (const ReferenceEntry& entry : entries) listed.insert(CodeKey(entry.code));
    std::map<std::string, std::vector<std::string>> missing;
    for (auto& [code, departments] : NeededCodes(admin, table)) {
        if (listed.count(CodeKey(code)) == 0) missing.emplace(code, std::move(departments));
    }
    if (!missing.empty()) return Failure{MissingCodesRefusal(table, listPath, missing)};
    admin.execute("DELETE FROM " + QuoteIdentifier(table) + ";");
    FillNameTable(admin, table, entries);
    return Done{};
}

std::string ShippedReferenceDirectory() {
    // A folder beside the program, else the installation's (or the build tree's) share/kalvora.
    std::string besideProgram = JoinPath(ExecutableDirectory(), "reference");
    std::error_code error;
    if (std::filesystem::is_directory(besideProgram, error)) return besideProgram;
    const std::string shared = SharedDataDirectory();
    return shared.empty() ? besideProgram : JoinPath(shared, "reference");
}

Outcome CreateDataDirectory(const DataDirectoryRequest& request) {
    SystemSetupRequest setup;
    setup.directory = request;
    return SetUpSystem(setup);
}

}  // namespace kalvora

#include "store/reference_list.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <set>
#include <sstream>

#include "shell/encoding.h"
#include "shell/settings.h"
#include "store/data_directory.h"
#include "store/database.h"
#include "store/file_ops.h"
#include "store/schema.h"

namespace kalvora {

namespace {

std::string trim(std::string_view text) {
    size_t begin = text.find_first_not_of(" \t\r");
    if (begin == std::string_view::npos) return {};
    size_t end = text.find_last_not_of(" \t\r");
    return std::string(text.substr(begin, end - begin + 1));
}

void fillTable(Database& db, std::string_view table, const std::vector<ReferenceEntry>& entries) {
    Statement insert = db.prepare("INSERT INTO " + QuoteIdentifier(table) + " VALUES (?, ?)");
    for (const auto& entry : entries) {
        insert.bind(1, entry.code).bind(2, entry.name);
        insert.run();
    }
}

std::string buildDatabase(const std::string& target, bool force,
                          const std::function<void(Database&)>& fill) {
    if (FileExists(target) && !force) {
        return "Die Datei " + target + " besteht bereits (--force überschreibt sie).";
    }
    std::string pending = PendingFileName(target);
    RemoveFileIfPresent(pending);
    try {
        {
            Database db(pending, OpenMode::Create);
            Transaction transaction(db);
            fill(db);
            transaction.commit();
        }
        SyncFile(pending);
        // A journal left beside the old file would be rolled back onto the new one.
        RemoveFileIfPresent(target + "-journal");
        ReplaceFileAtomically(pending, target);
    } catch (const std::exception& error) {
        RemoveFileIfPresent(pending);
        return "Die Datei " + target + " kann nicht angelegt werden: " + error.what();
    }
    return {};
}

}  // namespace

ReferenceListResult ReadReferenceList(const std::string& path, int codeLength) {
    ReferenceListResult result;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        result.error = "Die Datei " + path + " kann nicht gelesen werden.";
        return result;
    }
    std::stringstream buffer;
    buffer << in.rdbuf();
    std::string bytes = buffer.str();
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);
    if (!IsValidUtf8(bytes)) bytes = Windows1252ToUtf8(bytes);

    std::set<std::string> seen;
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
        if (separator == std::string::npos || code.empty()) {
            result.error = where + "erwartet wird \"Code;Bezeichnung\".";
        } else if (codeLength > 0 && static_cast<int>(code.size()) != codeLength) {
            result.error = where + "der Code \"" + code + "\" muss " + std::to_string(codeLength) +
                           " Zeichen lang sein.";
        } else if (!seen.insert(code).second) {
            result.error = where + "der Code \"" + code + "\" kommt mehrfach vor.";
        }
        if (!result.error.empty()) {
            result.entries.clear();
            return result;
        }
        result.entries.push_back({code, name});
    }
    return result;
}

std::string ShippedReferenceDirectory() {
    // Installed beside the program, else the source tree's copy.
    std::string besideProgram = JoinPath(ExecutableDirectory(), "reference");
    if (std::filesystem::is_directory(besideProgram)) return besideProgram;
#ifdef KALVORA_REFERENCE_DIR
    return KALVORA_REFERENCE_DIR;
#else
    return besideProgram;
#endif
}

std::string CreateDataDirectory(const DataDirectoryRequest& request) {
    std::string hospitalsCsv =
        request.hospitalsCsv.empty() ? JoinPath(ShippedReferenceDirectory(), "hospitals.csv") : request.hospitalsCsv;
    std::string departmentsCsv = request.departmentsCsv.empty()
                                     ? JoinPath(ShippedReferenceDirectory(), "departments.csv")
                                     : request.departmentsCsv;
    ReferenceListResult hospitals = ReadReferenceList(hospitalsCsv, 4);
    if (!hospitals.error.empty()) return hospitals.error;
    ReferenceListResult departments = ReadReferenceList(departmentsCsv, 6);
    if (!departments.error.empty()) return departments.error;

    std::error_code error;
    std::filesystem::create_directories(request.systemDirectory, error);
    if (error || !std::filesystem::is_directory(request.systemDirectory)) {
        return "Das Verzeichnis " + request.systemDirectory + " kann nicht angelegt werden.";
    }
    // One writer at a time: no import or removal may work on the databases being made.
    std::optional<DataDirectoryLock> lock;
    try {
        lock.emplace(request.systemDirectory);
    } catch (const StoreError& lockError) {
        return lockError.what();
    }
    std::string admin = JoinPath(request.systemDirectory, files::AdminDb);
    std::string templ = JoinPath(request.systemDirectory, files::TemplateDb);
    if (!request.force && (FileExists(admin) || FileExists(templ))) {
        return "Im Verzeichnis " + request.systemDirectory +
               " besteht bereits eine Datenbank (iadmin.mdb oder ibds.mdb); --force überschreibt sie.";
    }
    std::string message = buildDatabase(admin, true, [&](Database& db) {
        CreateAdminSchema(db);
        fillTable(db, tables::Hospitals, hospitals.entries);
        fillTable(db, tables::Departments, departments.entries);
    });
    if (!message.empty()) return message;
    return buildDatabase(templ, true, [](Database& db) { CreateDepartmentSchema(db); });
}

}  // namespace kalvora

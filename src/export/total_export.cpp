#include "export/total_export.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>

#include "base/message_service.h"
#include "base/paths.h"
#include "base/status_sink.h"
#include "export/export_file_name.h"
#include "reports/department_line.h"
#include "store/data_directory.h"
#include "store/database.h"
#include "store/file_ops.h"
#include "store/schema.h"
#include "store/store_error_text.h"
#include "store/stored_data_messages.h"

namespace kalvora {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kDepartment = "department";
constexpr std::string_view kRefusedStays = "temp.\"Abgewiesene Aufenthalte\"";
// A stay's key; the keys of the record tables begin with it.
const std::vector<std::string_view> kStayKey = {"KIS_ID", "DOB", "ADM_DATE"};

// The total database is written with pages of 64 KiB (set on the empty copy of the template, which
// VACUUM rewrites with them): the engine then spends markedly less time per row than with the
// template's small pages. The page size changes nothing of tables, fields and indexes. Space that
// rows leave when the engine moves them between pages need not be overwritten, as the rows are
// still in the file; rows the export deletes are overwritten (see copyTable).
constexpr std::string_view kPrepareTotalDatabase =
    "PRAGMA main.journal_mode = OFF; PRAGMA main.locking_mode = EXCLUSIVE; PRAGMA main.page_size = 65536;"
    "VACUUM; PRAGMA main.synchronous = OFF; PRAGMA main.cache_size = -65536; PRAGMA temp_store = MEMORY;"
    "PRAGMA main.secure_delete = OFF;";

// One table of the departments appended to the same table of the total database.
struct TableCopy {
    std::string_view table;
    std::vector<std::string_view> key;  // the table's key fields in key order
    std::string_view condition;         // rows copied at all; empty for all rows
    bool followsStay;                   // rows of a stay the total database refused stay out
};

std::vector<TableCopy> TableCopies() {
    return {{tables::Stays, kStayKey, "", false},
            {tables::RecordType1, kStayKey, "", true},
            {tables::RecordType3, {"KIS_ID", "DOB", "ADM_DATE", "REC_DATE"}, "r.QUALIFIER = '3'", true}};
}

std::string fieldList(const std::vector<std::string_view>& fields, std::string_view prefix = "") {
    std::string list;
    for (std::string_view field : fields) {
        if (!list.empty()) list += ", ";
        list += std::string(prefix) + QuoteIdentifier(field);
    }
    return list;
}

std::string keyMatch(const std::vector<std::string_view>& key, std::string_view left,
                     std::string_view right) {
    std::string match;
    for (std::string_view field : key) {
        if (!match.empty()) match += " AND ";
        match += std::string(left) + "." + QuoteIdentifier(field) + " = " + std::string(right) + "." +
                 QuoteIdentifier(field);
    }
    return match;
}

std::string where(std::string_view condition) {
    return condition.empty() ? std::string() : " WHERE " + std::string(condition);
}

// The fields of a table in table order.
std::vector<std::string> tableFields(Database& db, std::string_view schema, std::string_view table) {
    Statement fields = db.prepare("SELECT name FROM pragma_table_info(?, ?) ORDER BY cid");
    fields.bind(1, table).bind(2, schema);
    std::vector<std::string> names;
    while (fields.step() == StepResult::Row) names.push_back(fields.text(0));
    return names;
}

// What the export needs to know of one table of one department before it copies the table.
struct DepartmentTable {
    std::size_t department = 0;  // position in the chosen departments
    bool empty = true;
    bool textKeys = false;  // the lowest and highest key hold texts only
    std::vector<std::string> lowest, highest;
    bool sameFields = false;      // the same fields in the same order as in the total database
    bool sameDefinition = false;  // defined by the same statement as in the total database
};

std::vector<std::string> keyRow(Database& total, const TableCopy& copy, bool highest, bool& text) {
    const std::string direction = highest ? " DESC" : "";
    std::string order, types;
    for (std::string_view field : copy.key) {
        if (!order.empty()) {
            order += ", ";
            types += " AND ";
        }
        order += QuoteIdentifier(field) + direction;
        types += "typeof(" + QuoteIdentifier(field) + ") = 'text'";
    }
    Statement row = total.prepare("SELECT " + fieldList(copy.key) + ", " + types + " FROM department." +
                                  QuoteIdentifier(copy.table) + " ORDER BY " + order + " LIMIT 1");
    std::vector<std::string> key;
    if (row.step() != StepResult::Row) return key;
    for (std::size_t field = 0; field < copy.key.size(); ++field)
        key.push_back(row.text(static_cast<int>(field)));
    text = text && row.integer(static_cast<int>(copy.key.size())) != 0;
    return key;
}

DepartmentTable surveyTable(Database& total, const TableCopy& copy, std::size_t department) {
    DepartmentTable survey;
    survey.department = department;
    survey.textKeys = true;
    survey.lowest = keyRow(total, copy, false, survey.textKeys);
    survey.highest = keyRow(total, copy, true, survey.textKeys);
    survey.empty = survey.lowest.empty();
    survey.sameFields = tableFields(total, kDepartment, copy.table) == tableFields(total, "main", copy.table);
    Statement definitions = total.prepare(
        "SELECT (SELECT sql FROM department.sqlite_master WHERE type = 'table' AND name = ?1)"
        " IS (SELECT sql FROM main.sqlite_master WHERE type = 'table' AND name = ?1)");
    definitions.bind(1, copy.table);
    survey.sameDefinition = definitions.step() == StepResult::Row && definitions.integer(0) != 0;
    return survey;
}

// The order in which the departments' rows of one table are appended. When no two departments' key
// ranges overlap, no row can meet a row of the same key from another department, so the order
// changes nothing in the result; the departments are then taken in key order, and every row is
// appended behind all rows already there, which the engine does without searching the table. Key
// fields compare as their bytes, as the schema defines them. Otherwise the departments keep the
// order of the list, so that of rows with the same key the one of the upper department stays.
struct CopyOrder {
    std::vector<DepartmentTable> departments;  // those with rows in the table
    bool keysApart = false;                    // no two departments share a key
};

CopyOrder copyOrder(std::vector<DepartmentTable> surveys) {
    CopyOrder listOrder;
    for (DepartmentTable& survey : surveys) {
        if (!survey.empty) listOrder.departments.push_back(std::move(survey));
    }
    CopyOrder keyOrder{listOrder.departments, true};
    std::stable_sort(keyOrder.departments.begin(), keyOrder.departments.end(),
                     [](const DepartmentTable& a, const DepartmentTable& b) { return a.lowest < b.lowest; });
    for (std::size_t index = 0; index < keyOrder.departments.size(); ++index) {
        const DepartmentTable& survey = keyOrder.departments[index];
        if (!survey.textKeys) return listOrder;
        if (index > 0 && !(keyOrder.departments[index - 1].highest < survey.lowest)) return listOrder;
    }
    return keyOrder;
}

class DepartmentAttachment {
public:
    DepartmentAttachment(Database& total, const std::string& path) : total_(total) {
        total_.attach(path, kDepartment);
    }
    ~DepartmentAttachment() {
        try {
            total_.detach(kDepartment);
        } catch (...) {
        }
    }
    DepartmentAttachment(const DepartmentAttachment&) = delete;
    DepartmentAttachment& operator=(const DepartmentAttachment&) = delete;

private:
    Database& total_;
};

// Runs a statement; ?1, where it has one, is the department's position. Returns the rows it changed.
long long run(Database& total, const std::string& sql, std::optional<long long> department = std::nullopt) {
    Statement statement = total.prepare(sql);
    if (department) statement.bind(1, *department);
    statement.run();
    return total.changes();
}

bool hasOtherUniqueIndex(Database& total, const TableCopy& copy) {
    Statement indexes = total.prepare(
        "SELECT count(*) FROM pragma_index_list(?, 'main') WHERE \"unique\" AND origin <> 'pk'");
    indexes.bind(1, copy.table);
    return indexes.step() == StepResult::Row && indexes.integer(0) != 0;
}

// Appends one department's rows of one table; returns the rows the total database refused: those it
// holds a row of the same key for, and the rows of the department's refused stays.
long long copyTable(Database& total, const TableCopy& copy, const DepartmentTable& survey, bool keysApart,
                    std::vector<bool>& staysRefused) {
    const std::string table = QuoteIdentifier(copy.table);
    const std::string source = "department." + table + " AS r";
    const long long department = static_cast<long long>(survey.department);
    const bool totalEmpty = total.scalar("SELECT NOT EXISTS (SELECT 1 FROM main." + table + ")") != 0;

    if (!copy.followsStay && !totalEmpty && !keysApart) {
        // Stays already in the total database: their rows of the other tables stay out too.
        staysRefused[survey.department] =
            run(total,
                "INSERT INTO " + std::string(kRefusedStays) + " SELECT ?1, " + fieldList(kStayKey, "s.") +
                    " FROM department." + table + " AS s WHERE EXISTS (SELECT 1 FROM main." + table +
                    " AS m WHERE " + keyMatch(kStayKey, "m", "s") + ")",
                department) > 0;
    }
    const bool leaveOutRefused = copy.followsStay && staysRefused[survey.department];
    // A row can only be refused for a key the total database already holds, or for breaking a rule
    // of the total database's table. Neither can happen when no other department's rows can share a
    // key with this department's rows, the table is defined alike in both databases, and the table
    // has no unique index besides its key: then the rows offered need not be counted.
    const bool refusalPossible = leaveOutRefused || !(keysApart || totalEmpty) || !survey.sameDefinition ||
                                 hasOtherUniqueIndex(total, copy);
    const long long offered =
        refusalPossible ? total.scalar("SELECT count(*) FROM " + source + where(copy.condition)) : 0;
    long long appended = 0;
    if (survey.sameFields && totalEmpty && !leaveOutRefused) {
        // Into an empty table the engine copies the stored rows as they are, without taking them
        // apart; rows it should not have taken are removed again.
        appended = run(total, "INSERT OR IGNORE INTO main." + table + " SELECT * FROM department." + table);
        if (!copy.condition.empty()) {
            // The rows removed are overwritten, so that nothing of them stays in the file.
            total.execute("PRAGMA main.secure_delete = ON");
            appended -= run(total, "DELETE FROM main." + table + " AS r WHERE (" +
                                       std::string(copy.condition) + ") IS NOT 1");
            total.execute("PRAGMA main.secure_delete = OFF");
        }
    } else {
        std::string filter = std::string(copy.condition);
        if (leaveOutRefused) {
            if (!filter.empty()) filter += " AND ";
            filter += "NOT EXISTS (SELECT 1 FROM " + std::string(kRefusedStays) +
                      " AS x WHERE x.DEPARTMENT = ?1 AND " + keyMatch(kStayKey, "x", "r") + ")";
        }
        std::string columns, selected;
        if (survey.sameFields) {
            selected = "r.*";
        } else {
            const std::vector<std::string> names = tableFields(total, "main", copy.table);
            for (const std::string& name : names) {
                if (!columns.empty()) {
                    columns += ", ";
                    selected += ", ";
                }
                columns += QuoteIdentifier(name);
                selected += "r." + QuoteIdentifier(name);
            }
            columns = " (" + columns + ")";
        }
        // In key order, as the department's table holds its rows: the engine reads them as they lie.
        appended = run(total,
                       "INSERT OR IGNORE INTO main." + table + columns + " SELECT " + selected + " FROM " +
                           source + where(filter) + " ORDER BY " + fieldList(copy.key, "r."),
                       leaveOutRefused ? std::optional<long long>(department) : std::nullopt);
    }
    return refusalPossible ? offered - appended : 0;
}

// The export must never replace a file of the system data directory (the template, the
// administration database, a department database).
std::string protectedTargetMessage(const std::string& target, const std::string& systemDataPath) {
    return IsSystemDataFile(target, systemDataPath) ? SystemDataFileRefusal(target) : std::string();
}

std::string checkRequest(const ExportRequest& request, const std::string& target,
                         const std::string& templatePath) {
    if (!FileExists(templatePath))
        return "Die Vorlage " + std::string(files::TemplateDb) + " fehlt im Systemdatenverzeichnis!";
    std::error_code error;
    if (!fs::is_directory(request.exportDataPath, error))
        return "Das Exportverzeichnis " + request.exportDataPath + " ist nicht vorhanden!";
    std::string message = protectedTargetMessage(target, request.systemDataPath);
    if (!message.empty()) return message;
    for (const Department& department : request.departments) {
        if (!FileExists(DepartmentDatabasePath(request.systemDataPath, department)))
            return stored_data_messages::DepartmentDbMissing(department.fileName()) +
                   " Es wurde nichts exportiert.";
    }
    return {};
}

// Starts writing what the engine has written of the file so far to the disk while the export goes
// on, so that the final sync has little left to wait for. Where the system cannot start it early,
// the final sync writes everything.
class EarlyWriteback {
public:
    explicit EarlyWriteback(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~EarlyWriteback() {
        if (fd_ >= 0) ::close(fd_);
    }
    EarlyWriteback(const EarlyWriteback&) = delete;
    EarlyWriteback& operator=(const EarlyWriteback&) = delete;

    void start() {
#if defined(__linux__)
        if (fd_ >= 0) ::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
    }

private:
    int fd_;
};

void showDepartment(StatusSink& status, const Department& department) {
    status.setPanel(1, " Erstelle Gesamtdatenbank...");
    status.setPanel(2, DepartmentHospitalPart(department) + " ");
    status.setPanel(3, DepartmentPart(department) + " ");
}

// Appends the chosen departments table by table: all stays first, so that the stays each department
// has refused are known before its other rows are appended. Every table of every department is one
// append statement of the engine.
long long buildTotalDatabase(const ExportRequest& request, const std::string& pending, StatusSink& status) {
    Database total(pending, OpenMode::ReadWrite);
    // The file is not in use until it is moved into place: no journal, synced once at the end.
    total.execute(kPrepareTotalDatabase);
    total.execute("CREATE TEMP TABLE " + std::string(kRefusedStays) +
                  " (DEPARTMENT INTEGER, KIS_ID TEXT, DOB TEXT, ADM_DATE TEXT,"
                  " PRIMARY KEY (DEPARTMENT, KIS_ID, DOB, ADM_DATE)) WITHOUT ROWID");
    const std::vector<Department>& departments = request.departments;
    std::vector<std::string> paths;
    for (const Department& department : departments)
        paths.push_back(DepartmentDatabasePath(request.systemDataPath, department));

    const std::vector<TableCopy> copies = TableCopies();
    std::vector<std::vector<DepartmentTable>> surveys(copies.size());
    for (std::size_t department = 0; department < departments.size(); ++department) {
        showDepartment(status, departments[department]);
        DepartmentAttachment attachment(total, paths[department]);
        for (std::size_t copy = 0; copy < copies.size(); ++copy)
            surveys[copy].push_back(surveyTable(total, copies[copy], department));
    }

    long long refused = 0;
    std::vector<bool> staysRefused(departments.size(), false);
    EarlyWriteback writeback(pending);
    for (std::size_t copy = 0; copy < copies.size(); ++copy) {
        const CopyOrder order = copyOrder(surveys[copy]);
        for (const DepartmentTable& survey : order.departments) {
            showDepartment(status, departments[survey.department]);
            DepartmentAttachment attachment(total, paths[survey.department]);
            refused += copyTable(total, copies[copy], survey, order.keysApart, staysRefused);
            writeback.start();
        }
    }
    total.close();
    return refused;
}

void finish(StatusSink& status) {
    status.setPanel(1, " Bereit");
    status.setPanel(2, " ");
    status.setPanel(3, " ");
}

}  // namespace

std::string RefusedRowsText(long long refusedRows) {
    return " " + std::to_string(refusedRows) + (refusedRows == 1 ? " Datensatz" : " Datensätze") +
           " mit bereits vorhandenem Schlüssel nicht übernommen.";
}

std::string ExportSuccessText(long long refusedRows) {
    std::string text(messages::ExportDone);
    if (refusedRows > 0) text += "\n" + RefusedRowsText(refusedRows);
    return text;
}

Result<ExportDone> ExportTotalDatabase(const ExportRequest& request, StatusSink& status) {
    if (!IsValidExportFileName(request.outputName))
        return Failure{std::string(NoticeText(notices::InvalidFileName).value_or(" Ungültiger Dateiname!"))};
    const std::string target = JoinPath(request.exportDataPath, ExportFileName(request.outputName));
    const std::string templatePath = JoinPath(request.systemDataPath, files::TemplateDb);
    ExportDone result;
    result.outputPath = target;
    // No import or removal may change a department while its tables are copied one by one.
    std::optional<DataDirectoryLock> lock;
    std::error_code directoryError;
    if (fs::is_directory(request.systemDataPath, directoryError)) {
        try {
            lock.emplace(request.systemDataPath);
        } catch (const StoreError& error) {
            return Failure{error.what()};
        }
    }
    if (std::string refusal = checkRequest(request, target, templatePath); !refusal.empty())
        return Failure{std::move(refusal)};

    const std::string pending = PendingFileName(target);
    try {
        RemoveFileIfPresent(pending);
        fs::copy_file(templatePath, pending, fs::copy_options::overwrite_existing);
        result.refusedRows = buildTotalDatabase(request, pending, status);
        if (!SyncFile(pending)) throw StoreError(FileErrorText(pending, errno, true));
        ReplaceFileAtomically(pending, target);
    } catch (const std::exception& error) {
        RemoveFileIfPresent(pending);
        finish(status);
        return Failure{"Die Gesamtdatenbank " + fs::path(target).filename().string() +
                       " konnte nicht erstellt werden: " + error.what()};
    }
    finish(status);
    return result;
}

}  // namespace kalvora

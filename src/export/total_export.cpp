#include "export/total_export.h"

#include <sqlite3.h>

#include <filesystem>
#include <system_error>
#include <utility>

#include "export/export_file_name.h"
#include "reports/department_line.h"
#include "reports/report_messages.h"
#include "shell/message_service.h"
#include "shell/settings.h"
#include "shell/status_sink.h"
#include "store/database.h"
#include "store/file_ops.h"
#include "store/schema.h"
#include "tiss/tiss_item.h"

namespace kalvora {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kRefusedStays = "temp.\"Abgewiesene Aufenthalte\"";

template <typename Fields>
void appendFields(std::string& list, const Fields& fields) {
    for (const auto& field : fields) {
        if (!list.empty()) list += ", ";
        list += QuoteIdentifier(field);
    }
}

std::string recordType3Fields() {
    std::string list;
    appendFields(list, kRecordType3LeadingFields);
    for (const TissItem& item : TissItems()) {
        list += ", ";
        list += QuoteIdentifier(item.field);
    }
    appendFields(list, kRecordType3TrailingFields);
    return list;
}

// One table of a department appended to the same table of the total database. Rows of a stay that the
// total database refused stay out together with their stay, so that no stay receives the record rows
// of another department's stay of the same key.
struct TableCopy {
    std::string_view table;
    std::string fields;
    std::string_view condition;  // rows copied at all
    bool followsStay;            // rows of refused stays are left out
};

// Counts the rows that reach the insert while it runs, so the rows offered need no second pass
// over the department table. Returns its argument unchanged.
void countRow(sqlite3_context* context, int, sqlite3_value** argv) {
    ++*static_cast<long long*>(sqlite3_user_data(context));
    sqlite3_result_value(context, argv[0]);
}

class OfferedRows {
public:
    explicit OfferedRows(Database& total) : total_(total) {
        if (sqlite3_create_function(total_.handle(), kFunction, 1, SQLITE_UTF8 | SQLITE_DIRECTONLY, &count_,
                                    countRow, nullptr, nullptr) != SQLITE_OK)
            throw StoreError("cannot register the row counter");
    }
    ~OfferedRows() {
        sqlite3_create_function(total_.handle(), kFunction, 1, SQLITE_UTF8, nullptr, nullptr, nullptr,
                                nullptr);
    }
    OfferedRows(const OfferedRows&) = delete;
    OfferedRows& operator=(const OfferedRows&) = delete;

    long long take() { return std::exchange(count_, 0); }
    static constexpr const char* kFunction = "ExportedRow";

private:
    Database& total_;
    long long count_ = 0;
};

std::string stayKeyJoin(std::string_view left, std::string_view right) {
    const std::string l(left), r(right);
    return l + ".KIS_ID = " + r + ".KIS_ID AND " + l + ".DOB = " + r + ".DOB AND " + l + ".ADM_DATE = " + r +
           ".ADM_DATE";
}

std::string sourceFilter(const TableCopy& copy, bool someStaysRefused) {
    std::string filter;
    if (!copy.condition.empty()) filter += std::string(copy.condition);
    if (copy.followsStay && someStaysRefused) {
        if (!filter.empty()) filter += " AND ";
        filter += "NOT EXISTS (SELECT 1 FROM " + std::string(kRefusedStays) + " AS x WHERE " +
                  stayKeyJoin("x", "r") + ")";
    }
    return filter.empty() ? std::string() : " WHERE " + filter;
}

// Appends the table's rows; returns the number of rows the total database refused.
long long copyTable(Database& total, OfferedRows& offered, const TableCopy& copy, bool someStaysRefused) {
    const std::string table = QuoteIdentifier(copy.table);
    long long refused = 0;
    if (copy.followsStay && someStaysRefused) {
        refused +=
            total.scalar("SELECT count(*) FROM " + std::string(kRefusedStays) + " AS x JOIN department." +
                         table + " AS r ON " + stayKeyJoin("r", "x") +
                         (copy.condition.empty() ? std::string() : " WHERE " + std::string(copy.condition)));
    }
    // The first field goes through the counter; every value is copied unchanged.
    const std::size_t firstComma = copy.fields.find(',');
    const std::string selected = std::string(OfferedRows::kFunction) + "(r." +
                                 copy.fields.substr(0, firstComma) + ")" + copy.fields.substr(firstComma);
    offered.take();
    total.execute("INSERT OR IGNORE INTO main." + table + " (" + copy.fields + ") SELECT " + selected +
                  " FROM department." + table + " AS r" + sourceFilter(copy, someStaysRefused));
    const long long appended = total.changes();
    return refused + offered.take() - appended;
}

long long copyDepartment(Database& total, OfferedRows& offered, const std::string& departmentPath) {
    total.attach(departmentPath, "department");
    long long refused = 0;
    try {
        Transaction transaction(total);
        bool someStaysRefused = false;
        // While the total database holds no stay, no stay of this department can be refused.
        if (total.scalar("SELECT EXISTS (SELECT 1 FROM main.\"Gesamt - Patientenadministration\")") != 0) {
            total.execute("DELETE FROM " + std::string(kRefusedStays));
            total.execute(
                "INSERT INTO " + std::string(kRefusedStays) +
                " SELECT s.KIS_ID, s.DOB, s.ADM_DATE FROM department.\"Gesamt - Patientenadministration\""
                " AS s WHERE EXISTS (SELECT 1 FROM main.\"Gesamt - Patientenadministration\" AS m WHERE " +
                stayKeyJoin("m", "s") + ")");
            someStaysRefused = total.changes() > 0;
        }

        std::string stayFields, recordType1Fields;
        appendFields(stayFields, kStayFields);
        appendFields(recordType1Fields, kRecordType1Fields);
        const TableCopy copies[] = {
            {tables::Stays, stayFields, "", false},
            {tables::RecordType1, recordType1Fields, "", true},
            {tables::RecordType3, recordType3Fields(), "r.QUALIFIER = '3'", true},
        };
        for (const TableCopy& copy : copies) refused += copyTable(total, offered, copy, someStaysRefused);
        transaction.commit();
    } catch (...) {
        total.detach("department");
        throw;
    }
    total.detach("department");
    return refused;
}

bool sameFile(const std::string& first, const std::string& second) {
    std::error_code error;
    fs::path a = fs::weakly_canonical(first, error);
    if (error) return false;
    fs::path b = fs::weakly_canonical(second, error);
    return !error && a == b;
}

// The export must never replace a file of the system data directory (the template, the
// administration database, a department database).
std::string protectedTargetMessage(const std::string& target, const std::string& systemDataPath) {
    std::vector<std::string> protectedFiles = {JoinPath(systemDataPath, files::AdminDb),
                                               JoinPath(systemDataPath, files::TemplateDb),
                                               JoinPath(systemDataPath, files::WorkDb)};
    for (const std::string& line : LoadDepartmentLines(systemDataPath).lines)
        protectedFiles.push_back(DepartmentDatabasePath(systemDataPath, line));
    for (const std::string& file : protectedFiles) {
        if (sameFile(target, file))
            return "Die Datei " + fs::path(target).filename().string() +
                   " des Systemdatenverzeichnisses darf nicht überschrieben werden!";
    }
    return {};
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
    for (const std::string& line : request.departmentLines) {
        if (!FileExists(DepartmentDatabasePath(request.systemDataPath, line)))
            return report_messages::DepartmentDbMissing(DepartmentDatabaseName(line)) +
                   " Es wurde nichts exportiert.";
    }
    return {};
}

long long buildTotalDatabase(const ExportRequest& request, const std::string& pending, StatusSink& status) {
    Database total(pending, OpenMode::ReadWrite);
    // The file is not in use until it is moved into place: no journal, synced once at the end.
    total.execute(
        "PRAGMA main.journal_mode = OFF; PRAGMA main.synchronous = OFF; PRAGMA main.locking_mode = EXCLUSIVE;"
        "PRAGMA main.cache_size = -65536; PRAGMA temp_store = MEMORY;");
    total.execute(
        "CREATE TEMP TABLE " + std::string(kRefusedStays) +
        " (KIS_ID TEXT, DOB TEXT, ADM_DATE TEXT, PRIMARY KEY (KIS_ID, DOB, ADM_DATE)) WITHOUT ROWID");
    long long refused = 0;
    {
        OfferedRows offered(total);
        for (const std::string& line : request.departmentLines) {
            status.setPanel(1, " Erstelle Gesamtdatenbank...");
            status.setPanel(2, DepartmentHospitalPart(line) + " ");
            status.setPanel(3, DepartmentPart(line) + " ");
            refused += copyDepartment(total, offered, DepartmentDatabasePath(request.systemDataPath, line));
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

ExportResult ExportTotalDatabase(const ExportRequest& request, StatusSink& status) {
    ExportResult result;
    if (!IsValidExportFileName(request.outputName)) {
        result.invalidName = true;
        result.message = std::string(NoticeText(notices::InvalidFileName).value_or(" Ungültiger Dateiname!"));
        return result;
    }
    const std::string target = JoinPath(request.exportDataPath, ExportFileName(request.outputName));
    const std::string templatePath = JoinPath(request.systemDataPath, files::TemplateDb);
    result.outputPath = target;
    result.message = checkRequest(request, target, templatePath);
    if (!result.message.empty()) return result;

    const std::string pending = PendingFileName(target);
    try {
        RemoveFileIfPresent(pending);
        fs::copy_file(templatePath, pending, fs::copy_options::overwrite_existing);
        result.refusedRows = buildTotalDatabase(request, pending, status);
        if (!SyncFile(pending)) throw StoreError("cannot sync " + pending);
        ReplaceFileAtomically(pending, target);
    } catch (const std::exception& error) {
        RemoveFileIfPresent(pending);
        finish(status);
        result.message = "Die Gesamtdatenbank " + fs::path(target).filename().string() +
                         " konnte nicht erstellt werden: " + error.what();
        return result;
    }
    finish(status);
    result.succeeded = true;
    result.message = ExportSuccessText(result.refusedRows);
    return result;
}

}  // namespace kalvora

#include "store/database.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <utility>
#include <vector>

#include "base/conversions.h"
#include "store/moved_file_guard.h"
#include "store/store_error_text.h"

namespace kalvora {

namespace {

std::string databasePath(sqlite3* db) {
    const char* name = db != nullptr ? sqlite3_db_filename(db, "main") : nullptr;
    return name != nullptr ? std::string(name) : std::string();
}

// The engine's failure in German, naming the database file; `what` says which step failed.
[[noreturn]] void fail(sqlite3* db, const std::string& what, int code) {
    std::string engineText = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(code);
    throw StoreError(DatabaseErrorText(databasePath(db), code, what + ": " + engineText), code);
}

bool isUniqueViolation(int extendedCode) {
    return extendedCode == SQLITE_CONSTRAINT_PRIMARYKEY || extendedCode == SQLITE_CONSTRAINT_UNIQUE;
}

void valFunction(sqlite3_context* context, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_double(context, 0.0);
        return;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    int length = sqlite3_value_bytes(argv[0]);
    sqlite3_result_double(context, SqlVal(std::string_view(text ? text : "", text ? length : 0)));
}

// Each connection is used by one thread at a time, so the engine needs no locks of its own, and
// the program does not ask the engine for memory statistics; both save work on every row.
void configureEngineOnce() {
    static const bool configured = [] {
        sqlite3_config(SQLITE_CONFIG_MULTITHREAD);
        sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
        InstallMovedFileGuard();
        return true;
    }();
    (void)configured;
}

}  // namespace

double SqlVal(std::string_view text) { return NumericValue(text); }

std::string QuoteIdentifier(std::string_view name) {
    std::string quoted = "\"";
    for (char c : name) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

// ---- Statement ----

Statement::Statement(sqlite3* db, std::string_view sql, std::shared_ptr<const OpenedFile> opened)
    : db_(db), opened_(std::move(opened)) {
    if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr) != SQLITE_OK) {
        fail(db, "Anweisung \"" + std::string(sql.substr(0, 120)) + "\" nicht übersetzbar",
             sqlite3_extended_errcode(db));
    }
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

Statement::Statement(Statement&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)),
      stmt_(std::exchange(other.stmt_, nullptr)),
      opened_(std::move(other.opened_)) {}

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(stmt_);
        db_ = std::exchange(other.db_, nullptr);
        stmt_ = std::exchange(other.stmt_, nullptr);
        opened_ = std::move(other.opened_);
    }
    return *this;
}

Statement& Statement::bind(int index, std::string_view text) {
    const char* data = text.data() != nullptr ? text.data() : "";
    if (sqlite3_bind_text(stmt_, index, data, static_cast<int>(text.size()), SQLITE_TRANSIENT) != SQLITE_OK)
        fail(db_, "Parameter nicht bindbar", sqlite3_extended_errcode(db_));
    return *this;
}

Statement& Statement::bindStatic(int index, std::string_view text) {
    // An empty view may have no data pointer; SQLite would take that for NULL.
    const char* data = text.data() != nullptr ? text.data() : "";
    if (sqlite3_bind_text(stmt_, index, data, static_cast<int>(text.size()), SQLITE_STATIC) != SQLITE_OK)
        fail(db_, "Parameter nicht bindbar", sqlite3_extended_errcode(db_));
    return *this;
}

Statement& Statement::bind(int index, long long value) {
    if (sqlite3_bind_int64(stmt_, index, value) != SQLITE_OK)
        fail(db_, "Parameter nicht bindbar", sqlite3_extended_errcode(db_));
    return *this;
}

Statement& Statement::bind(int index, double value) {
    if (sqlite3_bind_double(stmt_, index, value) != SQLITE_OK)
        fail(db_, "Parameter nicht bindbar", sqlite3_extended_errcode(db_));
    return *this;
}

Statement& Statement::bindNull(int index) {
    if (sqlite3_bind_null(stmt_, index) != SQLITE_OK)
        fail(db_, "Parameter nicht bindbar", sqlite3_extended_errcode(db_));
    return *this;
}

Statement& Statement::bindOptional(int index, const std::string* text) {
    return text ? bind(index, std::string_view(*text)) : bindNull(index);
}

StepResult Statement::step() {
    // A statement outside a transaction that has not begun yet starts a read of its own.
    if (opened_ && !sqlite3_stmt_busy(stmt_) && sqlite3_get_autocommit(db_) != 0 &&
        IdentityOf(opened_->path) != opened_->identity)
        throw DatabaseReplaced(opened_->path);
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return StepResult::Row;
    if (rc == SQLITE_DONE) return StepResult::Done;
    int extended = sqlite3_extended_errcode(db_);
    sqlite3_reset(stmt_);
    if (isUniqueViolation(extended)) return StepResult::DuplicateKey;
    fail(db_, "Anweisung fehlgeschlagen", extended);
}

void Statement::run() {
    StepResult result = step();
    reset();
    if (result == StepResult::DuplicateKey)
        throw StoreError("Der Schlüssel ist in der Datenbank " + databasePath(db_) + " bereits vorhanden.",
                         SQLITE_CONSTRAINT_PRIMARYKEY);
}

void Statement::rewind() { sqlite3_reset(stmt_); }

void Statement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

std::string Statement::text(int column) const { return std::string(textView(column)); }

std::string_view Statement::textView(int column) const {
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    if (data == nullptr) return {};
    return {data, static_cast<size_t>(sqlite3_column_bytes(stmt_, column))};
}

long long Statement::integer(int column) const { return sqlite3_column_int64(stmt_, column); }
double Statement::real(int column) const { return sqlite3_column_double(stmt_, column); }
bool Statement::isNull(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_NULL; }
int Statement::columnCount() const { return sqlite3_column_count(stmt_); }

// ---- Database ----

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return std::nullopt;
    return FileIdentity{static_cast<unsigned long long>(status.st_dev),
                        static_cast<unsigned long long>(status.st_ino)};
}

DatabaseReplaced::DatabaseReplaced(const std::string& path)
    : StoreError("Die Datenbank " + path + " wurde während der Arbeit durch eine neue ersetzt.",
                 SQLITE_BUSY) {}

Database::Database(const std::string& path, OpenMode mode) : path_(path) {
    configureEngineOnce();
    // A writer that died during its commit left a journal; a read-only connection cannot roll it
    // back and fails. A short read-write visit restores the last committed state first.
    if (mode == OpenMode::ReadOnly) RecoverJournal(path);
    // Taken before the file is opened: if the name still names this file once the write lock is
    // held, the connection holds that very file (see Transaction).
    identity_ = IdentityOf(path);
    open(mode);
    if (mode == OpenMode::Create) identity_ = IdentityOf(path);
    if (identity_) opened_ = std::make_shared<const OpenedFile>(OpenedFile{path_, *identity_});
}

bool Database::stillAtPath() const { return !identity_ || IdentityOf(path_) == identity_; }

void Database::open(OpenMode mode) {
    int flags = SQLITE_OPEN_NOMUTEX;
    switch (mode) {
        case OpenMode::ReadWrite:
            flags |= SQLITE_OPEN_READWRITE;
            break;
        case OpenMode::ReadOnly:
            flags |= SQLITE_OPEN_READONLY;
            break;
        case OpenMode::Create:
            flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
            break;
    }
    int rc = sqlite3_open_v2(path_.c_str(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        int code = db_ != nullptr ? sqlite3_extended_errcode(db_) : rc;
        std::string engineText = db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        sqlite3_close(db_);
        db_ = nullptr;
        throw StoreError(DatabaseErrorText(path_, code, engineText), code);
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, 2000);
    sqlite3_create_function(db_, "Val", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, valFunction, nullptr,
                            nullptr);
    try {
        execute("PRAGMA foreign_keys = ON");
        // An existing file that is not a database shows up here rather than at first use.
        if (mode != OpenMode::Create) scalar("SELECT count(*) FROM sqlite_master");
    } catch (...) {
        sqlite3_close(db_);
        db_ = nullptr;
        throw;
    }
}

void RecoverJournal(const std::string& path) {
    std::string journal = path + "-journal";
    if (::access(journal.c_str(), F_OK) != 0) return;
    try {
        Database visit(path, OpenMode::ReadWrite);  // reading the schema rolls a hot journal back
    } catch (const StoreError&) {
        // Not writable here, or not a database: the read-only open reports what is wrong.
    }
}

Database::~Database() { close(); }

Database::Database(Database&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)),
      path_(std::move(other.path_)),
      identity_(other.identity_),
      opened_(std::move(other.opened_)) {}

Database& Database::operator=(Database&& other) noexcept {
    if (this != &other) {
        close();
        db_ = std::exchange(other.db_, nullptr);
        path_ = std::move(other.path_);
        identity_ = other.identity_;
        opened_ = std::move(other.opened_);
    }
    return *this;
}

void Database::close() {
    if (db_ != nullptr) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

void Database::execute(std::string_view sql) {
    std::string text(sql);
    char* error = nullptr;
    int rc = sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        std::string message = error ? error : sqlite3_errstr(rc);
        sqlite3_free(error);
        int code = sqlite3_extended_errcode(db_);
        throw StoreError(DatabaseErrorText(path_, code, "Anweisung fehlgeschlagen: " + message), code);
    }
}

long long Database::scalar(std::string_view sql) {
    Statement statement = prepare(sql);
    return statement.step() == StepResult::Row ? statement.integer(0) : 0;
}

int Database::changes() const { return sqlite3_changes(db_); }

void Database::attach(const std::string& path, std::string_view alias) {
    Statement statement = prepare("ATTACH DATABASE ? AS " + QuoteIdentifier(alias));
    statement.bind(1, path);
    statement.run();
}

void Database::detach(std::string_view alias) { execute("DETACH DATABASE " + QuoteIdentifier(alias)); }

bool Database::hasTable(std::string_view table, std::string_view schema) {
    Statement statement =
        prepare("SELECT 1 FROM " + QuoteIdentifier(schema) + ".sqlite_master WHERE type='table' AND name=?");
    statement.bind(1, table);
    return statement.step() == StepResult::Row;
}

void Database::setBusyTimeout(std::chrono::milliseconds wait) {
    sqlite3_busy_timeout(db_, static_cast<int>(wait.count()));
}

void Database::setScratchMode() {
    opened_.reset();  // nobody replaces a scratch file; its statements run per line
    execute("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; PRAGMA locking_mode = EXCLUSIVE");
}

void RewriteDatabase(const std::string& source, const std::string& target, int pageSize,
                     const std::string& addedRows) {
    // ATTACH would create a missing source as an empty database.
    for (const std::string* file : {&source, &addedRows}) {
        if (file->empty()) continue;
        struct stat status {};
        if (::stat(file->c_str(), &status) != 0 || !S_ISREG(status.st_mode))
            throw StoreError(DatabaseErrorText(*file, SQLITE_CANTOPEN, "nicht vorhanden"), SQLITE_CANTOPEN);
    }
    std::remove(target.c_str());
    std::remove((target + "-journal").c_str());  // of a run that died with the same name
    Database to(target, OpenMode::Create);
    to.execute("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; PRAGMA page_size = " +
               std::to_string(pageSize));
    to.attach(source, "origin");
    if (!addedRows.empty()) to.attach(addedRows, "added");
    // The rows are read and written front to back: a few pages of cache are enough.
    to.execute("PRAGMA main.cache_size = -1024; PRAGMA origin.cache_size = -256");
    if (!addedRows.empty()) to.execute("PRAGMA added.cache_size = -256");
    std::vector<std::string> statements, tables;
    {
        Statement objects = to.prepare(
            "SELECT type, name, sql FROM origin.sqlite_schema WHERE sql IS NOT NULL"
            " AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY rowid");
        while (objects.step() == StepResult::Row) {
            statements.push_back(objects.text(2));
            if (objects.textView(0) == "table") tables.push_back(objects.text(1));
        }
    }
    // Into empty tables of the same shape SQLite copies the rows as they are, in key order.
    Transaction copy(to);
    for (const std::string& statement : statements) to.execute(statement);
    for (const std::string& table : tables) {
        const std::string name = QuoteIdentifier(table);
        std::vector<std::string> from{"origin"};
        // Of a table split between the two, the part with more rows goes into the empty table.
        if (!addedRows.empty())
            from.insert(to.scalar("SELECT count(*) FROM added." + name) >
                                to.scalar("SELECT count(*) FROM origin." + name)
                            ? from.begin()
                            : from.end(),
                        "added");
        for (const std::string& schema : from)
            to.execute("INSERT INTO main." + name + " SELECT * FROM " + schema + "." + name);
    }
    copy.commit();
    if (!addedRows.empty()) to.detach("added");
    to.detach("origin");
}

// ---- Transaction ----

Transaction::Transaction(Database& db, bool immediate) : db_(db) {
    db_.execute(immediate ? "BEGIN IMMEDIATE" : "BEGIN");
    if (immediate && !db_.stillAtPath()) {
        db_.execute("ROLLBACK");
        open_ = false;
        throw DatabaseReplaced(db_.path());
    }
}

Transaction::~Transaction() {
    if (open_) {
        try {
            db_.execute("ROLLBACK");
        } catch (...) {
        }
    }
}

void Transaction::commit() {
    db_.execute("COMMIT");
    open_ = false;
}

}  // namespace kalvora

#pragma once
// A thin RAII layer over SQLite: every value is bound, never spliced into SQL text; a unique-key
// violation is a result of its own, every other engine failure a StoreError.

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "store/store_error.h"

struct sqlite3;
struct sqlite3_stmt;

namespace kalvora {

enum class StepResult { Row, Done, DuplicateKey };

// A file as the system knows it, whatever its name: device and inode number.
struct FileIdentity {
    unsigned long long device = 0;
    unsigned long long inode = 0;
    bool operator==(const FileIdentity& other) const {
        return device == other.device && inode == other.inode;
    }
    bool operator!=(const FileIdentity& other) const { return !(*this == other); }
};
// The file that `path` names now; none when there is no such file.
std::optional<FileIdentity> IdentityOf(const std::string& path);

// The file was replaced under its name after the connection opened it (an import stored the
// department anew): writing the old file would be lost and could leave its journal beside the new one.
class DatabaseReplaced : public StoreError {
public:
    explicit DatabaseReplaced(const std::string& path);
};

// The file a connection opened, for statements to check before they start reading: a connection
// still holding a file that was replaced under its name must not look at the journal beside the
// new file (the engine would take it for its own and roll it back).
struct OpenedFile {
    std::string path;
    FileIdentity identity;
};

class Statement {
public:
    Statement() = default;
    Statement(sqlite3* db, std::string_view sql, std::shared_ptr<const OpenedFile> opened = nullptr);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Parameters count from 1.
    Statement& bind(int index, std::string_view text);
    // Binds text without copying it: the caller keeps it alive and unchanged until the statement
    // has been stepped and reset. For rows bound per line of a large file.
    Statement& bindStatic(int index, std::string_view text);
    Statement& bind(int index, long long value);
    Statement& bind(int index, int value) { return bind(index, static_cast<long long>(value)); }
    Statement& bind(int index, double value);
    Statement& bindNull(int index);
    // Binds the text or NULL when absent.
    Statement& bindOptional(int index, const std::string* text);

    StepResult step();
    // Runs a statement that returns no rows; throws on a duplicate key too.
    void run();
    void reset();
    // Resets for the next step without clearing the bindings, for statements that bind every
    // parameter anew each time.
    void rewind();

    // Columns count from 0.
    std::string text(int column) const;
    std::string_view textView(int column) const;
    long long integer(int column) const;
    double real(int column) const;
    bool isNull(int column) const;
    int columnCount() const;

private:
    sqlite3* db_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
    std::shared_ptr<const OpenedFile> opened_;  // checked before a statement starts a read
};

enum class OpenMode { ReadWrite, ReadOnly, Create };

class Database {
public:
    Database() = default;
    // Opens an existing file (ReadWrite/ReadOnly fail when it is missing) or creates one.
    explicit Database(const std::string& path, OpenMode mode = OpenMode::ReadWrite);
    ~Database();
    Database(Database&& other) noexcept;
    Database& operator=(Database&& other) noexcept;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    bool isOpen() const { return db_ != nullptr; }
    // Whether the path still names the file this connection opened.
    bool stillAtPath() const;
    const std::string& path() const { return path_; }
    void close();

    void execute(std::string_view sql);  // one or more statements without parameters
    Statement prepare(std::string_view sql) const { return Statement(db_, sql, opened_); }
    // First column of the first row as an integer (0 when there is no row).
    long long scalar(std::string_view sql);
    int changes() const;

    // ATTACH DATABASE ? AS alias, with the path bound; the alias is one of our own names.
    void attach(const std::string& path, std::string_view alias);
    void detach(std::string_view alias);

    bool hasTable(std::string_view table, std::string_view schema = "main");

    // How long a statement waits for another connection's lock before it fails (2 s when opened).
    void setBusyTimeout(std::chrono::milliseconds wait);

    // Scratch files: no journal, no syncing until the caller syncs the file itself.
    void setScratchMode();

    sqlite3* handle() const { return db_; }

private:
    void open(OpenMode mode);
    sqlite3* db_ = nullptr;
    std::string path_;
    std::optional<FileIdentity> identity_;      // of the file when it was opened
    std::shared_ptr<const OpenedFile> opened_;  // for the statements; none for scratch files
};

// Runs a read of a database file again, up to three times, when an import replaced the file
// between its opening and its first statement (DatabaseReplaced): the read then sees the new file.
template <typename Read>
auto ReadCurrentFile(Read read) -> decltype(read()) {
    for (int attempt = 1;; ++attempt) {
        try {
            return read();
        } catch (const DatabaseReplaced&) {
            if (attempt == 3) throw;
        }
    }
}

// Writes the committed content of `source` into a new file `target` (replaced if present) through
// the engine, consistent even while another connection writes the source: the same tables, indexes
// and triggers (from the source's own statements), every table's rows copied in key order, so that
// the pages, of `pageSize` bytes, are full. The target is not synced; on failure it may be left half
// written for the caller to remove. Throws StoreError.
//
// With `addedRows`, a database of the same tables, its rows are part of the new file too; of a table
// split between the two, the part with more rows is copied first, into the empty table.
void RewriteDatabase(const std::string& source, const std::string& target, int pageSize,
                     const std::string& addedRows = {});

// Rolls back what a writer that died during its commit left in the journal beside `path`, when
// there is such a journal and the file may be written here.
void RecoverJournal(const std::string& path);

// BEGIN ... COMMIT as a scope guard that rolls back unless committed. An immediate transaction
// holds the write lock from its start and throws DatabaseReplaced when the file it would write is
// no longer the one at the connection's path.
class Transaction {
public:
    explicit Transaction(Database& db, bool immediate = false);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Database& db_;
    bool open_ = true;
};

// Quotes an identifier (table or field name) of our own schema for SQL text: "a ""b""".
std::string QuoteIdentifier(std::string_view name);

// The engine's numeric value of a text, registered as the SQL function Val().
double SqlVal(std::string_view text);

}  // namespace kalvora

#include "support/table_digest.h"

#include <cstdint>

#include "store/database.h"

namespace kalvora::test {

namespace {

std::uint64_t Mix(std::uint64_t hash, std::string_view bytes) {
    for (unsigned char byte : bytes) hash = (hash ^ byte) * 1099511628211ull;
    return hash;
}

}  // namespace

std::string TableDigest(Database& db, std::string_view table) {
    std::string name = QuoteIdentifier(table);
    int columns = db.prepare("SELECT * FROM " + name).columnCount();
    std::string order;
    for (int i = 1; i <= columns; ++i) order += (i > 1 ? ", " : "") + std::to_string(i);
    Statement rows = db.prepare("SELECT * FROM " + name + " ORDER BY " + order);
    std::uint64_t hash = 14695981039346656037ull;
    long long count = 0;
    while (rows.step() == StepResult::Row) {
        ++count;
        for (int i = 0; i < columns; ++i) {
            hash = Mix(hash, rows.isNull(i) ? std::string_view("\x1e") : rows.textView(i));
            hash = Mix(hash, "\x1f");
        }
        hash = Mix(hash, "\n");
    }
    return std::string(table) + ": " + std::to_string(count) + " rows, " + std::to_string(hash) + "\n";
}

}  // namespace kalvora::test

#pragma once
// A short fingerprint of a table's whole content, to compare stored states of a database.

#include <string>
#include <string_view>

namespace kalvora {
class Database;
}

namespace kalvora::test {

// "TABLE: N rows, HASH" with a line feed: every row in the order of all its columns.
std::string TableDigest(Database& db, std::string_view table);

}  // namespace kalvora::test

#pragma once
// Reads a delivery file line by line as bytes: lines end in CR LF or LF, the last line may have no
// line end. Only the current line is held in memory.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "base/result.h"

namespace kalvora {

class LineReader {
public:
    LineReader() = default;
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // Opens a regular file; fails with a German message naming the file otherwise.
    Outcome open(const std::string& path);
    // The next line without its line end; false at the end of the file. Throws std::runtime_error
    // when reading fails.
    bool next(std::string_view& line);
    std::uint64_t bytesRead() const { return consumed_; }
    std::uint64_t size() const { return size_; }

private:
    bool fill();
    std::FILE* file_ = nullptr;
    std::string path_;
    std::string buffer_;
    size_t begin_ = 0;
    size_t end_ = 0;
    std::string long_;  // a line longer than the buffer
    std::uint64_t consumed_ = 0;
    std::uint64_t size_ = 0;
    bool eof_ = false;
};

}  // namespace kalvora

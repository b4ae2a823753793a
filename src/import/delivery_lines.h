#pragma once
// The lines of a delivery file read again by their place, after the file was read through once.
// Each line is read on its own: the lines wanted come from all over the file, so reading it whole or
// mapping it would take memory that grows with the file.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kalvora {

// The message when a delivery's lines are not what they were when it was first read.
std::string FileChangedDuringImport(const std::string& path);

class DeliveryLines {
public:
    DeliveryLines() = default;
    ~DeliveryLines();
    DeliveryLines(const DeliveryLines&) = delete;
    DeliveryLines& operator=(const DeliveryLines&) = delete;

    // Opens the file; throws std::runtime_error with a German message naming the file.
    void open(const std::string& path);
    void close();

    // The line starting at `offset`, without its line end (LF or CR LF; the last line may have none),
    // in place of the content of `line`. Throws std::runtime_error when it cannot be read, or when the
    // offset lies beyond the end of the file.
    void readLine(std::uint64_t offset, std::string& line);
    // The lines starting at `offsets` (in any order), each in place of `lines[i]` for `offsets[i]`:
    // lines close to each other in the file are read together.
    void readLines(const std::vector<std::uint64_t>& offsets, std::vector<std::string>& lines);

private:
    std::string path_;
    int descriptor_ = -1;
};

}  // namespace kalvora

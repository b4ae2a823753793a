#pragma once
// Collects generated lines in one fixed buffer and hands it to the stream in large blocks, so
// that writing a file costs one stream call per block instead of one per line.

#include <cstddef>
#include <ostream>
#include <string_view>
#include <vector>

namespace kalvora::tools {

class LineSink {
public:
    LineSink(std::ostream& out, std::string_view lineEnd);
    ~LineSink();
    LineSink(const LineSink&) = delete;
    LineSink& operator=(const LineSink&) = delete;

    // Appends one line and the line end.
    void write(std::string_view line);

    // Hands everything collected to the stream; false when the stream has failed.
    bool flush();

private:
    std::ostream& out_;
    std::string_view lineEnd_;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
};

}  // namespace kalvora::tools

#include "line_sink.h"

#include <cstring>

namespace kalvora::tools {

namespace {
constexpr std::size_t kBlockSize = 1 << 16;
}

LineSink::LineSink(std::ostream& out, std::string_view lineEnd)
    : out_(out), lineEnd_(lineEnd), buffer_(kBlockSize) {}

LineSink::~LineSink() { flush(); }

void LineSink::write(std::string_view line) {
    const std::size_t needed = line.size() + lineEnd_.size();
    if (used_ + needed > buffer_.size()) {
        flush();
        if (needed > buffer_.size()) buffer_.resize(needed);
    }
    std::memcpy(buffer_.data() + used_, line.data(), line.size());
    std::memcpy(buffer_.data() + used_ + line.size(), lineEnd_.data(), lineEnd_.size());
    used_ += needed;
}

bool LineSink::flush() {
    if (used_ > 0) {
        out_.write(buffer_.data(), static_cast<std::streamsize>(used_));
        used_ = 0;
    }
    return static_cast<bool>(out_);
}

}  // namespace kalvora::tools

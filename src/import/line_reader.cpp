#include "import/line_reader.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "store/store_error_text.h"

namespace kalvora {

namespace {
constexpr size_t kBufferSize = 1 << 20;
}

LineReader::~LineReader() {
    if (file_ != nullptr) std::fclose(file_);
}

Outcome LineReader::open(const std::string& path) {
    path_ = path;
    std::error_code code;
    auto status = std::filesystem::status(path, code);
    if (code || !std::filesystem::exists(status))
        return Failure{"Die Datei " + path + " ist nicht vorhanden."};
    if (!std::filesystem::is_regular_file(status)) return Failure{path + " ist keine Datei."};
    file_ = std::fopen(path.c_str(), "rb");
    if (file_ == nullptr) return Failure{FileErrorText(path, errno, false)};
    size_ = std::filesystem::file_size(path, code);
    buffer_.resize(kBufferSize);
    return Done{};
}

bool LineReader::fill() {
    if (eof_) return false;
    if (begin_ > 0 && begin_ < end_) std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
    size_t got = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
    if (got == 0) {
        if (std::ferror(file_))
            throw std::runtime_error("Die Datei " + path_ + " kann nicht gelesen werden.");
        eof_ = true;
        return false;
    }
    end_ += got;
    return true;
}

bool LineReader::next(std::string_view& line) {
    long_.clear();
    bool usingLong = false;
    for (;;) {
        const char* start = buffer_.data() + begin_;
        const void* found = begin_ < end_ ? std::memchr(start, '\n', end_ - begin_) : nullptr;
        if (found != nullptr) {
            size_t length = static_cast<const char*>(found) - start;
            consumed_ += length + 1;
            std::string_view piece(start, length);
            begin_ += length + 1;
            if (usingLong) {
                long_.append(piece);
                piece = long_;
            }
            if (!piece.empty() && piece.back() == '\r') piece.remove_suffix(1);
            line = piece;
            return true;
        }
        // No line end in the buffer: keep what is there and read on.
        if (end_ - begin_ == buffer_.size() || (usingLong && begin_ < end_)) {
            long_.append(start, end_ - begin_);
            consumed_ += end_ - begin_;
            begin_ = end_ = 0;
            usingLong = true;
        }
        if (!fill()) {
            if (begin_ < end_) {
                long_.append(buffer_.data() + begin_, end_ - begin_);
                consumed_ += end_ - begin_;
                begin_ = end_ = 0;
                usingLong = true;
            }
            if (!usingLong) return false;
            std::string_view piece = long_;
            if (!piece.empty() && piece.back() == '\r') piece.remove_suffix(1);
            line = piece;
            eof_ = true;
            return true;
        }
    }
}

}  // namespace kalvora

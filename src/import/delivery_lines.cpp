#include "import/delivery_lines.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <numeric>
#include <stdexcept>

#include "store/store_error_text.h"

namespace kalvora {

namespace {
// Enough for a record line with its line end; a longer line is read on in steps of this size.
constexpr std::size_t kReadSize = 256;
// Lines starting within kReadSize of each other are read together, up to this many bytes at a time.
constexpr std::size_t kLargestRead = 64 * 1024;
}  // namespace

std::string FileChangedDuringImport(const std::string& path) {
    return "Die Datei " + path + " wurde während des Imports verändert.";
}

DeliveryLines::~DeliveryLines() { close(); }

void DeliveryLines::open(const std::string& path) {
    close();
    path_ = path;
    descriptor_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor_ < 0) throw std::runtime_error(FileErrorText(path, errno, false));
}

void DeliveryLines::close() {
    if (descriptor_ >= 0) ::close(descriptor_);
    descriptor_ = -1;
}

void DeliveryLines::readLine(std::uint64_t offset, std::string& line) {
    line.clear();
    for (;;) {
        const std::size_t start = line.size();
        line.resize(start + kReadSize);
        ssize_t got;
        do {
            got = pread(descriptor_, line.data() + start, kReadSize, static_cast<off_t>(offset + start));
        } while (got < 0 && errno == EINTR);
        if (got < 0) throw std::runtime_error(FileErrorText(path_, errno, false));
        line.resize(start + static_cast<std::size_t>(got));
        if (got == 0 && start == 0) throw std::runtime_error(FileChangedDuringImport(path_));
        if (const void* end = std::memchr(line.data() + start, '\n', static_cast<std::size_t>(got))) {
            line.resize(static_cast<std::size_t>(static_cast<const char*>(end) - line.data()));
            break;
        }
        if (got == 0) break;  // the last line, without a line end
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
}

void DeliveryLines::readLines(const std::vector<std::uint64_t>& offsets, std::vector<std::string>& lines) {
    lines.resize(offsets.size());
    std::vector<std::size_t> order(offsets.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return offsets[a] < offsets[b]; });
    std::string buffer;
    for (std::size_t first = 0; first < order.size();) {
        // A run of lines each starting within kReadSize of the one before.
        const std::uint64_t start = offsets[order[first]];
        std::size_t last = first;
        while (last + 1 < order.size() && offsets[order[last + 1]] - offsets[order[last]] <= kReadSize &&
               offsets[order[last + 1]] + kReadSize - start <= kLargestRead)
            ++last;
        const std::size_t wanted = static_cast<std::size_t>(offsets[order[last]] - start) + kReadSize;
        buffer.resize(wanted);
        ssize_t got;
        do {
            got = pread(descriptor_, buffer.data(), wanted, static_cast<off_t>(start));
        } while (got < 0 && errno == EINTR);
        if (got < 0) throw std::runtime_error(FileErrorText(path_, errno, false));
        const std::string_view read(buffer.data(), static_cast<std::size_t>(got));
        for (std::size_t at = first; at <= last; ++at) {
            const std::size_t index = order[at];
            const auto from = static_cast<std::size_t>(offsets[index] - start);
            const std::size_t end = from < read.size() ? read.find('\n', from) : std::string_view::npos;
            if (end == std::string_view::npos) {
                // Longer than what was read, the last line of the file, or beyond its end.
                readLine(offsets[index], lines[index]);
                continue;
            }
            std::string& line = lines[index];
            line.assign(read.substr(from, end - from));
            if (!line.empty() && line.back() == '\r') line.pop_back();
        }
        first = last + 1;
    }
}

}  // namespace kalvora

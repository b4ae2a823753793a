#include "import/delivery_lines.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "store/store_error_text.h"

namespace kalvora {

namespace {
// Enough for a record line with its line end; a longer line is read on in steps of this size.
constexpr std::size_t kReadSize = 256;
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

}  // namespace kalvora

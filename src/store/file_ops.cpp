#include "store/file_ops.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "store/database.h"
#include "store/store_error_text.h"

namespace kalvora {

bool SyncFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return false;
    bool ok = ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    errno = error;  // for the caller's message
    return ok;
}

void ReplaceFileAtomically(const std::string& source, const std::string& target) {
    if (std::rename(source.c_str(), target.c_str()) != 0) {
        const int error = errno;
        throw StoreError("Die Datei " + source + " kann nicht nach " + target +
                         " verschoben werden: " + SystemErrorText(error) + ".");
    }
    auto directory = std::filesystem::path(target).parent_path();
    if (directory.empty()) directory = ".";
    int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

std::string PendingFileName(const std::string& target) { return target + ".new"; }

bool FileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

bool RemoveFileIfPresent(const std::string& path) {
    std::error_code error;
    std::filesystem::remove(path, error);
    return !error;
}

}  // namespace kalvora

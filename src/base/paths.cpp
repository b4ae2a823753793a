#include "base/paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace kalvora {

namespace fs = std::filesystem;

std::string ExecutableDirectory() {
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    if (error) return fs::current_path(error).string();
    return executable.parent_path().string();
}

std::string CommonSettingsDirectory() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome != nullptr && *configHome != '\0') return JoinPath(configHome, "kalvora");
    std::string home;
    if (const char* homeVariable = std::getenv("HOME"); homeVariable != nullptr && *homeVariable != '\0') {
        home = homeVariable;
    } else if (const passwd* user = getpwuid(getuid()); user != nullptr && user->pw_dir != nullptr) {
        home = user->pw_dir;
    }
    return JoinPath(JoinPath(home, ".config"), "kalvora");
}

std::string SharedDataDirectoryFor(std::string_view executableDirectory) {
    // Never a path fixed at build time: an installed or copied program finds its data from where it
    // runs.
    fs::path above = fs::path(executableDirectory).parent_path();
    for (int level = 0; level < 2 && !above.empty(); ++level) {
        const fs::path candidate = above / "share" / "kalvora";
        std::error_code error;
        if (fs::is_directory(candidate, error)) return candidate.lexically_normal().string();
        if (above == above.parent_path()) break;
        above = above.parent_path();
    }
    return {};
}

std::string SharedDataDirectory() { return SharedDataDirectoryFor(ExecutableDirectory()); }

bool IsPathSeparator(char c) { return c == '/' || c == '\\'; }

std::string WithoutOneTrailingSeparator(std::string path) {
    if (!path.empty() && IsPathSeparator(path.back())) path.pop_back();
    return path;
}

std::string WithoutTrailingSeparators(std::string path) {
    while (path.size() > 1 && IsPathSeparator(path.back())) path.pop_back();
    return path;
}

std::string JoinPath(std::string_view directory, std::string_view name) {
    std::string path(directory);
    path += '/';
    path += name;
    return path;
}

}  // namespace kalvora

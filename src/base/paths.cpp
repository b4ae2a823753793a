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

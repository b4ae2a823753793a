#pragma once
// Where the program and its settings live, and paths joined with the separator.

#include <string>
#include <string_view>

namespace kalvora {

// The directory of the running executable, the user's configuration directory for Kalvora.
std::string ExecutableDirectory();
std::string CommonSettingsDirectory();

// Settings files written on Windows use `\`; both it and `/` count as a separator at a path's end.
bool IsPathSeparator(char c);
// The path without one separator at its end.
std::string WithoutOneTrailingSeparator(std::string path);
// The path without the separators at its end, except a root "/" alone.
std::string WithoutTrailingSeparators(std::string path);

// Path joining with the platform separator.
std::string JoinPath(std::string_view directory, std::string_view name);

}  // namespace kalvora

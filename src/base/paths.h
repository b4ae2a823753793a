#pragma once
// Where the program and its settings live, and paths joined with the separator.

#include <string>
#include <string_view>

namespace kalvora {

// The directory of the running executable, the user's configuration directory for Kalvora.
std::string ExecutableDirectory();
std::string CommonSettingsDirectory();

// The data shipped with the program (the reference lists, the demo deliveries): share/kalvora of the
// installation the executable in `executableDirectory` belongs to (bin/../share/kalvora). In the
// build tree the executables lie one or two folders below the build's own copy in share/kalvora,
// so that is looked up too. Empty when neither exists.
std::string SharedDataDirectoryFor(std::string_view executableDirectory);
// The same for the running executable.
std::string SharedDataDirectory();

// Settings files written on Windows use `\`; both it and `/` count as a separator at a path's end.
bool IsPathSeparator(char c);
// The path without one separator at its end.
std::string WithoutOneTrailingSeparator(std::string path);
// The path without the separators at its end, except a root "/" alone.
std::string WithoutTrailingSeparators(std::string path);

// Path joining with the platform separator.
std::string JoinPath(std::string_view directory, std::string_view name);

}  // namespace kalvora

#pragma once
// Where the program and its settings live, and paths joined with the separator.

#include <string>
#include <string_view>

namespace kalvora {

// The directory of the running executable, the user's configuration directory for Kalvora.
std::string ExecutableDirectory();
std::string CommonSettingsDirectory();

// Path joining with the platform separator.
std::string JoinPath(std::string_view directory, std::string_view name);

}  // namespace kalvora

#pragma once
// Runs kalvora-cli in-process with captured output, or the built binary through the shell.

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_app.h"

namespace kalvora::test {

struct CliRun {
    int exitCode = 0;
    std::string out;
    std::string err;
};

inline CliRun RunCliInProcess(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "kalvora-cli");
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    std::ostringstream out;
    std::ostringstream err;
    CliRun run;
    run.exitCode = cli::RunCli(static_cast<int>(argv.size()), argv.data(), out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

// The built binary with the arguments (each quoted for the shell); stdout and the exit code, and
// stderr when a file is named to take it.
inline CliRun RunCliBinary(const std::string& binary, const std::vector<std::string>& arguments,
                           const std::string& errorFile = "/dev/null") {
    std::string command = "'" + binary + "'";
    for (const std::string& argument : arguments) command += " '" + argument + "'";
    command += " 2>'" + errorFile + "'";
    CliRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return {-1, "", ""};
    std::array<char, 4096> buffer{};
    std::size_t read = 0;
    while ((read = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.out.append(buffer.data(), read);
    int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (errorFile != "/dev/null") {
        std::ifstream errors(errorFile, std::ios::binary);
        run.err.assign(std::istreambuf_iterator<char>(errors), std::istreambuf_iterator<char>());
    }
    return run;
}

}  // namespace kalvora::test

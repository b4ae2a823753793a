#pragma once
// kalvora-cli: global options, then one command. Commands write to injectable streams so tests
// run them in-process.

#include <ostream>

namespace kalvora::cli {

int RunCli(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace kalvora::cli

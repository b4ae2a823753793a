#include <iostream>

#include "cli/cli_app.h"

int main(int argc, char** argv) { return kalvora::cli::RunCli(argc, argv, std::cout, std::cerr); }

#!/usr/bin/env bash
# Builds Kalvora and runs all tests: the tree is checked for clang-format, built with warnings as
# errors and tested (the manual pages against the help and the bash completion among them); the
# Debian package is built and checked (scripts/check-package.sh); then everything (core, command
# line and windows) is built and tested again under AddressSanitizer and UndefinedBehaviorSanitizer,
# and the import fuzz target runs for a few seconds. The three build trees are the presets of
# CMakePresets.json.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh test
jobs=$(nproc)

# The sources keep the house format (.clang-format); a file that differs fails the run.
find src tests tools bench \( -name "*.cpp" -o -name "*.h" \) -print0 | xargs -0 clang-format --dry-run --Werror

cmake --preset default -DKALVORA_WERROR=ON
cmake --build --preset default -j "$jobs"
ctest --preset default -j "$jobs"

# The Debian package, as scripts/package.sh builds it: its content, the validators of the desktop
# entry and the metadata, and the unpacked programs on their own.
package=$(KALVORA_JOBS="$jobs" scripts/package.sh | tail -n 1)
scripts/check-package.sh "$package"

cmake --preset sanitizers -DKALVORA_WERROR=ON
cmake --build --preset sanitizers -j "$jobs"
ctest --preset sanitizers -j "$jobs"

# The whole tree is instrumented, so that the fuzzer sees and checks the core's code.
cmake --preset fuzz
cmake --build --preset fuzz -j "$jobs"
ctest --preset fuzz

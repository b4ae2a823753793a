#!/usr/bin/env bash
# Builds Kalvora and runs all tests; the core tests run a second time under AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh test
jobs=$(nproc)

# The tests are switched on explicitly: scripts/run-demo.sh may have configured build/ without them.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKALVORA_BUILD_TESTS=ON
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKALVORA_SANITIZE=ON -DKALVORA_BUILD_GUI=OFF
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"

# The import fuzz target (clang, libFuzzer) runs for a few seconds on its seed corpus. The whole tree
# is instrumented so that the fuzzer sees and checks the core's code.
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKALVORA_FUZZ=ON \
  -DKALVORA_BUILD_GUI=OFF \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"
cmake --build build-fuzz --target import_fuzz -j "$jobs"
ctest --test-dir build-fuzz -R '^import_fuzz$' --output-on-failure

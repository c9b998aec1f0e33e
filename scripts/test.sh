#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the normal build (warnings as errors), the
# same tests under AddressSanitizer and UndefinedBehaviorSanitizer, and each fuzz target for a capped time.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

jobs=$(nproc)
run_tests() {
    ctest --test-dir "$1" --output-on-failure -j "$jobs" "${@:2}"
}

echo "== Build and test"
scripts/build.sh build -DGAMES_WERROR=ON
run_tests build

echo "== Sanitizers (ASan, UBSan)"
scripts/build.sh build-sanitize -DGAMES_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
run_tests build-sanitize

echo "== Fuzzing"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G "Unix Makefiles" -DGAMES_FUZZ=ON >/dev/null
cmake --build build-fuzz -j "$jobs" --target fuzzers -- --no-print-directory
run_tests build-fuzz -L fuzz -j 1

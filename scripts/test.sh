#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the normal build (warnings as errors), the
# same tests under AddressSanitizer and UndefinedBehaviorSanitizer, and each fuzz target for a capped time.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

# Each build folder is configured, built and tested through its preset in CMakePresets.json.
echo "== Build and test"
scripts/build.sh build
ctest --preset build -j "$(nproc)"

echo "== Sanitizers (ASan, UBSan)"
scripts/build.sh build-sanitize
ctest --preset build-sanitize -j "$(nproc)"

echo "== Fuzzing (one target at a time)"
scripts/build.sh build-fuzz
ctest --preset build-fuzz

#!/usr/bin/env bash
# Configures and builds one build folder through its preset in CMakePresets.json, named as the
# folder is (build, build-sanitize, build-fuzz): build.sh FOLDER [cmake options...].
set -euo pipefail
cd "$(dirname "$0")/.."
preset=$1
shift
cmake --preset "$preset" "$@" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)" -- --no-print-directory

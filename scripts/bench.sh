#!/usr/bin/env bash
# Installs what is missing, builds, and runs every benchmark, printing its figures: the Google
# Benchmark programs of bench/ (built into build/bench/) and the measuring scripts scripts/bench_*.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh build
export SDL_VIDEODRIVER=${SDL_VIDEODRIVER:-offscreen} SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
for program in build/bench/*; do
    [[ -f "$program" && -x "$program" ]] || continue
    echo "== $(basename "$program")"
    "$program"
done
for script in scripts/bench_*.sh; do
    [[ -e "$script" ]] || continue
    echo "== $(basename "$script" .sh)"
    "$script"
done

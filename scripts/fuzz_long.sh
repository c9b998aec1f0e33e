#!/usr/bin/env bash
# Runs every fuzz target long, from its kept corpus, and merges what it finds that reaches new code
# back into the kept corpus (not in CI: CI runs each target for a capped time). Each target's
# libFuzzer log is kept in fuzz-artifacts/.
#   scripts/fuzz_long.sh [executions] [seconds per target] [targets...]
# Needs the fuzz build: CC=clang CXX=clang++ cmake -S . -B build-fuzz -DGAMES_FUZZ=ON, target fuzzers.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-10000000}
seconds=${2:-3600}
shift $(($# < 2 ? $# : 2))
targets=("$@")
[[ ${#targets[@]} -gt 0 ]] || targets=($(ls tests/fuzz/corpus))
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p fuzz-artifacts
for name in "${targets[@]}"; do
    fuzzer=build-fuzz/tests/fuzz_$name
    [[ -x $fuzzer ]] || { echo "no $fuzzer: build the fuzzers first" >&2; exit 2; }
    log=fuzz-artifacts/fuzz_$name.log
    mkdir -p "$work/$name"
    "$fuzzer" -runs="$runs" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
        -print_final_stats=1 -artifact_prefix="$PWD/fuzz-artifacts/fuzz_$name-" \
        "$work/$name" "tests/fuzz/corpus/$name" >"$log" 2>&1 || echo "$name: the fuzzer failed, see $log"
    echo "== $name"
    grep -E '^#[0-9]+[[:space:]]+(INITED|DONE)|^Done|stat::number_of_executed_units|ERROR|SUMMARY' "$log" || true
    # Only inputs that reach new edges join the kept corpus, the fewest that cover them.
    "$fuzzer" -set_cover_merge=1 -use_counters=0 -use_cmp=0 "tests/fuzz/corpus/$name" \
        "$work/$name" 2>&1 |
        grep -E 'MERGE-OUTER: [0-9]+ new files' || true
done

#!/bin/sh
# Runs one libFuzzer program for a capped time on a scratch copy of its kept corpus. A crash fails the
# test and leaves the input in fuzz-artifacts/; copy it into the corpus folder to keep it as a test.
set -eu
fuzzer=$1
corpus=$2
seconds=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus" fuzz-artifacts
[ -d "$corpus" ] && cp -r "$corpus/." "$work/corpus/"
"$fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$PWD/fuzz-artifacts/$(basename "$fuzzer")-" "$work/corpus"

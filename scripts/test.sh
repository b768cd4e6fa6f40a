#!/usr/bin/env bash
# Sets up, builds and runs every test: the optimised build, the AddressSanitizer +
# UndefinedBehaviorSanitizer build, the ThreadSanitizer build of the threaded
# tests, and short fuzz runs of the log-file loader and the HAR reader.
# FUZZ_SECONDS sets the length of each fuzz run (default 30 for the log file, 20 for
# HAR).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

echo "== release build and tests"
cmake --preset release
cmake --build --preset release
ctest --preset release

echo "== sanitizer build and tests"
cmake --preset sanitize
cmake --build --preset sanitize
ctest --preset sanitize

echo "== ThreadSanitizer build and the threaded tests"
cmake --preset tsan
cmake --build --preset tsan
ctest --preset tsan

corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT

# Fuzzes one reader for a bounded time, starting from its seed files.
fuzz() {
  local name=$1 seconds=$2
  echo "== fuzzing the $name reader for $seconds s"
  rm -rf "${corpus:?}"/*
  cp "fuzz/corpus/$name"/* "$corpus"/
  build/sanitize/fuzz/"${name}_fuzzer" "$corpus" \
    -max_total_time="$seconds" -rss_limit_mb=1024 -malloc_limit_mb=64 \
    -print_final_stats=1 -artifact_prefix=build/sanitize/fuzz/ 2>&1 | tail -n 12
}
fuzz log_file "${FUZZ_SECONDS:-30}"
fuzz har "${FUZZ_SECONDS:-20}"

echo "== all tests passed"

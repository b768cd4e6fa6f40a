#!/usr/bin/env bash
# Sets up, builds and runs every test: the optimised build, the AddressSanitizer +
# UndefinedBehaviorSanitizer build, the ThreadSanitizer build of the threaded
# tests, and a short fuzz run of the log-file loader.
# FUZZ_SECONDS sets the length of the fuzz run (default 30).
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

echo "== fuzzing the log-file loader for ${FUZZ_SECONDS:-30} s"
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp fuzz/corpus/log_file/* "$corpus"/
build/sanitize/fuzz/log_file_fuzzer "$corpus" \
  -max_total_time="${FUZZ_SECONDS:-30}" -rss_limit_mb=1024 -malloc_limit_mb=64 \
  -print_final_stats=1 -artifact_prefix=build/sanitize/fuzz/ 2>&1 | tail -n 12

echo "== all tests passed"

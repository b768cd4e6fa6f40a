#!/usr/bin/env bash
# Sets up, builds and runs every test: the optimised build, the AddressSanitizer +
# UndefinedBehaviorSanitizer build, the ThreadSanitizer build of the threaded
# tests, and short fuzz runs of the log-file, HAR and rich-text readers.
# FUZZ_SECONDS sets the length of each fuzz run (default 20).
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

# Each fuzz target for FUZZ_SECONDS (default 20), from its seed files, memory-bounded.
fuzz() {
  local target=$1 corpus
  echo "== fuzzing ${target} for ${FUZZ_SECONDS:-20} s"
  corpus=$(mktemp -d)
  cp "fuzz/corpus/${target%_fuzzer}"/* "$corpus"/
  "build/sanitize/fuzz/${target}" "$corpus" \
    -max_total_time="${FUZZ_SECONDS:-20}" -rss_limit_mb=1024 -malloc_limit_mb=64 \
    -print_final_stats=1 -artifact_prefix=build/sanitize/fuzz/ 2>&1 | tail -n 12
  rm -rf "$corpus"
}
fuzz log_file_fuzzer
fuzz rtf_runs_fuzzer
fuzz har_fuzzer
fuzz devtools_message_fuzzer

echo "== all tests passed"

#!/usr/bin/env bash
# Sets up, builds and runs every test: the optimised build, the AddressSanitizer +
# UndefinedBehaviorSanitizer build, the ThreadSanitizer build of the threaded
# tests, short fuzz runs of the log-file, HAR and rich-text readers, and the Windows
# library cross-compiled with mingw-w64 with its tests under Wine.
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
fuzz chromium_cache_fuzzer
fuzz body_fuzzer
fuzz json_reader_fuzzer

# The Windows tests make their Wine prefix in build/windows once (WINEDEBUG=-all, null
# graphics driver) and run there; see tests/win/CMakeLists.txt.
if command -v x86_64-w64-mingw32-g++-posix >/dev/null && command -v wine >/dev/null &&
  command -v widl-stable >/dev/null; then
  echo "== Windows library (mingw-w64 build, tests under Wine)"
  cmake --preset windows
  cmake --build --preset windows
  timeout 900 ctest --preset windows
  echo "== a session saved by the Windows library under Wine, read by the Linux command"
  tests/win/compare_host_session.sh build/release/src/main/tracewell build/windows/tests/win/bin
else
  echo "== Windows library: skipped (mingw-w64 or Wine could not be installed)"
fi

echo "== all tests passed"

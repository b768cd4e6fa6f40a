#!/usr/bin/env bash
# Sets up, builds and runs Tracewell. Arguments go to the `tracewell` command and
# are taken relative to where you run this, for example: scripts/run.sh show my.elf
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

(
  cd "$root"
  scripts/setup.sh
  cmake --preset release
  cmake --build --preset release --target tracewell
) >&2
exec "$root/build/release/src/recorder/tracewell" "$@"

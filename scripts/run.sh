#!/usr/bin/env bash
# Sets up, builds and runs Tracewell. Without arguments it opens the desktop window
# when there is a display (DISPLAY or WAYLAND_DISPLAY is set), and otherwise starts
# the recorder without a window (the proxy on 127.0.0.1:8877; Ctrl+C saves the
# session). Arguments go to the `tracewell` command and are taken relative to where
# you run this, for example: scripts/run.sh show my.elf
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

(
  cd "$root"
  scripts/setup.sh
  cmake --preset release
  cmake --build --preset release --target tracewell
) >&2
if (($# == 0)) && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  set -- record
fi
exec "$root/build/release/src/main/tracewell" "$@"

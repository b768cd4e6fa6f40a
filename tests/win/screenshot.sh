#!/usr/bin/env bash
# Makes docs/windows-window.png, the README's picture of the Windows window: the test
# host loads a realistic session into the band under Wine on an Xvfb display (the
# test command's prefix uses the null driver, which draws nothing) and saves the
# band's pixels. Run by hand after `cmake --build --preset windows`:
#   tests/win/screenshot.sh [build folder, build/windows by default]
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build_dir=$(cd "${1:-$source_dir/build/windows}" && pwd)
host_dir=$build_dir/tests/win/bin
[ -x "$host_dir/iexplore.exe" ] || { echo "screenshot: no $host_dir/iexplore.exe; build the windows preset first" >&2; exit 1; }
command -v xvfb-run >/dev/null || { echo "screenshot: xvfb-run is missing; run scripts/setup.sh" >&2; exit 1; }

# A prefix of its own with Wine's X11 driver, made once.
export WINEPREFIX=$build_dir/wine-prefix-display WINEDEBUG=-all
picture=$host_dir/windows-window.png
rm -f "$picture"
xvfb-run --auto-servernum --server-args="-screen 0 1280x800x24" bash -c '
  set -euo pipefail
  [ -f "$WINEPREFIX/system.reg" ] || timeout 240 wineboot --init >/dev/null 2>&1
  TRACEWELL_SCREENSHOT=1 timeout 120 wine "$1/iexplore.exe" --gtest_filter=ScreenshotTest.*
  timeout 60 wineserver --wait' screenshot "$host_dir"
[ -s "$picture" ] || { echo "screenshot: the host saved no picture" >&2; exit 1; }
mkdir -p "$source_dir/docs"
cp "$picture" "$source_dir/docs/windows-window.png"
echo "screenshot: docs/windows-window.png ($(stat -c %s "$picture") bytes)"

#!/usr/bin/env bash
# Makes the Wine prefix that the Windows tests share (once: booting a fresh prefix is
# the slow part), with the null graphics driver so that windows need no display.
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX names the prefix to make}"
export WINEDEBUG=-all
if [ -f "$WINEPREFIX/system.reg" ] && grep -q '"Graphics"="null"' "$WINEPREFIX/user.reg"; then
  echo "wine prefix ready: $WINEPREFIX"
  exit 0
fi
mkdir -p "$WINEPREFIX"
timeout 240 wineboot --init >/dev/null 2>&1
timeout 60 wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null
timeout 60 wineserver --wait
grep -q '"Graphics"="null"' "$WINEPREFIX/user.reg"
echo "wine prefix made: $WINEPREFIX"

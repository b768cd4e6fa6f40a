#!/usr/bin/env bash
# The session the Windows test host saved under Wine, read by the Linux command: the
# rows `tracewell show` prints must be the host grid's rows, byte for byte.
# Usage: compare_host_session.sh <tracewell> <folder of the host>
# Skips, saying so, when the host has left no session (the Windows tests did not run).
set -euo pipefail
tracewell=$1
folder=$2
session=$folder/host-session.elf
rows=$folder/host-rows.txt
if [ ! -f "$session" ] || [ ! -f "$rows" ]; then
  echo "skipped: no session saved by the Windows test host in $folder"
  exit 0
fi
if diff -u "$rows" <("$tracewell" show "$session"); then
  echo "ok: tracewell show reads the session saved under Wine with the host grid's rows"
else
  echo "FAILED: tracewell show $session differs from the host grid's rows ($rows), see above"
  exit 1
fi

#!/usr/bin/env bash
# What the Windows test host saved under Wine, read by the Linux command: the rows
# `tracewell show` prints of the host's session must be the host grid's rows, and
# `tracewell export` of the session the host exported must write each export (XML,
# CSV, text, HAR) with the very bytes the host's window wrote; byte for byte.
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

exported=$folder/host-exports
if [ ! -f "$exported.elf" ]; then
  echo "FAILED: the Windows test host saved a session but exported none ($exported.elf)"
  exit 1
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failed=0
for format in xml csv txt har; do
  "$tracewell" export "$exported.elf" -o "$scratch/linux.$format" --quiet
  if cmp "$exported.$format" "$scratch/linux.$format"; then
    echo "ok: tracewell export writes the $format export the Windows window wrote, byte for byte"
  else
    echo "FAILED: tracewell export $exported.elf -o x.$format differs from $exported.$format"
    diff -u "$exported.$format" "$scratch/linux.$format" | head -n 20 || true
    failed=1
  fi
done
exit "$failed"

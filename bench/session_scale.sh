#!/usr/bin/env bash
# A session of many records through the command: reading it as HAR, showing it, and
# writing it as HAR, each timed with its peak memory (/usr/bin/time -v); the speed by
# CPU time (user and system) beside the speed by the clock is the fairer figure on a
# busy machine. The session is made here: RECORDS entries (default 1,000,000) of a
# page's static resources, with the headers a browser and nginx exchange.
#   bench/session_scale.sh [RECORDS]
# TRACEWELL=path/to/tracewell measures another build. Needs about 3 GB of disk in
# $TMPDIR and as much memory for a million records.
set -euo pipefail
cd "$(dirname "$0")/.."
records=${1:-1000000}
tracewell=${TRACEWELL:-build/release/src/main/tracewell}
[[ -x $tracewell ]] || { echo "build first: cmake --build --preset release" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$records" "$work/session.har" <<'PY'
import json, sys
count, path = int(sys.argv[1]), sys.argv[2]
with open(path, "w") as f:
    f.write('{"log":{"version":"1.2","creator":{"name":"bench","version":"1"},"entries":[\n')
    for i in range(count):
        entry = {"startedDateTime": "2026-12-01T07:09:05.003Z", "time": 12,
                 "request": {"method": "GET", "url": f"http://127.0.0.1:8080/static/item/{i}.css?v={i % 97}",
                             "httpVersion": "HTTP/1.1", "queryString": [], "cookies": [], "headersSize": -1,
                             "bodySize": 0,
                             "headers": [{"name": "Host", "value": "127.0.0.1:8080"},
                                         {"name": "User-Agent", "value": "curl/7.88.1"},
                                         {"name": "Accept", "value": "*/*"}]},
                 "response": {"status": 200, "statusText": "OK", "httpVersion": "HTTP/1.1", "cookies": [],
                              "content": {"size": 1024, "mimeType": "text/css"}, "redirectURL": "",
                              "headersSize": -1, "bodySize": 1024,
                              "headers": [{"name": "Server", "value": "nginx/1.22.1"},
                                          {"name": "Date", "value": "Tue, 01 Dec 2026 07:09:05 GMT"},
                                          {"name": "Content-Type", "value": "text/css"},
                                          {"name": "Content-Length", "value": "1024"},
                                          {"name": "Last-Modified", "value": "Tue, 01 Dec 2026 07:00:00 GMT"},
                                          {"name": "ETag", "value": "\"6750a1-400\""}]},
                 "cache": {}, "timings": {"send": 0, "wait": 11, "receive": 1}}
        f.write(("," if i else "") + json.dumps(entry) + "\n")
    f.write("]}}\n")
PY

# name, the HAR or log file whose bytes give the MB/s, command... -> one line of figures
measure() {
  local name=$1 counted=$2
  shift 2
  /usr/bin/time -v "$@" 2>"$work/time.txt" >/dev/null
  local seconds cpu peak_kb
  seconds=$(awk -F': ' '/Elapsed/ {n = split($2, t, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + t[i]; print s}' "$work/time.txt")
  cpu=$(awk -F': ' '/User time|System time/ {s += $2} END {print s}' "$work/time.txt")
  peak_kb=$(awk -F': ' '/Maximum resident/ {print $2}' "$work/time.txt")
  awk -v n="$name" -v s="$seconds" -v c="$cpu" -v kb="$peak_kb" -v bytes="$(stat -c %s "$counted")" -v r="$records" \
    -v f="$(basename "$counted")" \
    'BEGIN {printf "%-22s %7.2f s %7.1f MB/s (CPU %6.2f s, %6.1f MB/s) of %-12s %6.0f MB peak %5.2f KB/record\n",
      n, s, bytes / s / 1e6, c, bytes / c / 1e6, f, kb / 1024, kb / r}'
}

echo "$records records: HAR $(($(stat -c %s "$work/session.har") / 1000000)) MB"
measure "read HAR, write .elf" "$work/session.har" "$tracewell" export --quiet "$work/session.har" -o "$work/session.elf"
echo "log file: $(($(stat -c %s "$work/session.elf") / 1000000)) MB"
measure "show .elf" "$work/session.elf" "$tracewell" show --quiet "$work/session.elf"
measure "read .elf, write HAR" "$work/again.har" "$tracewell" export --quiet "$work/session.elf" -o "$work/again.har"
measure "read .elf, write CSV" "$work/session.elf" "$tracewell" export --quiet "$work/session.elf" -o "$work/session.csv"

#!/usr/bin/env bash
# Soak of the recorder: REQUESTS requests (default 1,000,000), each with a URL of its
# own, from 200 keep-alive connections through `tracewell record` to nginx, then
# SIGTERM. Checks that the saved session holds one record per request that nginx
# served, that no two records share a URL and that the session reads back whole;
# reports the recorder's peak memory (VmHWM) and its bytes per record. Then the same
# again with wrk in a network namespace of its own, behind a veth pair on
# 198.18.0.0/15, the recorder serving it as a remote client that may reach this
# machine's nginx (--allow-remote-clients --allow-remote-to-loopback; root and
# `ip netns` needed, else that part says it is skipped). All traffic stays on this machine;
# everything the script makes goes to a temporary folder that it removes at the end.
# A benchmark, not a test: CI does not run it.
#   bench/soak.sh [REQUESTS]
# TRACEWELL=path/to/tracewell soaks another build. Installs wrk and nginx-light from
# Debian's archive if missing. Needs a release build.
set -euo pipefail
cd "$(dirname "$0")/.."
requests=${1:-1000000}
[[ $requests =~ ^[1-9][0-9]{0,8}$ ]] || { echo "usage: bench/soak.sh [REQUESTS]" >&2; exit 2; }
connections=$((requests < 200 ? requests : 200))
threads=$((connections < 2 ? 1 : 2))
# Upper bound of one load run (wrk's -d): far above what the machine needs (about
# 20,000 requests a second through the recorder), so it only ends a run that hangs.
load_limit=$((120 + requests / 2000))
tracewell=${TRACEWELL:-build/release/src/main/tracewell}
[[ -x $tracewell ]] || { echo "build first: cmake --build --preset release --target tracewell" >&2; exit 2; }
tracewell=$(realpath "$tracewell")

for package in wrk nginx-light; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    apt-get install -y --no-install-recommends -o DPkg::Lock::Timeout=300 "$package" >/dev/null ||
    { echo "cannot install $package" >&2; exit 1; }
done

work=$(mktemp -d)
pids=()
netns=""
host_veth=""
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  if [[ -n $netns ]]; then ip netns del "$netns" 2>/dev/null || true; fi
  if [[ -n $host_veth ]]; then ip link del "$host_veth" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }
wait_port() {  # host port
  for _ in $(seq 200); do (exec 3<>"/dev/tcp/$1/$2") 2>/dev/null && return; sleep 0.05; done
  echo "$1:$2 never opened" >&2
  exit 1
}
kb() { awk -v key="$1:" '$1 == key {print $2}' "/proc/$2/status" 2>/dev/null || true; }

# Each wrk thread sends its share of the requests, each with the thread's number and
# a counter in the query string, in absolute form as a proxy's client does. A
# connection with nothing left to send stays idle (an empty request is never
# written). A thread that has all its answers stops and leaves a file in SOAK_DONE;
# wrk itself sleeps for its whole -d, so the script ends it once all threads are done.
cat >"$work/soak.lua" <<'EOF'
local total = tonumber(os.getenv("SOAK_REQUESTS"))
local threadCount = tonumber(os.getenv("SOAK_THREADS"))
local origin = os.getenv("SOAK_ORIGIN")
local doneFolder = os.getenv("SOAK_DONE")
local threads = {}

function setup(thread)
  thread:set("id", #threads)
  table.insert(threads, thread)
end

function init(args)
  share = math.floor(total / threadCount) + ((id < total % threadCount) and 1 or 0)
  sent, answered, failed = 0, 0, 0
  headers = {Host = origin}
  -- Before it starts, wrk asks the first thread for one request to see how many a
  -- string holds; that one is never sent, so it does not count.
  trial = id == 0
end

function request()
  if trial then
    trial = false
    return wrk.format("GET", "http://" .. origin .. "/f", headers)
  end
  if sent >= share then return "" end
  sent = sent + 1
  return wrk.format("GET", "http://" .. origin .. "/f?n=" .. id .. "-" .. sent, headers)
end

function response(status, headers, body)
  answered = answered + 1
  if status ~= 200 then failed = failed + 1 end
  if answered == share then
    io.open(doneFolder .. "/" .. id, "w"):close()
    wrk.thread:stop()
  end
end

function done(summary, latency, requests)
  local answers, failures = 0, 0
  for _, thread in ipairs(threads) do
    answers = answers + thread:get("answered")
    failures = failures + thread:get("failed")
  end
  io.write(string.format("answers %d not-200 %d\n", answers, failures))
end
EOF

failures=0
check() {  # what expected actual
  if [[ $2 == "$3" ]]; then
    printf '  ok    %-44s %s\n' "$1" "$3"
  else
    printf '  FAIL  %-44s %s, expected %s\n' "$1" "$3" "$2"
    failures=$((failures + 1))
  fi
}

# One soak: nginx on 127.0.0.1, the recorder on LISTEN_HOST, wrk run through CLIENT
# (a command prefix, empty on this namespace).
soak() {  # name listen-host client-prefix [record flags...]
  local name=$1 listen_host=$2 client=$3
  shift 3
  local dir="$work/$name"
  mkdir -p "$dir/www"
  printf '<p>soak</p>\n' >"$dir/www/f"
  local origin
  origin=$(free_port)
  cat >"$dir/nginx.conf" <<EOF
daemon off; master_process off; worker_processes 1; error_log $dir/nginx.log; pid $dir/nginx.pid;
events { worker_connections 1024; }
http { log_format uri '\$request_uri'; access_log $dir/access.log uri buffer=256k flush=1s;
  keepalive_requests 100000000; keepalive_timeout 300s;
  server { listen 127.0.0.1:$origin; root $dir/www; } }
EOF
  nginx -p "$dir" -c "$dir/nginx.conf" &
  local nginx_pid=$!
  pids+=("$nginx_pid")
  wait_port 127.0.0.1 "$origin"

  "$tracewell" record --listen "$listen_host:0" --quiet --loopback-only --ca-dir "$dir/ca" "$@" -o "$dir/soak.elf" \
    2>"$dir/recorder.log" &
  local recorder_pid=$!
  pids+=("$recorder_pid")
  local address=""
  for _ in $(seq 200); do
    address=$(grep -o "Recording on [0-9.]*:[0-9]*" "$dir/recorder.log" | awk '{print $3}' || true)
    [[ -n $address ]] && break
    kill -0 "$recorder_pid" 2>/dev/null || break
    sleep 0.05
  done
  [[ -n $address ]] || { echo "the recorder did not start:" >&2; cat "$dir/recorder.log" >&2; exit 1; }
  local idle_kb
  idle_kb=$(kb VmRSS "$recorder_pid")

  echo "== $name: $requests requests from $connections connections to http://$address (recorder pid $recorder_pid)"
  local started=$EPOCHREALTIME
  mkdir "$dir/done"
  # shellcheck disable=SC2086  # the client prefix is a command and its words
  $client env SOAK_REQUESTS="$requests" SOAK_THREADS="$threads" SOAK_ORIGIN="127.0.0.1:$origin" \
    SOAK_DONE="$dir/done" wrk -t"$threads" -c"$connections" -d"${load_limit}s" --timeout 10s \
    -s "$work/soak.lua" "http://$address" >"$dir/wrk.txt" 2>&1 &
  local wrk_pid=$!  # both prefixes exec wrk in the same process
  pids+=("$wrk_pid")
  while kill -0 "$wrk_pid" 2>/dev/null && (($(find "$dir/done" -type f | wc -l) < threads)); do
    sleep 0.2
  done
  kill -INT "$wrk_pid" 2>/dev/null || true  # ends its -d sleep: it joins its threads and reports
  wait "$wrk_pid" || echo "  (wrk ended with $?)"
  local load_seconds
  load_seconds=$(awk -v from="$started" -v to="$EPOCHREALTIME" 'BEGIN {printf "%.1f", to - from}')
  local answers
  answers=$(awk '$1 == "answers" {print $2}' "$dir/wrk.txt")
  awk '/Requests\/sec|Latency|not-200|errors/' "$dir/wrk.txt" | sed 's/^ */  wrk: /'

  # Stop and save; VmHWM only grows, so its last reading is the peak.
  local hwm_kb rss_kb
  rss_kb=$(kb VmRSS "$recorder_pid")
  hwm_kb=$(kb VmHWM "$recorder_pid")
  started=$SECONDS
  kill -TERM "$recorder_pid"
  while kill -0 "$recorder_pid" 2>/dev/null && ((SECONDS - started < 600)); do
    local reading
    reading=$(kb VmHWM "$recorder_pid")
    [[ -n $reading ]] && hwm_kb=$reading
    sleep 0.1
  done
  kill -0 "$recorder_pid" 2>/dev/null && { echo "the recorder did not stop in 600 s" >&2; exit 1; }
  local status=0
  wait "$recorder_pid" || status=$?
  local save_seconds=$((SECONDS - started))
  kill -QUIT "$nginx_pid"  # a graceful stop writes out the buffered access log
  wait "$nginx_pid" || true

  local saved served rows distinct not_200 elf_bytes
  saved=$(grep -o 'Saved [0-9]* records' "$dir/recorder.log" | awk '{print $2}' || true)
  served=$(wc -l <"$dir/access.log")
  local show_status=0
  "$tracewell" show "$dir/soak.elf" >"$dir/rows.txt" 2>"$dir/show.log" || show_status=$?
  rows=$(wc -l <"$dir/rows.txt")
  distinct=$({ grep -o "http://127\.0\.0\.1:$origin/f?n=[0-9]*-[0-9]*" "$dir/rows.txt" || true; } |
    sort -u | wc -l)
  not_200=$(awk -F '  ' '$6 != "200"' "$dir/rows.txt" | wc -l)
  elf_bytes=$(stat -c %s "$dir/soak.elf" 2>/dev/null || echo 0)
  pids=()  # all waited for

  echo "  load ${load_seconds} s, stop and save ${save_seconds} s"
  check "wrk answers" "$requests" "${answers:-none}"
  check "recorder exit code" 0 "$status"
  check "records saved = requests nginx served" "$served" "${saved:-none}"
  check "requests nginx served" "$requests" "$served"
  check "'show' reads the session (exit code)" 0 "$show_status"
  check "rows shown = records saved" "${saved:-none}" "$rows"
  check "distinct URLs = rows" "$rows" "$distinct"
  check "rows whose result is not 200" 0 "$not_200"
  local records=$((rows > 0 ? rows : 1))
  echo "  peak memory (VmHWM) $((hwm_kb / 1024)) MiB; resident $((idle_kb / 1024)) MiB idle, $((rss_kb / 1024)) MiB after the load"
  echo "  $(((hwm_kb - idle_kb) * 1024 / records)) bytes of peak memory per record, $((elf_bytes / records)) bytes per record in the log file ($((elf_bytes / 1048576)) MiB)"
  rm -rf "$dir"
}

soak loopback 127.0.0.1 ""

# The same with wrk as a client on another host: a namespace of its own behind a veth
# pair, the recorder listening on the host's end.
if [[ $EUID -ne 0 ]]; then
  echo "== namespace: skipped (needs root for ip netns)"
elif ip -o addr show | grep -q ' 198\.18\.0\.[12]/'; then
  echo "== namespace: skipped (198.18.0.1 or 198.18.0.2 is already in use on this machine)"
elif ! ip netns add "tw-soak-$$" 2>"$work/netns.err"; then
  echo "== namespace: skipped (ip netns does not work here: $(head -1 "$work/netns.err"))"
else
  netns="tw-soak-$$"
  host_veth="tws$$h"
  ip link add "$host_veth" type veth peer name "tws$$n"
  ip link set "tws$$n" netns "$netns"
  ip addr add 198.18.0.1/30 dev "$host_veth"
  ip link set "$host_veth" up
  ip netns exec "$netns" ip addr add 198.18.0.2/30 dev "tws$$n"
  ip netns exec "$netns" ip link set "tws$$n" up
  ip netns exec "$netns" ip link set lo up
  # A new veth end carries traffic only once its link is up.
  for _ in $(seq 250); do
    ip -o link show "$host_veth" | grep -q 'state UP' &&
      ip netns exec "$netns" ip -o link show "tws$$n" | grep -q 'state UP' && break
    sleep 0.02
  done
  soak namespace 198.18.0.1 "ip netns exec $netns" --allow-remote-clients --allow-remote-to-loopback
fi

if ((failures > 0)); then
  echo "$failures checks failed"
  exit 1
fi
echo "all checks passed"

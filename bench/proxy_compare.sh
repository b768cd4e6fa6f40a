#!/usr/bin/env bash
# Requests per second, throughput and latency of HTTP through the recorder (recording
# on) next to the same requests straight to the origin and through squid, tinyproxy
# and mitmdump, for a 1 KB and a 1 MB response. Everything runs on 127.0.0.1; the
# runs alternate (A B A B) so that a noisy machine hurts all of them alike. The CPU
# time per request of the proxy process and of the origin (user and system, from
# /proc) shows the cost of each proxy apart from how busy the machine was.
#   bench/proxy_compare.sh [SECONDS_PER_RUN] [ROUNDS]
# TRACEWELL=path/to/tracewell measures another build of the command.
# Installs wrk, squid, tinyproxy and mitmproxy from Debian's archive if missing
# (mitmdump is skipped when it cannot be installed). Needs a release build.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-5}
rounds=${2:-2}
connections=32
tracewell=${TRACEWELL:-build/release/src/recorder/tracewell}
[[ -x $tracewell ]] || { echo "build first: cmake --build --preset release" >&2; exit 2; }

for package in wrk squid tinyproxy nginx-light mitmproxy; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    apt-get install -y --no-install-recommends -o DPkg::Lock::Timeout=300 "$package" >/dev/null 2>&1 ||
    echo "(could not install $package)" >&2
done

work=$(mktemp -d)
pids=()
cleanup() { kill "${pids[@]}" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT

free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }
wait_port() { for _ in $(seq 100); do (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null && return; sleep 0.05; done; echo "port $1 never opened" >&2; exit 1; }

# The origin: nginx serving the two bodies.
clock_ticks=$(getconf CLK_TCK)
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }  # user + system time of a process

origin=$(free_port)
mkdir -p "$work/www"
head -c 1024 /dev/zero | tr '\0' x >"$work/www/1k"
head -c 1048576 /dev/zero | tr '\0' x >"$work/www/1m"
cat >"$work/nginx.conf" <<EOF
daemon off; master_process off; worker_processes 1; error_log $work/nginx.log; pid $work/nginx.pid;
events { worker_connections 1024; }
http { access_log off; keepalive_requests 1000000;
  server { listen 127.0.0.1:$origin; root $work/www; } }
EOF
nginx -p "$work" -c "$work/nginx.conf" & pids+=($!)
origin_pid=$!
wait_port "$origin"

declare -A proxies proxy_pids
recorder=$(free_port)
$tracewell record --listen "127.0.0.1:$recorder" --quiet --loopback-only -o "$work/bench.elf" 2>"$work/recorder.log" &
recorder_pid=$!
pids+=($recorder_pid)
wait_port "$recorder"
proxies[tracewell]=$recorder
proxy_pids[tracewell]=$recorder_pid
idle_rss_kb=$(awk '/VmRSS/ {print $2}' "/proc/$recorder_pid/status")

if command -v squid >/dev/null; then
  port=$(free_port)
  cat >"$work/squid.conf" <<EOF
http_port 127.0.0.1:$port
http_access allow all
cache deny all
cache_mem 8 MB
access_log none
cache_log $work/squid.log
pid_filename $work/squid.pid
coredump_dir $work
EOF
  squid -N -f "$work/squid.conf" 2>"$work/squid.err" & pids+=($!)
  wait_port "$port"
  proxies[squid]=$port
  proxy_pids[squid]=$!
fi
if command -v tinyproxy >/dev/null; then
  port=$(free_port)
  printf 'Port %s\nListen 127.0.0.1\nAllow 127.0.0.1\nMaxClients 200\nLogLevel Critical\n' "$port" >"$work/tinyproxy.conf"
  tinyproxy -d -c "$work/tinyproxy.conf" >/dev/null 2>&1 & pids+=($!)
  wait_port "$port"
  proxies[tinyproxy]=$port
  proxy_pids[tinyproxy]=$!
fi
if command -v mitmdump >/dev/null; then
  port=$(free_port)
  mitmdump --listen-host 127.0.0.1 -p "$port" -q --set confdir="$work/mitm" >/dev/null 2>&1 & pids+=($!)
  wait_port "$port"
  proxies[mitmdump]=$port
  proxy_pids[mitmdump]=$!
fi

# wrk speaks to the proxy and asks for the absolute URL, as a browser does.
cat >"$work/proxy.lua" <<EOF
wrk.path = os.getenv("TARGET_URL")
wrk.headers["Host"] = "127.0.0.1:$origin"
EOF

run() {  # name port path -> "requests/s MB/s p99 proxy-µs/request origin-µs/request"
  local name=$1 port=$2 path=$3 output
  local proxy_pid=${proxy_pids[$name]:-} proxy_before=0 origin_before
  [[ -n $proxy_pid ]] && proxy_before=$(cpu_ticks "$proxy_pid")
  origin_before=$(cpu_ticks "$origin_pid")
  if [[ $name == direct ]]; then
    output=$(wrk -t2 -c$connections -d"${seconds}s" --latency "http://127.0.0.1:$origin$path")
  else
    output=$(TARGET_URL="http://127.0.0.1:$origin$path" wrk -t2 -c$connections -d"${seconds}s" --latency \
      -s "$work/proxy.lua" "http://127.0.0.1:$port")
  fi
  local proxy_ticks=0 origin_ticks requests
  [[ -n $proxy_pid ]] && proxy_ticks=$(($(cpu_ticks "$proxy_pid") - proxy_before))
  origin_ticks=$(($(cpu_ticks "$origin_pid") - origin_before))
  requests=$(awk '/requests in/ {print $1}' <<<"$output")
  local per_request="1000000 / $clock_ticks / ($requests > 0 ? $requests : 1)"
  local rps mbps p99
  rps=$(awk '/Requests\/sec/ {print $2}' <<<"$output")
  mbps=$(awk '/Transfer\/sec/ {v=$2; if (v ~ /GB/) v*=1024; else if (v ~ /KB/) v/=1024; sub(/[A-Za-z]+/, "", v); print v}' <<<"$output")
  p99=$(awk '$1 == "99%" {print $2}' <<<"$output")
  echo "$rps $mbps $p99 $(awk "BEGIN {printf \"%.0f %.0f\", $proxy_ticks * $per_request, $origin_ticks * $per_request}")"
}

printf '%-10s %-6s %5s %12s %10s %10s %14s %15s\n' proxy body round req/s MB/s p99 proxy-us/req origin-us/req
for path in /1k /1m; do
  for round in $(seq "$rounds"); do
    for name in direct "${!proxies[@]}"; do
      read -r rps mbps p99 proxy_us origin_us < <(run "$name" "${proxies[$name]:-0}" "$path")
      printf '%-10s %-6s %5s %12s %10s %10s %14s %15s\n' "$name" "$path" "$round" "$rps" "$mbps" "$p99" \
        "$proxy_us" "$origin_us"
    done
  done
done

rss_kb=$(awk '/VmRSS/ {print $2}' "/proc/$recorder_pid/status")
kill -INT "$recorder_pid"
wait "$recorder_pid" 2>/dev/null || true
records=$(grep -o 'Saved [0-9]*' "$work/recorder.log" | grep -o '[0-9]*')
elf_bytes=$(stat -c %s "$work/bench.elf")
echo "recorder: $records records, resident ${idle_rss_kb} KB idle and ${rss_kb} KB at the end;" \
  "$(((rss_kb - idle_rss_kb) * 1024 / (records > 0 ? records : 1))) bytes resident per record," \
  "$((elf_bytes / (records > 0 ? records : 1))) bytes of text per record in the log file" \
  "($((2 * elf_bytes / (records > 0 ? records : 1))) as UTF-16 in memory)"

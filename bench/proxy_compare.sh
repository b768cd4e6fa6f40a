#!/usr/bin/env bash
# Requests per second, throughput and latency of HTTP through the recorder (recording
# on) next to the same requests straight to the origin and through the forwarding
# proxies squid and tinyproxy, for a 1 KB and a 1 MB response. Everything runs on 127.0.0.1; the
# runs alternate (A B A B) so that a noisy machine hurts all of them alike. The CPU
# time per request of the proxy process and of the origin (user and system, from
# /proc) shows the cost of each proxy apart from how busy the machine was. Each proxy's
# row gives its requests per second over direct's in the same round and the latency it
# adds at p50 and p99; the recorder runs as it starts (keeping responses) and with
# --no-store, and each recorder's resident memory per kept record ends the part.
# Then HTTPS, with tracewell_tls_load (wrk cannot tunnel through a proxy): straight to
# nginx's TLS port, and through the recorder intercepting (its own leaf toward the
# client, verified TLS to the origin), for a 1 KB response on kept-alive connections
# and with a new connection and full handshake per request.
#   bench/proxy_compare.sh [SECONDS_PER_RUN] [ROUNDS]
# TRACEWELL=path/to/tracewell measures another build of the command; HTTPS_ONLY=1
# skips the plain HTTP part. A recorder without the `ca` command is measured
# tunnelling CONNECT instead, as the row tracewell-tunnel. STORE_COMPARE=1 measures
# only the recorder's response store: the recorder keeping responses (in a fresh
# store) next to the recorder with --no-store, for the same two bodies, and the ratio
# of their requests per second. OTHER=path/to/tracewell measures only this build's
# recorder (--no-store) next to another build's, in the same way, for a before and
# after of a change.
# Installs wrk, squid and tinyproxy from Debian's archive if missing (a proxy that
# cannot be installed is skipped). Needs a release build.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-5}
rounds=${2:-2}
connections=32
tracewell=${TRACEWELL:-build/release/src/main/tracewell}
tls_load=${TLS_LOAD:-build/release/bench/tracewell_tls_load}
store_compare=${STORE_COMPARE:-0}
other=${OTHER:-}
[[ -x $tracewell && ($store_compare == 1 || -n $other || -x $tls_load) ]] ||
  { echo "build first: cmake --build --preset release" >&2; exit 2; }

packages=(wrk squid tinyproxy nginx-light)
[[ $store_compare == 1 || -n $other ]] && packages=(wrk nginx-light)
for package in "${packages[@]}"; do
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

# The origin: nginx serving the two bodies, over HTTP and over TLS with a leaf from a
# test CA.
clock_ticks=$(getconf CLK_TCK)
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }  # user + system time of a process

make_origin_certificates() {
  openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -days 2 -subj "/CN=bench origin CA" \
    -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign \
    -keyout "$work/origin-ca.key" -out "$work/origin-ca.pem" 2>/dev/null
  openssl req -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -subj "/CN=127.0.0.1" \
    -keyout "$work/origin.key" -out "$work/origin.csr" 2>/dev/null
  printf 'subjectAltName=IP:127.0.0.1\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n' >"$work/origin.ext"
  openssl x509 -req -in "$work/origin.csr" -CA "$work/origin-ca.pem" -CAkey "$work/origin-ca.key" \
    -set_serial 1 -days 2 -extfile "$work/origin.ext" -out "$work/origin.pem" 2>/dev/null
}
make_origin_certificates

origin=$(free_port)
origin_tls=$(free_port)
mkdir -p "$work/www"
head -c 1024 /dev/zero | tr '\0' x >"$work/www/1k"
head -c 1048576 /dev/zero | tr '\0' x >"$work/www/1m"
cat >"$work/nginx.conf" <<EOF
daemon off; master_process off; worker_processes 1; error_log $work/nginx.log; pid $work/nginx.pid;
events { worker_connections 1024; }
http { access_log off; keepalive_requests 1000000;
  server { listen 127.0.0.1:$origin; root $work/www; }
  server { listen 127.0.0.1:$origin_tls ssl; root $work/www;
    ssl_certificate $work/origin.pem; ssl_certificate_key $work/origin.key; } }
EOF
nginx -p "$work" -c "$work/nginx.conf" & pids+=($!)
origin_pid=$!
wait_port "$origin"
wait_port "$origin_tls"

declare -A proxies proxy_pids

run() {  # name port path -> "requests/s MB/s p50-ms p99-ms proxy-µs/request origin-µs/request"
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
  local rps mbps
  rps=$(awk '/Requests\/sec/ {print $2}' <<<"$output")
  mbps=$(awk '/Transfer\/sec/ {v=$2; if (v ~ /GB/) v*=1024; else if (v ~ /KB/) v/=1024; sub(/[A-Za-z]+/, "", v); print v}' <<<"$output")
  echo "$rps $mbps $(percentile_ms 50% "$output") $(percentile_ms 99% "$output")" \
    "$(awk "BEGIN {printf \"%.0f %.0f\", $proxy_ticks * $per_request, $origin_ticks * $per_request}")"
}

percentile_ms() {  # "50%" wrk-output -> that latency percentile in milliseconds
  awk -v p="$1" '$1 == p {v = $2; f = 1; if (v ~ /us$/) f = 0.001; else if (v ~ /ms$/) f = 1;
    else if (v ~ /m$/) f = 60000; else if (v ~ /s$/) f = 1000; sub(/[a-z]+$/, "", v); printf "%.3f", v * f}' <<<"$2"
}

declare -A plain_rps  # "name path" -> the rounds' requests per second
# One row per name, round and body size; each proxy's row also gives its requests per
# second over direct's in the same round, and the latency it adds to direct's p50 and p99.
plain_rounds() {  # name-column-width direct name... (direct first)
  local width=$1 path round name rps mbps p50 p99 proxy_us origin_us direct_rps direct_p50 direct_p99
  shift
  local row="%-${width}s %-5s %5s %10s %6s %9s %8s %8s %8s %8s %13s %14s\n"
  # shellcheck disable=SC2059  # the format is the row's
  printf "$row" proxy body round req/s /direct MB/s p50-ms p99-ms +p50-ms +p99-ms proxy-us/req origin-us/req
  for path in /1k /1m; do
    for round in $(seq "$rounds"); do
      for name in "$@"; do
        read -r rps mbps p50 p99 proxy_us origin_us < <(run "$name" "${proxies[$name]:-0}" "$path")
        [[ $name == direct ]] && direct_rps=$rps direct_p50=$p50 direct_p99=$p99
        # shellcheck disable=SC2059
        printf "$row" "$name" "$path" "$round" "$rps" "$(awk -v a="$rps" -v b="$direct_rps" 'BEGIN {printf "%.2f", (b > 0 ? a / b : 0)}')" \
          "$mbps" "$p50" "$p99" "$(awk -v a="$p50" -v b="$direct_p50" 'BEGIN {printf "%.3f", a - b}')" \
          "$(awk -v a="$p99" -v b="$direct_p99" 'BEGIN {printf "%.3f", a - b}')" "$proxy_us" "$origin_us"
        plain_rps["$name $path"]+="$rps "
      done
    done
  done
}

declare -A idle_rss_kb  # recorder name -> its resident memory before the first request

# Starts a recorder NAME as COMMAND with FLAGS (words), recording to $work/NAME.elf
# with its response store, if on, in a fresh folder.
start_recorder() {  # name command flags
  local name=$1 command=$2 flags=$3 port
  port=$(free_port)
  # shellcheck disable=SC2086  # the flags are words
  XDG_CACHE_HOME="$work/cache" $command record --listen "127.0.0.1:$port" --quiet --loopback-only \
    $flags -o "$work/$name.elf" 2>"$work/$name.log" & pids+=($!)
  proxy_pids[$name]=$!
  wait_port "$port"
  proxies[$name]=$port
  idle_rss_kb[$name]=$(awk '/VmRSS/ {print $2}' "/proc/${proxy_pids[$name]}/status")
}

# Stops recorder NAME, which saves its session, and reports its memory per kept record.
stop_recorder() {  # name
  local name=$1 pid=${proxy_pids[$1]} rss_kb records elf_bytes
  rss_kb=$(awk '/VmRSS/ {print $2}' "/proc/$pid/status")
  kill -INT "$pid"
  wait "$pid" 2>/dev/null || true
  records=$(grep -o 'Saved [0-9]*' "$work/$name.log" | grep -o '[0-9]*')
  records=${records:-0}
  elf_bytes=$(stat -c %s "$work/$name.elf")
  echo "$name: $records records, resident ${idle_rss_kb[$name]} KB idle and ${rss_kb} KB at the end;" \
    "$(((rss_kb - idle_rss_kb[$name]) * 1024 / (records > 0 ? records : 1))) bytes resident per record," \
    "$((elf_bytes / (records > 0 ? records : 1))) bytes of text per record in the log file" \
    "($((2 * elf_bytes / (records > 0 ? records : 1))) as UTF-16 in memory)"
}

# wrk speaks to a proxy and asks for the absolute URL, as a browser does.
write_proxy_script() {
  cat >"$work/proxy.lua" <<EOF
wrk.path = os.getenv("TARGET_URL")
wrk.headers["Host"] = "127.0.0.1:$origin"
EOF
}

plain_http() {
  local port
  # The recorder as it starts by default (keeping responses) and without its store.
  start_recorder tracewell "$tracewell" ""
  start_recorder tw-nostore "$tracewell" --no-store

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

  write_proxy_script
  plain_rounds 10 direct "${!proxies[@]}"
  stop_recorder tracewell
  stop_recorder tw-nostore
}

# HTTPS rows in the order measured; for each, the proxy's port and process and the CA
# the load tool verifies the server's leaf against.
tls_rows=(direct-tls)
declare -A tls_ports tls_pids tls_cacert=([direct-tls]=$work/origin-ca.pem)
tracewell_tls=tracewell

# The recorder intercepting with a CA of its own, trusting the origin's test CA; a
# build whose recorder cannot intercept yet (no --upstream-ca, or no `ca` command)
# tunnels CONNECT, and the client trusts the origin.
start_tracewell_tls() {
  local port
  port=$(free_port)
  local interception=(--ca-dir "$work/ca" --upstream-ca "$work/origin-ca.pem") trust=$work/tracewell-ca.pem
  if ! $tracewell record --help 2>&1 | grep -q -- --upstream-ca ||
    ! $tracewell ca --ca-dir "$work/ca" --export "$work/tracewell-ca.pem" >"$work/ca.log" 2>&1; then
    echo "(this recorder cannot intercept yet, so it is measured tunnelling CONNECT)" >&2
    tracewell_tls=tracewell-tunnel interception=() trust=$work/origin-ca.pem
  fi
  tls_cacert[$tracewell_tls]=$trust
  $tracewell record --listen "127.0.0.1:$port" --quiet --loopback-only "${interception[@]}" \
    -o "$work/bench-tls.elf" 2>"$work/recorder-tls.log" & pids+=($!)
  tls_pids[$tracewell_tls]=$!
  (wait_port "$port") || { cat "$work/recorder-tls.log" >&2; exit 1; }
  tls_ports[$tracewell_tls]=$port
  tls_rows+=("$tracewell_tls")
}

field() { tr ' ' '\n' <<<"$2" | sed -n "s/^$1=//p"; }  # name line -> value of name=value

run_tls() {  # name workload -> "requests/s p99-ms errors proxy-µs/request origin-µs/request"
  local name=$1 workload=$2 output
  local proxy_pid=${tls_pids[$name]:-} proxy_before=0 origin_before
  local load=(--url "https://127.0.0.1:$origin_tls/1k" --connections "$connections" --threads 2 --seconds "$seconds")
  [[ $workload == handshakes ]] && load+=(--new-connection-per-request)
  [[ -n ${tls_ports[$name]:-} ]] && load+=(--proxy "127.0.0.1:${tls_ports[$name]}")
  if [[ -n ${tls_cacert[$name]:-} ]]; then load+=(--cacert "${tls_cacert[$name]}"); else load+=(--insecure); fi
  [[ -n $proxy_pid ]] && proxy_before=$(cpu_ticks "$proxy_pid")
  origin_before=$(cpu_ticks "$origin_pid")
  output=$("$tls_load" "${load[@]}" 2>>"$work/tls_load.err") || true
  local proxy_ticks=0 origin_ticks requests
  [[ -n $proxy_pid ]] && proxy_ticks=$(($(cpu_ticks "$proxy_pid") - proxy_before))
  origin_ticks=$(($(cpu_ticks "$origin_pid") - origin_before))
  requests=$(field requests "$output")
  local per_request="1000000 / $clock_ticks / (${requests:-0} > 0 ? ${requests:-0} : 1)"
  echo "$(field rps "$output") $(field p99_ms "$output") $(field errors "$output")" \
    "$(awk "BEGIN {printf \"%.0f %.0f\", $proxy_ticks * $per_request, $origin_ticks * $per_request}")"
}

mean() { awk '{s = 0; for (i = 1; i <= NF; i++) s += $i; print NF ? s / NF : 0}' <<<"$1"; }
ratio() {  # numerator denominator -> numerator / denominator, two decimals
  awk -v a="$(mean "$1")" -v b="$(mean "$2")" 'BEGIN {if (a > 0 && b > 0) printf "%.2f", a / b; else print "n/a"}'
}
declare -A tls_rps tls_proxy_us  # "name workload" -> the rounds' values
compare() {  # values workload name other -> mean of name's values over mean of other's
  local -n values=$1
  ratio "${values[$3 $2]:-}" "${values[$4 $2]:-}"
}

https_section() {
  start_tracewell_tls
  printf '%-16s %-10s %5s %12s %10s %7s %14s %15s\n' proxy workload round req/s p99-ms errors proxy-us/req \
    origin-us/req
  for workload in keep-alive handshakes; do
    for round in $(seq "$rounds"); do
      for name in "${tls_rows[@]}"; do
        read -r rps p99 errors proxy_us origin_us < <(run_tls "$name" "$workload")
        printf '%-16s %-10s %5s %12s %10s %7s %14s %15s\n' "$name" "$workload" "$round" "${rps:--}" "${p99:--}" \
          "${errors:--}" "$proxy_us" "$origin_us"
        tls_rps["$name $workload"]+="${rps:-0} "
        tls_proxy_us["$name $workload"]+="$proxy_us "
      done
    done
  done
  [[ -s $work/tls_load.err ]] && sort "$work/tls_load.err" | uniq -c | sed 's/^/tls_load: /' >&2
  local t=$tracewell_tls
  echo "HTTPS req/s ratios: $t/direct-tls keep-alive $(compare tls_rps keep-alive "$t" direct-tls)," \
    "handshakes $(compare tls_rps handshakes "$t" direct-tls)"
  kill -INT "${tls_pids[$t]}"
  wait "${tls_pids[$t]}" 2>/dev/null || true
  echo "recorder ($t): $(grep -o 'Saved [0-9]*' "$work/recorder-tls.log" | grep -o '[0-9]*') records"
}

# Two recorders alternating on the same origin, each given as "NAME|COMMAND|FLAGS",
# and the ratio of the first's requests per second to the second's.
recorder_pair() {
  local recorder name command flags names=()
  for recorder in "$@"; do
    IFS='|' read -r name command flags <<<"$recorder"
    start_recorder "$name" "$command" "$flags"
    names+=("$name")
  done
  write_proxy_script
  plain_rounds 18 direct "${names[@]}"
  echo "req/s of ${names[0]} over ${names[1]}: 1k $(ratio "${plain_rps[${names[0]} /1k]}" \
    "${plain_rps[${names[1]} /1k]}"), 1m $(ratio "${plain_rps[${names[0]} /1m]}" "${plain_rps[${names[1]} /1m]}")"
  for name in "${names[@]}"; do stop_recorder "$name"; done
}

if [[ $store_compare == 1 ]]; then
  # The recorder with its response store on and off.
  recorder_pair "tracewell-store|$tracewell|--store-size 512" "tracewell-nostore|$tracewell|--no-store"
  echo "store: $(ls "$work/cache/tracewell/store" | wc -l) files, $(du -sk "$work/cache/tracewell/store" | cut -f1) KB"
  exit 0
fi
if [[ -n $other ]]; then
  # This build's recorder without its store next to another build's.
  recorder_pair "tracewell|$tracewell|--no-store" "other|$other|"
  exit 0
fi
[[ ${HTTPS_ONLY:-0} == 1 ]] || plain_http
https_section

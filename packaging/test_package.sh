#!/bin/sh
# Builds the Debian package from a configured build tree, installs it with dpkg into a
# folder of its own (dpkg --root, so the machine's packages stay as they are), and runs
# what it installed: the program, its manual page, its desktop entry and completion.
# usage: test_package.sh BUILD_DIR
set -eu
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "test_package: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(ls "$work"/out/tracewell_*.deb)
depends=$(dpkg-deb --field "$deb" Depends)
for library in libqt6widgets6 libqt6network6 libicu libssl3; do
  case "$depends" in *"$library"*) ;; *) fail "Depends lacks $library: $depends" ;; esac
done
[ "$(dpkg-deb --field "$deb" Recommends)" = "chromium, fonts-dejavu-core" ] || fail "Recommends: $(dpkg-deb --field "$deb" Recommends)"

root="$work/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/triggers"
touch "$root/var/lib/dpkg/status"
dpkg --root="$root" --force-depends --force-not-root --force-script-chrootless -i "$deb" >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg -i failed"; }
dpkg --root="$root" -s tracewell | grep -q "^Status: install ok installed" || fail "not installed"

program="$root/usr/bin/tracewell"
[ "$("$program" --version)" = "$(dpkg-deb --field "$deb" Version | sed 's/-.*//')" ] || fail "--version differs from the package's"
cat >"$work/one.har" <<'HAR'
{"log":{"version":"1.2","creator":{"name":"test","version":"1"},"entries":[
{"startedDateTime":"2026-12-08T10:00:00.000Z","time":12,
 "request":{"method":"GET","url":"http://127.0.0.1/a.css","httpVersion":"HTTP/1.1","headers":[],"queryString":[],"cookies":[],"headersSize":-1,"bodySize":0},
 "response":{"status":200,"statusText":"OK","httpVersion":"HTTP/1.1","headers":[{"name":"Content-Type","value":"text/css"}],"cookies":[],
  "content":{"size":10,"mimeType":"text/css"},"redirectURL":"","headersSize":-1,"bodySize":10},
 "cache":{},"timings":{"send":0,"wait":12,"receive":0}}]}}
HAR
"$program" show "$work/one.har" | grep -q "http://127.0.0.1/a.css" || fail "show of a HAR file printed no row"

desktop-file-validate "$root/usr/share/applications/tracewell.desktop" || fail "desktop entry does not validate"
[ -s "$root/usr/share/icons/hicolor/256x256/apps/tracewell.png" ] || fail "no 256 px icon"
[ -s "$root/usr/share/doc/tracewell/Tracewell.html" ] || fail "no HTML manual"
warnings=$(MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/tracewell.1.gz" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "the manual page renders with warnings: $warnings"
MANWIDTH=80 man -l "$root/usr/share/man/man1/tracewell.1.gz" 2>/dev/null | grep -q "tracewell record" || fail "the manual page lacks the record command"

# Completion after "tracewell ": the commands.
offered=$(PATH="$root/usr/bin:$PATH" bash -c '
  . "$1/usr/share/bash-completion/completions/tracewell"
  COMP_WORDS=(tracewell ""); COMP_CWORD=1; _tracewell; echo "${COMPREPLY[*]}"' sh "$root")
[ "$offered" = "record browse show export ca --help --version" ] || fail "completion after 'tracewell ': $offered"
echo "test_package: $(basename "$deb") built, installed under dpkg --root and run"

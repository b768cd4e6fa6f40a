#!/usr/bin/env bash
# Registers tracewell.dll with regsvr32 as a user would, reads back with reg exactly
# what registration wrote, and checks that unregistration takes out all of it and
# nothing else. Usage: registration_test.sh <folder with tracewell.dll> <expected folder>
set -euo pipefail
bin=$1
expected=$2
cd "$bin"
module=$(winepath -w "$bin/tracewell.dll")
folder=${module%\\tracewell.dll}

keys=(
  'HKCR\AppID\{8A61F0D2-3C47-4B8E-A5D9-6E2F1B7C4A93}'
  'HKCR\AppID\Bandkit.DLL'
  'HKCR\Bandkit.HttpApp.1'
  'HKCR\Bandkit.HttpApp'
  'HKCR\CLSID\{5D2E8C41-7A3B-4F19-9C6E-2B4A7D1E3F58}'
  'HKLM\Software\Microsoft\Internet Explorer\Extensions\{C47B2E95-6D1A-4F83-B02E-9A5C3D8E71F6}'
  'HKCR\TypeLib\{7EBF317B-C430-48C5-8984-476492210C06}'
  'HKCR\Interface\{64BE19BE-656A-45DA-8BFA-C903E5940531}'
)
bar_cache='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Discardable\PostSetup\Component Categories\{00021494-0000-0000-C000-000000000046}\Enum'
failures=0
checks=0

# What reg answered for each key that it did not show, kept for a failed comparison.
answers=$(mktemp)
trap 'rm -f "$answers"' EXIT

registry_state() {
  local key found status
  : >"$answers"
  for key in "${keys[@]}"; do
    status=0
    found=$(timeout 60 wine reg query "$key" /s 2>&1) || status=$?
    if [ "$status" -eq 0 ]; then
      printf '%s\n' "$found" | tr -d '\r'
    else
      echo "$key: missing"
      printf 'reg query %s: exit status %s: %s\n' "$key" "$status" "$found" | tr -d '\r' >>"$answers"
    fi
  done
}

# expect_state <what was done> <expected file>; @MODULE@ there is the library's path,
# @FOLDER@ its folder.
expect_state() {
  checks=$((checks + 1))
  if diff -u <(sed -e "s|@MODULE@|${module//\\/\\\\}|g" -e "s|@FOLDER@|${folder//\\/\\\\}|g" "$expected/$2") \
    <(registry_state); then
    echo "ok: $1"
  else
    echo "FAILED: $1 (registry differs from $2, see above; reg said:)"
    cat "$answers"
    failures=$((failures + 1))
  fi
}

# expect <what> <command...>: the command succeeds.
expect() {
  local what=$1
  shift
  checks=$((checks + 1))
  local status=0
  "$@" || status=$?
  if [ "$status" -eq 0 ]; then
    echo "ok: $what"
  else
    echo "FAILED: $what (exit status $status)"
    failures=$((failures + 1))
  fi
}

regsvr32() { timeout 120 wine regsvr32 /s "$@" tracewell.dll; }
reg_has() { timeout 60 wine reg query "$@" >/dev/null 2>&1; }
reg_lacks() { ! reg_has "$@"; }

regsvr32 /u >/dev/null 2>&1 || true  # a run stopped half-way may have left a registration
expect_state "nothing registered at the start" unregistered.txt

timeout 60 wine reg add "$bar_cache" /v Implementing /t REG_BINARY /d 0011 /f >/dev/null
expect "regsvr32 registers" regsvr32
expect_state "registration writes the class, ProgIDs, AppID, bar category, button and type library" registered.txt
expect "registration drops the shell's cached list of bars" reg_lacks "$bar_cache" /v Implementing
expect "registration keeps the shell's cache key itself" reg_has "$bar_cache"
expect "regsvr32 registers again over its own registration" regsvr32
expect_state "registering twice leaves one registration" registered.txt

expect "regsvr32 /u unregisters" regsvr32 /u
expect_state "unregistration takes out everything registration wrote" unregistered.txt
expect "the shared AppID key stays" reg_has 'HKCR\AppID'
expect "the browser's Extensions key stays" reg_has 'HKLM\Software\Microsoft\Internet Explorer\Extensions'

expect "DllInstall(TRUE, \"user\") registers" regsvr32 /n /i:user
expect_state "per-user installation writes the same entries" registered.txt
expect "DllInstall(FALSE, \"user\") unregisters" regsvr32 /u /n /i:user
expect_state "per-user uninstallation takes them out" unregistered.txt

expect "DllInstall(TRUE, \"USERS\") registers machine-wide" regsvr32 /n /i:USERS
expect_state "installation with another word writes the same entries" registered.txt
expect "DllInstall(FALSE, \"USERS\") unregisters" regsvr32 /u /n /i:USERS
expect_state "uninstallation with another word takes them out" unregistered.txt

echo "$((checks - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]

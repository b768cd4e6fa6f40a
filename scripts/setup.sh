#!/usr/bin/env bash
# Installs from Debian's archive whatever the build and the tests need and this
# machine lacks. Safe to run again: it installs nothing when everything is there.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev   # compilers, libFuzzer, sanitizers
  libgtest-dev libgmock-dev libbenchmark-dev       # tests and benchmarks
  libicu-dev                                       # locale-aware sorting of the grid
  libboost-dev                                     # the recording proxy (Asio, Beast)
  libssl-dev openssl                               # HTTPS interception; the tests check the CA with openssl
  curl nginx-light                                 # real client and origin in the tests
  libxml2-utils                                    # xmllint checks the XML export
  nlohmann-json3-dev                               # JSON of the HAR format
  chromium                                         # the browser of the HAR and recorder tests
  qt6-base-dev fonts-dejavu-core                  # the desktop window; text in offscreen tests
)
# node and npm run the HAR schema check and drive Chromium in the tests; Debian's
# packages unless the machine has them from elsewhere.
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  packages+=(nodejs npm)
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if ((${#missing[@]} > 0)); then
  echo "setup: installing ${missing[*]}"
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  $sudo apt-get update -o DPkg::Lock::Timeout=300
  $sudo apt-get install -y --no-install-recommends -o DPkg::Lock::Timeout=300 "${missing[@]}"
fi

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
  zlib1g-dev libbrotli-dev                         # gzip, deflate and br response bodies
  chromium                                         # the browser of the HAR and recorder tests
  qt6-base-dev fonts-dejavu-core                  # the desktop window; text in offscreen tests
  dpkg-dev fakeroot desktop-file-utils man-db groff-base  # the Debian package and its checks
)
# node and npm run the HAR schema check and drive Chromium in the tests; Debian's
# packages unless the machine has them from elsewhere.
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  packages+=(nodejs npm)
fi
# python3 runs the command under a terminal in the progress-line test.
command -v python3 >/dev/null || packages+=(python3)

# Installs those of the given packages that are missing; fails when apt-get does.
install_missing() {
  local missing=() package sudo=""
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$package")
    fi
  done
  ((${#missing[@]} > 0)) || return 0
  echo "setup: installing ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  $sudo apt-get update -o DPkg::Lock::Timeout=300
  $sudo apt-get install -y --no-install-recommends -o DPkg::Lock::Timeout=300 "${missing[@]}"
}

install_missing "${packages[@]}"

# The Windows library: the mingw-w64 cross-compiler, and Wine to run its tests (widl
# and the IDL files of the type library come with wine64-tools and libwine-dev).
# Xvfb gives Wine a display for tests/win/screenshot.sh; libz-mingw-w64-dev is zlib for
# the library's response bodies. About 175 MB, under 20 s here. Where they cannot be
# installed, the Windows tests are skipped rather than the whole setup failing.
windows_packages=(g++-mingw-w64-x86-64-posix wine wine64 wine64-tools libwine-dev xvfb libz-mingw-w64-dev)
if ! install_missing "${windows_packages[@]}"; then
  echo "setup: could not install ${windows_packages[*]}; the Windows tests will be skipped"
fi

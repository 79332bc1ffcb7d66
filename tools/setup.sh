#!/usr/bin/env bash
# Installs what building and testing the launcher need, as root on Debian:
# CMake and GoogleTest for the unit tests, clang for the fuzz target, the
# MinGW-w64 cross compilers for i686 (the shipped program) and x86_64, Wine
# and Xvfb for the end-to-end tests. Does nothing when everything is there.
#
# 32-bit Wine (wine32, and Debian's i386 architecture for it) is installed
# only where this machine can run 32-bit code, which tools/runs_32bit_code.py
# finds out by trying. Elsewhere 64-bit Wine runs the x86_64 build.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake make g++ googletest libgtest-dev clang python3
          g++-mingw-w64-i686-win32 binutils-mingw-w64-i686
          g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64
          wine wine64 fonts-wine fonts-liberation xvfb xauth x11-utils imagemagick xdotool)
runs32=no
if python3 tools/runs_32bit_code.py; then
  runs32=yes
  packages+=(wine32:i386)
fi

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q '^install ok installed$' ||
    missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup.sh: installing ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "setup.sh: these packages are missing and installing them needs root" >&2
  exit 1
fi
if [ "$runs32" = yes ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive

# Runs a command up to three times, waiting a little longer each time: a
# mirror in the middle of a sync, or a dropped connection, often passes then.
retry() {
  local attempt
  for attempt in 1 2 3; do
    "$@" && return 0
    [ "$attempt" -lt 3 ] && sleep $((attempt * 5))
  done
  return 1
}

# One index that cannot be fetched (Debian's i386 security index during a
# sync, say) must not stop the set-up: the packages may still be installable
# from what was fetched, and the install below says so if they are not.
retry apt-get update -q ||
  echo "setup.sh: apt-get update failed on some index; installing from what it fetched" >&2

install() { apt-get install -y -q --no-install-recommends "$@"; }
if ! retry install "${missing[@]}"; then
  # Name the package that cannot be installed.
  for package in "${missing[@]}"; do
    if ! install "$package" >/tmp/velmorant-setup.log 2>&1; then
      echo "setup.sh: could not install the package $package:" >&2
      grep -E '^(E:|  )' /tmp/velmorant-setup.log | head -n 5 >&2 || true
      exit 1
    fi
  done
  echo "setup.sh: the packages could not be installed together" >&2
  exit 1
fi

#!/usr/bin/env bash
# Installs what building and testing the launcher need, as root on Debian:
# CMake and GoogleTest for the unit tests, clang for the fuzz target, the
# MinGW-w64 i686 cross compiler, Wine with its 32-bit part and Xvfb for the
# end-to-end tests. Does nothing when everything is there already.
set -euo pipefail

packages=(cmake make g++ googletest libgtest-dev clang python3
          g++-mingw-w64-i686-win32 binutils-mingw-w64-i686
          wine wine32:i386 fonts-wine fonts-liberation xvfb xauth x11-utils imagemagick xdotool)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q '^install ok installed$' ||
    missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "setup.sh: these packages are missing and installing them needs root" >&2
  exit 1
fi
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}"

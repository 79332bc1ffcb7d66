#!/usr/bin/env bash
# Installs what building and testing the launcher need, as root on Debian:
# CMake and GoogleTest for the unit tests, clang for the fuzz target, the
# MinGW-w64 cross compilers for i686 (the shipped program) and x86_64, 64-bit
# Wine and Xvfb for the end-to-end tests, osslsigncode and openssl for the
# signed release and its test. Does nothing when everything is there.
#
# 32-bit Wine (wine32, and Debian's i386 architecture for it) is a bonus: it
# is tried only where this machine can run 32-bit code, which
# tools/runs_32bit_code.py finds out by trying, and only after everything
# else is installed. When it cannot be installed (an i386 index in the middle
# of a mirror sync leaves it without dependencies, say), the set-up says why
# and succeeds: the end-to-end tests then run the x86_64 build under 64-bit
# Wine. It never removes or downgrades a package to make room for it, and it
# remembers the failure for a day so that the next run does not wait for the
# index again.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake make g++ googletest libgtest-dev clang python3
          g++-mingw-w64-i686-win32 binutils-mingw-w64-i686
          g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64
          wine wine64 fonts-wine fonts-liberation xvfb xauth x11-utils imagemagick xdotool
          osslsigncode openssl unzip git)
wine32=wine32:i386
state=${VELMORANT_SETUP_STATE:-/var/tmp/velmorant-setup}
wine32_failed=$state/wine32-failed  # holds the reason, written on failure

missing_of() {
  local package
  for package in "$@"; do
    dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q '^install ok installed$' ||
      echo "$package"
  done
}

need_root() {
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup.sh: $* missing and installing needs root" >&2
    exit 1
  fi
}

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

export DEBIAN_FRONTEND=noninteractive
# --no-remove: apt-get stops rather than remove a package to satisfy another;
# downgrades are refused anyway without --allow-downgrades.
install() { apt-get install -y -q --no-install-recommends --no-remove "$@"; }

mapfile -t missing < <(missing_of "${packages[@]}")
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup.sh: installing ${missing[*]}"
  need_root "the packages ${missing[*]} are"
  # One index that cannot be fetched (Debian's i386 security index during a
  # sync, say) must not stop the set-up: the packages may still be
  # installable from what was fetched, and the install below says so if not.
  retry apt-get update -q ||
    echo "setup.sh: apt-get update failed on some index; installing from what it fetched" >&2
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
fi

# The optional part: 32-bit Wine, where 32-bit code runs, even if only
# through an emulator (for a run by hand: the suite then leaves it out).
runs32=0
python3 tools/runs_32bit_code.py || runs32=$?
[ "$runs32" -eq 1 ] && exit 0
[ -z "$(missing_of "$wine32")" ] && exit 0
say_no_wine32() {
  echo "setup.sh: 32-bit Wine could not be installed ($1); the end-to-end tests will run the x86_64 build under 64-bit Wine"
}
if [ -n "$(find "$wine32_failed" -mmin -1440 2>/dev/null)" ]; then
  say_no_wine32 "$(cat "$wine32_failed"), found less than a day ago"
  exit 0
fi
need_root "32-bit Wine is"
echo "setup.sh: installing $wine32"
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
# One try each, no retries: this part is optional, and a broken index must
# not cost minutes at every run.
log=$(mktemp)
apt-get update -q >"$log.update" 2>&1 || true
if install "$wine32" >"$log" 2>&1; then
  rm -f "$log" "$log.update" "$wine32_failed"
  exit 0
fi
# Why, in apt's words: the first error of the install, else of the update.
reason=$(cat "$log" "$log.update" | grep -m 1 -E '^E: |: Depends: ' | sed -E 's/^ +//' || true)
rm -f "$log" "$log.update"
mkdir -p "$state"
echo "${reason:-apt-get failed}" >"$wine32_failed"
say_no_wine32 "${reason:-apt-get failed}"

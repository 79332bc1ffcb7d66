#!/usr/bin/env bash
# Builds everything and runs every test: the set-up's own test, the unit tests (native, with
# AddressSanitizer and UndefinedBehaviorSanitizer), the fuzz target over the
# whole search (clang's libFuzzer, about a minute), the static checks of the
# shipped 32-bit Velmorant.exe, the signed release, and the end-to-end tests
# under Wine in each configuration that runs here (tests/e2e/winearch.py says
# which, and why any does not): where this machine's kernel runs 32-bit code,
# the shipped program in a 32-bit prefix and in a 64-bit one (WoW64);
# elsewhere the same source built for x86_64.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
# Which end-to-end configurations run here, said first: win32 (then wow64 too) or win64.
runs=$(python3 tests/e2e/winearch.py)
# The set-up's choice about 32-bit Wine, against stand-ins for apt (2 s).
tests/setup/test_setup.sh
# The probe for 32-bit code against an emulator registered with binfmt_misc.
tests/setup/test_runs_32bit_code.py
jobs=$(nproc)

cmake --preset native
cmake --build --preset native -j "$jobs"
ctest --preset native

cmake --preset fuzz
cmake --build --preset fuzz -j "$jobs"
ctest --preset fuzz

# The shipped program is always built and checked, run or not.
cmake --preset win32
cmake --build --preset win32 -j "$jobs"

# The signed release: a throwaway key, the release workflow three times on a
# copy of this checkout (about a minute).
tests/sign/test_sign.sh

# The x86_64 build: run end to end where 32-bit code cannot run, and its
# helpers serve the shipped program in a 64-bit prefix where it can.
cmake --preset win64
cmake --build --preset win64 -j "$jobs"
if [ "$runs" = win32 ]; then
  ctest --preset win32 -V
else
  ctest --preset win32-static -V
  ctest --preset win64 -V
fi

#!/usr/bin/env bash
# Builds everything and runs every test: the unit tests (native, with
# AddressSanitizer and UndefinedBehaviorSanitizer), the fuzz target over the
# whole search (clang's libFuzzer, about a minute) and the end-to-end tests of
# the real Velmorant.exe under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
jobs=$(nproc)

cmake --preset native
cmake --build --preset native -j "$jobs"
ctest --preset native

cmake --preset fuzz
cmake --build --preset fuzz -j "$jobs"
ctest --preset fuzz

cmake --preset win32
cmake --build --preset win32 -j "$jobs"
ctest --preset win32 -V

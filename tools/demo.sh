#!/usr/bin/env bash
# The demonstration: installs what is missing, builds Velmorant.exe and runs
# it under Wine on a demonstration application folder (see tools/demo.py):
# where this machine's kernel runs 32-bit code, the shipped 32-bit program on
# 64-bit Windows (WoW64), as most users run it, among the x86_64 build's
# helpers; otherwise the same source built for x86_64.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
for preset in win32 win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$(nproc)" >/dev/null
done
if [ "$(python3 tests/e2e/winearch.py)" = win32 ]; then
  python3 tools/demo.py build/win32 build/win64
else
  python3 tools/demo.py build/win64
fi

#!/usr/bin/env bash
# The demonstration: installs what is missing, builds Velmorant.exe and runs
# it under Wine on a demonstration application folder (see tools/demo.py):
# the shipped 32-bit program where 32-bit Wine runs, otherwise the same
# source built for x86_64 under 64-bit Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
arch=$(python3 tests/e2e/winearch.py)
cmake --preset "$arch" >/dev/null
cmake --build --preset "$arch" -j "$(nproc)" >/dev/null
python3 tools/demo.py "build/$arch"

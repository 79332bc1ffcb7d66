#!/usr/bin/env bash
# The benchmark: installs what is missing, builds the launcher and its floors
# and measures them under Wine (see bench/run_bench.py): the shipped 32-bit
# program where 32-bit Wine runs, otherwise the x86_64 build under 64-bit
# Wine. The shipped program is always built, for its size. Prints Markdown.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$(nproc)" >/dev/null
arch=$(python3 tests/e2e/winearch.py)
cmake --preset "$arch" >/dev/null
cmake --build --preset "$arch" -j "$(nproc)" >/dev/null
python3 bench/run_bench.py "build/$arch" --shipped build/win32/Velmorant.exe "$@"

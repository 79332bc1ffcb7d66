#!/usr/bin/env bash
# The benchmark: installs what is missing, builds the launcher and its floors
# and measures them under Wine (see bench/run_bench.py). Prints Markdown.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$(nproc)" >/dev/null
python3 bench/run_bench.py build/win32 "$@"

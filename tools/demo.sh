#!/usr/bin/env bash
# The demonstration: installs what is missing, builds Velmorant.exe and runs
# it under Wine on a demonstration application folder (see tools/demo.py).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
cmake --preset win32
cmake --build --preset win32 -j "$(nproc)"
python3 tools/demo.py build/win32

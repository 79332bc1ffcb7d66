#!/usr/bin/env python3
"""Which Windows build of the launcher can run here, found by trying.

The shipped program is the 32-bit one, and it runs end to end wherever 32-bit
Wine works. Some machines cannot run 32-bit x86 code at all (their kernel has
32-bit emulation turned off, so the 32-bit loader fails with "Exec format
error"); there the same source built for x86_64 runs under 64-bit Wine.

As a program it prints the architecture ("win32" or "win64") on standard
output and one line saying which will run, and why, on standard error.
"""
import shutil
import subprocess
import sys
from pathlib import Path

# Debian keeps the real loaders here; /usr/bin/wine is a script that picks one.
LOADER_32 = "/usr/lib/wine/wine"
LOADER_64 = "/usr/lib/wine/wine64"
SERVER_64 = "/usr/lib/wine/wineserver64"
RUNS_32BIT_CODE = Path(__file__).resolve().parents[2] / "tools" / "runs_32bit_code.py"


def _runs(command):
    """(True, version) when the command runs, else (False, why not)."""
    try:
        done = subprocess.run(command, capture_output=True, text=True, timeout=60)
    except OSError as error:  # ENOEXEC where 32-bit code cannot run
        return False, error.strerror or str(error)
    except subprocess.TimeoutExpired:
        return False, "timed out"
    if done.returncode != 0:
        return False, (done.stderr.strip() or f"exit code {done.returncode}").splitlines()[0]
    return True, done.stdout.strip()


def loader_64():
    return shutil.which("wine64") or LOADER_64


def server_64():
    return SERVER_64 if Path(SERVER_64).exists() else "wineserver"


def detect():
    """("win32" or "win64", the one line that says which runs and why)."""
    if Path(LOADER_32).exists():
        ok, said = _runs([LOADER_32, "--version"])
        if ok:
            return "win32", f"Wine: 32-bit Wine runs here ({said}): testing the shipped win32 build"
        why32 = f"the 32-bit loader does not run ({said})"
    else:
        why32 = "32-bit Wine is not installed"
        if _runs([sys.executable, str(RUNS_32BIT_CODE)])[0] is False:
            why32 += " (and this machine cannot run 32-bit code)"
    ok, said = _runs([loader_64(), "--version"])
    if ok:
        return "win64", (f"Wine: {why32}; testing the win64 build (the same source for x86_64) "
                         f"under 64-bit Wine ({said})")
    raise RuntimeError(f"no Wine runs here: {why32}; 64-bit Wine: {said}")


def main():
    try:
        arch, line = detect()
    except RuntimeError as error:
        print(f"winearch: {error}", file=sys.stderr)
        return 1
    print(line, file=sys.stderr)
    print(arch)
    return 0


if __name__ == "__main__":
    sys.exit(main())

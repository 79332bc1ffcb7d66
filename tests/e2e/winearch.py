#!/usr/bin/env python3
"""Which configurations of the end-to-end suite run here, found by trying.

- win32: the shipped 32-bit program in a 32-bit prefix, a 32-bit Windows;
- wow64: the shipped program in a 64-bit prefix, started and observed by
  x86_64 helpers: 64-bit Windows, where most users run it;
- win64: the same source built for x86_64, in a 64-bit prefix.

The first two run wherever this machine's kernel runs 32-bit code and 32-bit
Wine works. Some kernels have 32-bit emulation turned off (the 32-bit loader
fails with "Exec format error"); there only win64 runs. Where 32-bit code
runs only through an emulator registered with binfmt_misc, each 32-bit
process costs about a minute: the suite runs win64, and the other two are
for a run by hand (see the README).

As a program it prints the build that runs ("win32", in the first two
configurations, or "win64") on standard output, and one line saying which
configurations run, and why any does not, on standard error.
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


def why_no_32bit_wine():
    """None where the kernel runs 32-bit code and 32-bit Wine works, else why not."""
    probe = subprocess.run([sys.executable, str(RUNS_32BIT_CODE), "--say"], capture_output=True,
                           text=True)
    if probe.returncode == 2:
        return (f"32-bit code runs here only through an emulator ({probe.stdout.strip()}), "
                "about a minute a process")
    if probe.returncode != 0:
        return "this machine cannot run 32-bit code"
    if not Path(LOADER_32).exists():
        return "32-bit Wine is not installed"
    ok, said = _runs([LOADER_32, "--version"])
    return None if ok else f"the 32-bit loader does not run ({said})"


def detect():
    """("win32" or "win64", the one line that says which configurations run and why)."""
    ok, said = _runs([loader_64(), "--version"])
    if not ok:
        raise RuntimeError(f"64-bit Wine does not run here: {said}")
    why = why_no_32bit_wine()
    if why is None:
        return "win32", (
            f"Wine ({said}): 32-bit code runs here: win32, the shipped program in a 32-bit "
            "prefix, and wow64, the shipped program in a 64-bit prefix")
    return "win64", (f"Wine ({said}): {why}: win64, the same source built for x86_64 in a "
                       "64-bit prefix; the shipped program is checked, not run; wow64 not run")


def main():
    try:
        build, line = detect()
    except RuntimeError as error:
        print(f"winearch: {error}", file=sys.stderr)
        return 1
    print(line, file=sys.stderr)
    print(build)
    return 0


if __name__ == "__main__":
    sys.exit(main())

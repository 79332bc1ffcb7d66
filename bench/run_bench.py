#!/usr/bin/env python3
"""Benchmark of the launcher under Wine, against floors of its own.

- Start overhead: the time from the parent's CreateProcess of the launcher to
  the first instruction of the program that "openFile.bat" starts, against a
  floor program that only starts the same "openFile.bat". Both read the same
  performance counter (the parent's value reaches the recorder through the
  environment). Runs alternate launcher / floor, after a warm-up.
- Scaling: the same with 0, 100 and 1,000 subkeys that fail the version
  filter before the qualifying one.
- The failure path: the time until the failure window is visible with
  nothing installed anywhere, against a floor that only shows such a window.
- Size and memory: the file size, the imported DLLs, the peak working set.

Usage: run_bench.py BUILD_DIR [--pairs N]
Prints a Markdown report.
"""
import argparse
import json
import platform
import statistics
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests" / "e2e"))
sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests" / "static"))
from winehost import WineHost, read_records  # noqa: E402
from check_program import PortableExecutable  # noqa: E402

APP = "C:\\Bench\\Velmorant"
RE = "Java Runtime Environment"


def start_time(host, exe, command_line):
    """Milliseconds from the parent's start of `exe` to the recorder's first
    instruction."""
    record, times = host.unix("C:\\bench-record.txt"), host.unix("C:\\bench-times.txt")
    host.remove("C:\\bench-record.txt")
    host.remove("C:\\bench-times.txt")
    env = {"VELMORANT_RECORD": "C:\\bench-record.txt", "VELMORANT_TIMES": "C:\\bench-times.txt"}
    code = host.spawn(exe, command_line, env=env)
    got = read_records(record, timeout=30)
    if code != 0 or not got:
        raise RuntimeError(f"{exe} started nothing (exit code {code})")
    r = got[0]
    return (r["t1"] - int(r["t0"])) * 1000.0 / r["frequency"]


def window_time(host, exe, command_line):
    """Milliseconds from the parent's start of `exe` until a window captioned
    like the failure window is visible, and the program's peak working set
    then (the probe reads it before it closes the window)."""
    times = host.unix("C:\\bench-times.txt")
    host.remove("C:\\bench-times.txt")
    host.remove("C:\\probe.json")
    # The probe is already looking when the program starts.
    probe = subprocess.Popen(host.command("C:\\helpers\\probe.exe", "C:\\probe.json", "inspect", "30000"),
                             env=host.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(0.5)
    code = host.spawn(exe, command_line, env={"VELMORANT_TIMES": "C:\\bench-times.txt"})
    probe.wait(timeout=60)
    got = json.loads(host.unix("C:\\probe.json").read_text())
    if code != 0 or not got.get("found"):
        raise RuntimeError(f"{exe} showed no window")
    t0 = json.loads(times.read_text().splitlines()[0])["t0"]
    return (got["seenAt"] - t0) * 1000.0 / got["frequency"], got["peakWorkingSet"]


def alternate(measure, launcher, floor, pairs, warmup=2):
    a, b = [], []
    for i in range(warmup + pairs):
        x, y = measure(*launcher), measure(*floor)
        if i >= warmup:
            a.append(x)
            b.append(y)
    return a, b


def first(values):
    return [v[0] if isinstance(v, tuple) else v for v in values]


def row(name, a, b):
    a, b = first(a), first(b)
    ma, mb = statistics.median(a), statistics.median(b)
    q = lambda v: statistics.quantiles(v, n=4)  # noqa: E731
    return (f"| {name} | {ma:.1f} ms (IQR {q(a)[0]:.1f}–{q(a)[2]:.1f}) | "
            f"{mb:.1f} ms (IQR {q(b)[0]:.1f}–{q(b)[2]:.1f}) | {ma / mb:.3f} |")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--pairs", type=int, default=15)
    parser.add_argument("--shipped", help="the shipped 32-bit Velmorant.exe, for its size")
    args = parser.parse_args()
    build = Path(args.build)
    host = WineHost(build, prefix=build / "bench-prefix").start()
    try:
        exe = host.lay_out_app(APP, archive=False)
        floor = APP + "\\floor.exe"
        host.write(floor, (build / "helpers" / "floor.exe").read_bytes())
        launcher_run = (exe, f'"{exe}" C:\\doc.vel')
        floor_run = (floor, f'"{floor}" start')

        lines = ["| case | launcher, median | floor, median | launcher / floor |",
                 "|---|---|---|---|"]
        for subkeys in (0, 100, 1000):
            host.reset_registry()
            reg = []
            for i in range(subkeys):
                reg += WineHost.runtime_lines(RE, f"1.5.0_{i:04d}", "C:\\Old")
            reg += WineHost.runtime_lines(RE, "1.6.0_07", "C:\\Java\\jre6")
            host.reg(reg)
            a, b = alternate(lambda e, c: start_time(host, e, c), launcher_run, floor_run,
                             args.pairs)
            lines.append(row(f"start, {subkeys} failing subkeys first", a, b))

        host.reset_registry()
        window_floor = (floor, f'"{floor}" window')
        a, b = alternate(lambda e, c: window_time(host, e, c), (exe, f'"{exe}"'), window_floor,
                         args.pairs, warmup=1)
        lines.append(row("failure window visible, nothing installed", a, b))
        peak_launcher = statistics.median(p for _, p in a) / 1024
        peak_floor = statistics.median(p for _, p in b) / 1024

        dlls = sorted(PortableExecutable((build / "Velmorant.exe").read_bytes()).imports())
        size = (build / "Velmorant.exe").stat().st_size
        shipped = Path(args.shipped).stat().st_size if args.shipped else size
        wine = subprocess.run(host.command("--version"), capture_output=True, text=True).stdout.strip()
        cpu = next((l.split(":", 1)[1].strip() for l in open("/proc/cpuinfo")
                    if l.startswith("model name")), platform.processor())
        print(f"Machine: {cpu}, {len(open('/proc/cpuinfo').read().split('processor')) - 1} cores, "
              f"{wine}, {time.strftime('%Y-%m-%d')}; {args.pairs} pairs after a warm-up.\n")
        print("\n".join(lines))
        print(f"\nArchitecture run: {host.arch}. The shipped 32-bit Velmorant.exe: {shipped} bytes "
              f"({shipped / 1024:.0f} KiB).")
        print(f"\nVelmorant.exe ({host.arch}): {size} bytes ({size / 1024:.0f} KiB); imports {', '.join(dlls)}; "
              f"peak working set with the failure window shown (median, Wine's own DLLs "
              f"included) {peak_launcher:.0f} KiB, against {peak_floor:.0f} KiB for the floor "
              f"window.")
    finally:
        host.stop()


if __name__ == "__main__":
    main()

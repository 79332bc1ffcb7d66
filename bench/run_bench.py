#!/usr/bin/env python3
"""Benchmark of the launcher under Wine, against floors of its own.

- Start overhead: the time from the parent's CreateProcess of the launcher to
  the first instruction of the program that "openFile.bat" starts, against a
  floor program that only starts the same "openFile.bat". Both read the same
  performance counter (the parent's value reaches the recorder through the
  environment).
- Scaling: 1,000 subkeys that fail the version filter before the qualifying
  one, against a second floor that enumerates the same subkeys and then
  starts the batch file: what the search must do, apart from what the
  launcher adds.
- The archive present and opening with Java: the launcher, which asks which
  program opens it before it starts it, against a floor that only starts it.
- A large current folder: both started from a folder of 20,000 files, as
  when a document is opened from such a folder.
- The failure path: the time until the failure window is visible with
  nothing installed anywhere, against a floor that only shows such a window.
- Size and memory: the file sizes, the imported DLLs, the peak working set.

Runs alternate launcher / floor, pairs after a warm-up. Each ratio is the
launcher's median over the floor's, with a 95% confidence interval from a
bootstrap over the pairs.

Usage: run_bench.py BUILD_DIR [--pairs N] [--shipped EXE] [--cases a,b,...]
Prints a Markdown report.
"""
import argparse
import json
import platform
import random
import statistics
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests" / "e2e"))
sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests" / "static"))
from winehost import JAVAW, WineHost, read_records  # noqa: E402
from check_program import PortableExecutable  # noqa: E402

APP = "C:\\Bench\\Velmorant"
BIG_FOLDER = "C:\\Bench\\Big"
RE = "Java Runtime Environment"
BOOTSTRAP_ROUNDS = 4000


def start_time(host, exe, command_line, cwd=None):
    """Milliseconds from the parent's start of `exe` to the recorder's first
    instruction."""
    record = host.unix("C:\\bench-record.txt")
    host.remove("C:\\bench-record.txt")
    env = {"VELMORANT_RECORD": "C:\\bench-record.txt"}
    code = host.spawn(exe, command_line, env=env, cwd=cwd)
    got = read_records(record, timeout=30)
    if code != 0 or not got:
        raise RuntimeError(f"{exe} started nothing (exit code {code})")
    r = got[0]
    return (r["t1"] - int(r["t0"])) * 1000.0 / r["frequency"], None


def window_time(host, exe, command_line, cwd=None):
    """Milliseconds from the parent's start of `exe` until a window captioned
    like the failure window is visible, and the program's peak working set
    then (the probe reads it before it closes the window)."""
    times = host.unix("C:\\bench-times.txt")
    host.remove("C:\\bench-times.txt")
    host.remove("C:\\probe.json")
    # The probe is already looking when the program starts.
    probe = subprocess.Popen(host.command("C:\\helpers\\probe.exe", "C:\\probe.json", "inspect",
                                          "30000"),
                             env=host.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(0.5)
    code = host.spawn(exe, command_line, env={"VELMORANT_TIMES": "C:\\bench-times.txt"}, cwd=cwd)
    probe.wait(timeout=60)
    got = json.loads(host.unix("C:\\probe.json").read_text())
    if code != 0 or not got.get("found"):
        raise RuntimeError(f"{exe} showed no window")
    t0 = json.loads(times.read_text().splitlines()[0])["t0"]
    return (got["seenAt"] - t0) * 1000.0 / got["frequency"], got["peakWorkingSet"]


LOST = []  # measurements that started nothing and were taken again


def retried(measure, *args):
    """A measurement, taken again (twice at most) when Wine lost the start:
    now and then, under load, a started batch file never runs its program."""
    for attempt in range(3):
        try:
            return measure(*args)
        except RuntimeError as error:
            if attempt == 2:
                raise
            LOST.append(str(error))


def alternate(measure, launcher, floor, pairs, warmup=2):
    """(launcher results, floor results), one pair at a time, A B A B ..."""
    a, b = [], []
    for i in range(warmup + pairs):
        x, y = retried(measure, *launcher), retried(measure, *floor)
        if i >= warmup:
            a.append(x)
            b.append(y)
    return a, b


def ratio_interval(a, b, rounds=BOOTSTRAP_ROUNDS, seed=1):
    """The ratio of medians and its 95% bootstrap interval, resampling pairs."""
    rng = random.Random(seed)
    n = len(a)
    ratios = []
    for _ in range(rounds):
        picks = [rng.randrange(n) for _ in range(n)]
        ratios.append(statistics.median(a[i] for i in picks) /
                      statistics.median(b[i] for i in picks))
    ratios.sort()
    return (statistics.median(a) / statistics.median(b),
            ratios[int(0.025 * rounds)], ratios[int(0.975 * rounds) - 1])


def row(name, floor_name, a, b):
    ta, tb = [v for v, _ in a], [v for v, _ in b]
    ratio, low, high = ratio_interval(ta, tb)
    return (f"| {name} | {floor_name} | {statistics.median(ta):.1f} ms | "
            f"{statistics.median(tb):.1f} ms | {ratio:.3f} [{low:.3f}, {high:.3f}] |")


def registry_with(subkeys):
    reg = []
    for i in range(subkeys):
        reg += WineHost.runtime_lines(RE, f"1.5.0_{i:04d}", "C:\\Old")
    return reg + WineHost.runtime_lines(RE, "1.6.0_07", "C:\\Java\\jre6")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--pairs", type=int, default=21)
    parser.add_argument("--shipped", help="the shipped 32-bit Velmorant.exe, for its size")
    parser.add_argument("--cases", default="start,scaling,archive,folder,window")
    args = parser.parse_args()
    cases = set(args.cases.split(","))
    build = Path(args.build)
    host = WineHost(build, prefix=build / "bench-prefix").start()
    try:
        exe = host.lay_out_app(APP, archive=False)
        # The registered runtime is on disk: the launcher starts nothing else.
        host.write("C:\\Java\\jre6\\bin\\java.exe", b"MZ")
        floor = APP + "\\floor.exe"
        host.write(floor, (build / "helpers" / "floor.exe").read_bytes())
        launcher_run = (exe, f'"{exe}" C:\\doc.vel')
        floor_run = (floor, f'"{floor}" start')
        started = lambda e, c, cwd=None: start_time(host, e, c, cwd)  # noqa: E731

        lines = ["| case | floor | launcher, median | floor, median | ratio [95% interval] |",
                 "|---|---|---|---|---|"]
        if "start" in cases:
            host.reset_registry()
            host.reg(registry_with(0))
            a, b = alternate(started, launcher_run, floor_run, args.pairs)
            lines.append(row("start, 0 failing subkeys", "start", a, b))
        if "scaling" in cases:
            host.reset_registry()
            host.reg(registry_with(1000))
            a, b = alternate(started, launcher_run, (floor, f'"{floor}" enumerate'), args.pairs)
            lines.append(row("start, 1,000 failing subkeys first", "enumerate, then start", a, b))
        if "archive" in cases:
            host.reset_registry()
            host.reg(registry_with(0))
            host.associate_jar(command=f'"{JAVAW}" -jar "%1"')
            host.write(APP + "\\Velmorant.jar", b"PK\x05\x06" + b"\0" * 18)
            a, b = alternate(started, launcher_run, (floor, f'"{floor}" archive'), args.pairs)
            host.remove(APP + "\\Velmorant.jar")
            lines.append(row("start of the archive, which opens with Java", "start the archive",
                             a, b))
        if "folder" in cases:
            host.reset_registry()
            host.reg(registry_with(0))
            big = host.unix(BIG_FOLDER)
            big.mkdir(parents=True, exist_ok=True)
            for i in range(20000):
                (big / f"document {i:05d}.vel").touch()
            a, b = alternate(lambda e, c: started(e, c, big), launcher_run, floor_run, args.pairs)
            lines.append(row("start from a folder of 20,000 files", "start, same folder", a, b))
        peaks = None
        if "window" in cases:
            host.reset_registry()
            a, b = alternate(lambda e, c: window_time(host, e, c), (exe, f'"{exe}"'),
                             (floor, f'"{floor}" window'), args.pairs, warmup=1)
            lines.append(row("failure window visible, nothing installed", "a window", a, b))
            peaks = (statistics.median(p for _, p in a) / 1024,
                     statistics.median(p for _, p in b) / 1024)

        program = build / "Velmorant.exe"
        dlls = sorted(PortableExecutable(program.read_bytes()).imports())
        size = program.stat().st_size
        shipped = Path(args.shipped).stat().st_size if args.shipped else None
        wine = subprocess.run(host.command("--version"), capture_output=True,
                              text=True).stdout.strip()
        cpu = next((l.split(":", 1)[1].strip() for l in open("/proc/cpuinfo")
                    if l.startswith("model name")), platform.processor())
        cores = open("/proc/cpuinfo").read().count("\nprocessor") + 1
        print(f"Machine: {cpu}, {cores} cores; {wine}; architecture run: {host.arch} "
              f"({program}); {time.strftime('%Y-%m-%d')}; {args.pairs} pairs after a warm-up.\n")
        print("\n".join(lines))
        print()
        if shipped is not None:
            print(f"The shipped 32-bit Velmorant.exe: {shipped} bytes ({shipped / 1024:.1f} KiB).")
        print(f"Velmorant.exe ({host.arch}): {size} bytes ({size / 1024:.1f} KiB); imports "
              f"{', '.join(dlls)}.")
        if LOST:
            print(f"{len(LOST)} measurement(s) started nothing and were taken again: "
                  f"{'; '.join(sorted(set(LOST)))}.")
        if peaks:
            print(f"Peak working set with the failure window shown (median, Wine's own DLLs "
                  f"included): {peaks[0]:.0f} KiB, against {peaks[1]:.0f} KiB for the floor "
                  f"window.")
    finally:
        host.stop()


if __name__ == "__main__":
    main()

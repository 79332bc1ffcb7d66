#!/usr/bin/env python3
"""Takes screenshots of the failure window under Xvfb, inside a Wine desktop
that draws Wine's own window frame: docs/failure-window.png, and
docs/failure-window-menu.png with the system menu open (Alt+Space).

Usage: screenshot.py BUILD_DIR OUTPUT_DIR
"""
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests" / "e2e"))
from winehost import WineHost  # noqa: E402

WIDTH, HEIGHT = 420, 200


def grab(host, path):
    subprocess.run(["import", "-display", host.env["DISPLAY"], "-window", "root",
                    "-crop", f"{WIDTH}x{HEIGHT}+0+0", "+repage", str(path)], check=True)


def main():
    build, out = Path(sys.argv[1]), Path(sys.argv[2])
    out.mkdir(parents=True, exist_ok=True)
    host = WineHost(build, prefix=build / "screenshot-prefix").start()
    try:
        host.reset_registry()  # no Java anywhere: the window appears
        exe = host.lay_out_app("C:\\Program Files\\Velmorant")
        desktop = subprocess.Popen(
            host.command("explorer", f"/desktop=velmorant,{WIDTH}x{HEIGHT}", exe), env=host.env,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(5)
        grab(host, out / "failure-window.png")
        subprocess.run(["xdotool", "key", "alt+space"], env=host.env, check=False)
        time.sleep(1.5)
        grab(host, out / "failure-window-menu.png")
        desktop.kill()
    finally:
        host.stop()
    print(f"wrote {out / 'failure-window.png'} and {out / 'failure-window-menu.png'}")


if __name__ == "__main__":
    main()

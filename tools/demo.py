#!/usr/bin/env python3
"""The demonstration: a Velmorant application folder in a private Wine
prefix, a Java runtime registered in its registry, and the launcher started
with a document, as a user would start it. Prints what the started program
(a recorder standing in for the application) received. Then the same with
an archiver owning ".jar", with a runtime shipped in the application's folder
(started through the openFile.bat that the release ships), with the runtime
found only at a fixed place, with only a Java of today registered
under its vendor's key (with the trace of the search turned on, and shown),
and with no Java at all.

Usage: demo.py BUILD_DIR [HELPERS_BUILD_DIR]

With the win64 build's helpers, the win32 build's program runs on 64-bit
Windows (WoW64), where most users run it: a 64-bit prefix, and today's Java
registered by a 64-bit installer, in the 64-bit registry view.
"""
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests" / "e2e"))
from winehost import WineHost, read_records, reg_quote  # noqa: E402

APP = "C:\\Program Files\\Velmorant"
DOCUMENT = "C:\\Users\\Public\\Documents\\Жук report.vel"


TRACE = "C:\\Users\\Public\\velmorant-trace.txt"


def start(host, title, trace=False):
    print(f"\n== {title}")
    record = host.unix("C:\\record.txt")
    host.remove("C:\\record.txt")
    exe = APP + "\\Velmorant.exe"
    command_line = f'"{exe}" {DOCUMENT}'
    print(f"   command line: {command_line}")
    env = {"VELMORANT_RECORD": "C:\\record.txt"}
    if trace:
        print(f"   with VELMORANT_LAUNCHER_TRACE={TRACE}")
        env["VELMORANT_SET_VELMORANT_LAUNCHER_TRACE"] = TRACE
    began = time.time()
    code = host.spawn(exe, command_line, env=env)
    records = read_records(record, timeout=20)
    print(f"   launcher exit code {code}, ended after {time.time() - began:.2f} s")
    if not records:
        print("   nothing was started")
        return
    got = records[0]
    print(f"   started:    {got['commandLine']}")
    for key in ("filetouse", "directory", "PATH", "cwd"):
        print(f"   {key + ':':11} {got[key]}")


def main():
    build = Path(sys.argv[1])
    host = WineHost(build, prefix=build / "demo-prefix",
                    helpers_build=sys.argv[2] if len(sys.argv) > 2 else None).start()
    print(f"Velmorant.exe ({host.arch}) on {host.prefix_bits}-bit Windows under Wine"
          + (" (WoW64)" if host.wow64 else ""))
    try:
        host.reset_registry()
        host.remove("C:\\java")
        host.lay_out_app(APP)
        host.associate_jar()
        host.remove("C:\\Program Files\\Java")
        host.write("C:\\Program Files\\Java\\jre1.6.0_07\\bin\\java.exe", b"MZ")
        host.reg(WineHost.runtime_lines("Java Runtime Environment", "1.5.0_22",
                                        "C:\\Program Files\\Java\\jre1.5.0_22")
                 + WineHost.runtime_lines("Java Runtime Environment", "1.6.0_01",
                                          "C:\\Program Files\\Java\\jre1.6.0_01")
                 + WineHost.runtime_lines("Java Runtime Environment", "1.6.0_07",
                                          "C:\\Program Files\\Java\\jre1.6.0_07"))
        start(host, "Runtimes 1.5.0_22, 1.6.0_01 (uninstalled, its key left behind) and 1.6.0_07"
              " registered; Velmorant.jar opens with Java (the recorder, as javaw.exe)")

        archiver = "C:\\Program Files\\Archiver\\Archiver.exe"
        host.write(archiver, host.helper("trap.exe"))
        host.associate_jar(command=f'"{archiver}" "%1"')
        start(host, "The same, but an archiver owns .jar: openFile.bat starts instead, and the"
              " archiver never runs")
        if host.unix("C:\\trap-ran.txt").exists():
            print("   THE ARCHIVER RAN")
        host.remove("C:\\Program Files\\Archiver")
        host.associate_jar()

        # The openFile.bat that the release ships, and a runtime shipped in
        # the application's folder, as jlink makes one (javaw.exe is the
        # recorder).
        host.lay_out_app(APP, batch="shipped")
        shipped = APP + "\\runtime"
        host.write(shipped + "\\bin\\java.exe", b"MZ")
        host.write(shipped + "\\bin\\javaw.exe", host.helper("recorder.exe"))
        host.write(shipped + "\\release", 'JAVA_VERSION="21.0.1"\r\n')
        start(host, "A runtime shipped in the application's folder comes first, started through"
              " the shipped openFile.bat")
        host.lay_out_app(APP)

        host.reset_registry()
        host.write("C:\\java\\bin\\java.exe", b"MZ")
        start(host, "No runtime in the registry, but C:\\java\\bin\\java.exe exists")

        host.remove("C:\\java")
        jdk = "C:\\Program Files\\Eclipse Adoptium\\jdk-21.0.1.12-hotspot"
        host.write(jdk + "\\bin\\java.exe", b"MZ")
        host.write(jdk + "\\release", 'JAVA_VERSION="21.0.1"\r\n')
        # Installed by 64-bit installers where the machine is 64-bit.
        host.reg(["[HKEY_LOCAL_MACHINE\\Software\\Eclipse Adoptium\\JDK\\21.0.1.12\\hotspot\\MSI]",
                  '"Path"=' + reg_quote(jdk + "\\"),
                  "[HKEY_LOCAL_MACHINE\\Software\\JavaSoft\\JDK\\17]",
                  '"JavaHome"=' + reg_quote("C:\\Program Files\\Java\\jdk-17")],
                 bits=host.prefix_bits)
        start(host, "Only today's Java: Eclipse Adoptium 21 under its vendor's key, and a key left"
              " behind by an uninstalled JDK 17; traced", trace=True)
        lines = host.unix(TRACE).read_bytes().decode("utf-8-sig").splitlines()
        absent = [line for line in lines if line.endswith(": no such key") and "Scanning" not in line]
        print(f"   the trace, {TRACE}, with the {len(absent)} lines of absent keys left out:")
        for line in lines:
            if line not in absent:
                print("   | " + line)

        host.reset_registry()
        host.remove(jdk)
        print("\n== No Java anywhere: the failure window appears (closed by the probe)")
        exe = APP + "\\Velmorant.exe"
        launcher = host.spawn(exe, wait=False)
        host.wine("C:\\helpers\\probe.exe", "C:\\probe.json", "inspect", "30000", timeout=90)
        launcher.wait(timeout=60)
        print("   " + host.unix("C:\\probe.json").read_text(encoding="utf-8")[:400] + " ...")
    finally:
        host.stop()


if __name__ == "__main__":
    main()

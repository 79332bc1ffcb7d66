"""A private Wine prefix in the build folder, with the helper programs, a
display and the means to lay out application folders, write the registry and
start the real launcher. Shared by the end-to-end tests, the demonstration,
the benchmark and the screenshot script.

The prefix has the architecture of the helper programs that start and
observe the launcher: a 32-bit prefix run by the ordinary wine, or a 64-bit
one run by the 64-bit loader and server. The helpers are of the launcher's
own build, except in the configuration most users have: the shipped 32-bit
program on 64-bit Windows (WoW64), where x86_64 helpers from the win64 build
serve it in a 64-bit prefix, so that only the launcher and the cmd.exe it
starts are 32-bit there.

How long every wait may last is multiplied by VELMORANT_E2E_STRETCH (1 by
default): where 32-bit code runs only through an emulator, each 32-bit
process costs about a minute, and a run by hand needs 60 or more.
"""
import json
import os
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path

import winearch

STRETCH = float(os.environ.get("VELMORANT_E2E_STRETCH") or 1)
HELPERS = ("recorder.exe", "spawn.exe", "trap.exe", "probe.exe", "platform_test.exe")
# The recorder under the name of a Java runtime's launcher, standing in for
# the program that Java's own installer makes the opener of ".jar" files.
JAVAW = "C:\\helpers\\Java\\bin\\javaw.exe"
# The batch file that the release ships beside the launcher.
SHIPPED_BATCH = Path(__file__).resolve().parents[2] / "resources" / "openFile.bat"
JAVASOFT = r"HKEY_LOCAL_MACHINE\Software\JavaSoft"
# Where installers register Java runtimes, below HKLM or HKCU and, on 64-bit
# Windows, below Wow6432Node for the 32-bit view too.
VENDOR_KEYS = ("JavaSoft", "Eclipse Adoptium", "AdoptOpenJDK", "Eclipse Foundation", "Semeru",
               "Microsoft\\JDK", "Azul Systems", "BellSoft")


def reg_quote(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def reg_expand(text):
    """A REG_EXPAND_SZ value in .reg syntax."""
    return "hex(2):" + ",".join(f"{b:02x}" for b in (text + "\0").encode("utf-16-le"))


def build_arch(build_dir):
    """"win32" or "win64": the machine type of the build's Velmorant.exe."""
    data = (Path(build_dir) / "Velmorant.exe").read_bytes()
    machine = struct.unpack_from("<H", data, struct.unpack_from("<I", data, 0x3C)[0] + 4)[0]
    return {0x014C: "win32", 0x8664: "win64"}[machine]


def stretched(seconds):
    """A wait of `seconds`, stretched for a slow machine."""
    return seconds * STRETCH


class WineHost:
    def __init__(self, build_dir, prefix=None, helpers_build=None):
        self.build = Path(build_dir).resolve()
        self.arch = build_arch(self.build)
        helpers_build = Path(helpers_build).resolve() if helpers_build else self.build
        self.helpers = helpers_build / "helpers"
        self.prefix_arch = build_arch(helpers_build)
        self.wow64 = self.arch != self.prefix_arch
        if self.wow64 and self.arch != "win32":
            raise ValueError("only a 32-bit launcher runs in a prefix of the other width")
        # Widths in bits: the launcher's, whose registry view the tests write
        # by default, and the prefix's.
        self.bits, self.prefix_bits = (32 if arch == "win32" else 64
                                       for arch in (self.arch, self.prefix_arch))
        name = "wineprefix-wow64" if self.wow64 else "wineprefix"
        self.prefix = Path(prefix).resolve() if prefix else self.build / name
        if self.prefix_arch == "win64":
            self.loader, self.server = [winearch.loader_64()], winearch.server_64()
        else:
            self.loader, self.server = ["wine"], "wineserver"
        self.env = dict(os.environ)
        # The launcher reads JAVA_HOME; the machine's own must not reach it.
        self.env.pop("JAVA_HOME", None)
        self.env.update(
            WINEPREFIX=str(self.prefix),
            WINEARCH=self.prefix_arch,
            WINEDEBUG="-all",
            WINEDLLOVERRIDES="mscoree,mshtml=",
            LC_ALL="C.UTF-8",
            LANG="C.UTF-8",
        )
        if self.prefix_arch == "win64":
            self.env.update(WINELOADER=self.loader[0], WINESERVER=self.server)
        self.xvfb = None

    # --- Set-up ---------------------------------------------------------------

    def start(self):
        """Starts a display if there is none, makes the prefix once, keeps its
        wineserver running and copies the helpers into C:\\helpers."""
        if "DISPLAY" not in self.env:
            self._start_xvfb()
        if not (self.prefix / "system.reg").exists():
            self.prefix.mkdir(parents=True, exist_ok=True)
            subprocess.run([*self.loader, "wineboot", "-i"], env=self.env, check=True,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            subprocess.run([self.server, "-w"], env=self.env, check=True)
        # A persistent server keeps every later start fast.
        subprocess.run([self.server, "-p"], env=self.env, check=False)
        helpers = self.unix("C:\\helpers")
        helpers.mkdir(parents=True, exist_ok=True)
        for name in HELPERS:
            source = self.helpers / name
            if source.exists():
                shutil.copy2(source, helpers / name)
        self.write(JAVAW, self.helper("recorder.exe"))
        return self

    def stop(self):
        subprocess.run([self.server, "-k"], env=self.env, check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if self.xvfb is not None:
            self.xvfb.send_signal(signal.SIGTERM)
            self.xvfb.wait(timeout=10)
            self.xvfb = None

    def _start_xvfb(self):
        for number in range(90, 140):
            if Path(f"/tmp/.X{number}-lock").exists():
                continue
            self.xvfb = subprocess.Popen(
                ["Xvfb", f":{number}", "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            deadline = time.time() + 10
            while time.time() < deadline:
                if Path(f"/tmp/.X11-unix/X{number}").exists():
                    self.env["DISPLAY"] = f":{number}"
                    return
                if self.xvfb.poll() is not None:
                    break
                time.sleep(0.1)
            self.xvfb.kill()
        raise RuntimeError("could not start Xvfb")

    def helper(self, name):
        """The bytes of a helper program, to lay out under another name."""
        return (self.helpers / name).read_bytes()

    # --- Paths ------------------------------------------------------------------

    def unix(self, windows_path):
        """The Unix path of a path on drive C: (Wine's paths ignore case), as
        the launcher sees it: under WoW64, System32 is SysWOW64."""
        assert windows_path[:2].lower() == "c:", windows_path
        parts = [p for p in windows_path[2:].split("\\") if p]
        if self.wow64 and [p.lower() for p in parts[:2]] == ["windows", "system32"]:
            parts[1] = "syswow64"
        path = self.prefix / "drive_c"
        for part in parts:
            # Reuse an existing entry of another case, as Windows would.
            match = None
            if path.is_dir():
                for entry in path.iterdir():
                    if entry.name.lower() == part.lower():
                        match = entry
                        break
            path = match if match is not None else path / part
        return path

    def write(self, windows_path, data):
        path = self.unix(windows_path)
        path.parent.mkdir(parents=True, exist_ok=True)
        if isinstance(data, str):
            data = data.encode("utf-8")
        path.write_bytes(data)
        return path

    def remove(self, windows_path):
        path = self.unix(windows_path)
        if path.is_dir() and not path.is_symlink():
            shutil.rmtree(path)
        elif path.exists() or path.is_symlink():
            path.unlink()

    # --- Registry ---------------------------------------------------------------

    def reg(self, lines, bits=None):
        """Imports registry lines (the body of a .reg file) as a program of
        `bits` bits writes them, an installer of that width say: by default
        into the launcher's own view. A 32-bit writer's keys land where
        Windows redirects them (below Wow6432Node) through reg's /reg:32; a
        32-bit Windows has no 64-bit view, so asking for one skips the test."""
        bits = bits or self.bits
        if bits > self.prefix_bits:
            raise unittest.SkipTest("a 32-bit Windows has a single registry view")
        text = "Windows Registry Editor Version 5.00\r\n\r\n" + "\r\n".join(lines) + "\r\n"
        with tempfile.NamedTemporaryFile(suffix=".reg", dir=self.prefix, delete=False) as out:
            out.write(b"\xff\xfe" + text.encode("utf-16-le"))
            name = out.name
        path = "Z:" + name.replace("/", "\\")
        # Wine's reg import writes the 32-bit view from a 64-bit process; its
        # regedit writes only its own.
        importer = (["reg", "import", path, "/reg:32"] if bits < self.prefix_bits
                    else ["regedit", "/S", path])
        try:
            # Wine's regedit has been seen to fail once in a fresh prefix and
            # then succeed with the same file: try it three times.
            for attempt in range(3):
                done = subprocess.run(self.command(*importer), env=self.env,
                                      stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                if done.returncode == 0:
                    break
                if attempt == 2:
                    done.check_returncode()
                print(f"{importer[0]} failed (exit code {done.returncode}); trying again",
                      file=sys.stderr, flush=True)
                time.sleep(1)
        finally:
            os.unlink(name)

    # Deletions go through the prefix's own view, where the names below mean
    # what they say.
    def reset_registry(self):
        lines = list(self.JAR_TYPES)
        for root in ("HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER"):
            for software in ("Software", "Software\\Wow6432Node"):
                lines += [f"[-{root}\\{software}\\{key}]" for key in VENDOR_KEYS]
        self.reg(lines, bits=self.prefix_bits)

    def remove_jar_type(self):
        self.reg(self.JAR_TYPES, bits=self.prefix_bits)

    # The ".jar" file type, in the machine's classes and the user's, in both
    # views: Wine keeps a 32-bit writer's classes below Wow6432Node.
    JAR_TYPES = [f"[-{root}\\Software\\Classes{view}\\{key}]"
                 for root in ("HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER")
                 for view in ("", "\\Wow6432Node") for key in (".jar", "velmorant.jarfile")]

    @staticmethod
    def runtime_lines(root, version, java_home=None, raw_value=None):
        """Registry lines for a key below Software\\JavaSoft\\<root>\\<version>
        with a JavaHome text (or a raw .reg value such as hex(3):ff,ff)."""
        lines = [f"[{JAVASOFT}\\{root}\\{version}]"]
        if java_home is not None:
            lines.append('"JavaHome"=' + reg_quote(java_home))
        elif raw_value is not None:
            lines.append('"JavaHome"=' + raw_value)
        return lines

    def associate_jar(self, program=JAVAW, command=None, expand=False, default=None):
        """Makes .jar files open with `program` (the recorder under Java's
        name, by default), or with a whole `command` (REG_EXPAND_SZ with
        `expand`; none at all, only the verb's key, when it is False). With
        `default`, a (verb, command) pair, the type's default verb is another
        one than "open"."""
        if command is None:
            command = f'"{program}" -jar "%1"'
        classes = r"HKEY_LOCAL_MACHINE\Software\Classes"
        lines = [f"[{classes}\\.jar]", '@="velmorant.jarfile"',
                 f"[{classes}\\velmorant.jarfile\\shell\\open]"]
        if default:
            verb, other = default
            lines += [f"[{classes}\\velmorant.jarfile\\shell]", f'@="{verb}"',
                      f"[{classes}\\velmorant.jarfile\\shell\\{verb}\\command]",
                      "@=" + reg_quote(other)]
        if command is not False:
            lines += [f"[{classes}\\velmorant.jarfile\\shell\\open\\command]",
                      "@=" + (reg_expand(command) if expand else reg_quote(command))]
        self.reg(lines)

    # --- Application folders --------------------------------------------------

    def lay_out_app(self, folder, archive=True, batch=True):
        """Copies the launcher into `folder` (a Windows path), with an archive
        and an openFile.bat that starts the recorder (with batch="shipped",
        the openFile.bat that the release ships)."""
        self.remove(folder)
        target = self.unix(folder)
        target.mkdir(parents=True)
        shutil.copy2(self.build / "Velmorant.exe", target / "Velmorant.exe")
        if archive:
            (target / "Velmorant.jar").write_bytes(b"PK\x05\x06" + b"\0" * 18)
        if batch == "shipped":
            shutil.copy2(SHIPPED_BATCH, target / "openFile.bat")
        elif batch:
            (target / "openFile.bat").write_bytes(
                b'@echo off\r\n"C:\\helpers\\recorder.exe" batch\r\n')
        return folder + "\\Velmorant.exe"

    # --- Running ----------------------------------------------------------------

    def spawn(self, exe, command_line=None, cwd=None, env=None, unset=(), wait=True):
        """Starts `exe` (a Windows path) with an exact command line through the
        spawn helper. Returns its exit code, or the Popen when wait is False."""
        run_env = dict(self.env)
        run_env.update(env or {})
        run_env["VELMORANT_EXE"] = exe
        run_env["VELMORANT_CMDLINE"] = command_line if command_line is not None else f'"{exe}"'
        run_env["VELMORANT_UNSET"] = ";".join(unset)
        process = subprocess.Popen([*self.loader, "C:\\helpers\\spawn.exe"], env=run_env,
                                   cwd=str(cwd) if cwd else str(self.prefix / "drive_c"),
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if not wait:
            return process
        return process.wait(timeout=stretched(120))

    def command(self, *args):
        """The command line that runs a Windows program in this prefix."""
        return [*self.loader, *args]

    def wine(self, *args, env=None, timeout=60):
        run_env = dict(self.env)
        run_env.update(env or {})
        return subprocess.run(self.command(*args), env=run_env, capture_output=True,
                              timeout=stretched(timeout))


def read_records(path, timeout=30.0, expect=1, trap=None):
    """Waits until `path` holds `expect` JSON lines (or the trap file shows up)
    and returns them."""
    deadline = time.time() + stretched(timeout)
    while time.time() < deadline:
        if trap is not None and trap.exists():
            return []
        if path.exists():
            lines = [l for l in path.read_text(encoding="utf-8").splitlines() if l.strip()]
            if len(lines) >= expect:
                return [json.loads(l) for l in lines]
        time.sleep(0.05)
    return []

#!/usr/bin/env python3
"""End-to-end tests: the real Velmorant.exe under Wine, in a prefix in the
build folder, with a recorder standing in for the application.

Usage: run_e2e.py --build BUILD_DIR [--helpers BUILD_DIR] [unittest arguments]

With --helpers naming the win64 build, the win32 build's program runs in a
64-bit prefix among x86_64 helpers (WoW64), and only the tests marked
@differs_on_64bit_windows run.
"""
import argparse
import json
import os
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

from winehost import JAVAW, WineHost, read_records, reg_quote, stretched  # noqa: E402

HOST = None

RE = "Java Runtime Environment"
DK = "Java Development Kit"
PI = "Java Plug-in"

# Every place a test may plant a file; each test starts without them.
PLANTED = (
    "C:\\Program.exe", "C:\\Program Files\\Vel.exe", "C:\\trap-ran.txt", "C:\\record.txt",
    "C:\\java", "C:\\windows\\system\\java.exe", "C:\\windows\\system32\\java.exe",
    "C:\\winnt", "C:\\windows\\java.exe", "C:\\Runtimes", "C:\\Program Files\\Java",
)


def differs_on_64bit_windows(test):
    """Marks a test of what a 32-bit program meets differently on 64-bit
    Windows: the registry views, the system folder, the machine's processor,
    a 32-bit cmd.exe starting a 64-bit Java."""
    test.differs_on_64bit_windows = True
    return test


class LauncherCase(unittest.TestCase):
    """One launcher start per test, on a registry and drive cleared of what
    earlier tests left."""

    def setUp(self):
        self.host = HOST
        self.host.reset_registry()
        for path in PLANTED:
            self.host.remove(path)
        self.record = self.host.unix("C:\\record.txt")
        self.trap = self.host.unix("C:\\trap-ran.txt")

    def runtimes(self, *entries, installed=True):
        """Registers (root, version, JavaHome) triples, each JavaHome on
        drive C: laid out as an installed runtime (unless not `installed`:
        keys left behind by an uninstall)."""
        lines = []
        for root, version, home in entries:
            lines += WineHost.runtime_lines(root, version, home)
            if installed and home[:2].lower() == "c:":
                self.runtime(home)
        self.host.reg(lines)

    def runtime(self, folder, version=None, java=True, arch=None):
        """A runtime on disk: bin\\java.exe (unless not `java`) and, with a
        version or a processor, a release file."""
        if java:
            self.host.write(folder + "\\bin\\java.exe", b"MZ")
        if version is not None or arch is not None:
            release = f'IMPLEMENTOR="X"\r\nJAVA_VERSION="{version or 17}"\r\n'
            self.host.write(folder + "\\release",
                            release + (f'OS_ARCH="{arch}"\r\n' if arch else ""))
        return folder

    def registered(self, key, value, folder, root="HKEY_LOCAL_MACHINE\\Software", bits=None):
        self.host.reg([f"[{root}\\{key}]", f'"{value}"=' + reg_quote(folder)], bits=bits)

    def plant_traps(self, *paths):
        trap = self.host.helper("trap.exe")
        for path in paths:
            self.host.write(path, trap)

    def launch(self, exe, arguments="", cwd=None, expect_start=True, command_line=None,
               variables=None, **kwargs):
        """Starts the launcher as a shell would (its path quoted, then the
        arguments, unless a whole command line is given), with `variables`
        set in its environment, and returns what the started program
        recorded."""
        if command_line is None:
            command_line = f'"{exe}"' + (" " + arguments if arguments else "")
        env = {"VELMORANT_RECORD": "C:\\record.txt"}
        env.update({"VELMORANT_SET_" + name: value for name, value in (variables or {}).items()})
        # Each start is judged alone: what an earlier one recorded, or a trap
        # it set off, is gone.
        self.host.remove("C:\\record.txt")
        self.host.remove("C:\\trap-ran.txt")
        for attempt in (1, 2):
            code = self.spawn_expecting_an_end(exe, command_line, expect_start, cwd=cwd, env=env,
                                               **kwargs)
            records = [] if code != 0 or not expect_start else read_records(self.record,
                                                                             trap=self.trap)
            if (code == 0 and (records or not expect_start)) or self.trap.exists() or attempt == 2:
                break
            # Now and then Wine loses a start on this machine (seen once in
            # many runs, in a fresh prefix): one more try tells such a loss
            # from a fault, which fails the same way twice.
            print(f"\n  {self.id()}: nothing started (exit code {code}); trying once more",
                  file=sys.stderr)
            self.host.remove("C:\\record.txt")
        self.assertEqual(code, 0, "the launcher should end with exit code 0")
        if not expect_start:
            return None
        self.assertFalse(self.trap.exists(), "a trap program ran: the start split a path")
        self.assertEqual(len(records), 1, "exactly one program should have been started")
        return records[0]

    def spawn_expecting_an_end(self, exe, command_line, expect_start, **kwargs):
        """Spawns the launcher and returns its exit code. Where a start is
        expected, a launcher still running after 20 s is asked whether it
        shows the failure window: then the test fails at once, rather than
        after the spawn's two minutes."""
        process = self.host.spawn(exe, command_line, wait=False, **kwargs)
        try:
            return process.wait(timeout=stretched(20 if expect_start else 120))
        except subprocess.TimeoutExpired:
            if not expect_start:
                raise
        shown = self.probe("inspect", int(stretched(5000)), "close")["found"]
        code = process.wait(timeout=stretched(100))
        self.assertFalse(shown, "the failure window was shown where a start was expected")
        return code

    def probe(self, mode, argument, *more):
        out = "C:\\probe.json"
        self.host.remove(out)
        result = self.host.wine("C:\\helpers\\probe.exe", out, mode, str(argument), *more,
                                timeout=90)
        self.assertEqual(result.returncode, 0)
        return json.loads(self.host.unix(out).read_text(encoding="utf-8"))

    def inspect_failure_window(self, exe=None, close="close", variables=None, **kwargs):
        """Starts the launcher, waits for its failure window, describes it and
        closes it; fails when the window does not come or the launcher stays."""
        exe = exe or self.host.lay_out_app("C:\\Apps\\Nothing")
        env = {"VELMORANT_RECORD": "C:\\record.txt"}
        env.update({"VELMORANT_SET_" + name: value for name, value in (variables or {}).items()})
        launcher = self.host.spawn(exe, wait=False, env=env, **kwargs)
        try:
            got = self.probe("inspect", int(stretched(30000)), close)
        finally:
            code = launcher.wait(timeout=stretched(60))
        self.assertTrue(got["found"], "the failure window never became visible")
        self.assertTrue(got["survivesEnterEsc"], "Enter or Esc closed the window")
        self.assertTrue(got["endedOnClose"], "closing the window should end the launcher")
        self.assertEqual(code, 0)
        self.assertFalse(self.record.exists(), "nothing should have been started")
        self.assertFalse(self.trap.exists(), "a trap program ran")
        return got



class StartTest(LauncherCase):
    """The registry scan and the start of the archive or the batch file."""

    def test_typical_start_hands_over_everything(self):
        self.runtimes((RE, "1.5.0_22", "C:\\Java\\jre1.5.0_22"),
                      (RE, "1.6.0_07", "C:\\Java\\jre1.6.0_07"))
        self.host.associate_jar()
        exe = self.host.lay_out_app("C:\\Apps\\Velmorant")
        caller = self.host.unix("C:\\Users\\Public\\Caller")
        caller.mkdir(parents=True, exist_ok=True)
        got = self.launch(exe, "C:\\docs\\report.vel", cwd=caller)
        self.assertEqual(got["commandLine"],
                         '"' + JAVAW + '" -jar "C:\\Apps\\Velmorant\\Velmorant.jar"')
        self.assertEqual(got["filetouse"], "C:\\docs\\report.vel")
        self.assertEqual(got["directory"], "C:\\Apps\\Velmorant")
        self.assertEqual(got["PATH"], "C:\\Java\\jre1.6.0_07\\bin")
        self.assertEqual(got["cwd"].lower(), "c:\\users\\public\\caller")

    def test_first_qualifying_subkey_wins(self):
        self.runtimes((RE, "1.4.2_19", "C:\\J142"), (RE, "1.6", "C:\\J16"),
                      (RE, "1.6.0_07", "C:\\J160"), (RE, "1.8.0_202", "C:\\J18"))
        exe = self.host.lay_out_app("C:\\Apps\\First", archive=False)
        self.assertEqual(self.launch(exe)["PATH"], "C:\\J16\\bin")

    def test_folder_with_spaces_never_runs_a_trap(self):
        self.runtimes((RE, "1.6.0_07", "C:\\Program Files\\Java\\jre6"))
        self.plant_traps("C:\\Program.exe", "C:\\Program Files\\Vel.exe")
        for archive in (False, True):
            with self.subTest(archive=archive):
                if archive:
                    self.host.associate_jar()
                exe = self.host.lay_out_app("C:\\Program Files\\Vel App", archive=archive)
                got = self.launch(exe, "C:\\My Documents\\a b.vel")
                self.assertEqual(got["directory"], "C:\\Program Files\\Vel App")
                self.assertEqual(got["filetouse"], "C:\\My Documents\\a b.vel")
                self.assertEqual(got["PATH"], "C:\\Program Files\\Java\\jre6\\bin")


class ArchiveOpenerTest(LauncherCase):
    """The archive is started only when a Java runtime's launcher opens it;
    any other opener gives way to the batch file, with the same PATH."""

    ARCHIVER = "C:\\Program Files\\Archiver\\Archiver.exe"
    SPACED_JAVA = "C:\\Program Files\\Java Stand In\\bin\\JAVA.EXE"
    JAVA = JAVAW[:-9] + "JAVA.EXE"

    def setUp(self):
        super().setUp()
        self.runtimes((RE, "1.6.0_07", "C:\\Java\\jre6"))
        # The archiver and a program only named like Java must never run.
        self.plant_traps(self.ARCHIVER, "C:\\helpers\\Java\\bin\\notjavaw.exe")
        recorder = self.host.helper("recorder.exe")
        for java in (self.SPACED_JAVA, self.JAVA):
            self.host.write(java, recorder)

    def tearDown(self):
        self.host.remove("C:\\Program Files\\Archiver")
        self.host.remove("C:\\Program Files\\Java Stand In")
        self.host.remove(self.JAVA)

    def test_associations(self):
        # Wine reads file types from the machine's classes alone, so the
        # user's own association coming first cannot be shown here.
        cases = (
            ("an archiver", [dict(command=f'"{self.ARCHIVER}" "%1"')], None),
            ("Java's own", [dict(command=f'"{JAVAW}" -jar "%1" %*')], JAVAW),
            ("an option before -jar, %L",
             [dict(command=f'"{JAVAW}" -Dfile.encoding=UTF-8 -jar "%L" %*')], JAVAW),
            # "Open with": Java would read the archive's path as a class name.
            ("Java without -jar", [dict(command=f'"{JAVAW}" "%1"')], None),
            ("unquoted JAVA.EXE", [dict(command=f"{self.JAVA} -jar %1")], self.JAVA),
            ("unquoted, with spaces", [dict(command=f"{self.SPACED_JAVA} -jar %1")],
             self.SPACED_JAVA),
            ("a variable, REG_EXPAND_SZ",
             [dict(command='"%SystemDrive%' + JAVAW[2:] + '" -jar "%1"', expand=True)], JAVAW),
            ("named like Java", [dict(command=JAVAW[:-9] + 'notjavaw.exe "%1"')], None),
            ('"%1" %*', [dict(command='"%1" %*')], None),
            # Started by the verb that was checked: "open", whatever the
            # type names as its default (here an archiver's "edit").
            ("another default verb",
             [dict(command=f'"{JAVAW}" -jar "%1"', default=("edit", f'"{self.ARCHIVER}" "%1"'))],
             JAVAW),
            ("no command key", [dict(command=False)], None),
            ("an empty command", [dict(command="")], None),
            ("no association", [], None),
        )
        exe = self.host.lay_out_app("C:\\Apps\\Opener")
        for what, associations, opener in cases:
            with self.subTest(what):
                self.host.remove_jar_type()
                for association in associations:
                    self.host.associate_jar(**association)
                got = self.launch(exe)
                self.assertEqual(got["PATH"], "C:\\Java\\jre6\\bin")
                if opener is None:
                    self.assertEqual(got["commandLine"], '"C:\\helpers\\recorder.exe" batch')
                else:
                    self.assertIn(opener.lower(), got["commandLine"].lower())
                    self.assertIn("C:\\Apps\\Opener\\Velmorant.jar", got["commandLine"])

    def test_archiver_and_no_batch_file_shows_the_window(self):
        self.host.associate_jar(command=f'"{self.ARCHIVER}" "%1"')
        self.inspect_failure_window(self.host.lay_out_app("C:\\Apps\\Opener", batch=False))


class ShippedRuntimeTest(LauncherCase):
    """A runtime shipped in the application's folder comes first, through
    the batch file; and the batch file that the release ships starts the
    runtime the launcher chose."""

    @differs_on_64bit_windows
    def test_shipped_runtime_first(self):
        registered = "C:\\Java\\jre6\\bin"
        cases = (
            ("runtime before a registered runtime", "C:\\Apps\\Shipped", [("runtime", "17.0.2")],
             True, "C:\\Apps\\Shipped\\runtime\\bin"),
            ("jre without a release file", "C:\\Apps\\Shipped", [("jre", None)], True,
             "C:\\Apps\\Shipped\\jre\\bin"),
            ("runtime before jre", "C:\\Apps\\Shipped", [("jre", "21"), ("runtime", "17")], True,
             "C:\\Apps\\Shipped\\runtime\\bin"),
            ("older than 1.6", "C:\\Apps\\Shipped", [("runtime", "1.5.0_22")], True, registered),
            ("no bin\\java.exe", "C:\\Apps\\Shipped", [("runtime", "17", False)], True, registered),
            ("no batch file", "C:\\Apps\\Shipped", [("runtime", "17")], False, registered),
            ("built for ARM64", "C:\\Apps\\Shipped", [("runtime", "17", True, "aarch64")], True,
             registered),
            ("built for x86", "C:\\Apps\\Shipped", [("runtime", "17", True, "x86")], True,
             "C:\\Apps\\Shipped\\runtime\\bin"),
            # Taken on 64-bit Windows, by the 32-bit program too.
            ("built for x86_64", "C:\\Apps\\Shipped", [("runtime", "17", True, "x86_64")], True,
             "C:\\Apps\\Shipped\\runtime\\bin" if self.host.prefix_bits == 64 else registered),
        )
        self.runtimes((RE, "1.6.0_07", "C:\\Java\\jre6"))
        self.host.associate_jar()
        for what, app, shipped, batch, path in cases:
            with self.subTest(what):
                exe = self.host.lay_out_app(app, batch=batch)
                for name, *runtime in shipped:
                    self.runtime(app + "\\" + name, *runtime)
                got = self.launch(exe, "C:\\docs\\a.vel")
                self.assertEqual(got["PATH"], path)
                self.assertEqual((got["filetouse"], got["directory"]), ("C:\\docs\\a.vel", app))
                # A shipped runtime starts the batch file, never the archive.
                self.assertIn("batch" if path != registered else "jar", got["commandLine"])

    @differs_on_64bit_windows
    def test_shipped_batch_file_for_every_phase(self):
        # The real openFile.bat, through the system's cmd, with a javaw.exe
        # that records what it got wherever the launcher put PATH; a javaw.exe
        # and a java.exe planted in the current folder must never run. The
        # folder's name is cmd's syntax throughout.
        recorder = self.host.helper("recorder.exe")
        app = "C:\\Apps\\A & B! ^(1)"
        cwd = "C:\\Users\\Public\\Planted"
        self.plant_traps(cwd + "\\javaw.exe", cwd + "\\java.exe")
        cases = (
            ("the registry scan", "C:\\Runtimes\\J & K! ^(6)",
             lambda home: self.runtimes((RE, "1.6.0_07", home))),
            ("a fixed place", "C:\\java", lambda home: None),
            # A JDK of the machine's width, registered in its view.
            ("today's runtimes", "C:\\Runtimes\\Жук 17",
             lambda home: self.registered("JavaSoft\\JDK\\17", "JavaHome", home,
                                          bits=self.host.prefix_bits)),
            ("the shipped runtime", app + "\\runtime", lambda home: None),
        )
        try:
            for what, home, register in cases:
                with self.subTest(what):
                    self.host.reset_registry()
                    exe = self.host.lay_out_app(app, batch="shipped")
                    self.runtime(home)
                    self.host.write(home + "\\bin\\javaw.exe", recorder)
                    register(home)
                    got = self.launch(exe, "C:\\docs\\a.vel", cwd=self.host.unix(cwd))
                    self.assertEqual(got["longPATH"].lower(), (home + "\\bin").lower())
                    # The archive goes by its short name, which Java can read.
                    self.assertTrue(got["commandLine"].lower().startswith(
                        f'"{got["PATH"]}\\javaw.exe" -jar '.lower()), got["commandLine"])
                    self.assertTrue(got["archiveOpens"] and got["selfOpens"])
                    self.assertEqual(got["filetouse"], "C:\\docs\\a.vel")
                    # Under WoW64, the 32-bit cmd.exe started a 64-bit Java.
                    self.assertEqual(got["bits"], self.host.prefix_bits)
                    self.host.remove(home)
        finally:
            self.host.remove(cwd)


class AnsiNameTest(LauncherCase):
    """Java's launcher reads its command line and its own path in the ANSI
    code page (1252 here), where Cyrillic and Chinese names turn into "?":
    such folders reach it by their short names, in every route."""

    APP = "C:\\Apps\\Приложение 日本"

    def test_folders_outside_the_ansi_code_page(self):
        recorder = self.host.helper("recorder.exe")
        archiver = ArchiveOpenerTest.ARCHIVER
        cases = (
            ("the archive, opened by Java's association", None, "C:\\Runtimes\\Жук ☕",
             lambda home: self.runtimes((RE, "1.6.0_07", home))),
            ("the batch file, an archiver owning .jar", f'"{archiver}" "%1"',
             "C:\\Runtimes\\Жук ☕", lambda home: self.runtimes((RE, "1.6.0_07", home))),
            ("a runtime shipped in that folder", None, self.APP + "\\runtime", lambda home: None),
        )
        self.plant_traps(archiver)
        try:
            for what, opener, home, register in cases:
                with self.subTest(what):
                    self.host.reset_registry()
                    self.host.remove("C:\\Runtimes")
                    self.host.associate_jar(**({"command": opener} if opener else {}))
                    exe = self.host.lay_out_app(self.APP, batch="shipped")
                    self.runtime(home)
                    self.host.write(home + "\\bin\\javaw.exe", recorder)
                    register(home)
                    got = self.launch(exe, "C:\\docs\\Жук.vel")
                    self.assertEqual((got["filetouse"], got["directory"]),
                                     ("C:\\docs\\Жук.vel", self.APP))
                    self.assertEqual(got["longPATH"], home + "\\bin")
                    self.assertTrue(got["PATH"].isascii(), got["PATH"])
                    self.assertTrue(got["archiveOpens"], got["commandLine"])
                    self.assertTrue(got["selfOpens"], got["commandLine"])
        finally:
            self.host.remove("C:\\Program Files\\Archiver")


class FixedLocationTest(LauncherCase):
    """The fixed registry keys, the fixed java.exe places and the system folder."""

    def test_leftover_keys_are_passed_over(self):
        # Uninstalling or moving a Java often leaves its key behind, naming a
        # folder that is gone: the next runtime that is there starts.
        archiver = ArchiveOpenerTest.ARCHIVER
        cases = (
            ("before an installed one under the same root", None,
             lambda: self.runtimes((RE, "1.8.0_392", "C:\\Runtimes\\jre8")),
             "C:\\Runtimes\\jre8\\bin", "-jar"),
            ("before a JDK under today's keys, an archiver owning .jar", f'"{archiver}" "%1"',
             lambda: self.registered("JavaSoft\\JDK\\17", "JavaHome",
                                     self.runtime("C:\\Runtimes\\jdk-17")),
             "C:\\Runtimes\\jdk-17\\bin", "batch"),
            ("a fixed key, with c:\\java\\bin\\java.exe", None,
             lambda: self.host.write("C:\\java\\bin\\java.exe", b"MZ"), "c:\\java\\bin", "batch"),
        )
        self.plant_traps(archiver)
        exe = self.host.lay_out_app("C:\\Apps\\Leftover")
        try:
            for what, opener, install, path, how in cases:
                with self.subTest(what):
                    self.host.reset_registry()
                    for other in PLANTED:
                        self.host.remove(other)
                    self.host.associate_jar(**({"command": opener} if opener else {}))
                    self.runtimes((RE, "1.6.0_07", "C:\\Runtimes\\gone8"),
                                  (PI, "6.0", "C:\\Runtimes\\gone6"), installed=False)
                    install()
                    got = self.launch(exe)
                    self.assertEqual(got["PATH"], path)
                    self.assertIn(how, got["commandLine"])
        finally:
            self.host.remove("C:\\Program Files\\Archiver")

    @differs_on_64bit_windows
    def test_fixed_places_and_the_system_folder(self):
        cases = (
            ("C:\\java\\bin\\java.exe", "file", "c:\\java\\bin"),
            ("C:\\windows\\system\\java.exe", "folder", "c:\\windows\\system"),
            ("C:\\windows\\system32\\java.exe", "file", "c:\\windows\\system32"),
            ("C:\\winnt\\system32\\java.exe", "file", "c:\\winnt\\system32"),
            # Wine's SYSTEMROOT is C:\windows; PATH is that value as read.
            ("C:\\windows\\java.exe", "file", "C:\\windows"),
        )
        exe = self.host.lay_out_app("C:\\Apps\\Places", archive=False)
        for planted, kind, path in cases:
            with self.subTest(planted=planted, kind=kind):
                for other in PLANTED:
                    self.host.remove(other)
                if kind == "folder":
                    self.host.unix(planted).mkdir(parents=True)
                else:
                    self.host.write(planted, b"MZ")
                got = self.launch(exe)
                self.assertEqual(got["commandLine"], '"C:\\helpers\\recorder.exe" batch')
                self.assertEqual(got["PATH"], path)
        for other in PLANTED:
            self.host.remove(other)


class CurrentRuntimeTest(LauncherCase):
    """The search for today's runtimes, after the older phases found nothing."""

    def started_path(self, exe=None, **kwargs):
        exe = exe or self.host.lay_out_app("C:\\Apps\\Today", archive=False)
        got = self.launch(exe, **kwargs)
        self.assertEqual(got["commandLine"], '"C:\\helpers\\recorder.exe" batch')
        return got["PATH"]

    def test_vendor_key_newest_first_and_the_archive(self):
        self.registered("Eclipse Adoptium\\JDK\\21.0.1.12\\hotspot\\MSI", "Path",
                        self.runtime("C:\\Runtimes\\Temurin 21", "21.0.1") + "\\")
        self.registered("Azul Systems\\Zulu\\zulu-11", "InstallationPath",
                        self.runtime("C:\\Runtimes\\zulu11", "11.0.21"))
        # A key left behind by an uninstalled, newer runtime.
        self.registered("JavaSoft\\JDK\\22", "JavaHome", "C:\\Runtimes\\gone-22")
        self.host.associate_jar()
        exe = self.host.lay_out_app("C:\\Apps\\Vendor")
        got = self.launch(exe)
        self.assertTrue(got["commandLine"].endswith('jar "C:\\Apps\\Vendor\\Velmorant.jar"'))
        self.assertEqual(got["PATH"], "C:\\Runtimes\\Temurin 21\\bin")

    def test_per_user_install(self):
        self.registered("BellSoft\\Liberica\\Liberica JDK 17", "InstallationPath",
                        self.runtime("C:\\Runtimes\\liberica17"),
                        root="HKEY_CURRENT_USER\\Software")
        self.assertEqual(self.started_path(), "C:\\Runtimes\\liberica17\\bin")

    @differs_on_64bit_windows
    def test_either_registry_view(self):
        # A runtime that a 32-bit installer registered, and one that a 64-bit
        # installer did, each alone: one is in the launcher's other view.
        for bits in (32, 64):
            with self.subTest(installer=f"{bits}-bit"):
                self.host.reset_registry()
                self.registered("JavaSoft\\JDK\\1.8.0_392", "JavaHome",
                                self.runtime(f"C:\\Runtimes\\jre8-{bits}"), bits=bits)
                self.assertEqual(self.started_path(), f"C:\\Runtimes\\jre8-{bits}\\bin")

    def test_java_on_path(self):
        self.runtime("C:\\Runtimes\\zip jdk")
        self.runtime("C:\\Runtimes\\later")
        # The document's folder is current and holds a java.exe: a relative
        # entry must not lead there.
        planted = self.host.unix("C:\\Users\\Public\\Downloads")
        planted.mkdir(parents=True, exist_ok=True)
        (planted / "java.exe").write_bytes(b"MZ")
        try:
            path = ('.;C:\\windows\\system32;"C:\\Runtimes\\zip jdk\\bin";'
                    "C:\\Runtimes\\later\\bin")
            got = self.started_path(variables={"PATH": path}, cwd=planted)
        finally:
            (planted / "java.exe").unlink()
        self.assertEqual(got, "C:\\Runtimes\\zip jdk\\bin")

    def test_long_path_with_java_last(self):
        # About 1,000 characters, as a developer's PATH often is, with the
        # only java.exe in its last entry, a folder of over 260 characters.
        folder = "C:\\Runtimes\\" + "\\".join(c * 90 for c in "lon") + "\\bin"
        self.runtime(folder[:-4])
        path = ";".join(f"C:\\Tools\\tool{i:03}\\bin" for i in range(38)) + ";" + folder
        self.assertGreater(len(path), 1000)
        self.assertEqual(self.started_path(variables={"PATH": path}), folder)

    def test_older_phase_wins_over_a_newer_runtime(self):
        self.registered("JavaSoft\\JDK\\21", "JavaHome", self.runtime("C:\\Runtimes\\jdk21", "21"))
        self.runtimes((RE, "1.6.0_07", "C:\\Runtimes\\jre6"))
        self.assertEqual(self.started_path(variables={"JAVA_HOME": "C:\\Runtimes\\jdk21"}),
                         "C:\\Runtimes\\jre6\\bin")

    def test_nothing_usable_still_shows_the_window(self):
        self.registered("JavaSoft\\JDK\\17", "JavaHome", "C:\\Runtimes\\uninstalled")
        self.registered("JavaSoft\\JDK\\1.5", "JavaHome", self.runtime("C:\\Runtimes\\jdk15"))
        self.inspect_failure_window()


class TraceTest(LauncherCase):
    """The trace of the search, on request: what it names for each way a
    launch ends, and that a trace that cannot be written, or none, changes
    nothing."""

    TRACE = "C:\\Users\\Public\\Жук trace.txt"  # outside the ANSI code page too

    def setUp(self):
        super().setUp()
        self.host.remove(self.TRACE)

    def trace(self):
        return self.host.unix(self.TRACE).read_bytes().decode("utf-8-sig")

    def assert_in_order(self, trace, *lines):
        at = 0
        for line in lines:
            found = trace.find(line, at)
            self.assertGreaterEqual(found, 0, f"{line!r} missing after offset {at} of\n{trace}")
            at = found + len(line)

    def traced_start(self, exe, **kwargs):
        got = self.launch(exe, variables={"VELMORANT_LAUNCHER_TRACE": self.TRACE}, **kwargs)
        data = self.host.unix(self.TRACE).read_bytes()
        self.assertNotIn(b"\n", data.replace(b"\r\n", b""), "every line ends in CRLF")
        return got, self.trace()

    def test_registry_scan(self):
        self.runtimes((RE, "1.5.0_22", "C:\\Java\\jre5"), (RE, "1.6.0_07", "C:\\Java\\jre6"))
        exe = self.host.lay_out_app("C:\\Apps\\Traced", archive=False)
        got, trace = self.traced_start(exe, arguments="C:\\docs\\a.vel")
        self.assertEqual(got["PATH"], "C:\\Java\\jre6\\bin")
        self.assert_in_order(
            trace, "ms  Velmorant launcher 1.04, C:\\Apps\\Traced\\Velmorant.exe\r\n",
            'Command line: "C:\\Apps\\Traced\\Velmorant.exe" C:\\docs\\a.vel', "Windows ",
            "Set filetouse to C:\\docs\\a.vel", "Scanning HKLM\\Software\\JavaSoft\\" + RE,
            "Subkey 1.5.0_22: not version 1.6 or later, passed over",
            "1.6.0_07 (", "\\JavaHome = \"C:\\Java\\jre6\"", "Set PATH to C:\\Java\\jre6\\bin",
            "C:\\Apps\\Traced\\Velmorant.jar: not found",
            "Started C:\\Apps\\Traced\\openFile.bat; the launcher ends")

    def test_todays_runtimes(self):
        self.registered("JavaSoft\\JDK\\17", "JavaHome", self.runtime("C:\\Runtimes\\jdk-17", "17.0.2"))
        _, trace = self.traced_start(self.host.lay_out_app("C:\\Apps\\Traced", archive=False))
        self.assert_in_order(trace, "c:\\java\\bin holds no java.exe: passed over",
                             "JAVA_HOME is not set",
                             "HKLM\\Software\\JavaSoft\\JDK\\17 (",
                             "C:\\Runtimes\\jdk-17\\bin\\java.exe: found",
                             "C:\\Runtimes\\jdk-17: version 17.0.2 (from its release file), a candidate",
                             "1 registered runtime found\r\n", "Set PATH to C:\\Runtimes\\jdk-17\\bin",
                             "Started C:\\Apps\\Traced\\openFile.bat")

    def test_window(self):
        self.runtimes((RE, "1.6.0_07", "C:\\Java\\jre6"))
        exe = self.host.lay_out_app("C:\\Apps\\Traced", archive=False, batch=False)
        self.inspect_failure_window(exe, variables={"VELMORANT_LAUNCHER_TRACE": self.TRACE})
        self.assert_in_order(self.trace(), "Set PATH to C:\\Java\\jre6\\bin",
                             "Could not start C:\\Apps\\Traced\\openFile.bat: error 2, ",
                             "Nothing could be started: the window saying so is shown\r\n")

    def test_values_that_cannot_be_written_change_nothing(self):
        self.runtimes((RE, "1.6.0_07", "C:\\Java\\jre6"))
        exe = self.host.lay_out_app("C:\\Apps\\Traced", archive=False)
        self.host.write("C:\\Users\\Public\\readonly.txt", b"keep")
        self.host.unix("C:\\Users\\Public\\readonly.txt").chmod(0o444)
        for value in ("C:\\Users\\Public", "C:\\nowhere\\trace.txt", "NUL", "COM1",
                      "C:\\Users\\Public\\readonly.txt", "C:\\" + "x" * 32000):
            with self.subTest(value=value[:40]):
                got = self.launch(exe, variables={"VELMORANT_LAUNCHER_TRACE": value})
                self.assertEqual(got["PATH"], "C:\\Java\\jre6\\bin")
        self.assertEqual(self.host.unix("C:\\Users\\Public\\readonly.txt").read_bytes(), b"keep")
        self.assertFalse(self.host.unix("C:\\nowhere").exists())

    def test_quoted_and_relative_values(self):
        self.runtimes((RE, "1.6.0_07", "C:\\Java\\jre6"))
        exe = self.host.lay_out_app("C:\\Apps\\Traced", archive=False)
        here = self.host.unix("C:\\Users\\Public\\Here")
        here.mkdir(parents=True, exist_ok=True)
        for value, written in (('"' + self.TRACE + '"', self.host.unix(self.TRACE)),
                               ("relative.txt", here / "relative.txt")):
            with self.subTest(value=value):
                self.launch(exe, cwd=here, variables={"VELMORANT_LAUNCHER_TRACE": value})
                self.assertIn("Started ", written.read_bytes().decode("utf-8-sig"))

    def test_no_variable_writes_no_file(self):
        self.runtimes((RE, "1.6.0_07", "C:\\Java\\jre6"))
        exe = self.host.lay_out_app("C:\\Apps\\Traced", archive=False)
        drive = self.host.unix("C:\\")
        wine_own = {"windows", "programdata", "users"}

        def files():
            found = {}
            for path in drive.rglob("*"):
                parts = path.relative_to(drive).parts
                if parts[0].lower() in wine_own and not (
                        parts[0].lower() == "users" and len(parts) > 1 and parts[1] == "Public"):
                    continue
                if path.is_file() and path.name != "record.txt":
                    found[path] = (path.stat().st_mtime_ns, path.stat().st_size)
            return found

        before = files()
        self.launch(exe)
        self.assertEqual(files(), before)


MESSAGE = (
    "Sorry, the Kestrelwick program could not locate your Java software. This may occur if "
    "Java is not installed, or your Java version is too old. Visit https://www.java.com to get "
    "the latest version of Java, or try running the program using one of the other links in "
    "the start menu.")

WS_CAPTION, WS_SYSMENU, WS_THICKFRAME = 0x00C00000, 0x00080000, 0x00040000
WS_MINIMIZEBOX, WS_MAXIMIZEBOX, WS_VISIBLE = 0x00020000, 0x00010000, 0x10000000
SS_TYPEMASK, SS_CENTER = 0x1F, 0x1


class WindowTest(LauncherCase):
    """The failure window, seen from outside by the probe."""

    def set_dpi(self, dpi):
        self.host.reg([r"[HKEY_CURRENT_USER\Control Panel\Desktop]",
                       f'"LogPixels"=dword:{dpi:08x}'])

    def test_failure_window_at_96_dpi(self):
        got = self.inspect_failure_window()
        self.assertEqual(got["dpi"], 96)
        self.assertEqual((got["clientWidth"], got["clientHeight"]), (306, 79))
        self.assertEqual(got["caption"], "Java Kestrelwick")
        self.assertTrue(got["active"])
        style = got["style"]
        self.assertEqual(style & (WS_CAPTION | WS_SYSMENU | WS_VISIBLE),
                         WS_CAPTION | WS_SYSMENU | WS_VISIBLE)
        self.assertEqual(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0)
        # Wine hands out neither another process's system menu nor its icon
        # handles; tools/screenshot.sh shows both instead.

        file_list, label = got["controls"]
        self.assertEqual(file_list["class"].lower(), "listbox")
        self.assertEqual([file_list[k] for k in ("left", "top", "width", "height")],
                         [232, 152, 81, 32])
        self.assertTrue(file_list["visible"] and file_list["enabled"] and file_list["focused"])
        self.assertEqual(label["class"].lower(), "static")
        self.assertEqual([label[k] for k in ("left", "top", "width", "height")], [8, 8, 289, 73])
        self.assertEqual(label["style"] & SS_TYPEMASK, SS_CENTER)
        self.assertEqual(label["text"], MESSAGE)
        self.assertFalse(label["focused"])

    def test_close_command_ends_the_launcher(self):
        # Alt+F4 and the system menu's Close both send SC_CLOSE.
        self.inspect_failure_window(close="syscommand")

    def test_failure_window_scales_with_the_density(self):
        self.set_dpi(144)
        try:
            got = self.inspect_failure_window()
        finally:
            self.set_dpi(96)
        self.assertEqual(got["dpi"], 144)
        self.assertEqual(got["clientWidth"], 459)
        self.assertIn(got["clientHeight"], (118, 119))
        label = got["controls"][1]
        self.assertEqual((label["left"], label["width"]), (12, 434))

    def test_successful_start_never_shows_the_window(self):
        self.runtimes((RE, "1.6.0_07", "C:\\Java\\jre6"))
        exe = self.host.lay_out_app("C:\\Apps\\Unseen", archive=False)
        out = "C:\\probe.json"
        self.host.remove(out)
        watcher = subprocess.Popen(self.host.command("C:\\helpers\\probe.exe", out, "watch", "4000"),
                                   env=self.host.env, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        time.sleep(1.0)  # let the watcher start looking
        self.launch(exe)
        watcher.wait(timeout=stretched(60))
        got = json.loads(self.host.unix(out).read_text(encoding="utf-8"))
        self.assertFalse(got["seenVisible"])

    def traced_run(self, exe, close_window=False):
        """Runs the launcher straight under Wine with its window and DLL
        tracing on; returns the trace lines of the launcher's own process."""
        env = dict(self.host.env, WINEDEBUG="+pid,+win,+loaddll",
                   VELMORANT_RECORD="C:\\record.txt")
        with tempfile.TemporaryFile() as trace:
            launcher = subprocess.Popen(self.host.command(exe), env=env,
                                        stdout=subprocess.DEVNULL, stderr=trace)
            if close_window:
                self.probe("inspect", int(stretched(30000)), "close")
            self.assertEqual(launcher.wait(timeout=stretched(60)), 0)
            trace.seek(0)
            lines = trace.read().decode("utf-8", "replace").splitlines()
        name = exe.rsplit("\\", 1)[1]
        pid = next(l.split(":")[0] for l in lines if "Loaded" in l and name in l)
        return [l for l in lines if l.startswith(pid + ":")]

    def test_successful_start_touches_no_window_at_all(self):
        # Not even hidden: no window is created and no display driver is
        # loaded (under Wine, the first window connects to the display).
        # The failure path shows that the trace would see both.
        touches = ("CreateWindowEx", "winex11.drv", "winewayland.drv")
        self.runtimes((RE, "1.6.0_07", "C:\\Java\\jre6"))
        self.host.associate_jar()
        for archive in (False, True):
            with self.subTest(archive=archive):
                self.host.remove("C:\\record.txt")
                exe = self.host.lay_out_app("C:\\Apps\\Untouched", archive=archive)
                lines = self.traced_run(exe)
                self.assertEqual(len(read_records(self.record)), 1)
                self.assertEqual([l for l in lines if any(t in l for t in touches)], [])
        self.host.reset_registry()
        lines = self.traced_run(self.host.lay_out_app("C:\\Apps\\Touched"), close_window=True)
        for touch in touches[:2]:
            self.assertTrue(any(touch in l for l in lines), touch)

    def test_program_resources(self):
        exe = self.host.lay_out_app("C:\\Apps\\Resources")
        got = self.probe("resources", exe)
        self.assertEqual(sorted(i["size"] for i in got["icons"]), [16, 24, 32, 48])
        for image in got["icons"]:
            self.assertEqual((image["bitCount"], image["colors"], image["opaque"]), (8, 256, True))
        version = got["version"]
        self.assertEqual((version["file"], version["product"]), ("1.4.0.0", "1.4.0.0"))
        self.assertEqual((version["fileVersion"], version["productVersion"]), ("1.04", "1.04"))
        self.assertEqual((version["language"], version["codePage"]), (0x0409, 1200))


class HostileTest(LauncherCase):
    """Odd registries, folders, command lines and starts on the real platform."""

    FALLBACK = "C:\\Fallback"

    def test_javahome_of_every_type_through_the_real_registry(self):
        # The odd value sits in the scanned key; a fallback in the development
        # kit's key shows when it read as "Not Found".
        fallback = self.FALLBACK + "\\bin"
        cases = (
            ('"C:\\\\J"', "C:\\J\\bin"),
            ("hex(2):43,00,3a,00,5c,00,4a,00,00,00", fallback),          # REG_EXPAND_SZ
            ("hex(7):43,00,3a,00,5c,00,4a,00,00,00,00,00", fallback),    # REG_MULTI_SZ
            ("dword:00000005", fallback),                                # REG_DWORD
            # REG_BINARY reads as a number: "-1\\bin" is no absolute folder,
            # and is never looked for below the current one.
            ("hex:ff,ff", fallback),
            ("hex:05", fallback),
            ("hex:01,02,03", fallback),
            ("hex:" + ",".join(["01"] * 100), fallback),
            ("hex(1):43,00,3a,00,5c,00,4a,00", "C:\\J\\bin"),              # no ending NUL
            ("hex(1):43,00,3a,00,5c,00,4a,00,4b", "C:\\J\\bin"),           # odd size
            ("hex(1):43,00,3a,00,5c,00,41,00,00,00,42,00,00,00", "C:\\A\\bin"),  # NUL inside
            ("hex(1):", fallback),                                       # size 0
            ('""', fallback),
            # Longer than Windows takes for PATH: the runtime is passed over.
            (reg_quote("C:\\" + "y" * 40000), fallback),
        )
        exe = self.host.lay_out_app("C:\\Apps\\Types", archive=False)
        for folder in ("C:\\J", "C:\\A", self.FALLBACK):
            self.runtime(folder)
        # A java.exe where the REG_BINARY value would lead, below the folder
        # the launcher is started in.
        self.runtime("C:\\-1")
        for raw, path in cases:
            with self.subTest(value=raw[:40]):
                self.host.reset_registry()
                self.host.reg(WineHost.runtime_lines(RE, "1.6.0_07", raw_value=raw)
                              + WineHost.runtime_lines(DK, "1.6", self.FALLBACK))
                self.assertEqual(self.launch(exe, cwd=self.host.unix("C:\\"))["PATH"], path)
        for folder in ("C:\\J", "C:\\A", self.FALLBACK, "C:\\-1"):
            self.host.remove(folder)

    def test_command_lines(self):
        exe = self.host.lay_out_app("C:\\Apps\\Lines", archive=False)
        self.runtimes((RE, "1.6", "C:\\J16"))
        long_argument = "C:\\" + "x" * 31990
        cases = (
            ("only spaces", f'"{exe}"     ', ""),
            ("32,000 characters", f'"{exe}" {long_argument}', long_argument),
            ("name without quotes", f"{exe} doc.vel", "doc.vel"),
            ("quotes, tabs and spaces, exactly", f'"{exe}" \t "a  b"\t c  ', '"a  b"\t c  '),
        )
        for what, command_line, filetouse in cases:
            with self.subTest(what):
                got = self.launch(exe, command_line=command_line)
                self.assertEqual(got["filetouse"], filetouse)

    def test_relative_program_name(self):
        exe = self.host.lay_out_app("C:\\Apps\\Relative", archive=False)
        self.runtimes((RE, "1.6", "C:\\J16"))
        got = self.launch(exe, command_line="Velmorant.exe doc.vel",
                          cwd=self.host.unix("C:\\Apps\\Relative"))
        self.assertEqual((got["filetouse"], got["directory"]), ("doc.vel", "C:\\Apps\\Relative"))

    def test_launcher_at_a_drive_root(self):
        self.runtimes((RE, "1.6", "C:\\J16"))
        self.host.write("C:\\Velmorant.exe", (self.host.build / "Velmorant.exe").read_bytes())
        self.host.write("C:\\openFile.bat", b'@"C:\\helpers\\recorder.exe" batch\r\n')
        try:
            got = self.launch("C:\\Velmorant.exe")
        finally:
            self.host.remove("C:\\Velmorant.exe")
            self.host.remove("C:\\openFile.bat")
        self.assertEqual(got["directory"], "C:")
        self.assertEqual(got["commandLine"], '"C:\\helpers\\recorder.exe" batch')

    def test_folders_in_place_of_files(self):
        self.runtimes((RE, "1.6.0_07", "C:\\J16"))
        self.host.associate_jar()
        # An archive that is a folder: not started (no file manager opens);
        # the batch file takes over.
        exe = self.host.lay_out_app("C:\\Apps\\Folders", archive=False)
        self.host.unix("C:\\Apps\\Folders\\Velmorant.jar").mkdir()
        got = self.launch(exe)
        self.assertEqual(got["commandLine"], '"C:\\helpers\\recorder.exe" batch')

    def test_batch_file_that_is_a_folder_leads_to_the_window(self):
        self.runtimes((RE, "1.6.0_07", "C:\\J16"))
        exe = self.host.lay_out_app("C:\\Apps\\BatchFolder", archive=False, batch=False)
        self.host.unix("C:\\Apps\\BatchFolder\\openFile.bat").mkdir()
        self.inspect_failure_window(exe)

    def test_association_to_a_missing_program_falls_back(self):
        self.runtimes((RE, "1.6.0_07", "C:\\J16"))
        self.host.associate_jar("C:\\nowhere\\javaw.exe")
        exe = self.host.lay_out_app("C:\\Apps\\Missing")
        got = self.launch(exe)
        self.assertEqual(got["commandLine"], '"C:\\helpers\\recorder.exe" batch')

    def test_subkey_name_of_255_characters(self):
        name = "1.7_" + "x" * 251
        self.runtimes((RE, name, "C:\\J17"))
        exe = self.host.lay_out_app("C:\\Apps\\LongName", archive=False)
        self.assertEqual(self.launch(exe)["PATH"], "C:\\J17\\bin")


class Win32PlatformTest(unittest.TestCase):
    """The Win32 platform's own conversions and refusals, in its tables."""

    def test_platform_tables(self):
        # Output to a file, not a pipe: a wineserver started by this call
        # would hold a pipe open after the program ends.
        with tempfile.TemporaryFile() as out:
            code = subprocess.run(HOST.command("C:\\helpers\\platform_test.exe"), env=HOST.env,
                                  stdout=out, stderr=subprocess.DEVNULL,
                                  timeout=stretched(120)).returncode
            out.seek(0)
            output = out.read().decode("utf-8", "replace")
        print(output.strip().splitlines()[-1] if output.strip() else "(no output)", file=sys.stderr)
        self.assertEqual(code, 0, output)


class SignedProgramTest(LauncherCase):
    """The program signed as the release signs it still starts under Wine."""

    def test_signed_program_starts(self):
        root = Path(__file__).resolve().parents[2]
        with tempfile.TemporaryDirectory() as work:
            subprocess.run([str(root / "tests" / "sign" / "test_sign.sh"), work + "/key"],
                           check=True, stdout=subprocess.DEVNULL)
            signed = Path(work) / "Velmorant.exe"
            subprocess.run(["cmake", f"-DIN={self.host.build / 'Velmorant.exe'}", f"-DOUT={signed}",
                            f"-DSOURCE_DIR={root}", "-P", str(root / "cmake" / "Sign.cmake")],
                           check=True, env=dict(os.environ, VELMORANT_SIGN_PKCS12=work + "/key/sign.p12",
                                                VELMORANT_SIGN_PASSWORD="throwaway"))
            self.runtimes((RE, "1.6.0_07", "C:\\Java\\jre6"))
            exe = self.host.lay_out_app("C:\\Apps\\Signed", archive=False)
            self.host.write(exe, signed.read_bytes())
        self.assertEqual(self.launch(exe)["PATH"], "C:\\Java\\jre6\\bin")


class PlantedDllTest(LauncherCase):
    """A DLL planted beside the launcher or in the current folder never loads."""

    OVERRIDES = r"HKEY_CURRENT_USER\Software\Wine\AppDefaults\Velmorant.exe\DllOverrides"

    def test_planted_dll_never_loads(self):
        # uxtheme.dll is loaded late, when the window is built. Wine prefers
        # its own system DLLs to a planted one unless told otherwise, so the
        # launcher (and nothing else) is told to take a DLL found on its
        # search path first, as Windows does for a DLL that is not a known one.
        self.host.reg([f"[{self.OVERRIDES}]", '"uxtheme"="native,builtin"'])
        self.runtimes((RE, "1.6.0_07", "C:\\Java\\jre6"))
        dll = (self.host.build / "helpers" / "planted.dll").read_bytes()
        cwd = "C:\\Users\\Public\\Planted"
        loaded = self.host.unix("C:\\planted-loaded.txt")
        try:
            for path in ("start", "window"):
                with self.subTest(path):
                    self.host.remove("C:\\planted-loaded.txt")
                    self.host.remove("C:\\record.txt")
                    app = "C:\\Apps\\Planted"
                    exe = self.host.lay_out_app(app, archive=False, batch=path == "start")
                    for folder in (app, cwd):
                        self.host.write(folder + "\\uxtheme.dll", dll)
                    if path == "start":
                        self.launch(exe, cwd=self.host.unix(cwd))
                    else:
                        self.inspect_failure_window(exe, cwd=self.host.unix(cwd))
                    self.assertFalse(loaded.exists(), loaded.exists() and loaded.read_text())
        finally:
            self.host.reg([f"[-{self.OVERRIDES}]"])
            self.host.remove(cwd)


def main():
    global HOST
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--helpers", help="the build of the helpers, when not --build's")
    args, rest = parser.parse_known_args()
    HOST = WineHost(args.build, helpers_build=args.helpers).start()
    config = "wow64" if HOST.wow64 else HOST.arch
    print(f"End-to-end tests of {HOST.build / 'Velmorant.exe'} under Wine, configuration "
          f"{config}: a {HOST.prefix_bits}-bit prefix with {HOST.prefix_arch} helpers", flush=True)
    loader = unittest.TestLoader()
    if HOST.wow64:
        every = loader.getTestCaseNames
        loader.getTestCaseNames = lambda case: [
            name for name in every(case)
            if getattr(getattr(case, name), "differs_on_64bit_windows", False)]
    try:
        program = unittest.main(argv=[sys.argv[0], "-v", *rest], exit=False, testLoader=loader)
    finally:
        HOST.stop()
    result = program.result
    # A test with failing subtests is reported once per subtest; count tests.
    failed = len({str(test).split(" ")[0] for test, _ in result.failures + result.errors})
    print(f"{config}: {result.testsRun - failed - len(result.skipped)} passed, {failed} failed")
    return 0 if result.wasSuccessful() and result.testsRun > 0 else 1


if __name__ == "__main__":
    sys.exit(main())

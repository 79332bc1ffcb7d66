#!/usr/bin/env python3
"""The probe for 32-bit code tells an emulator registered with binfmt_misc
from the kernel's own support: a table of handlers, laid out as the kernel
shows them, and whether each takes a 32-bit x86 program."""
import sys
import tempfile
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools"))
import runs_32bit_code  # noqa: E402

QEMU = "/usr/bin/qemu-i386-static"
# As registered by hand (see the README), and as Debian's packages register
# qemu for other processors.
I386 = ("7f454c4601010100000000000000000002000300",
        "fffffffffffefe00fffffffffffffffffeffffff")
AARCH64 = ("7f454c460201010000000000000000000200b700",
           "ffffffffffffff00fffffffffffffffffeffffff")
X86_64 = ("7f454c4602010100000000000000000002003e00",
          "fffffffffffefe00fffffffffffffffffeffffff")


class EmulatorTest(unittest.TestCase):
    def test_handlers(self):
        cases = (
            ("i386 handler", "enabled", [("qemu-i386", "enabled", I386)], QEMU),
            ("i386 handler switched off", "enabled", [("qemu-i386", "disabled", I386)], None),
            ("binfmt_misc switched off", "disabled", [("qemu-i386", "enabled", I386)], None),
            ("other processors only", "enabled",
             [("qemu-aarch64", "enabled", AARCH64), ("qemu-x86_64", "enabled", X86_64)], None),
            ("no handler", "enabled", [], None),
        )
        program = runs_32bit_code.tiny_elf32()
        for what, status, entries, interpreter in cases:
            with self.subTest(what), tempfile.TemporaryDirectory() as folder:
                binfmt = Path(folder)
                (binfmt / "status").write_text(status + "\n")
                (binfmt / "register").write_text("")
                for name, state, (magic, mask) in entries:
                    (binfmt / name).write_text(
                        f"{state}\ninterpreter {QEMU}\nflags: F\noffset 0\n"
                        f"magic {magic}\nmask {mask}\n")
                self.assertEqual(runs_32bit_code.emulator(program, binfmt), interpreter)
        # Where binfmt_misc is not mounted, nothing is registered.
        self.assertIsNone(runs_32bit_code.emulator(program, Path("/nonexistent")))


if __name__ == "__main__":
    result = unittest.main(exit=False).result
    failed = len(result.failures) + len(result.errors)
    print(f"{result.testsRun - failed} passed, {failed} failed")
    sys.exit(0 if result.wasSuccessful() else 1)

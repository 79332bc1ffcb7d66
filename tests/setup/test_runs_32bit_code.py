#!/usr/bin/env python3
"""The probe for 32-bit code tells an emulator registered with binfmt_misc
from the kernel's own support: handlers laid out as the kernel shows them,
and whether one takes a 32-bit x86 program."""
import sys
import tempfile
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools"))
import runs_32bit_code  # noqa: E402

QEMU = "/usr/bin/qemu-i386-static"
# As registered by hand (see the README), and as Debian registers qemu for ARM64.
I386 = "7f454c4601010100000000000000000002000300", "fffffffffffefe00fffffffffffffffffeffffff"
ARM64 = "7f454c460201010000000000000000000200b700", "ffffffffffffff00fffffffffffffffffeffffff"


class EmulatorTest(unittest.TestCase):
    def test_handlers(self):
        cases = (  # binfmt_misc's status, the handler's state, its magic and mask, interpreter
            ("enabled", "enabled", I386, QEMU),
            ("enabled", "disabled", I386, None),
            ("disabled", "enabled", I386, None),
            ("enabled", "enabled", ARM64, None),
        )
        program = runs_32bit_code.tiny_elf32()
        for status, state, (magic, mask), interpreter in cases:
            with self.subTest(status=status, state=state, magic=magic), \
                    tempfile.TemporaryDirectory() as folder:
                binfmt = Path(folder)
                (binfmt / "status").write_text(status + "\n")
                (binfmt / "register").write_text("")
                (binfmt / "qemu").write_text(f"{state}\ninterpreter {QEMU}\nflags: F\noffset 0\n"
                                             f"magic {magic}\nmask {mask}\n")
                self.assertEqual(runs_32bit_code.emulator(program, binfmt), interpreter)
        # binfmt_misc not mounted: nothing is registered.
        self.assertIsNone(runs_32bit_code.emulator(program, Path("/nonexistent")))


if __name__ == "__main__":
    result = unittest.main(exit=False).result
    failed = len(result.failures) + len(result.errors)
    print(f"{result.testsRun - failed} passed, {failed} failed")
    sys.exit(0 if result.wasSuccessful() else 1)

#!/usr/bin/env python3
"""Exits 0 when this machine's kernel runs 32-bit x86 Linux programs, 2 when
they run only through an emulator (QEMU's user mode, registered with
binfmt_misc), 1 when they do not run at all.

It tries: it writes the smallest 32-bit program (an ELF file whose only
instructions call exit(0)) and runs it. A kernel with 32-bit emulation turned
off refuses it with "Exec format error"; 32-bit Wine cannot work there. An
enabled binfmt_misc handler whose magic and mask match that program takes it
before the kernel's own loader, even where that loader would run it: then
32-bit Wine runs, but every 32-bit process costs about a minute of processor
time, far too slow for the test suite. With --say, the handler's interpreter
is printed.
"""
import os
import struct
import subprocess
import sys
import tempfile
from pathlib import Path

BINFMT = Path("/proc/sys/fs/binfmt_misc")
BASE = 0x08048000
HEADER, PROGRAM_HEADER = 52, 32
CODE = bytes([0xB8, 0x01, 0x00, 0x00, 0x00,   # mov eax, 1 (exit)
              0x31, 0xDB,                     # xor ebx, ebx (status 0)
              0xCD, 0x80])                    # int 0x80


def tiny_elf32():
    size = HEADER + PROGRAM_HEADER + len(CODE)
    ident = b"\x7fELF" + bytes([1, 1, 1]) + bytes(9)  # 32-bit, little-endian, version 1
    header = ident + struct.pack("<HHIIIIIHHHHHH", 2, 3, 1, BASE + HEADER + PROGRAM_HEADER,
                                 HEADER, 0, 0, HEADER, PROGRAM_HEADER, 1, 0, 0, 0)
    program = struct.pack("<IIIIIIII", 1, 0, BASE, BASE, size, size, 5, 0x1000)
    return header + program + CODE


def emulator(program, binfmt=BINFMT):
    """The interpreter of the enabled binfmt_misc handler that takes
    `program` (its first bytes), or None."""
    try:
        if (binfmt / "status").read_text().strip() != "enabled":
            return None
        entries = [entry for entry in binfmt.iterdir() if entry.name not in ("register", "status")]
    except OSError:
        return None
    for entry in entries:
        try:
            lines = entry.read_text().splitlines()
        except OSError:
            continue
        fields = dict(line.split(" ", 1) for line in lines[1:] if " " in line)
        if lines[:1] != ["enabled"] or "magic" not in fields:
            continue
        magic = bytes.fromhex(fields["magic"])
        mask = bytes.fromhex(fields.get("mask", "ff" * len(magic)))
        start = int(fields.get("offset", "0"))
        head = program[start:start + len(magic)]
        if len(head) == len(magic) and all(h & m == g & m for h, g, m in zip(head, magic, mask)):
            return fields.get("interpreter", entry.name)
    return None


def main():
    program = tiny_elf32()
    interpreter = emulator(program)
    if interpreter is not None:
        if "--say" in sys.argv:
            print(interpreter)
        return 2
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "exit32")
        with open(path, "wb") as out:
            out.write(program)
        os.chmod(path, 0o755)
        try:
            return 0 if subprocess.run([path], timeout=10).returncode == 0 else 1
        except OSError:
            return 1


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Exits 0 when this machine can run 32-bit x86 Linux programs, 1 when not.

It tries: it writes the smallest 32-bit program (an ELF file whose only
instructions call exit(0)) and runs it. A kernel with 32-bit emulation turned
off refuses it with "Exec format error"; 32-bit Wine cannot work there.
"""
import os
import struct
import subprocess
import sys
import tempfile

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


def main():
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "exit32")
        with open(path, "wb") as out:
            out.write(tiny_elf32())
        os.chmod(path, 0o755)
        try:
            return 0 if subprocess.run([path], timeout=10).returncode == 0 else 1
        except OSError:
            return 1


if __name__ == "__main__":
    sys.exit(main())

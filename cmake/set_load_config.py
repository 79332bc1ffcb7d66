#!/usr/bin/env python3
"""Points a linked program's load-configuration directory at its
_load_config_used structure, which GNU ld leaves out of the PE header.

The structure's address comes from the linker's map, its size from its own
first field, as Windows reads it; a checksum the linker wrote is made anew.
The file is changed in place; running it again changes nothing, and the same
input gives the same bytes.

Usage: set_load_config.py --exe PROGRAM --map LINK_MAP --symbol NAME
"""
import argparse
import struct
import sys
from pathlib import Path

LOAD_CONFIG_DIRECTORY = 10


def symbol_address(map_text, symbol):
    for line in map_text.splitlines():
        words = line.split()
        if len(words) == 2 and words[1] == symbol and words[0].startswith("0x"):
            return int(words[0], 16)
    raise SystemExit(f"set_load_config.py: {symbol} is not in the link map")


def checksum(data, field):
    """The PE checksum, as the linker made it: the file's 16-bit words added
    with their carries folded back in, the checksum field itself left out,
    plus the file's length."""
    padded = bytes(data[:field]) + b"\0\0\0\0" + bytes(data[field + 4:])
    if len(padded) % 2:
        padded += b"\0"
    total = sum(struct.unpack(f"<{len(padded) // 2}H", padded))
    while total > 0xFFFF:
        total = (total & 0xFFFF) + (total >> 16)
    return total + len(data)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--map", required=True)
    parser.add_argument("--symbol", required=True)
    args = parser.parse_args()

    exe = Path(args.exe)
    data = bytearray(exe.read_bytes())
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise SystemExit(f"set_load_config.py: {exe} is no PE file")
    sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    optional = pe + 24
    wide = struct.unpack_from("<H", data, optional)[0] == 0x20B
    image_base = struct.unpack_from("<Q" if wide else "<I", data, optional + (24 if wide else 28))[0]

    rva = symbol_address(Path(args.map).read_text(), args.symbol) - image_base
    for i in range(sections):
        header = optional + optional_size + 40 * i
        size, address, raw_size, raw = struct.unpack_from("<IIII", data, header + 8)
        if address <= rva < address + min(size, raw_size):
            offset = raw + rva - address
            break
    else:
        raise SystemExit(f"set_load_config.py: {args.symbol} lies in no section of {exe}")

    directory = optional + (112 if wide else 96) + 8 * LOAD_CONFIG_DIRECTORY
    struct.pack_into("<II", data, directory, rva, struct.unpack_from("<I", data, offset)[0])
    if struct.unpack_from("<I", data, optional + 64)[0] != 0:
        struct.pack_into("<I", data, optional + 64, checksum(data, optional + 64))
    exe.write_bytes(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())

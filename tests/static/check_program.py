#!/usr/bin/env python3
"""Checks a built Velmorant.exe without running it: the machine type, the GUI
subsystem, imports of system DLLs only, nothing that needs the C runtime's
start-up code, the load configuration, the version block, the four icon
images, the manifest, and what makes two builds of one commit the same bytes
(no time stamp, no path of the folders it was built in). This is how the
shipped 32-bit program is checked on machines that cannot run 32-bit code.

Usage: check_program.py --exe PATH --machine i686|x86_64 [--map LINK_MAP]
                        [--build-path DIR ...]
                        [unittest arguments]
"""
import argparse
import struct
import subprocess
import sys
import unittest
import xml.etree.ElementTree as ElementTree
from pathlib import Path

MACHINES = {"i686": 0x014C, "x86_64": 0x8664}
IMAGE_SUBSYSTEM_WINDOWS_GUI = 2
RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24
SYSTEM_DLLS = {"advapi32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll", "ole32.dll", "shlwapi.dll",
               "shell32.dll", "user32.dll"}


class PortableExecutable:
    """The few parts of a PE file that the checks read."""

    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE file")
        self.machine, sections, self.timestamp, _, _, optional_size, _ = struct.unpack_from(
            "<HHIIIHH", data, pe + 4)
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        self.subsystem = struct.unpack_from("<H", data, optional + 68)[0]
        self.entry_point = struct.unpack_from("<I", data, optional + 16)[0]
        directories = optional + (96 if magic == 0x10B else 112)
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i) for i in range(16)]
        self.sections = []
        for i in range(sections):
            at = optional + optional_size + 40 * i
            size, address, raw_size, raw = struct.unpack_from("<IIII", data, at + 8)
            self.sections.append((address, max(size, raw_size), raw))

    def offset(self, rva):
        for address, size, raw in self.sections:
            if address <= rva < address + size:
                return raw + rva - address
        raise ValueError(f"RVA {rva:#x} lies in no section")

    def text(self, rva):
        at = self.offset(rva)
        return self.data[at:self.data.index(b"\0", at)].decode("ascii")

    def imports(self):
        """{dll name in lower case: [imported function names]}; an import by
        ordinal is named "#<ordinal>"."""
        rva, _ = self.directories[1]
        wide = self.machine == MACHINES["x86_64"]
        thunk_format, ordinal_flag = ("<Q", 1 << 63) if wide else ("<I", 1 << 31)
        found, at = {}, self.offset(rva)
        while True:
            descriptor = struct.unpack_from("<IIIII", self.data, at)
            if not any(descriptor):
                return found
            functions, thunk = [], self.offset(descriptor[0] or descriptor[4])
            while True:
                entry = struct.unpack_from(thunk_format, self.data, thunk)[0]
                if entry == 0:
                    break
                functions.append(f"#{entry & 0xFFFF}" if entry & ordinal_flag
                                 else self.text(entry + 2))
                thunk += struct.calcsize(thunk_format)
            found[self.text(descriptor[3]).lower()] = functions
            at += 20

    def resources(self):
        """{(type, id, language): bytes} of every resource with numeric ids."""
        base = self.offset(self.directories[2][0])
        found = {}

        def walk(at, path):
            named, numbered = struct.unpack_from("<HH", self.data, at + 12)
            for i in range(named + numbered):
                ident, target = struct.unpack_from("<II", self.data, at + 16 + 8 * i)
                if target & 0x80000000:
                    walk(base + (target & 0x7FFFFFFF), path + (ident,))
                else:
                    rva, size = struct.unpack_from("<II", self.data, base + target)
                    start = self.offset(rva)
                    found[path + (ident,)] = self.data[start:start + size]

        walk(base, ())
        return found


def version_tree(block, at=0):
    """One node of a VS_VERSIONINFO block: (key, value bytes, children, end)."""
    length, value_length, kind = struct.unpack_from("<HHH", block, at)
    end = at + length
    key_at = at + 6
    key_end = key_at
    while block[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = block[key_at:key_end].decode("utf-16-le")
    value_at = (key_end + 2 + 3) & ~3
    value_size = value_length * 2 if kind == 1 else value_length
    value = block[value_at:value_at + value_size]
    children, child = [], (value_at + value_size + 3) & ~3
    while child < end:
        node = version_tree(block, child)
        children.append(node)
        child = (node[3] + 3) & ~3
    return key, value, children, end


class ProgramTest(unittest.TestCase):
    exe = None
    map = None
    machine = None
    build_paths = []

    @classmethod
    def setUpClass(cls):
        cls.pe = PortableExecutable(Path(cls.exe).read_bytes())
        cls.found = cls.pe.resources()

    def resource(self, kind, ident):
        matches = [data for (t, i, _), data in self.found.items() if t == kind and i == ident]
        self.assertEqual(len(matches), 1, f"resource type {kind} id {ident}")
        return matches[0]

    def test_machine_type_and_subsystem(self):
        self.assertEqual(self.pe.machine, MACHINES[self.machine])
        self.assertEqual(self.pe.subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI)

    def test_imports_only_system_dlls(self):
        # Linked statically against the compiler runtime: no DLL needs to lie
        # beside the program, and none can be planted there.
        self.assertLessEqual(set(self.pe.imports()), SYSTEM_DLLS)

    # The program starts at its own entry point, so the C runtime's start-up
    # code never runs. What that code would have prepared must not be needed:
    # pseudo-relocations (data imported without dllimport, patched at start),
    # thread-local storage, and the runtime's own state behind most of
    # msvcrt.dll. The functions below ready themselves or keep no state.
    MSVCRT_WITHOUT_START_UP = {"free", "malloc", "memchr", "memcmp", "memcpy", "memmove",
                               "memset", "strlen", "wcslen"}
    EXIT_HANDLERS = {"atexit", "_onexit", "__dllonexit", "_crt_atexit", "_register_onexit_function"}

    def test_entry_point_realigns_the_stack(self):
        # Windows promises a 32-bit entry point 4-byte alignment only; the
        # compiler's code below it assumes 16 ("and esp, -16" realigns it).
        if self.machine != "i686":
            self.skipTest("a 64-bit entry point is called with an aligned stack")
        at = self.pe.offset(self.pe.entry_point)
        self.assertIn(b"\x83\xe4\xf0", self.pe.data[at:at + 16])

    def test_no_sse_in_the_32_bit_code(self):
        # The entry point's realignment is all that makes SSE safe; Windows
        # calls the window procedure with a 4-byte aligned stack too. So the
        # 32-bit code must use the x87 and general registers only.
        if self.machine != "i686" or not self.objdump:
            self.skipTest("a 64-bit stack is always aligned" if self.objdump else "no objdump")
        code = subprocess.run([self.objdump, "-d", self.exe], capture_output=True, text=True,
                              check=True).stdout
        uses = [line.strip() for line in code.splitlines() if "%xmm" in line]
        self.assertEqual(uses[:3], [], "the 32-bit program uses SSE registers")

    def test_no_tls_directory(self):
        self.assertEqual(self.pe.directories[9], (0, 0), "the program has a TLS directory")

    def test_imports_need_no_start_up(self):
        imports = self.pe.imports()
        everything = {name for names in imports.values() for name in names}
        # A function-local static or a global with a destructor registers an
        # exit handler in state that nobody prepared.
        self.assertEqual(everything & self.EXIT_HANDLERS, set(), "an exit handler is registered")
        self.assertLessEqual(set(imports.get("msvcrt.dll", [])), self.MSVCRT_WITHOUT_START_UP)

    def test_no_pseudo_relocations(self):
        if self.map is None:
            self.skipTest("no link map given")
        addresses = {}
        for line in Path(self.map).read_text().splitlines():
            words = line.split()
            if len(words) >= 2 and words[1] in ("__RUNTIME_PSEUDO_RELOC_LIST__",
                                                "__RUNTIME_PSEUDO_RELOC_LIST_END__"):
                addresses[words[1]] = words[0]
        self.assertEqual(len(addresses), 2, "the link map names no pseudo-relocation list")
        self.assertEqual(addresses["__RUNTIME_PSEUDO_RELOC_LIST__"],
                         addresses["__RUNTIME_PSEUDO_RELOC_LIST_END__"],
                         "the program has pseudo-relocations, which nothing applies")

    def test_load_configuration_searches_the_system_folder_only(self):
        # DependentLoadFlags: the loader looks for the imported DLLs' own
        # imports in System32 alone (LOAD_LIBRARY_SEARCH_SYSTEM32), never
        # beside the program, before the entry point can say so itself.
        rva, size = self.pe.directories[10]
        self.assertNotEqual(rva, 0, "the program has no load configuration")
        wide = self.machine == "x86_64"
        at = self.pe.offset(rva)
        flags_at, cookie_at, seh_at = (78, 88, 96) if wide else (54, 60, 64)
        self.assertEqual(struct.unpack_from("<I", self.pe.data, at)[0], size)
        self.assertGreaterEqual(size, flags_at + 2)
        self.assertEqual(struct.unpack_from("<H", self.pe.data, at + flags_at)[0], 0x800)
        # No security cookie for the loader to set, and no SafeSEH table:
        # the structure ends before it.
        self.assertEqual(self.pe.data[at + cookie_at:at + seh_at], bytes(seh_at - cookie_at))
        self.assertLessEqual(size, seh_at)

    def test_version_block(self):
        key, fixed, children, _ = version_tree(self.resource(RT_VERSION, 1))
        self.assertEqual(key, "VS_VERSION_INFO")
        signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", fixed)
        self.assertEqual(signature, 0xFEEF04BD)
        self.assertEqual((file_ms, file_ls, product_ms, product_ls), (0x00010004, 0, 0x00010004, 0))
        blocks = {child[0]: child for child in children}
        table = blocks["StringFileInfo"][2][0]
        self.assertEqual(table[0], "040904B0")
        strings = {k: v.decode("utf-16-le").rstrip("\0") for k, v, _, _ in table[2]}
        self.assertEqual((strings["FileVersion"], strings["ProductVersion"]), ("1.04", "1.04"))
        translation = blocks["VarFileInfo"][2][0]
        self.assertEqual(struct.unpack("<HH", translation[1]), (0x0409, 1200))

    def test_four_opaque_256_colour_icon_images(self):
        group = [key for key in self.found if key[0] == RT_GROUP_ICON]
        self.assertEqual(len(group), 1)
        directory = self.found[group[0]]
        count = struct.unpack_from("<H", directory, 4)[0]
        sizes = []
        for i in range(count):
            width, height, _, _, _, bits, _, ident = struct.unpack_from("<BBBBHHIH", directory,
                                                                         6 + 14 * i)
            self.assertEqual((width, bits), (height, 8))
            image = self.resource(RT_ICON, ident)
            header_size, bmp_width, bmp_height, _, bmp_bits, _, _, _, _, used, _ = \
                struct.unpack_from("<IiiHHIIiiII", image)
            self.assertEqual((bmp_width, bmp_height, bmp_bits), (width, 2 * height, 8))
            self.assertIn(used, (0, 256))
            xor_row = (width + 3) & ~3
            and_row = ((width + 31) // 32) * 4
            mask_at = header_size + 256 * 4 + xor_row * height
            mask = image[mask_at:mask_at + and_row * height]
            self.assertEqual(len(mask), and_row * height)
            self.assertEqual(mask.count(0), len(mask), "every pixel is opaque")
            sizes.append(width)
        self.assertEqual(sorted(sizes), [16, 24, 32, 48])

    def test_same_bytes_from_every_build(self):
        self.assertEqual(self.pe.timestamp, 0, "the PE header carries no time stamp")
        for folder in self.build_paths:
            for encoding in ("utf-8", "utf-16-le"):
                self.assertNotIn(folder.encode(encoding), self.pe.data, f"{folder} is inside")

    def test_shipped_program_fits_in_48_kib(self):
        if self.machine != "i686":
            self.skipTest("the size limit is the shipped 32-bit program's")
        # A signature is appended at the file offset its directory names;
        # the limit is the program's own.
        signature_at, _ = self.pe.directories[4]
        self.assertLessEqual(signature_at or len(self.pe.data), 48 * 1024)

    def test_signature_as_expected(self):
        signature_at, size = self.pe.directories[4]
        if not self.signed:
            self.assertEqual((signature_at, size), (0, 0), "the program carries a signature")
            return
        self.assertGreater(size, 0, "the program carries no signature")
        self.assertEqual(signature_at + size, len(self.pe.data), "data after the signature")

    def test_manifest(self):
        root = ElementTree.fromstring(self.resource(RT_MANIFEST, 1))
        names = {element.tag.split("}")[1]: element for element in root.iter()}
        self.assertEqual(names["requestedExecutionLevel"].get("level"), "asInvoker")
        self.assertEqual(names["dpiAware"].text, "true")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--machine", required=True, choices=sorted(MACHINES))
    parser.add_argument("--map", help="the linker's map of the program")
    parser.add_argument("--signed", action="store_true", help="the program carries a signature")
    parser.add_argument("--objdump", help="the objdump of the program's architecture")
    parser.add_argument("--build-path", action="append", default=[],
                        help="a folder of the build machine that must not be inside the file")
    args, rest = parser.parse_known_args()
    ProgramTest.exe, ProgramTest.machine, ProgramTest.map = args.exe, args.machine, args.map
    ProgramTest.build_paths = args.build_path
    ProgramTest.signed = args.signed
    ProgramTest.objdump = args.objdump
    program = unittest.main(argv=[sys.argv[0], "-v", *rest], exit=False)
    result = program.result
    failed = len(result.failures) + len(result.errors)
    print(f"{result.testsRun - failed - len(result.skipped)} passed, {failed} failed")
    return 0 if result.wasSuccessful() and result.testsRun > 0 else 1


if __name__ == "__main__":
    sys.exit(main())

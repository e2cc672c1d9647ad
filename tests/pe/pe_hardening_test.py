"""Every program and library the project ships is built the way the system expects of what
runs elevated: addresses randomised (relocatable, with 64-bit entropy where the file is 64-bit),
data that never executes, and a stack protector. The setup program, which users start from a
downloads folder, imports at load time only DLLs that the loader takes from the system whatever
lies beside the program; every other DLL it loads later, from System32 (its first act limits the
search to it), so a planted "dwmapi.dll" beside it is never loaded.

Reads the PE headers itself (no outside tool is needed): DllCharacteristics of the optional
header, the relocation table, the import directory, and, for the protector, the symbol
"__stack_chk_fail" in the COFF symbol table of files that keep one, or the guard's own failure
text in stripped ones.

    pe_hardening_test.py --setup SETUP_EXE FILE...
"""

import struct
import sys
import unittest

IMAGE_FILE_RELOCS_STRIPPED = 0x0001
DLLCHARACTERISTICS = {
    "HIGH_ENTROPY_VA": 0x0020,
    "DYNAMIC_BASE": 0x0040,
    "NX_COMPAT": 0x0100,
}
PE32, PE32_PLUS = 0x10B, 0x20B
IMPORT_DIRECTORY, BASE_RELOCATION_DIRECTORY = 1, 5
# The known DLLs of Windows (mapped from the system, never searched for), the common controls
# (the manifest binds them to the system's side-by-side assembly) and the C runtime.
SYSTEM_BOUND_DLLS = {
    "advapi32.dll", "combase.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "imm32.dll",
    "kernel32.dll", "msvcrt.dll", "ole32.dll", "oleaut32.dll", "psapi.dll", "rpcrt4.dll",
    "sechost.dll", "setupapi.dll", "shcore.dll", "shell32.dll", "shlwapi.dll", "user32.dll",
    "ws2_32.dll",
}
# What the stack guard of libssp writes before it ends the program.
GUARD_TEXT = b"stack smashing detected"


class PeFile:
    """The few fields of a PE file that say how it was hardened."""

    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        data = self.data
        if data[:2] != b"MZ":
            raise ValueError(f"{path}: no MZ header")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError(f"{path}: no PE signature")
        (self.machine, sections, _, self.symbol_table, self.symbol_count, optional_size,
         self.characteristics) = struct.unpack_from("<HHIIIHH", data, pe + 4)
        optional = pe + 24
        self.magic = struct.unpack_from("<H", data, optional)[0]
        if self.magic not in (PE32, PE32_PLUS):
            raise ValueError(f"{path}: unknown optional header {self.magic:#x}")
        self.dll_characteristics = struct.unpack_from("<H", data, optional + 70)[0]
        directories = optional + (112 if self.magic == PE32_PLUS else 96)
        self.relocations = struct.unpack_from(
            "<II", data, directories + 8 * BASE_RELOCATION_DIRECTORY)
        self.imports = struct.unpack_from("<II", data, directories + 8 * IMPORT_DIRECTORY)
        self.sections = []
        for index in range(sections):
            entry = optional + optional_size + 40 * index
            size, address, raw_size, raw_offset = struct.unpack_from("<IIII", data, entry + 8)
            self.sections.append((address, max(size, raw_size), raw_offset))

    def offset_of(self, rva):
        for address, size, raw_offset in self.sections:
            if address <= rva < address + size:
                return raw_offset + rva - address
        raise ValueError(f"address {rva:#x} lies in no section")

    def imported_dlls(self):
        """The DLLs of the import directory, as the loader resolves them at start-up."""
        names = []
        if not self.imports[0]:
            return names
        entry = self.offset_of(self.imports[0])
        while True:
            descriptor = struct.unpack_from("<IIIII", self.data, entry)
            if not any(descriptor):
                return names
            name = self.offset_of(descriptor[3])
            names.append(self.data[name:self.data.index(b"\0", name)].decode("latin-1"))
            entry += 20

    @property
    def is_64_bit(self):
        return self.magic == PE32_PLUS

    def symbol_names(self):
        """The names of the COFF symbol table (empty for a stripped file)."""
        if not self.symbol_table or not self.symbol_count:
            return set()
        strings = self.symbol_table + 18 * self.symbol_count
        names = set()
        index = 0
        while index < self.symbol_count:
            entry = self.symbol_table + 18 * index
            short = self.data[entry:entry + 8]
            if short[:4] == b"\0\0\0\0":
                offset = struct.unpack_from("<I", short, 4)[0]
                end = self.data.index(b"\0", strings + offset)
                names.add(self.data[strings + offset:end].decode("latin-1"))
            else:
                names.add(short.rstrip(b"\0").decode("latin-1"))
            index += 1 + self.data[entry + 17]  # auxiliary records follow
        return names


class HardeningTest(unittest.TestCase):
    files = []
    setup = None

    def test_the_setup_imports_at_load_time_only_what_the_system_binds(self):
        planted = [name for name in PeFile(self.setup).imported_dlls()
                   if name.lower() not in SYSTEM_BOUND_DLLS]
        self.assertEqual(planted, [], f"{self.setup} imports DLLs that the loader would look "
                         "for beside it first; load them on first use instead")

    def test_addresses_are_randomised_and_data_never_executes(self):
        for path in self.files:
            with self.subTest(path=path):
                pe = PeFile(path)
                wanted = ["DYNAMIC_BASE", "NX_COMPAT"] + (["HIGH_ENTROPY_VA"] if pe.is_64_bit
                                                          else [])
                missing = [name for name in wanted
                           if not pe.dll_characteristics & DLLCHARACTERISTICS[name]]
                self.assertEqual(missing, [], f"DllCharacteristics "
                                 f"{pe.dll_characteristics:#06x} of {path}")
                # Randomised addresses need the relocations that move the image.
                self.assertFalse(pe.characteristics & IMAGE_FILE_RELOCS_STRIPPED, path)
                self.assertGreater(pe.relocations[1], 0, f"no relocation table in {path}")

    def test_the_stack_protector_is_linked(self):
        for path in self.files:
            with self.subTest(path=path):
                pe = PeFile(path)
                names = pe.symbol_names()
                if names:
                    self.assertTrue("__stack_chk_fail" in names,
                                    f"no __stack_chk_fail among the symbols of {path}")
                self.assertTrue(GUARD_TEXT in pe.data, f"no stack guard in {path}")


if __name__ == "__main__":
    args = sys.argv[1:]
    if len(args) < 2 or args[0] != "--setup":
        sys.exit("usage: pe_hardening_test.py --setup SETUP_EXE FILE...")
    HardeningTest.setup = args[1]
    HardeningTest.files = args[1:]
    unittest.main(argv=sys.argv[:1], verbosity=2)

#!/usr/bin/env python3
"""Checks a built WIN95.dll against its contract, from the PE file alone:

- the export directory names the DLL "WIN95.dll" and holds exactly the
  expected (ordinal, name) pairs, no more and no fewer;
- it imports only from DLLs that Windows 95 has;
- it carries a version resource.

Usage: check_exports.py WIN95.dll exports.expected
Prints every difference and exits 1 when there is one.
"""
import struct
import sys

ALLOWED_IMPORTS = {"kernel32.dll", "user32.dll", "advapi32.dll", "gdi32.dll", "shell32.dll",
                   "ole32.dll", "rasapi32.dll", "tapi32.dll", "msvcrt.dll"}
RT_VERSION = 16


class PE:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE file")
        sections = struct.unpack_from("<H", data, pe + 6)[0]
        optional_size = struct.unpack_from("<H", data, pe + 20)[0]
        optional = pe + 24
        if struct.unpack_from("<H", data, optional)[0] != 0x10B:
            raise ValueError("not a 32-bit image")
        self.directories = [struct.unpack_from("<II", data, optional + 96 + 8 * i)
                            for i in range(16)]
        table = optional + optional_size
        self.sections = [struct.unpack_from("<IIII", data, table + 40 * i + 8)
                         for i in range(sections)]

    def offset(self, rva):
        for vsize, vaddr, rawsize, rawptr in self.sections:
            if vaddr <= rva < vaddr + max(vsize, rawsize):
                return rva - vaddr + rawptr
        raise ValueError("RVA %#x outside every section" % rva)

    def u32(self, rva):
        return struct.unpack_from("<I", self.data, self.offset(rva))[0]

    def u16(self, rva):
        return struct.unpack_from("<H", self.data, self.offset(rva))[0]

    def text(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("latin-1")

    def exports(self):
        rva = self.directories[0][0]
        name = self.text(self.u32(rva + 12))
        base, functions, names = self.u32(rva + 16), self.u32(rva + 20), self.u32(rva + 24)
        name_table, ordinal_table = self.u32(rva + 32), self.u32(rva + 36)
        named = {}
        for i in range(names):
            index = self.u16(ordinal_table + 2 * i)
            named[index] = self.text(self.u32(name_table + 4 * i))
        pairs = set()
        for index in range(functions):
            if self.u32(self.u32(rva + 28) + 4 * index) == 0:
                continue
            pairs.add((base + index, named.get(index, "<no name>")))
        return name, pairs

    def imports(self):
        rva = self.directories[1][0]
        found = []
        while rva and self.u32(rva + 12):
            found.append(self.text(self.u32(rva + 12)))
            rva += 20
        return found

    def has_version_resource(self):
        rva = self.directories[2][0]
        if not rva:
            return False
        named, ids = self.u16(rva + 12), self.u16(rva + 14)
        for i in range(named + ids):
            if self.u32(rva + 16 + 8 * i) == RT_VERSION:
                return True
        return False


def main():
    dll, expected_path = sys.argv[1], sys.argv[2]
    pe = PE(open(dll, "rb").read())
    expected = set()
    for line in open(expected_path):
        if line.strip() and not line.startswith("#"):
            ordinal, name = line.split()
            expected.add((int(ordinal), name))

    problems = []
    name, exported = pe.exports()
    if name != "WIN95.dll":
        problems.append("export directory names the DLL %r, expected 'WIN95.dll'" % name)
    for ordinal, export in sorted(expected - exported):
        problems.append("missing export %d %s" % (ordinal, export))
    for ordinal, export in sorted(exported - expected):
        problems.append("unexpected export %d %s" % (ordinal, export))
    for imported in pe.imports():
        if imported.lower() not in ALLOWED_IMPORTS:
            problems.append("foreign import %s" % imported)
    if not pe.has_version_resource():
        problems.append("no version resource")

    for problem in problems:
        print(problem)
    print("%s: %d exports, imports %s: %s" % (dll, len(exported), ", ".join(pe.imports()),
                                                "FAILED" if problems else "ok"))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

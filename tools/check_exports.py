#!/usr/bin/env python3
"""Checks a built WIN95.dll against its contract, from the PE file alone:

- the export directory names the DLL "WIN95.dll" and holds exactly the
  expected (ordinal, name) pairs, no more and no fewer;
- it imports, by name, only functions that WIN95.imports lists (the
  functions of Windows 95's own DLLs and of the msvcrt.dll the kit installs
  that the library may use);
- it carries a version resource.

Usage: check_exports.py WIN95.dll exports.expected WIN95.imports
Prints every difference and exits 1 when there is one.
"""
import struct
import sys

RT_VERSION = 16
IMPORT_BY_ORDINAL = 0x80000000


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
        self.image_base = struct.unpack_from("<I", data, optional + 28)[0]
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

    def export_rvas(self):
        """{name: RVA} of the named exports."""
        rva = self.directories[0][0]
        names, name_table = self.u32(rva + 24), self.u32(rva + 32)
        functions, ordinal_table = self.u32(rva + 28), self.u32(rva + 36)
        return {self.text(self.u32(name_table + 4 * i)):
                self.u32(functions + 4 * self.u16(ordinal_table + 2 * i)) for i in range(names)}

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
        """(DLL, function) pairs; a function imported by ordinal is "#N"."""
        rva = self.directories[1][0]
        found = []
        while rva and self.u32(rva + 12):
            dll = self.text(self.u32(rva + 12))
            thunks = self.u32(rva) or self.u32(rva + 16)
            while self.u32(thunks):
                entry = self.u32(thunks)
                if entry & IMPORT_BY_ORDINAL:
                    found.append((dll, "#%d" % (entry & 0xFFFF)))
                else:
                    found.append((dll, self.text(entry + 2)))
                thunks += 4
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


def table_lines(path):
    for line in open(path):
        if line.strip() and not line.startswith("#"):
            yield line.split()


def main():
    if len(sys.argv) != 4:
        print(__doc__.strip().splitlines()[-2])
        return 2
    dll, expected_path, allowed_path = sys.argv[1:]
    pe = PE(open(dll, "rb").read())
    expected = {(int(fields[0]), fields[1]) for fields in table_lines(expected_path)}
    allowed = {(fields[0].lower(), fields[1]) for fields in table_lines(allowed_path)}

    problems = []
    name, exported = pe.exports()
    if name != "WIN95.dll":
        problems.append("export directory names the DLL %r, expected 'WIN95.dll'" % name)
    for ordinal, export in sorted(expected - exported):
        problems.append("missing export %d %s" % (ordinal, export))
    for ordinal, export in sorted(exported - expected):
        problems.append("unexpected export %d %s" % (ordinal, export))
    imports = pe.imports()
    for imported, function in imports:
        if (imported.lower(), function) not in allowed:
            problems.append("import outside %s: %s %s" % (allowed_path.split("/")[-1], imported,
                                                         function))
    if not pe.has_version_resource():
        problems.append("no version resource")

    for problem in problems:
        print(problem)
    dlls = sorted({imported for imported, _ in imports}, key=str.lower)
    print("%s: %d exports, %d imports from %s: %s" % (dll, len(exported), len(imports),
                                                     ", ".join(dlls),
                                                     "FAILED" if problems else "ok"))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

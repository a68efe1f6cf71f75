#!/usr/bin/env python3
"""WIN95.dll runs on the processors Windows 95 runs on: its code uses no
instruction that came after the 486. The library is compiled for the 486;
the runtime parts linked into it were compiled by the toolchain's packager
for later processors, so each later instruction is named with its function.

One exception: MinGW's start-up code applies "pseudo relocations" (data
imported from other DLLs) with helpers that use conditional moves. They run
only when the DLL has such relocations, so they are accepted while its
pseudo-relocation list, read from WIN95.dll.debug, is empty.

Usage: instruction_set_test.py WIN95.dll
"""
import bisect
import re
import subprocess
import sys

# Pentium and later: conditional moves, the newer floating-point compares,
# cmpxchg8b, rdtsc and rdpmc, fast system calls, and the MMX/SSE registers.
LATER_MNEMONIC = re.compile(r"cmov\w+|fcmov\w+|fu?comip?|cmpxchg8b|rdtsc|rdpmc|sysenter|sysexit")
LATER_REGISTER = re.compile(r"%x?mm\d")
PSEUDO_RELOCATION_HELPERS = {"_mark_section_writable", "__GetPEImageBase"}


def run(*command):
    return subprocess.run(command, capture_output=True, text=True, check=True).stdout


def main():
    dll = sys.argv[1]
    symbols, names = {}, {}
    for line in run("i686-w64-mingw32-nm", dll + ".debug").splitlines():
        fields = line.split()
        if len(fields) == 3:
            symbols.setdefault(int(fields[0], 16), fields[2])
            names[fields[2]] = int(fields[0], 16)
    starts = sorted(a for a, name in symbols.items() if not name.startswith("."))
    no_pseudo_relocations = (names.get("__RUNTIME_PSEUDO_RELOC_LIST__") ==
                             names.get("__RUNTIME_PSEUDO_RELOC_LIST_END__"))

    found = []
    for line in run("i686-w64-mingw32-objdump", "-d", "--no-show-raw-insn", dll).splitlines():
        parts = line.split("\t")
        if len(parts) < 2 or not parts[0].strip().endswith(":"):
            continue
        instruction = parts[-1].strip()
        if not (LATER_MNEMONIC.fullmatch(instruction.split(" ")[0]) or
                LATER_REGISTER.search(instruction)):
            continue
        address = int(parts[0].strip()[:-1], 16)
        function = symbols[starts[bisect.bisect_right(starts, address) - 1]]
        if no_pseudo_relocations and function in PSEUDO_RELOCATION_HELPERS:
            continue
        found.append("%s in %s: %s" % (parts[0].strip(), function, instruction))
    for line in found[:40]:
        print("later than the 486:", line)
    print("%s: %d instructions later than the 486: %s" % (dll, len(found),
                                                         "FAILED" if found else "ok"))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())

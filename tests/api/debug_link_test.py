#!/usr/bin/env python3
"""The shipped WIN95.dll carries no debug information of its own but names
WIN95.dll.debug in its debug link, so that a crash address resolves: each
export's address (image base + RVA) is given to addr2line with the DLL alone
on the command line and must come back as that export's function.

Usage: debug_link_test.py check_exports.py WIN95.dll
"""
import os
import subprocess
import sys

EXPORTS = ["GetObjectHandle", "Dial", "HangUp", "IsUserRegistered", "AutoDialHandler"]


def main():
    checker, dll = sys.argv[1:]
    sys.path.insert(0, os.path.dirname(checker))
    from check_exports import PE
    pe = PE(open(dll, "rb").read())
    failures = []
    sections = subprocess.run(["i686-w64-mingw32-objdump", "-h", dll], capture_output=True,
                              text=True, check=True).stdout
    if ".debug_" in sections or ".gnu_debuglink" not in sections:
        failures.append("sections: expected a debug link and no .debug_* sections:\n" + sections)
    if not os.path.exists(dll + ".debug"):
        failures.append("no %s.debug beside the DLL" % dll)
    rvas = pe.export_rvas()
    addresses = ["%#x" % (pe.image_base + rvas[name]) for name in EXPORTS]
    lines = subprocess.run(["i686-w64-mingw32-addr2line", "-f", "-e", dll] + addresses,
                           capture_output=True, text=True, check=True).stdout.splitlines()
    functions = [line.split("@")[0] for line in lines[0::2]]
    if functions != EXPORTS:
        failures.append("addr2line %s gave %r, expected %r" % (" ".join(addresses), functions,
                                                               EXPORTS))
    for failure in failures:
        print(failure)
    print("debug link: %s" % ("FAILED" if failures else "ok"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""The import list check on two DLLs: WIN95.dll passes it; a probe DLL that
imports two functions Windows 95 lacks fails it, and the check names each
function with its DLL.

Usage: check_exports_test.py check_exports.py WIN95.dll probe.dll exports.expected WIN95.imports
"""
import subprocess
import sys


def run(checker, dll, expected, allowed):
    done = subprocess.run([sys.executable, checker, dll, expected, allowed],
                          capture_output=True, text=True)
    return done.returncode, done.stdout.splitlines()


def main():
    checker, dll, probe, expected, allowed = sys.argv[1:]
    failures = []
    code, lines = run(checker, dll, expected, allowed)
    if code != 0:
        failures.append("WIN95.dll: exit %d, expected 0:\n  %s" % (code, "\n  ".join(lines)))
    code, lines = run(checker, probe, expected, allowed)
    foreign = sorted(line for line in lines if line.startswith("import outside"))
    wanted = ["import outside WIN95.imports: KERNEL32.dll GetTickCount64",
              "import outside WIN95.imports: KERNEL32.dll IsDebuggerPresent"]
    if code != 1 or foreign != wanted:
        failures.append("probe: exit %d (expected 1), lines %r, expected %r" % (code, foreign, wanted))
    for failure in failures:
        print(failure)
    print("import list check: %s" % ("FAILED" if failures else "ok"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

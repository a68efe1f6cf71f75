#!/usr/bin/env python3
"""Derives the import-library definitions from WIN95.def.

WIN95.imports.def: every export with its ordinal under its exported name,
for llvm-dlltool (WIN95.lib, Visual C++ callers).
WIN95.mingw.def: the functions as above, and the class members under their
GCC names importing the Visual C++ names (libWIN95.a, MinGW callers).
"""
import pathlib
import re
import sys

THUNK = "VcThunk"


def entries(def_path):
    for line in pathlib.Path(def_path).read_text().splitlines():
        line = line.split(";", 1)[0].strip()
        m = re.fullmatch(r"(\S+?)(?:=(\S+))?\s+@(\d+)(\s+DATA)?", line)
        if m:
            yield m.group(1), m.group(2), int(m.group(3)), bool(m.group(4))


def main():
    def_path, out_dir = sys.argv[1], pathlib.Path(sys.argv[2])
    out_dir.mkdir(parents=True, exist_ok=True)
    vc = ["LIBRARY WIN95.dll", "EXPORTS"]
    mingw = ["LIBRARY WIN95.dll", "EXPORTS"]
    for name, target, ordinal, data in entries(def_path):
        vc.append(f"{name} @{ordinal}" + (" DATA" if data else ""))
        if target is None:
            mingw.append(f"{name} @{ordinal}")
            continue
        if data:
            continue  # Visual C++ data (a virtual table) has no GCC counterpart
        gcc = target[len(THUNK):] if target.startswith(THUNK) else target
        mingw.append(f"{gcc} == {name}")
    (out_dir / "WIN95.imports.def").write_text("\n".join(vc) + "\n")
    (out_dir / "WIN95.mingw.def").write_text("\n".join(mingw) + "\n")


if __name__ == "__main__":
    main()

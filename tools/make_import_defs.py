#!/usr/bin/env python3
"""Derives the import-library definitions from WIN95.def.

WIN95.imports.def: every export with its ordinal under its exported name,
for llvm-dlltool (WIN95.lib, Visual C++ callers).
WIN95.mingw.def: the functions as above, and the class members under their
GCC names importing the Visual C++ names (libWIN95.a, MinGW callers).

GCC names two symbols for each constructor and destructor: the complete
object one (C1, D1), which a caller uses for objects of the class itself,
and the base object one (C2, D2), which a derived class's constructor and
destructor use. Without virtual bases both do the same, as the one Visual
C++ member does, so each imports that member under both names.
"""
import pathlib
import re
import sys

THUNK = "VcThunk"
# _ZN <length> <class name> C1|C2|D1|D2 E <parameters>
STRUCTOR = re.compile(r"_ZN(\d+)")


def entries(def_path):
    for line in pathlib.Path(def_path).read_text().splitlines():
        line = line.split(";", 1)[0].strip()
        m = re.fullmatch(r"(\S+?)(?:=(\S+))?\s+@(\d+)(\s+DATA)?", line)
        if m:
            yield m.group(1), m.group(2), int(m.group(3)), bool(m.group(4))


def gcc_names(gcc):
    """The GCC symbol, and for a constructor or destructor its sibling."""
    m = STRUCTOR.match(gcc)
    if not m:
        return [gcc]
    kind = m.end() + int(m.group(1))
    variant = gcc[kind:kind + 2]
    siblings = {"C1": "C2", "C2": "C1", "D1": "D2", "D2": "D1"}
    if variant not in siblings or gcc[kind + 2:kind + 3] != "E":
        return [gcc]
    return [gcc, gcc[:kind] + siblings[variant] + gcc[kind + 2:]]


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
        mingw.extend(f"{symbol} == {name}" for symbol in gcc_names(gcc))
    (out_dir / "WIN95.imports.def").write_text("\n".join(vc) + "\n")
    (out_dir / "WIN95.mingw.def").write_text("\n".join(mingw) + "\n")


if __name__ == "__main__":
    main()

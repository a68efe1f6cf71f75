#!/usr/bin/env python3
"""Writes the first C block of README.md's SDK section to a file, so that the
example the README shows is the one the tests compile and run.

    readme_example.py README.md OUT.c
"""
import pathlib
import re
import sys


def main():
    readme, out = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    section = readme.read_text().split("\n## The SDK\n", 1)
    block = re.search(r"^```c\n(.*?)^```$", section[-1], re.M | re.S) if len(section) == 2 else None
    if not block:
        sys.exit(f"{readme}: no C block in the section \"The SDK\"")
    text = f"/* From {readme.name}, section \"The SDK\". */\n" + block.group(1)
    out.write_text(text)


if __name__ == "__main__":
    main()

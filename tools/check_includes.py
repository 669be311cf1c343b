#!/usr/bin/env python3
"""Fails when a file of src/ includes from a folder its own may not include from.

Which folder may include which is the README's map, one line per folder:
    src/<folder> <- <folders it may include from, or "(nothing)">
A folder always includes from itself. A folder of src/ without a line fails too, so that a new
folder says where it stands.
"""
import pathlib
import re
import sys


def main(readme, source):
    rules = {}
    for line in pathlib.Path(readme).read_text(encoding="utf-8").splitlines():
        match = re.fullmatch(r"src/(\w+)\s+<-\s+(.*)", line.strip())
        if match:
            rules[match.group(1)] = set(match.group(2).split()) - {"(nothing)"}
    faults = []
    for path in sorted(pathlib.Path(source).rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        folder = path.relative_to(source).parts[0]
        if folder not in rules:
            faults.append(f"{path}: its folder src/{folder} has no line in the map of {readme}")
            continue
        text = path.read_text(encoding="utf-8", errors="replace")
        for number, line in enumerate(text.splitlines(), 1):
            match = re.match(r'\s*#\s*include\s+"(\w+)/', line)
            if match and match.group(1) != folder and match.group(1) not in rules[folder]:
                faults.append(f"{path}:{number}: src/{folder} may not include from "
                              f"src/{match.group(1)} (the map in {readme})")
    for fault in faults:
        print(fault)
    if not rules:
        print(f"{readme} holds no map of the folders")
    return 1 if faults or not rules else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))

#!/usr/bin/env python3
"""Fails when an exe imports a function that its list of allowed imports does not name.

    check_imports.py OBJDUMP EXE LIST

LIST holds lines "DLL: function function ..."; "#" begins a comment. The exe's imports are
read from its import table as OBJDUMP -p prints it.
"""
import subprocess
import sys


def allowed(path):
    names = set()
    with open(path, encoding="utf-8") as lines:
        for line in lines:
            line = line.split("#", 1)[0].strip()
            if line:
                dll, functions = line.split(":", 1)
                names.update((dll.strip().upper(), f) for f in functions.split())
    return names


def imports(objdump, exe):
    header = subprocess.run([objdump, "-p", exe], check=True, capture_output=True, text=True)
    found, dll, in_table = set(), None, False
    for line in header.stdout.splitlines():
        if line.startswith("The Import Tables"):
            in_table = True
        elif in_table and line.startswith("The "):
            break
        elif in_table and "DLL Name:" in line:
            dll = line.split("DLL Name:", 1)[1].strip().upper()
        elif in_table and dll:
            fields = line.split()
            # "<vma> <hint> <name>" for a function imported by name
            if len(fields) == 3 and fields[1].isdigit() and not fields[2].endswith(")"):
                found.add((dll, fields[2]))
    return found


def main():
    objdump, exe, listed = sys.argv[1:4]
    found = imports(objdump, exe)
    if not found:
        sys.exit(f"{exe}: no imports could be read")
    unknown = sorted(found - allowed(listed))
    if unknown:
        print(f"{exe} imports what {listed} does not name (newer than Windows 7 SP1?):")
        for dll, function in unknown:
            print(f"  {dll} {function}")
        sys.exit(1)
    print(f"{exe}: all {len(found)} imports are in Windows 7 SP1")


if __name__ == "__main__":
    main()

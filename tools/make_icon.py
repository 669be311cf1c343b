#!/usr/bin/env python3
"""Turns a text pixel map (see src/app/res/globe-icon.txt) into a 16-colour .ico file."""
import struct
import sys

# The standard 16-colour palette, in the order Windows uses for 4-bit images.
PALETTE = [
    ("K", (0x00, 0x00, 0x00)), ("r", (0x80, 0x00, 0x00)), ("g", (0x00, 0x80, 0x00)),
    ("y", (0x80, 0x80, 0x00)), ("b", (0x00, 0x00, 0x80)), ("m", (0x80, 0x00, 0x80)),
    ("c", (0x00, 0x80, 0x80)), ("s", (0xC0, 0xC0, 0xC0)), ("S", (0x80, 0x80, 0x80)),
    ("R", (0xFF, 0x00, 0x00)), ("G", (0x00, 0xFF, 0x00)), ("Y", (0xFF, 0xFF, 0x00)),
    ("B", (0x00, 0x00, 0xFF)), ("M", (0xFF, 0x00, 0xFF)), ("C", (0x00, 0xFF, 0xFF)),
    ("W", (0xFF, 0xFF, 0xFF)),
]
INDEX = {key: i for i, (key, _) in enumerate(PALETTE)}
TRANSPARENT = "."


def read_images(path):
    images, rows, size = [], None, 0
    for number, line in enumerate(open(path, encoding="ascii"), 1):
        line = line.rstrip("\n")
        if line.startswith("#") or (not line.strip() and rows is None):
            continue
        if line.startswith("size "):
            size, rows = int(line.split()[1]), []
            continue
        if rows is None or not line.strip():
            continue
        if len(line) != size or any(ch not in INDEX and ch != TRANSPARENT for ch in line):
            sys.exit(f"{path}:{number}: expected {size} palette characters")
        rows.append(line)
        if len(rows) == size:
            images.append(rows)
            rows = None
    return images


def padded(row_bytes):
    return row_bytes + b"\0" * (-len(row_bytes) % 4)


def bitmap(rows):
    n = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for _, (r, g, b) in PALETTE)
    colour, mask = b"", b""
    for row in reversed(rows):  # bottom-up
        indexes = [0 if ch == TRANSPARENT else INDEX[ch] for ch in row]
        colour += padded(bytes((indexes[i] << 4) | indexes[i + 1] for i in range(0, n, 2)))
        bits = 0
        for ch in row:
            bits = (bits << 1) | (ch == TRANSPARENT)
        mask += padded(bits.to_bytes(n // 8, "big"))
    return header + palette + colour + mask


def main():
    source, target = sys.argv[1:3]
    images = [bitmap(rows) for rows in read_images(source)]
    sizes = [len(rows) for rows in read_images(source)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(target, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()

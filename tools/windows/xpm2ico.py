#!/usr/bin/env python3
"""Make the Windows icon (.ico) from the 16 x 16 XPM application icon.

    xpm2ico.py ICON.xpm OUT.ico

Why a script: a cross build cannot run the project's own icon renderer (it is
built for Windows), and ImageMagick is a large dependency for one file. Like
that renderer, each pixel becomes a square, so every size shows the same
design: 16, 24, 32, 48 as 32-bit bitmaps, 256 as PNG (what Windows expects
for the large size, and far smaller).
"""
import re
import struct
import sys
import zlib

SIZES = (16, 24, 32, 48, 256)


def read_xpm(path):
    """Return (width, height, rows of (r, g, b, a) tuples)."""
    strings = re.findall(r'"((?:[^"\\]|\\.)*)"', open(path, encoding="ascii").read())
    width, height, ncolors, cpp = (int(v) for v in strings[0].split()[:4])
    colors = {}
    for line in strings[1:1 + ncolors]:
        key, words = line[:cpp], line[cpp:].split()
        value = words[words.index("c") + 1]
        if value.lower() == "none":
            colors[key] = (0, 0, 0, 0)
        elif re.fullmatch(r"#[0-9A-Fa-f]{6}", value):
            colors[key] = tuple(int(value[i:i + 2], 16) for i in (1, 3, 5)) + (255,)
        else:
            sys.exit(f"xpm2ico: unsupported colour {value!r} (use #RRGGBB or None)")
    rows = [[colors[row[x * cpp:(x + 1) * cpp]] for x in range(width)]
            for row in strings[1 + ncolors:1 + ncolors + height]]
    return width, height, rows


def scaled(width, height, rows, size):
    """Nearest-neighbour scaling, as Qt's FastTransformation does."""
    return [[rows[y * height // size][x * width // size] for x in range(size)]
            for y in range(size)]


def bitmap(pixels, size):
    """A 32-bit DIB as stored in .ico files: bottom-up BGRA, then a 1-bit mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b"".join(bytes((b, g, r, a)) for row in reversed(pixels) for r, g, b, a in row)
    mask_stride = (size + 31) // 32 * 4
    mask = b""
    for row in reversed(pixels):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + colour + mask


def png(pixels, size):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in pixels)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: xpm2ico.py ICON.xpm OUT.ico")
    width, height, rows = read_xpm(sys.argv[1])
    images = [(size, (png if size >= 256 else bitmap)(scaled(width, height, rows, size), size))
              for size in SIZES]
    offset = 6 + 16 * len(images)
    out = struct.pack("<HHH", 0, 1, len(images))
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(sys.argv[2], "wb") as f:
        f.write(out + b"".join(data for _, data in images))


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Prints the row filters a PNG file uses, by name, joined by "+" (such as
"Sub" or "None+Paeth"); bench/compare_batch_with_peers.sh checks with it
what each converter wrote.
    png_filters.py FILE.png"""
import struct
import sys
import zlib

NAMES = ["None", "Sub", "Up", "Average", "Paeth"]


def main():
    data = open(sys.argv[1], "rb").read()
    pos, idat = 8, []
    while pos + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
        elif kind == b"IDAT":
            idat.append(body)
        pos += 12 + length
    channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[colour]
    stride = (width * channels * depth + 7) // 8 + 1
    rows = zlib.decompress(b"".join(idat))
    used = sorted({rows[row * stride] for row in range(height)})
    print("+".join(NAMES[f] if f < 5 else "?" for f in used))


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Writes COUNT small PNGs of 64 x 64 (8-bit RGB, soft gradients with some
noise, from fixed seeds) into FOLDER as p00000.png, p00001.png...
    write_small_pngs.py FOLDER COUNT"""
import os
import random
import struct
import sys
import zlib


def png(width, height, seed):
    rng = random.Random(seed)
    base = [rng.randrange(256) for _ in range(3)]
    raw = bytearray()
    for y in range(height):
        raw.append(0)
        for x in range(width):
            raw += bytes(((base[0] + 3 * x + rng.randrange(8)) & 255,
                          (base[1] + 3 * y) & 255, (base[2] + x + y) & 255))

    def chunk(kind, data):
        return (struct.pack('>I', len(data)) + kind + data +
                struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff))

    header = struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) +
            chunk(b'IDAT', zlib.compress(bytes(raw), 6)) + chunk(b'IEND', b''))


def main():
    folder, count = sys.argv[1], int(sys.argv[2])
    os.makedirs(folder, exist_ok=True)
    for i in range(count):
        with open(os.path.join(folder, 'p%05d.png' % i), 'wb') as out:
            out.write(png(64, 64, i))


if __name__ == '__main__':
    main()

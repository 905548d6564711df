#!/usr/bin/env python3
"""Writes a photo-sized 24-bit BMP (soft bands with grain, from a seed) for
the large-picture benchmarks, which turn it into JPEGs.
    write_large_bmp.py PATH WIDTH HEIGHT SEED"""
import random
import struct
import sys


def main():
    path, width, height, seed = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
    rng = random.Random(seed)
    stride = (3 * width + 3) & ~3
    # Rows are cut from one long strip of grain over a gradient, each at its
    # own offset, so the picture is neither flat nor pure noise.
    strip = bytearray()
    for x in range(2 * stride):
        strip.append((x * 7 // 3 + rng.randrange(24)) & 255)
    with open(path, 'wb') as out:
        size = 54 + stride * height
        out.write(b'BM' + struct.pack('<IHHI', size, 0, 0, 54))
        out.write(struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, stride * height,
                              2835, 2835, 0, 0))
        for y in range(height):
            start = (y * 131 + rng.randrange(stride)) % stride
            out.write(strip[start:start + stride])


if __name__ == '__main__':
    main()

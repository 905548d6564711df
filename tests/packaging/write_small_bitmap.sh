#!/usr/bin/env bash
# Writes a 2 x 1 picture, one red and one blue pixel, as a 24-bit bitmap.
#   write_small_bitmap.sh FILE
set -euo pipefail
{
    # File header: "BM", file size 62, reserved, pixels at 54.
    printf 'BM\x3e\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00'
    # Info header: 40 bytes, 2 x 1, 1 plane, 24 bits, no compression,
    # 8 bytes of pixels, 2835 pixels a metre, no palette.
    printf '\x28\x00\x00\x00\x02\x00\x00\x00\x01\x00\x00\x00\x01\x00\x18\x00'
    printf '\x00\x00\x00\x00\x08\x00\x00\x00\x13\x0b\x00\x00\x13\x0b\x00\x00'
    printf '\x00\x00\x00\x00\x00\x00\x00\x00'
    # One row: red, blue (stored blue, green, red), two bytes of padding.
    printf '\x00\x00\xff\xff\x00\x00\x00\x00'
} >"$1"

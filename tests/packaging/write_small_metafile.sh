#!/usr/bin/env bash
# Writes an empty placeable WMF of 96 x 48 pixels (a white picture), which
# only the metafile player reads.
#   write_small_metafile.sh FILE
set -euo pipefail
{
    # Placeable header: key, no handle, frame 0, 0 to 96, 48 at 96 units
    # an inch, reserved, checksum (the XOR of the ten words before it).
    printf '\xd7\xcd\xc6\x9a\x00\x00\x00\x00\x00\x00\x60\x00\x30\x00\x60\x00'
    printf '\x00\x00\x00\x00\x21\x57'
    # Header: on disk, 9 words, version 3.0, 12 words in all, no objects,
    # largest record 3 words, no parameters.
    printf '\x01\x00\x09\x00\x00\x03\x0c\x00\x00\x00\x00\x00\x03\x00\x00\x00\x00\x00'
    # The end-of-file record.
    printf '\x03\x00\x00\x00\x00\x00'
} >"$1"

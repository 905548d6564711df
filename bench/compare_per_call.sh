#!/usr/bin/env bash
# Times converting one small picture per call, as a shell loop, find -exec
# or a file manager's action does: a 64 x 48 BMP to JPEG (quality 90) by
# quillmere-batch, libjpeg-turbo's cjpeg (-dct float), ImageMagick's
# convert and GraphicsMagick's gm convert, each started afresh, in turns
# round after round (bench/per_call_timing.c). Prints each one's median
# wall time, its ratio to quillmere-batch's, and quillmere-batch's ratios to
# cjpeg and to the faster of convert and gm convert.
#   bench/compare_per_call.sh [--rounds N] [BUILD_DIR]
# BUILD_DIR defaults to "build"; ROUNDS to 21. The other converters are
# benchmark tools only (libjpeg-turbo-progs, imagemagick, graphicsmagick).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
rounds=21
build=build
while (($# > 0)); do
    case $1 in
        --rounds) rounds=$2; shift 2 ;;
        *) build=$1; shift ;;
    esac
done
[[ $build == /* ]] || build=$root/$build
program=$build/src/cli/quillmere-batch
[[ -x $program ]] || { echo "$program not found; build first" >&2; exit 1; }
for tool in cjpeg convert gm cc python3; do
    command -v "$tool" >/dev/null || { echo "$tool not found" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/quillmere-per-call.XXXXXX")
trap 'rm -rf "$work"' EXIT
cc -O2 -o "$work/per_call_timing" "$root/bench/per_call_timing.c"
mkdir "$work/q"
# A 24-bit BMP of soft gradients, the same every time.
python3 - "$work/small.bmp" <<'PYTHON'
import struct, sys
w, h = 64, 48
rows = b"".join(bytes(v for x in range(w) for v in ((x * 4) % 256, (y * 5) % 256, (x + y) * 2 % 256))
                for y in range(h))
header = struct.pack("<2sIHHIIiiHHIIiiII", b"BM", 54 + len(rows), 0, 0, 54, 40, w, h, 1, 24, 0,
                     len(rows), 2835, 2835, 0, 0)
open(sys.argv[1], "wb").write(header + rows)
PYTHON
cp "$work/small.bmp" "$work/q/small.bmp"

"$work/per_call_timing" "$rounds" \
    "$program --to JPG --overwrite $work/q/small.bmp" \
    "cjpeg -dct float -quality 90 -outfile $work/c.jpg $work/small.bmp" \
    "convert $work/small.bmp -quality 90 $work/m.jpg" \
    "gm convert $work/small.bmp -quality 90 $work/g.jpg" | tee "$work/table"
awk 'NR > 1 { m[NR - 1] = $1 }
     END {
         faster = m[3] < m[4] ? m[3] : m[4]
         printf "quillmere-batch / cjpeg: %.2f; / the faster of convert and gm convert: %.2f\n",
                m[1] / m[2], m[1] / faster
     }' "$work/table"

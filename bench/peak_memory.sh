#!/usr/bin/env bash
# Peak resident memory of quillmere-batch converting one 24-megapixel JPEG
# (the benchmarks' 12-megapixel picture twice side by side) to PNG, BMP and GIF, measured with GNU time,
# against the size of one 24-bit raster of the picture.
#
# Build first (scripts/build.sh release), then:
#   bench/peak_memory.sh [BUILD_DIR]
# BUILD_DIR defaults to "build". Uses cjpeg (libjpeg-turbo-progs, installed
# by scripts/setup.sh) and GNU time.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
[[ $build = /* ]] || build=$root/$build
batch=$build/src/cli/quillmere-batch
[[ -x $batch ]] || { echo "build first: $batch is missing" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The benchmarks' 12-megapixel picture, twice side by side.
"$build/bench/bench_write_picture" "$work/half.ppm" "$work/half.jpg"
python3 - "$work/half.ppm" "$work/photo.ppm" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
magic, width, height, depth, pixels = data.split(maxsplit=4)
width, height = int(width), int(height)
row = width * 3
with open(sys.argv[2], 'wb') as out:
    out.write(b'P6\n%d %d\n255\n' % (2 * width, height))
    for y in range(height):
        line = pixels[y * row:(y + 1) * row]
        out.write(line + line)
PY
cjpeg -quality 90 "$work/photo.ppm" > "$work/photo.jpg"
rm "$work/photo.ppm" "$work/half.ppm" "$work/half.jpg"
read -r width height < <(python3 - "$work/photo.jpg" <<'PY'
import sys, struct
d = open(sys.argv[1], 'rb').read()
i = 2
while True:
    marker, length = d[i + 1], struct.unpack('>H', d[i + 2:i + 4])[0]
    if marker in (0xC0, 0xC1, 0xC2):
        h, w = struct.unpack('>HH', d[i + 5:i + 9])
        print(w, h)
        break
    i += 2 + length
PY
)
raster_mb=$(( width * height * 3 / 1048576 ))
echo "picture: ${width} x ${height} JPEG, one 24-bit raster = ${raster_mb} MB"

peak_kb() {
    /usr/bin/time -f '%M' -o "$work/time.txt" "$@" >/dev/null
    cat "$work/time.txt"
}

baseline=$(peak_kb "$batch" --list "$work/photo.jpg")
printf '%-22s %8s %10s\n' "conversion" "peak MB" "rasters"
printf '%-22s %8d %10s\n' "start-up (--list)" $(( baseline / 1024 )) "-"
for format in PNG BMP GIF; do
    kb=$(peak_kb "$batch" --to "$format" --overwrite "$work/photo.jpg")
    mb=$(( kb / 1024 ))
    printf '%-22s %8d %10s\n' "JPEG -> $format" "$mb" \
        "$(python3 -c "print(f'{($kb - $baseline) / 1024 / $raster_mb:.2f}')")"
done
echo "(rasters: peak above start-up, in 24-bit rasters of the picture)"

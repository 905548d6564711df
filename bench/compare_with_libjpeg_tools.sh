#!/usr/bin/env bash
# Compares this program's JPEG codec with libjpeg-turbo's command-line tools
# on the benchmarks' 12-megapixel photo-like picture (4000 x 3000, quality
# 90, floating-point DCT on both sides), in megapixels per second.
#
# Build first; this script builds nothing:
#   scripts/build.sh release
# then, from anywhere:
#   bench/compare_with_libjpeg_tools.sh [BUILD_DIR]
# BUILD_DIR defaults to "build"; a relative one is taken from the project
# root. Needs djpeg and cjpeg (Debian package libjpeg-turbo-progs).
#
# djpeg and cjpeg are timed by wall clock, best of 5 runs each, so their
# figures include process start and reading the input file. Ours come from
# quillmere_bench (5 repetitions, best and median): decoding and encoding in
# memory, and the whole load step from a file.
set -euo pipefail
export LC_ALL=C

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-build}
[[ $build == /* ]] || build=$root/$build
writer=$build/bench/bench_write_picture
bench=$build/bench/quillmere_bench
runs=5

fail() {
    echo "compare_with_libjpeg_tools: $*" >&2
    exit 1
}

for program in "$writer" "$bench"; do
    [[ -x $program ]] || fail "$program not found; build first (scripts/build.sh release)"
done
for tool in djpeg cjpeg; do
    command -v "$tool" >/dev/null || fail "$tool not found; install libjpeg-turbo-progs"
done

work=$(mktemp -d "${TMPDIR:-/tmp}/quillmere-jpeg-compare.XXXXXX")
trap 'rm -rf "$work"' EXIT

"$writer" "$work/picture.ppm" "$work/picture.jpg"
{
    read -r _
    read -r width height
} <"$work/picture.ppm"
megapixels=$(awk -v w="$width" -v h="$height" 'BEGIN { printf "%.6f", w * h / 1e6 }')

# shellcheck source=bench/timing.sh
source "$(dirname "${BASH_SOURCE[0]}")/timing.sh"

rate() { awk -v mp="$megapixels" -v s="$1" 'BEGIN { printf "%.1f", mp / s }'; }

echo "Timing djpeg and cjpeg (best of $runs) ..."
djpeg_seconds=$(best_seconds djpeg -dct float -outfile /dev/null "$work/picture.jpg")
cjpeg_seconds=$(best_seconds cjpeg -dct float -quality 90 -outfile /dev/null "$work/picture.ppm")

echo "Running quillmere_bench ($runs repetitions) ..."
"$bench" --benchmark_filter='Jpeg' --benchmark_repetitions="$runs" \
    --benchmark_format=json --benchmark_out="$work/ours.json" --benchmark_out_format=json \
    >/dev/null

# From Google Benchmark's JSON (one field a line): for each benchmark, the
# best MP/s of its repetitions and the median the library computed.
awk '
    /"run_name":/ { name = $2; gsub(/[",]/, "", name); sub(/\/real_time$/, "", name) }
    /"run_type":/ { type = $2; gsub(/[",]/, "", type) }
    /"aggregate_name":/ { aggregate = $2; gsub(/[",]/, "", aggregate) }
    /"error_occurred":/ { failed[name] = 1 }
    /"MP\/s":/ {
        value = $2 + 0
        if (type == "iteration") {
            if (!(name in best) || value > best[name]) best[name] = value
        } else if (aggregate == "median") {
            median[name] = value
        }
        type = ""; aggregate = ""
    }
    END {
        for (n in best) printf "%s %.1f %.1f\n", n, best[n], median[n]
        for (n in failed) printf "%s failed\n", n
    }
' "$work/ours.json" >"$work/ours.txt"

grep -q ' failed$' "$work/ours.txt" && fail "a benchmark failed: $(grep ' failed$' "$work/ours.txt")"

# Sets best and median to our figures for one benchmark.
result_of() {
    local line
    line=$(grep "^$1 " "$work/ours.txt") || fail "no result for $1"
    read -r _ best median <<<"$line"
}

row() { printf '  %-44s %9s   %11s\n' "$@"; }

echo
echo "JPEG, $width x $height ($(awk -v mp="$megapixels" 'BEGIN { printf "%.1f", mp }') MP)," \
    "quality 90, floating-point DCT, on $(nproc) CPU(s)"
echo "Other work running on the machine affects every figure."
echo
row "" "best MP/s" "median MP/s"
echo "Decode"
row "djpeg -dct float (whole run, see below)" "$(rate "$djpeg_seconds")" "-"
result_of Decode/Jpeg
row "Quillmere Decode/Jpeg (from memory)" "$best" "$median"
result_of LoadNormalise/Jpeg
row "Quillmere LoadNormalise/Jpeg (from a file)" "$best" "$median"
echo "Encode"
row "cjpeg -dct float -quality 90 (whole run)" "$(rate "$cjpeg_seconds")" "-"
result_of Encode/Jpeg
row "Quillmere Encode/Jpeg (to memory)" "$best" "$median"
echo
echo "djpeg and cjpeg: best of $runs wall-clock runs (djpeg ${djpeg_seconds} s," \
    "cjpeg ${cjpeg_seconds} s), which include process start and reading the input file;"
echo "their output goes to /dev/null. Quillmere: wall-clock rate from quillmere_bench," \
    "$runs repetitions."

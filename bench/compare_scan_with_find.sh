#!/usr/bin/env bash
# Compares the folder scan with find(1) on the same tree of 100,000 files in
# 1,000 folders: our recursive scan for "*.JPG" (name order, pre-order, the
# list of paths built in memory) against `find TREE -iname '*.jpg'` with its
# output thrown away.
#
# Build first; this script builds nothing:
#   scripts/build.sh release
# then, from anywhere:
#   bench/compare_scan_with_find.sh [BUILD_DIR]
# BUILD_DIR defaults to "build"; a relative one is taken from the project
# root.
#
# quillmere_bench builds the tree on first use in the temporary folder
# ($TMPDIR or /tmp) as quillmere-scan-bench-tree and keeps it for later runs;
# delete it to start afresh. Both sides run on a warm cache: the benchmark
# runs once before find is timed. find is timed by wall clock, best of 5
# runs, so its figure includes process start; ours is the best and the median
# of 5 repetitions of the benchmark (wall clock).
set -euo pipefail
export LC_ALL=C

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-build}
[[ $build == /* ]] || build=$root/$build
bench=$build/bench/quillmere_bench
tree=${TMPDIR:-/tmp}/quillmere-scan-bench-tree
runs=5

fail() {
    echo "compare_scan_with_find: $*" >&2
    exit 1
}

[[ -x $bench ]] || fail "$bench not found; build first (scripts/build.sh release)"
command -v find >/dev/null || fail "find not found"

work=$(mktemp -d "${TMPDIR:-/tmp}/quillmere-scan-compare.XXXXXX")
trap 'rm -rf "$work"' EXIT

echo "Building the tree if needed and warming the cache ..."
"$bench" --benchmark_filter='^ScanFolder/' --benchmark_min_time=0.01 >/dev/null 2>"$work/log" ||
    fail "the benchmark failed: $(cat "$work/log")"
[[ -f $tree/.complete ]] || fail "the benchmark did not build $tree"

# shellcheck source=bench/timing.sh
source "$(dirname "${BASH_SOURCE[0]}")/timing.sh"

find_quiet() { find "$tree" -iname '*.jpg' >/dev/null; }

found=$(find "$tree" -iname '*.jpg' | wc -l)
echo "Timing find (best of $runs) ..."
find_seconds=$(best_seconds find_quiet)

echo "Running quillmere_bench ($runs repetitions) ..."
"$bench" --benchmark_filter='^ScanFolder/' --benchmark_repetitions="$runs" \
    --benchmark_format=json --benchmark_out="$work/ours.json" --benchmark_out_format=json \
    >/dev/null 2>"$work/log" || fail "the benchmark failed: $(cat "$work/log")"

# From Google Benchmark's JSON (one field a line): the best and the median
# wall-clock time in milliseconds of the repetitions.
read -r best median failed < <(awk '
    /"run_type":/ { type = $2; gsub(/[",]/, "", type) }
    /"aggregate_name":/ { aggregate = $2; gsub(/[",]/, "", aggregate) }
    /"error_occurred":/ { failed = 1 }
    /"real_time":/ {
        value = $2 + 0
        if (type == "iteration") {
            if (best == "" || value < best) best = value
        } else if (aggregate == "median") {
            median = value
        }
        type = ""; aggregate = ""
    }
    END { printf "%s %s %d\n", best, median, failed }
' "$work/ours.json")
[[ $failed == 0 && -n $best ]] || fail "the scan benchmark failed; run $bench --benchmark_filter=ScanFolder"

find_ms=$(awk -v s="$find_seconds" 'BEGIN { printf "%.1f", s * 1000 }')
ratio=$(awk -v ours="$best" -v theirs="$find_ms" 'BEGIN { printf "%.2f", ours / theirs }')

echo
echo "Tree: $tree (100,000 files in 1,000 folders; find lists $found names)," \
    "on $(nproc) CPU(s)"
echo "Other work running on the machine affects every figure."
echo
printf '  %-46s %9s   %9s\n' "" "best ms" "median ms"
printf '  %-46s %9s   %9s\n' "find TREE -iname '*.jpg' >/dev/null" "$find_ms" "-"
printf '  %-46s %9.1f   %9.1f\n' "Quillmere scanFolder(TREE, \"*.JPG\", true)" "$best" "$median"
echo
echo "Scan time / find time (best): $ratio"

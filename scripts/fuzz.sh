#!/usr/bin/env bash
# Builds the fuzz targets as libFuzzer programs (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for a while with memory limits.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
# SECONDS per target (default 600); the targets are those of fuzz/ (default
# all). The growing corpus stays in build-fuzz/corpus/TARGET; inputs that
# fail go to build-fuzz/findings/TARGET, to be fixed and then kept in
# fuzz/corpus/TARGET so that the replay tests hold the fix. Logs with the
# final figures go to build-fuzz/logs.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --fuzz

seconds=${1:-600}
shift || true
targets=("$@")
if ((${#targets[@]} == 0)); then
    targets=(bmp ico bmp_ico_differential gif png tiff jpeg metafile ini release_index search_pattern)
fi

dir=build-fuzz
cmake -S . -B "$dir" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLMERE_FUZZ=ON -DQUILLMERE_SANITIZE=ON \
    -DQUILLMERE_BUILD_TESTS=OFF -DQUILLMERE_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$dir" -j "${QUILLMERE_JOBS:-2}" --target "${targets[@]/%/_fuzzer}"

# These builds hold pictures to 16 megapixels (see picture_limits.h), so a
# few hundred megabytes cover the largest picture; anything beyond the
# limits below is a finding.
for target in "${targets[@]}"; do
    mkdir -p "$dir/corpus/$target" "$dir/findings/$target" "$dir/logs"
    QT_QPA_PLATFORM=offscreen "$dir/fuzz/${target}_fuzzer" \
        "$dir/corpus/$target" "fuzz/corpus/$target" \
        -max_total_time="$seconds" -rss_limit_mb=2048 -malloc_limit_mb=1600 -timeout=60 \
        -artifact_prefix="$dir/findings/$target/" -print_final_stats=1 \
        2>&1 | tee "$dir/logs/$target.log" | grep -E "^#[0-9]+ +(INITED|DONE)|ERROR|SUMMARY" || true
done

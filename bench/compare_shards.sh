#!/usr/bin/env bash
# One list of small files converted by one quillmere-batch run (default
# jobs) against the same list split into shards run side by side by GNU
# parallel (--shard K/N, default jobs each), each in a fresh copy of the
# pictures: PNGs of 64 x 64 to JPEG, quality 90.
#
# Build first (scripts/build.sh release), then:
#   bench/compare_shards.sh [--rounds N] [--files N] [--shards N] [--shard-jobs N] [BUILD_DIR]
#     --rounds N   timed rounds; the two take turns, the order rotating (default 5)
#     --files N    how many pictures (default 20000)
#     --shards N   how many shards (default 4)
#     --shard-jobs N  --jobs for each shard (default: the program's default)
# Prints each way's median wall, user and system seconds and the ratio of
# its median wall time to the single run's.
set -euo pipefail
export LC_ALL=C
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
rounds=5 count=20000 shards=4 shard_jobs=() build=build
while (($# > 0)); do
    case $1 in
        --rounds) rounds=$2; shift 2 ;;
        --files) count=$2; shift 2 ;;
        --shards) shards=$2; shift 2 ;;
        --shard-jobs) shard_jobs=(--jobs "$2"); shift 2 ;;
        -h | --help) sed -n '2,15p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) build=$1; shift ;;
    esac
done
[[ $build == /* ]] || build=$root/$build
batch=$build/src/cli/quillmere-batch
[[ -x $batch ]] || { echo "$batch not found; build first" >&2; exit 1; }
for tool in parallel python3 /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "$tool is needed (scripts/setup.sh installs parallel)" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/shards.XXXXXX")
trap 'rm -rf "$work"' EXIT
cp "$batch" "$work/quillmere-batch"
python3 "$root/bench/write_small_pngs.py" "$work/pictures" "$count"

# One timed run: "wall user sys". Each run converts a copy of its own, and
# nothing is deleted until the end: ext4 passes over inodes freed in the
# last 30 seconds when it allocates new ones, which after deleting tens of
# thousands of files costs more than the conversion itself.
run() {
    local way=$1 dir
    dir=$(mktemp -d "$work/run.XXXXXX")
    cp -r "$work/pictures/." "$dir"
    sync
    local command
    # shellcheck disable=SC2207  # seq prints one number a line: split them
    case $way in
        single) command=("$work/quillmere-batch" --to JPG --quality 90 --search "$dir/*.png") ;;
        shards) command=(parallel --will-cite -j "$shards" "$work/quillmere-batch" --to JPG --quality 90
                         --search "\"$dir/*.png\"" "${shard_jobs[@]}" --shard "{}/$shards"
                         ::: $(seq 0 $((shards - 1)))) ;;
    esac
    /usr/bin/time -f '%e %U %S' -o "$work/time" "${command[@]}" >"$work/log"
    [[ $(find "$dir" -name '*.jpg' | wc -l) -eq $count ]] || { echo "$way wrote too few files" >&2; exit 1; }
    cat "$work/time"
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

ways=(single shards)
declare -A times=()
for ((r = 0; r < rounds; ++r)); do
    for ((w = 0; w < ${#ways[@]}; ++w)); do
        way=${ways[(w + r) % ${#ways[@]}]}
        times[$way]+="$(run "$way")"$'\n'
    done
done
single=$(awk 'NF { print $1 }' <<<"${times[single]}" | median)
printf '%-7s %-16s %8s %8s %8s %8s\n' files way wall user sys "/single"
for way in "${ways[@]}"; do
    wall=$(awk 'NF { print $1 }' <<<"${times[$way]}" | median)
    user=$(awk 'NF { print $2 }' <<<"${times[$way]}" | median)
    sys=$(awk 'NF { print $3 }' <<<"${times[$way]}" | median)
    label=$way
    [[ $way == single ]] && label="one run" || label="$shards shards"
    printf '%-7s %-16s %8.2f %8.2f %8.2f %8.2f\n' "$count" "$label" "$wall" "$user" "$sys" \
        "$(awk -v a="$wall" -v b="$single" 'BEGIN { print a / b }')"
done

#!/usr/bin/env bash
# Many small files: PNGs of 64 x 64 converted to JPEG (quality 90) by
# quillmere-batch (default jobs), GraphicsMagick's and ImageMagick's
# mogrify, each in a fresh copy of the pictures, with and without a delay
# added to every flush to the disk (bench/flush_delay.c, loaded with
# LD_PRELOAD, as on a SATA SSD, a USB disk or a network share).
#
# Build first (scripts/build.sh release), then:
#   bench/compare_small_files.sh [--rounds N] [--files N,...] [--delay-us N] [BUILD_DIR]
#     --rounds N    timed rounds; the tools take turns, the order rotating (default 3)
#     --files LIST  how many pictures (default 5000,20000)
#     --delay-us N  the added flush delay in microseconds (default 2000)
# Prints, per count and delay, each tool's median wall, user and system
# seconds and the ratio of its median wall time to quillmere-batch's.
# Installs graphicsmagick, imagemagick, time and python3 when missing.
set -euo pipefail
export LC_ALL=C
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
rounds=3 counts=5000,20000 delay=2000 build=build
while (($# > 0)); do
    case $1 in
        --rounds) rounds=$2; shift 2 ;;
        --files) counts=$2; shift 2 ;;
        --delay-us) delay=$2; shift 2 ;;
        -h | --help) sed -n '2,16p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) build=$1; shift ;;
    esac
done
[[ $build == /* ]] || build=$root/$build
batch=$build/src/cli/quillmere-batch
[[ -x $batch ]] || { echo "$batch not found; build first" >&2; exit 1; }

missing=()
for package in graphicsmagick imagemagick time python3; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
if ((${#missing[@]} > 0)); then
    sudo=()
    [[ $(id -u) -eq 0 ]] || sudo=(sudo)
    "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}" >/dev/null
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/small-files.XXXXXX")
trap 'rm -rf "$work"' EXIT
cp "$batch" "$work/quillmere-batch"
cc -O2 -shared -fPIC -o "$work/flush_delay.so" "$root/bench/flush_delay.c" -ldl
IFS=, read -r -a count_list <<<"$counts"
most=0
for count in "${count_list[@]}"; do ((count > most)) && most=$count; done
python3 "$root/bench/write_small_pngs.py" "$work/pictures" "$most"

# One timed run: "wall user sys" of converting the first COUNT pictures.
# Each run converts a copy of its own, and nothing is deleted until the
# end: ext4 passes over inodes freed in the last 30 seconds when it
# allocates new ones, which after deleting tens of thousands of files costs
# more than the conversion itself.
run() {
    local tool=$1 count=$2 preload=$3 dir
    dir=$(mktemp -d "$work/run.XXXXXX")
    find "$work/pictures" -name '*.png' | sort | head -n "$count" | xargs cp -t "$dir"
    sync
    local command
    case $tool in
        quillmere) command=("$work/quillmere-batch" --to JPG --quality 90 --search "$dir/*.png") ;;
        gm) command=(gm mogrify -format jpg -quality 90 "$dir"/*.png) ;;
        magick) command=(mogrify -format jpg -quality 90 "$dir"/*.png) ;;
    esac
    (cd "$dir" && env ${preload:+LD_PRELOAD=$preload FLUSH_DELAY_US=$delay} \
        /usr/bin/time -f '%e %U %S' -o "$work/time" "${command[@]}" >/dev/null)
    [[ $(find "$dir" -name '*.jpg' | wc -l) -eq $count ]] || { echo "$tool wrote too few files" >&2; exit 1; }
    cat "$work/time"
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

tools=(quillmere gm magick)
printf '%-7s %-9s %-10s %8s %8s %8s %8s\n' files delay tool wall user sys "/ours"
for count in "${count_list[@]}"; do
    for preload in "" "$work/flush_delay.so"; do
        declare -A times=()
        for ((r = 0; r < rounds; ++r)); do
            for ((t = 0; t < ${#tools[@]}; ++t)); do
                tool=${tools[(t + r) % ${#tools[@]}]}
                times[$tool]+="$(run "$tool" "$count" "$preload")"$'\n'
            done
        done
        label=none
        [[ -z $preload ]] || label=${delay}us
        ours=$(awk 'NF { print $1 }' <<<"${times[quillmere]}" | median)
        for tool in "${tools[@]}"; do
            wall=$(awk 'NF { print $1 }' <<<"${times[$tool]}" | median)
            user=$(awk 'NF { print $2 }' <<<"${times[$tool]}" | median)
            sys=$(awk 'NF { print $3 }' <<<"${times[$tool]}" | median)
            printf '%-7s %-9s %-10s %8.2f %8.2f %8.2f %8.2f\n' "$count" \
                "$label" "$tool" "$wall" "$user" "$sys" \
                "$(awk -v a="$wall" -v b="$ours" 'BEGIN { print a / b }')"
        done
        unset times
    done
done

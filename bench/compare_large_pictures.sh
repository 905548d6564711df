#!/usr/bin/env bash
# Large pictures: JPEGs of 64 megapixels (8000 x 8000) converted by
# quillmere-batch.
#  1. Four of them to BMP with --jobs 1 and --jobs 2, taking turns: the
#     median wall and CPU seconds and peak memory of each, and the ratios.
#  2. Run as root where the cgroup v1 or v2 memory controller can be used:
#     six of them to BMP with --jobs 6 in a 1200 MB memory cgroup, and three
#     to PNG with the default jobs in a 900 MB one. Each must end without an
#     OOM kill and write the same bytes as --jobs 1 does without a limit;
#     the cgroup's peak memory is printed.
# Build first (scripts/build.sh release), then:
#   bench/compare_large_pictures.sh [--rounds N] [BUILD_DIR]
# Needs python3, libjpeg-turbo-progs is not needed; installs time and
# python3 when missing.
set -euo pipefail
export LC_ALL=C
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
rounds=5 build=build
while (($# > 0)); do
    case $1 in
        --rounds) rounds=$2; shift 2 ;;
        -h | --help) sed -n '2,16p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) build=$1; shift ;;
    esac
done
[[ $build == /* ]] || build=$root/$build
[[ -x $build/src/cli/quillmere-batch ]] || { echo "build first (scripts/build.sh release)" >&2; exit 1; }
for package in time python3; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        { [[ $(id -u) -eq 0 ]] && apt-get install -y --no-install-recommends "$package" >/dev/null; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/large-pictures.XXXXXX")
trap 'rm -rf "$work"' EXIT
batch=$work/quillmere-batch
cp "$build/src/cli/quillmere-batch" "$batch"
mkdir "$work/in"
for i in 1 2 3 4 5 6; do
    python3 "$root/bench/write_large_bmp.py" "$work/in/p$i.bmp" 8000 8000 "$i"
done
"$batch" --to JPG --quality 90 "$work"/in/p?.bmp >/dev/null
rm "$work"/in/p?.bmp

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# "wall cpu peak_MiB" of one run converting the given JPEGs.
timed() {
    local jobs=$1 format=$2
    shift 2
    rm -f "$work"/in/*.bmp "$work"/in/*.png
    sync
    /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$batch" --jobs "$jobs" --to "$format" "$@" >/dev/null
    awk '{ printf "%s %.2f %.0f\n", $1, $2 + $3, $4 / 1024 }' "$work/time"
}

echo "== Four 64 MP JPEGs to BMP, $rounds rounds, --jobs 1 and 2 in turn =="
four=("$work"/in/p1.jpg "$work"/in/p2.jpg "$work"/in/p3.jpg "$work"/in/p4.jpg)
one="" two=""
for ((r = 0; r < rounds; ++r)); do
    if ((r % 2)); then
        two+="$(timed 2 BMP "${four[@]}")"$'\n'
        one+="$(timed 1 BMP "${four[@]}")"$'\n'
    else
        one+="$(timed 1 BMP "${four[@]}")"$'\n'
        two+="$(timed 2 BMP "${four[@]}")"$'\n'
    fi
done
printf '%-9s %8s %8s %10s\n' jobs wall cpu "peak MiB"
for name in one two; do
    runs=${!name}
    printf '%-9s %8.2f %8.2f %10.0f\n' "$([[ $name == one ]] && echo 1 || echo 2)" \
        "$(awk 'NF { print $1 }' <<<"$runs" | median)" "$(awk 'NF { print $2 }' <<<"$runs" | median)" \
        "$(awk 'NF { print $3 }' <<<"$runs" | median)"
done
awk -v a="$(awk 'NF { print $1 }' <<<"$two" | median)" -v b="$(awk 'NF { print $1 }' <<<"$one" | median)" \
    -v c="$(awk 'NF { print $2 }' <<<"$two" | median)" -v d="$(awk 'NF { print $2 }' <<<"$one" | median)" \
    'BEGIN { printf "jobs 2 / jobs 1: wall %.2f, cpu %.2f\n", a / b, c / d }'

# --- In a memory cgroup -------------------------------------------------------
cgroup_dir=""
if [[ $(id -u) -eq 0 && -w /sys/fs/cgroup/memory ]]; then
    cgroup_dir=/sys/fs/cgroup/memory/quillmere-bench.$$
    limit_file=memory.limit_in_bytes peak_file=memory.max_usage_in_bytes
elif [[ $(id -u) -eq 0 && -w /sys/fs/cgroup/cgroup.subtree_control ]] &&
    grep -qw memory /sys/fs/cgroup/cgroup.controllers; then
    cgroup_dir=/sys/fs/cgroup/quillmere-bench.$$
    limit_file=memory.max peak_file=memory.peak
fi
if [[ -z $cgroup_dir ]]; then
    echo "== No memory cgroup to use (needs root and a writable cgroup file system) =="
    exit 0
fi

# Runs the conversion in a fresh cgroup of LIMIT MiB, then compares its
# files with those of --jobs 1 without a limit.
in_cgroup() {
    local limit=$1 format=$2 jobs=$3
    shift 3
    rm -f "$work"/in/*.bmp "$work"/in/*.png
    mkdir "$cgroup_dir"
    echo $((limit << 20)) >"$cgroup_dir/$limit_file"
    local status=0
    bash -c 'echo $$ >"$1/cgroup.procs"; shift; exec "$@"' sh "$cgroup_dir" \
        "$batch" ${jobs:+--jobs "$jobs"} --to "$format" "$@" >/dev/null 2>"$work/err" || status=$?
    local peak=$(($(cat "$cgroup_dir/$peak_file") >> 20))
    local kills
    kills=$(cat "$cgroup_dir"/memory.oom_control "$cgroup_dir"/memory.events 2>/dev/null |
        awk '/^oom_kill / { print $2; exit }') || true
    rmdir "$cgroup_dir"
    local ext=${format,,}
    (cd "$work/in" && md5sum ./*."$ext" >"$work/limited.md5")
    rm -f "$work"/in/*."$ext"
    "$batch" --jobs 1 --to "$format" "$@" >/dev/null
    local same=yes
    (cd "$work/in" && md5sum --quiet -c "$work/limited.md5" >/dev/null 2>&1) || same=NO
    printf '%-40s exit %d, oom kills %s, cgroup peak %d MiB, same files as --jobs 1: %s\n' \
        "$# to $format, jobs ${jobs:-default}, $limit MiB:" "$status" "${kills:-0}" "$peak" "$same"
}

echo "== In a memory cgroup =="
in_cgroup 1200 BMP 6 "$work"/in/p?.jpg
in_cgroup 900 PNG "" "$work"/in/p1.jpg "$work"/in/p2.jpg "$work"/in/p3.jpg

#!/usr/bin/env bash
# Times the window program's start: from exec to its first paint (the
# first image it sends to the X server; bench/first_paint_probe.c), on a
# virtual X server of its own (Xvfb, no window manager), from a copy of the
# program in a scratch folder whose settings file holds nothing but a
# release server on a closed loopback port (so the release lookup fails at
# once). Prints the median, minimum and maximum of ROUNDS starts.
#   bench/window_first_paint.sh [--rounds N] [BUILD_DIR]
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
program=$build/src/app/quillmere
[[ -x $program ]] || { echo "$program not found; build first" >&2; exit 1; }
for tool in Xvfb cc python3; do
    command -v "$tool" >/dev/null || { echo "$tool not found" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/quillmere-first-paint.XXXXXX")
display=
cleanup() {
    if [[ -n ${xvfb:-} ]]; then kill "$xvfb" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
cc -O2 -shared -fPIC -o "$work/probe.so" "$root/bench/first_paint_probe.c"
mkdir "$work/program"
cp "$program" "$work/program/quillmere"
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
printf '[Update]\nBaseURL=http://127.0.0.1:%s/\n' "$port" >"$work/program/quillmere.ini"

for number in $(seq 90 130); do
    [[ -e /tmp/.X11-unix/X$number || -e /tmp/.X$number-lock ]] && continue
    display=:$number
    break
done
[[ -n $display ]] || { echo "no free display" >&2; exit 1; }
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do [[ -e /tmp/.X11-unix/X${display#:} ]] && break; sleep 0.1; done

times=()
for ((round = -1; round < rounds; ++round)); do
    rm -f "$work/painted"
    start=${EPOCHREALTIME/./}
    DISPLAY=$display FIRST_PAINT_FILE=$work/painted LD_PRELOAD=$work/probe.so \
        "$work/program/quillmere" >/dev/null 2>&1 || true
    [[ -s $work/painted ]] || { echo "the window painted nothing" >&2; exit 1; }
    ((round < 0)) || times+=($(($(cat "$work/painted") - start)))
done
printf '%s\n' "${times[@]}" | sort -n | awk -v n="$rounds" '
    { v[NR] = $1 }
    END { printf "first paint after %.1f ms (median of %d; min %.1f, max %.1f)\n",
                 v[int((n + 1) / 2)] / 1000, n, v[1] / 1000, v[n] / 1000 }'

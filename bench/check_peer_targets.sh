#!/usr/bin/env bash
# Checks what a converter wrote in a job of bench/compare_batch_with_peers.sh:
#   bench/check_peer_targets.sh CHECKS FORMAT EXT INPUTS TARGETS
# Every picture in the folder INPUTS must have its target in the folder
# TARGETS, named as the input with the extension EXT, of identify's FORMAT
# (JPEG, PNG ...) and of the input's size; else it says which is not and
# exits 1. Then it prints what the first target shows for CHECKS (a job's
# checks, as bench/peers/jobs.txt describes them), with "!" before what is
# not as asked, and on a second line the targets' total size in bytes.
# Needs ImageMagick, libjpeg-turbo's djpeg and cjpeg, and python3.
set -euo pipefail
export LC_ALL=C
read -r -a checks <<<"${1:?}"
format=${2:?} ext=${3:?} inputs=${4:?} targets=${5:?}

declare -A sampling_factors=([4:2:0]="2x2,1x1,1x1" [4:2:2]="2x1,1x1,1x1" [4:4:4]="1x1,1x1,1x1")
declare -A dct_names=([float]="float DCT" [int]="integer DCT" [other]="differs from libjpeg")
declare -A want=()
for check in "${checks[@]}"; do want[${check%%[=<]*}]=${check##*[=<]}; done
md5() { md5sum | cut -d' ' -f1; }

bytes=0 first="" first_input=""
for input in "$inputs"/*; do
    target=$targets/$(basename "${input%.*}").$ext
    [[ -s $target ]] || { echo "wrote no ${target##*/}" >&2; exit 1; }
    found=$(identify -ping -format '%m %w %h' "$target" 2>/dev/null) || { echo "$target cannot be read" >&2; exit 1; }
    size=$(identify -ping -format '%w %h' "$input")
    [[ ${found%% *} == "$format"* && ${found#* } == "$size" ]] || { echo "$target is $found, not $format $size" >&2; exit 1; }
    bytes=$((bytes + $(stat -c %s "$target")))
    first=${first:-$target} first_input=${first_input:-$input}
done

# Adds GOOD to what the target shows when the test after BAD holds, else
# "!" and BAD.
wrote=""
shows() {
    local good=$1 bad=$2
    shift 2
    if "$@"; then wrote+="${wrote:+, }$good"; else wrote+="${wrote:+, }!$bad"; fi
}

for check in "${checks[@]}"; do
    key=${check%%[=<]*}
    case $key in
        filter)
            got=$(python3 "$(dirname "$0")/png_filters.py" "$first") || { echo "cannot read the rows of $first" >&2; exit 1; }
            shows "filter $got" "filter $got" [ "$got" = "${want[filter]}" ] ;;
        sampling)
            got=$(identify -format '%[jpeg:sampling-factor]' "$first")
            shows "${want[sampling]}" "sampling $got" [ "$got" = "${sampling_factors[${want[sampling]}]}" ] ;;
        quality)
            got=$(identify -format '%Q' "$first")
            shows "Q$got" "Q$got" [ "$got" = "${want[quality]}" ] ;;
        compression)
            got=$(identify -format '%C' "$first")
            shows "${got/#None/uncompressed}" "compression $got" [ "$got" = "${want[compression]}" ] ;;
        colours)
            got=$(identify -format '%k' "$first")
            shows "$got colours" "$got colours" [ "$got" -le "${want[colours]}" ] ;;
        decoded | encoded)
            # The pixels against those of libjpeg with each DCT: the input as
            # djpeg decodes it, or as cjpeg encodes it at the asked quality and
            # sampling and djpeg decodes that.
            dct=other
            if [[ $key == decoded ]]; then
                got=$(convert "$first" -depth 8 rgb:- | md5)
            else
                got=$(djpeg "$first" | md5)
            fi
            for reference in float int; do
                if [[ $key == decoded ]]; then
                    expected=$(djpeg -dct "$reference" "$first_input" | convert - -depth 8 rgb:- | md5)
                else
                    expected=$(convert "$first_input" -depth 8 ppm:- |
                        cjpeg -dct "$reference" -quality "${want[quality]}" \
                            -sample "${sampling_factors[${want[sampling]}]%%,*}" | djpeg | md5)
                fi
                [[ $got != "$expected" ]] || dct=$reference
            done
            shows "${key:0:3} ${dct_names[$dct]}" "${key:0:3} ${dct_names[$dct]}" [ "$dct" = "${want[$key]}" ] ;;
        *) echo "unknown check \"$check\"" >&2; exit 1 ;;
    esac
done
printf '%s\n%s\n' "$wrote" "$bytes"

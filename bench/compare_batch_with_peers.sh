#!/usr/bin/env bash
# Compares quillmere-batch with other batch converters from Debian on the same
# pictures, in the same run: ImageMagick, GraphicsMagick, vips, libjpeg-turbo's
# djpeg/cjpeg and Netpbm. The jobs are the lines of bench/peers/jobs.txt, the
# converters the files beside it (bench/peers/README.md).
#
# Build first; this script builds nothing:
#   scripts/build.sh release
# then, from anywhere:
#   bench/compare_batch_with_peers.sh [--quick] [--rounds N] [--files N]
#                                     [--only JOB,...] [--keep] [BUILD_DIR]
# BUILD_DIR defaults to "build"; a relative one is taken from the project
# root. ROUNDS, FILES and ONLY in the environment do the same as the options.
#   --rounds N   timed rounds (default 5)
#   --files N    pictures per job (default 4)
#   --quick      2 rounds of 2 pictures, to see that everything works
#   --only LIST  some of the jobs: jpeg-png, jpeg-bmp, png-jpeg, bmp-jpeg,
#                jpeg-tiff, jpeg-gif (default: all of them)
#   --keep       keep the work folder (pictures and logs) and say where
# PEER_THREADS=N limits ImageMagick, GraphicsMagick and vips to N threads;
# by default they use every core, as they do for their users. SEED=N makes
# other pictures (default 7).
#
# It installs the missing converters with apt-get (through sudo when not
# root), as scripts/setup.sh does for the build: they are benchmark tools
# only. The pictures come from bench/write_peer_pictures.sh. Each tool runs
# each job once untimed, and bench/check_peer_targets.sh checks what it
# wrote; a "!" there marks work unlike quillmere-batch's, and such a tool is
# not the "fastest peer" of the ratios. Then the tools take turns, round
# after round (the order rotates each round), each run in a fresh copy of the
# inputs, and the tables give the median wall time and the median peak
# resident memory (GNU time's %M; of a shell loop, its largest process). A
# copy of quillmere-batch, taken at the start, is what runs. On 2 cores the
# default run takes 11 to 15 minutes, --quick 2 to 4.
set -euo pipefail
export LC_ALL=C
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
peers=$root/bench/peers

fail() {
    echo "compare_batch_with_peers: $*" >&2
    exit 1
}
usage() {
    sed -n '/^# Build first/,/^# other pictures/p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//' >&2
    exit 2
}

rounds=${ROUNDS:-} files=${FILES:-} only=${ONLY:-} seed=${SEED:-7} quick=0 keep=0 build=build
while (($# > 0)); do
    case $1 in
        --rounds) rounds=${2:-}; shift 2 || usage ;;
        --files) files=${2:-}; shift 2 || usage ;;
        --only) only=${2:-}; shift 2 || usage ;;
        --quick) quick=1; shift ;;
        --keep) keep=1; shift ;;
        -h | --help) usage ;;
        -*) echo "unknown option: $1" >&2; usage ;;
        *) build=$1; shift ;;
    esac
done
((quick)) && rounds=${rounds:-2} files=${files:-2}
rounds=${rounds:-5} files=${files:-4}
[[ $seed =~ ^[0-9]{1,6}$ ]] || fail "SEED needs a whole number from 0 to 999999, not \"$seed\""
[[ $rounds =~ ^[1-9][0-9]*$ ]] || fail "--rounds needs a whole number from 1 up, not \"$rounds\""
[[ $files =~ ^[1-9][0-9]?$ ]] || fail "--files needs a whole number from 1 to 99, not \"$files\""
[[ ${PEER_THREADS:-1} =~ ^[1-9][0-9]*$ ]] || fail "PEER_THREADS needs a whole number from 1 up"
[[ $build == /* ]] || build=$root/$build
batch_built=$build/src/cli/quillmere-batch
[[ -x $batch_built ]] || fail "$batch_built not found; build first (scripts/build.sh release)"

# --- The jobs and the peers -------------------------------------------------------

declare -A job_from=() job_to=() job_checks=() job_wanted=()
all_jobs=()
while IFS='|' read -r job from to checks wanted; do
    all_jobs+=("$job")
    job_from[$job]=$from job_to[$job]=$to job_checks[$job]=$checks job_wanted[$job]=$wanted
done < <(sed '/^#/d; /^[[:space:]]*$/d; s/[[:space:]]*|[[:space:]]*/|/g' "$peers/jobs.txt")
jobs_run=("${all_jobs[@]}")
[[ -z $only ]] || IFS=', ' read -r -a jobs_run <<<"$only"
for job in "${jobs_run[@]}"; do
    [[ -v job_from[$job] ]] || fail "unknown job \"$job\" (jobs: ${all_jobs[*]})"
done

# The lines of the peers' files (bench/peers/README.md).
tool_jobs=() tool_names=() tool_commands=() tool_differences=() ours_labels=()
packages=(imagemagick libjpeg-turbo-progs time python3) versions=() threaded=() notes=()
uses() { packages+=("$2") versions+=("$1:$2"); }
threads() {
    threaded+=("$1")
    [[ -z ${PEER_THREADS:-} ]] || for variable in "${@:2}"; do export "$variable=$PEER_THREADS"; done
}
run() {
    local job list
    IFS=, read -r -a list <<<"$1"
    for job in "${list[@]}"; do
        [[ -v job_from[$job] ]] || fail "$file: no job \"$job\" in jobs.txt"
    done
    tool_jobs+=(",$1,") tool_names+=("$2") tool_commands+=("$3") tool_differences+=("${4:-}")
}
each() { run "$1" "$2 (loop)" "for f in *.\"\$IN\"; do $3 || exit 1; done" "${4:-}"; }
note() { notes+=("$1"); }
ours() {
    local jobs
    printf -v jobs '%s,' "${all_jobs[@]}"
    run "${jobs%,}" "$2" "$3"
    ours_labels+=("$1")
}

work=$(mktemp -d "${TMPDIR:-/tmp}/quillmere-peer-compare.XXXXXX")
if ((keep)); then
    trap 'echo "Work folder kept: $work"' EXIT
else
    trap 'rm -rf "$work"' EXIT
fi
mkdir "$work/bin" "$work/pictures"
cp "$batch_built" "$work/bin/quillmere-batch"  # a rebuild during the run changes nothing
CORES=$(nproc)
export QB=$work/bin/quillmere-batch CORES
batch_version=$("$QB" --version 2>&1 | head -n 1) || fail "$batch_built --version failed"

file=$peers/quillmere-batch.sh
# shellcheck source=/dev/null  # the peers are data, found at run time
source "$file"
for file in "$peers"/*.sh; do
    # shellcheck source=/dev/null
    [[ $file == "$peers/quillmere-batch.sh" ]] || source "$file"
done
ours_count=${#ours_labels[@]}

missing=()
for package in $(printf '%s\n' "${packages[@]}" | sort -u); do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if ((${#missing[@]} > 0)); then
    echo "Installing: ${missing[*]}"
    sudo=()
    [[ $(id -u) -eq 0 ]] || sudo=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update
    "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

# --- Running and timing --------------------------------------------------------------

# Runs one sh command of a tool in a fresh copy of the job's inputs, in
# $work/run; sets elapsed_us (wall time in microseconds, bash's EPOCHREALTIME)
# and rss_kb (peak resident set, GNU time's %M).
run_in_copy() {
    local command=$1 name=$2 start end
    rm -rf "$work/run"
    mkdir "$work/run"
    cp "$work/pictures/$from"/* "$work/run"/
    cd "$work/run"
    start=${EPOCHREALTIME/./}
    IN=$from TO=$to /usr/bin/time -f %M -o "$work/rss" sh -c "$command" >/dev/null 2>"$work/stderr" ||
        fail "$name failed in $title (sh -c '$command'): $(tail -n 5 "$work/stderr")"
    end=${EPOCHREALTIME/./}
    cd "$work"
    elapsed_us=$((end - start)) rss_kb=$(tail -n 1 "$work/rss")
}

# The median of whole numbers (one an argument), rounded to a whole number.
median() {
    printf '%s\n' "$@" | sort -n |
        awk '{ v[NR] = $1 } END { printf "%.0f\n", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
# Prints each NUMBER / DIVISOR in FORMAT (FORMAT DIVISOR NUMBER...).
scaled() { awk -v f="$1" -v d="$2" 'BEGIN { for (i = 1; i < ARGC; ++i) printf f, ARGV[i] / d }' "${@:3}"; }
# Prints NUMBER / each DIVISOR in FORMAT (FORMAT NUMBER DIVISOR...).
ratios() { awk -v f="$1" -v n="$2" 'BEGIN { for (i = 1; i < ARGC; ++i) printf f, n / ARGV[i] }' "${@:3}"; }

# --- The run ------------------------------------------------------------------------

started=$SECONDS
echo "Making the pictures ($files of each kind) ..."
for kind in $(for job in "${jobs_run[@]}"; do echo "${job_from[$job]}"; done | sort -u); do
    "$root/bench/write_peer_pictures.sh" "$kind" "$files" "$seed" "$work/pictures/$kind"
done

report=$work/report.txt found=$work/found.txt summary=() speedups=""
: >"$report"
: >"$found"
for job in "${jobs_run[@]}"; do
    from=${job_from[$job]} to=${job_to[$job]} in_format=${job_from[$job]^^} format=${job_to[$job]/#JPG/JPEG}
    title="${in_format/#JPG/JPEG} -> $format"
    echo "$title: checking each tool once ..."
    tools=() names=() wrote_of=() bytes_of=() times=() memories=()
    for t in "${!tool_names[@]}"; do
        [[ ${tool_jobs[t]} != *",$job,"* ]] || tools+=("$t") names+=("${tool_names[t]}")
    done
    count=${#tools[@]}
    ((count > ours_count)) || fail "no peer does $job"
    for ((k = 0; k < count; ++k)); do
        run_in_copy "${tool_commands[tools[k]]}" "${names[k]}"
        checked=$("$root/bench/check_peer_targets.sh" "${job_checks[$job]}" "$format" "${to,,}" \
            "$work/pictures/$from" "$work/run" 2>"$work/check") ||
            fail "${names[k]}, $title: $(cat "$work/check") $(tail -n 5 "$work/stderr")"
        wrote=${checked%$'\n'*} bytes_of[k]=${checked##*$'\n'}
        difference=${tool_differences[tools[k]]}
        wrote_of[k]=$wrote${difference:+${wrote:+, }!$difference}
        [[ ${wrote_of[k]} != *'!'* ]] || echo "  - $title, ${names[k]}: ${wrote_of[k]}" >>"$found"
    done

    for ((round = 0; round < rounds; ++round)); do
        echo "$title: round $((round + 1)) of $rounds ..."
        for ((i = 0; i < count; ++i)); do
            k=$(((i + round) % count))
            run_in_copy "${tool_commands[tools[k]]}" "${names[k]}"
            times[k]+=" $elapsed_us" memories[k]+=" $rss_kb"
        done
    done
    rm -rf "$work/run"

    # Medians, and the fastest peer doing the same work (no "!" in what it
    # wrote); when none does, the fastest of all, with a "!".
    time_of=() memory_of=() fastest=-1 fastest_any=-1
    for ((k = 0; k < count; ++k)); do
        # shellcheck disable=SC2086 # the lists are numbers separated by blanks
        time_of[k]=$(median ${times[k]}) memory_of[k]=$(median ${memories[k]})
        ((k >= ours_count)) || continue
        ((fastest_any >= 0 && time_of[k] >= time_of[fastest_any])) || fastest_any=$k
        [[ ${wrote_of[k]} == *'!'* ]] || ((fastest >= 0 && time_of[k] >= time_of[fastest])) || fastest=$k
    done
    fastest_name=${names[fastest]:-}
    ((fastest >= 0)) || fastest=$fastest_any fastest_name="!${names[fastest_any]}"
    ours_times=("${time_of[@]:0:ours_count}")

    inputs=("$work/pictures/$from"/*)
    {
        printf '\n%s: %s x %s %s (%s)\n' "$title" "$files" "$(identify -ping -format '%wx%h' "${inputs[0]}")" \
            "$in_format" "${job_wanted[$job]}"
        printf '  %-28s %8s %8s %7s%s  what it wrote\n' "" "median s" "peak MiB" "out MB" \
            "$(printf ' %6s' "${ours_labels[@]/#//\ }")"
        for ((k = 0; k < count; ++k)); do
            printf '  %-28s %8s %8s %7s%s  %s\n' "${names[k]}" "$(scaled %.2f 1e6 "${time_of[k]}")" \
                "$(scaled %.0f 1024 "${memory_of[k]}")" "$(scaled %.1f 1e6 "${bytes_of[k]}")" \
                "$(ratios ' %6.2f' "${time_of[k]}" "${ours_times[@]}")" "${wrote_of[k]}"
        done
    } >>"$report"
    summary+=("$(printf '  %-13s%s  %-26s %6s%s%s' "$title" "$(scaled ' %7.2f' 1e6 "${ours_times[@]}")" \
        "$fastest_name" "$(scaled %.2f 1e6 "${time_of[fastest]}")" \
        "$(ratios ' %8.2f' "${time_of[fastest]}" "${ours_times[@]}")" \
        "$(scaled ' %8.0f' 1024 "${memory_of[@]:0:ours_count}")")")
    if ((ours_count > 1)); then
        summary[-1]+=$(ratios ' %7.2f' "${memory_of[1]}" "${memory_of[0]}")
        speedups+="${speedups:+, }$title $(ratios %.2f "${time_of[0]}" "${time_of[1]}")"
    fi
done

# --- The report -----------------------------------------------------------------------

# A package's upstream version ("8:6.9.11.60+dfsg-1" gives 6.9.11.60,
# "1.4+really1.3.40-4" gives 1.3.40).
version_of() { dpkg-query -W -f='${Version}' "$1" 2>/dev/null | sed 's/^[0-9]*://; s/.*really//; s/[-+~].*//'; }
joined() { printf '%s, ' "$@" | sed 's/, $//'; }
named_versions=()
for version in "${versions[@]}"; do named_versions+=("${version%%:*} $(version_of "${version#*:}")"); done

echo
echo "quillmere-batch against other converters on $CORES CPU(s): pictures per job: $files," \
    "rounds: $rounds"
echo "  quillmere-batch: $batch_version ($batch_built)"
echo "  $(joined "${named_versions[@]}")"
limit=${PEER_THREADS:+$PEER_THREADS thread(s)}
echo "  $(joined "${threaded[@]}") use ${limit:-every core}; the other peers one."
for ((b = 0; b < ours_count; ++b)); do echo "  ${ours_labels[b]}: ${tool_names[b]}"; done
echo "  Other work running on the machine affects every figure."
echo
echo "Per job: median wall time; median peak resident memory (of a shell loop: its largest"
echo "process); total size of the targets; time / quillmere-batch's time (above 1:"
echo "quillmere-batch is faster); what the first target shows (\"!\": not what quillmere-batch"
echo "is asked to do; \"dec/enc float DCT\": the pixels are those of djpeg/cjpeg -dct float)."
cat "$report"

echo
echo "Summary: median seconds; ratio = time of the fastest peer doing the same work /"
echo "quillmere-batch's time (above 1: quillmere-batch is that many times faster; \"!\": none"
echo "does the same work, the fastest of all); peak resident memory of quillmere-batch (MiB)."
printf '  %-13s%s  %-26s %6s%s%s%s\n' job "$(printf ' %7s' "${ours_labels[@]}")" "fastest peer" s \
    "$(printf ' %8s' "${ours_labels[@]/#/ratio }")" "$(printf ' %8s' "${ours_labels[@]/#/MiB }")" \
    "$( ((ours_count < 2)) || printf ' %7s' "${ours_labels[1]}/${ours_labels[0]}")"
printf '%s\n' "${summary[@]}" ""
if [[ -n $speedups ]]; then
    fold -s -w 88 <<<"Time of ${ours_labels[0]} / time of ${ours_labels[1]}: $speedups" | sed 's/ *$//; 2,$s/^/  /'
else
    echo "--jobs 1 / --jobs N: not measured (one CPU, or quillmere-batch has no --jobs option)."
fi
if [[ -s $found ]]; then
    echo "Not the same work as quillmere-batch's:"
    cat "$found"
fi
echo "Known differences the checks cannot see:"
for text in "${notes[@]}"; do fold -s -w 86 <<<"$text" | sed 's/ *$//; 1s/^/  - /; 2,$s/^/    /'; done
echo "Total time: $(((SECONDS - started) / 60)) min $(((SECONDS - started) % 60)) s"

#!/usr/bin/env bash
# Compares quillmere-batch with other batch converters from Debian on the same
# pictures, in the same run: ImageMagick (mogrify), GraphicsMagick
# (gm mogrify), libvips (vips), libjpeg-turbo's djpeg/cjpeg and Netpbm.
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
# PEER_THREADS=N limits ImageMagick, GraphicsMagick and vips to N threads
# (MAGICK_THREAD_LIMIT, OMP_NUM_THREADS, VIPS_CONCURRENCY); by default they
# use every core, as they do for their users. SEED=N makes other pictures
# (default 7).
#
# The other converters are benchmark tools only: the script installs the
# missing ones with apt-get (through sudo when not root), as scripts/setup.sh
# does for the build: imagemagick graphicsmagick libvips-tools
# libjpeg-turbo-progs netpbm, and time and python3 for the measurements and
# checks.
#
# The pictures are made here from fixed seeds (soft colour clouds under a
# gradient, translucent shapes, sensor-like noise): FILES JPEGs of
# 3000 x 2000 (quality 90), PNGs of 1920 x 1080 and 24-bit BMPs of 1024 x 768.
# Each job converts all pictures of one kind at once: quillmere-batch in one
# call, ImageMagick and GraphicsMagick in one mogrify call, the others in a
# shell loop with one process (or pipeline) per file, since starting them is
# part of what they cost. Every tool works in a fresh copy of the inputs and
# writes its results beside them, as quillmere-batch does; the results are
# removed after each run, so every run does the same work.
#
# The peers are asked for what quillmere-batch does:
#   PNG   zlib level 7, every row with the Sub filter (-quality 71; vips
#         compression=7 filter=sub; pnmtopng -compression 7 -sub)
#   JPEG  quality 90, 4:2:0 (2x2) chroma, floating-point DCT
#   TIFF  uncompressed
#   GIF   256 colours with Floyd-Steinberg dithering
#   JPEG input decoded with the floating-point DCT where the tool allows it.
# Before timing, each tool runs once untimed and its results are checked:
# every target must exist with the right format and size (else the script
# stops), and the first one is examined for what the tool really did (see
# the "what it wrote" column): the PNG row filters, the JPEG sampling and
# quality, the TIFF compression, the number of GIF colours, and whether the
# decoded or encoded pixels are those of djpeg/cjpeg with the floating-point
# or the integer DCT.
#
# Then the tools take turns, round after round (the order rotates each
# round), and the table gives the median wall time and the median peak
# resident memory (GNU time's %M; for a shell loop, its largest process) of
# the rounds. bench/timing.sh's best_seconds times one command several times
# in a row; here the tools alternate, so the runs are timed here in the same
# way, with bash's EPOCHREALTIME.
#
# quillmere-batch runs with --jobs 1 and --jobs $(nproc) when its --help
# mentions --jobs, otherwise with its defaults only. A copy of it, taken at
# the start, is what runs, so a rebuild during the run changes nothing.
# On 2 cores the default run (5 rounds of 4 pictures) takes about 11
# minutes when they are idle and up to 15 when other work is running;
# --quick takes 3 to 4.
set -euo pipefail
export LC_ALL=C

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

fail() {
    echo "compare_batch_with_peers: $*" >&2
    exit 1
}

usage() {
    sed -n '/^# Build first/,/^# (default 7)/p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//' >&2
    exit 2
}

rounds=${ROUNDS:-}
files=${FILES:-}
only=${ONLY:-}
quick=0
keep=0
build=build
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
if ((quick)); then
    rounds=${rounds:-2}
    files=${files:-2}
fi
rounds=${rounds:-5}
files=${files:-4}
seed=${SEED:-7}
[[ $seed =~ ^[0-9]{1,6}$ ]] || fail "SEED needs a whole number from 0 to 999999, not \"$seed\""
[[ $rounds =~ ^[1-9][0-9]*$ ]] || fail "--rounds needs a whole number from 1 up, not \"$rounds\""
[[ $files =~ ^[1-9][0-9]*$ ]] || fail "--files needs a whole number from 1 up, not \"$files\""
((files <= 99)) || fail "--files: at most 99"

all_jobs=(jpeg-png jpeg-bmp png-jpeg bmp-jpeg jpeg-tiff jpeg-gif)
if [[ -n $only ]]; then
    IFS=', ' read -r -a jobs_run <<<"$only"
    for job in "${jobs_run[@]}"; do
        [[ " ${all_jobs[*]} " == *" $job "* ]] || fail "unknown job \"$job\" (jobs: ${all_jobs[*]})"
    done
else
    jobs_run=("${all_jobs[@]}")
fi

[[ $build == /* ]] || build=$root/$build
batch_built=$build/src/cli/quillmere-batch
[[ -x $batch_built ]] || fail "$batch_built not found; build first (scripts/build.sh release)"

# --- The converters -----------------------------------------------------------

packages=(imagemagick graphicsmagick libvips-tools libjpeg-turbo-progs netpbm time python3)
missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
if ((${#missing[@]} > 0)); then
    echo "Installing: ${missing[*]}"
    sudo=()
    [[ $(id -u) -eq 0 ]] || sudo=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update
    "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
for tool in convert mogrify identify gm vips djpeg cjpeg pnmtopng pngtopnm pnmtotiff python3; do
    command -v "$tool" >/dev/null || fail "$tool not found after installing ${packages[*]}"
done
[[ -x /usr/bin/time ]] || fail "/usr/bin/time not found (package time)"

# A package's upstream version ("8:6.9.11.60+dfsg-1" gives 6.9.11.60,
# "1.4+really1.3.40-4" gives 1.3.40).
version_of() { dpkg-query -W -f='${Version}' "$1" 2>/dev/null | sed 's/^[0-9]*://; s/.*really//; s/[-+~].*//'; }

if [[ -n ${PEER_THREADS:-} ]]; then
    [[ $PEER_THREADS =~ ^[1-9][0-9]*$ ]] || fail "PEER_THREADS needs a whole number from 1 up"
    export MAGICK_THREAD_LIMIT=$PEER_THREADS OMP_NUM_THREADS=$PEER_THREADS VIPS_CONCURRENCY=$PEER_THREADS
fi

# --- The work folder ------------------------------------------------------------

work=$(mktemp -d "${TMPDIR:-/tmp}/quillmere-peer-compare.XXXXXX")
if ((keep)); then
    trap 'echo "Work folder kept: $work"' EXIT
else
    trap 'rm -rf "$work"' EXIT
fi

# The binary as it is now: the runs are not disturbed by a rebuild.
mkdir "$work/bin"
cp "$batch_built" "$work/bin/quillmere-batch"
export QB=$work/bin/quillmere-batch
batch_version=$("$QB" --version 2>&1 | head -n 1) || fail "$batch_built --version failed"

cores=$(nproc)
if "$QB" --help 2>&1 | grep -q -- '--jobs'; then
    has_jobs=1
else
    has_jobs=0
fi

# --- The pictures ---------------------------------------------------------------

# A small linear congruential generator, so that the shapes depend on the
# seed alone (not on bash's or awk's random numbers).
lcg_state=0
random_below() {
    lcg_state=$(((lcg_state * 1103515245 + 12345) % 2147483648))
    r=$(((lcg_state >> 8) % $1))
}

random_colour() {
    random_below 256; local red=$r
    random_below 256; local green=$r
    random_below 256
    colour="$red,$green,$r"
}

# Writes a photo-like picture of WIDTH x HEIGHT as an 8-bit PPM: soft colour
# clouds (plasma, drawn small and enlarged) under a gradient, six translucent
# shapes and Gaussian noise. The same seed gives the same pixels.
make_ppm() {
    local seed=$1 width=$2 height=$3 out=$4 draws=() i kind x y size angle top bottom
    lcg_state=$seed
    random_below 360; angle=$r
    random_colour; top=$colour
    random_colour; bottom=$colour
    for ((i = 0; i < 6; ++i)); do
        random_below 3; kind=$r
        random_below "$width"; x=$r
        random_below "$height"; y=$r
        random_below $((width / 6)); size=$((width / 24 + r))
        random_colour
        random_below 50
        draws+=(-fill "rgba($colour,0.$((35 + r)))")
        case $kind in
            0) draws+=(-draw "circle $x,$y $((x + size)),$y") ;;
            1) draws+=(-draw "rectangle $x,$y $((x + size * 3 / 2)),$((y + size))") ;;
            2) draws+=(-draw "ellipse $x,$y $size,$((size / 2)) 0,360") ;;
        esac
    done
    MAGICK_THREAD_LIMIT=1 convert -seed "$seed" \
        -size "$((width / 4))x$((height / 4))" plasma:fractal -blur 0x2 \
        -resize "${width}x${height}!" -modulate 100,65 \
        \( -size "${width}x${height}" -define gradient:angle="$angle" \
        gradient:"rgb($top)-rgb($bottom)" \) \
        -compose overlay -composite -compose over "${draws[@]}" \
        -attenuate 0.4 +noise Gaussian -depth 8 "ppm:$out"
}

# The pictures of one kind: jpeg (3000 x 2000), png (1920 x 1080) or bmp
# (1024 x 768), named photo_01 ... in $work/pictures/KIND.
declare -A width_of=([jpeg]=3000 [png]=1920 [bmp]=1024)
declare -A height_of=([jpeg]=2000 [png]=1080 [bmp]=768)
declare -A seed_base=([jpeg]=1000 [png]=2000 [bmp]=3000)
declare -A ext_of=([jpeg]=jpg [png]=png [bmp]=bmp)
make_pictures() {
    local kind=$1 dir=$work/pictures/$1 i name
    mkdir -p "$dir"
    for ((i = 1; i <= files; ++i)); do
        name=$(printf 'photo_%02d' "$i")
        make_ppm $((seed * 10000 + ${seed_base[$kind]} + i)) \
            "${width_of[$kind]}" "${height_of[$kind]}" "$work/picture.ppm"
        case $kind in
            jpeg) cjpeg -quality 90 -outfile "$dir/$name.jpg" "$work/picture.ppm" ;;
            png) convert "$work/picture.ppm" -strip -define png:exclude-chunks=date,time \
                PNG24:"$dir/$name.png" ;;
            bmp) convert "$work/picture.ppm" BMP3:"$dir/$name.bmp" ;;
        esac
    done
    rm -f "$work/picture.ppm"
}

# --- The jobs -------------------------------------------------------------------

# Sets, for one job: its title, the kind of its inputs, quillmere-batch's
# --to, the targets' extension and identify's name for their format, and the
# peers (names and sh commands, run in the folder of the inputs; the single
# quotes keep their variables for that shell).
# shellcheck disable=SC2016
set_job() {
    local job=$1
    peer_names=()
    peer_commands=()
    case $job in
        jpeg-png)
            title="JPEG -> PNG"; in_kind=jpeg; to=PNG; out_ext=png; out_format=PNG
            wanted="zlib level 7, Sub filter; JPEG decoded with the float DCT"
            peer_names+=("ImageMagick mogrify")
            peer_commands+=("mogrify -define jpeg:dct-method=float -format png -quality 71 *.jpg")
            peer_names+=("GraphicsMagick gm mogrify")
            peer_commands+=("gm mogrify -define jpeg:dct-method=float -format png -quality 71 *.jpg")
            peer_names+=("vips pngsave (loop)")
            peer_commands+=('for f in *.jpg; do vips pngsave "$f" "${f%.*}.png" --compression 7 --filter sub || exit 1; done')
            peer_names+=("djpeg | pnmtopng (loop)")
            peer_commands+=('for f in *.jpg; do djpeg -dct float "$f" | pnmtopng -compression 7 -sub >"${f%.*}.png" || exit 1; done')
            ;;
        jpeg-bmp)
            title="JPEG -> BMP"; in_kind=jpeg; to=BMP; out_ext=bmp; out_format=BMP
            wanted="24-bit BMP; JPEG decoded with the float DCT"
            peer_names+=("ImageMagick mogrify")
            peer_commands+=("mogrify -define jpeg:dct-method=float -define bmp:format=bmp3 -format bmp *.jpg")
            peer_names+=("GraphicsMagick gm mogrify")
            peer_commands+=("gm mogrify -define jpeg:dct-method=float -format bmp *.jpg")
            peer_names+=("vips magicksave (loop)")
            peer_commands+=('for f in *.jpg; do vips magicksave "$f" "${f%.*}.bmp" --format bmp3 || exit 1; done')
            peer_names+=("djpeg -bmp (loop)")
            peer_commands+=('for f in *.jpg; do djpeg -dct float -bmp -outfile "${f%.*}.bmp" "$f" || exit 1; done')
            ;;
        png-jpeg | bmp-jpeg)
            if [[ $job == png-jpeg ]]; then
                title="PNG -> JPEG"; in_kind=png
            else
                title="BMP -> JPEG"; in_kind=bmp
            fi
            to=JPG; out_ext=jpg; out_format=JPEG
            wanted="quality 90, 4:2:0, float DCT"
            local in=${ext_of[$in_kind]}
            peer_names+=("ImageMagick mogrify")
            peer_commands+=("mogrify -define jpeg:dct-method=float -sampling-factor 2x2 -quality 90 -format jpg *.$in")
            peer_names+=("GraphicsMagick gm mogrify")
            peer_commands+=("gm mogrify -define jpeg:dct-method=float -sampling-factor 2x2 -quality 90 -format jpg *.$in")
            peer_names+=("vips jpegsave (loop)")
            peer_commands+=("for f in *.$in; do vips jpegsave \"\$f\" \"\${f%.*}.jpg\" --Q 90 --subsample-mode on || exit 1; done")
            if [[ $in_kind == png ]]; then
                peer_names+=("pngtopnm | cjpeg (loop)")
                peer_commands+=('for f in *.png; do pngtopnm "$f" | cjpeg -dct float -quality 90 -sample 2x2 >"${f%.*}.jpg" || exit 1; done')
            else
                peer_names+=("cjpeg (loop)")
                peer_commands+=('for f in *.bmp; do cjpeg -dct float -quality 90 -sample 2x2 -outfile "${f%.*}.jpg" "$f" || exit 1; done')
            fi
            ;;
        jpeg-tiff)
            title="JPEG -> TIFF"; in_kind=jpeg; to=TIFF; out_ext=tiff; out_format=TIFF
            wanted="uncompressed; JPEG decoded with the float DCT"
            peer_names+=("ImageMagick mogrify")
            peer_commands+=("mogrify -define jpeg:dct-method=float -compress none -format tiff *.jpg")
            peer_names+=("GraphicsMagick gm mogrify")
            peer_commands+=("gm mogrify -define jpeg:dct-method=float -compress None -format tiff *.jpg")
            peer_names+=("vips tiffsave (loop)")
            peer_commands+=('for f in *.jpg; do vips tiffsave "$f" "${f%.*}.tiff" --compression none || exit 1; done')
            peer_names+=("djpeg | pnmtotiff (loop)")
            peer_commands+=('for f in *.jpg; do djpeg -dct float "$f" | pnmtotiff -quiet -none -truecolor >"${f%.*}.tiff" || exit 1; done')
            ;;
        jpeg-gif)
            title="JPEG -> GIF"; in_kind=jpeg; to=GIF; out_ext=gif; out_format=GIF
            wanted="256 colours, Floyd-Steinberg dithering; JPEG decoded with the float DCT"
            peer_names+=("ImageMagick mogrify")
            peer_commands+=("mogrify -define jpeg:dct-method=float -dither FloydSteinberg -colors 256 -format gif *.jpg")
            peer_names+=("GraphicsMagick gm mogrify")
            peer_commands+=("gm mogrify -define jpeg:dct-method=float -dither -colors 256 -format gif *.jpg")
            peer_names+=("vips gifsave (loop)")
            peer_commands+=('for f in *.jpg; do vips gifsave "$f" "${f%.*}.gif" --dither 1 || exit 1; done')
            peer_names+=("djpeg -gif (loop)")
            peer_commands+=('for f in *.jpg; do djpeg -dct float -colors 256 -dither fs -gif -outfile "${f%.*}.gif" "$f" || exit 1; done')
            ;;
        *) fail "unknown job $job" ;;
    esac
}

# The quillmere-batch variants: with --jobs 1 and --jobs $cores when it has
# the option, else its defaults. Their short labels name the table columns.
batch_names=()
batch_options=()
batch_labels=()
if ((has_jobs)); then
    batch_names+=("quillmere-batch --jobs 1")
    batch_options+=("--jobs 1")
    batch_labels+=(q1)
    if ((cores > 1)); then
        batch_names+=("quillmere-batch --jobs $cores")
        batch_options+=("--jobs $cores")
        batch_labels+=("q$cores")
    fi
else
    batch_names+=("quillmere-batch")
    batch_options+=("")
    batch_labels+=(q)
fi
batch_count=${#batch_names[@]}

# --- Checking what a tool wrote --------------------------------------------------

# The row filters of a PNG file: the names of those used, joined by "+".
png_filters() {
    python3 - "$1" <<'EOF'
import struct, sys, zlib
data = open(sys.argv[1], "rb").read()
pos, idat = 8, []
while pos + 8 <= len(data):
    length, kind = struct.unpack(">I4s", data[pos:pos + 8])
    body = data[pos + 8:pos + 8 + length]
    if kind == b"IHDR":
        width, height, depth, colour = struct.unpack(">IIBB", body[:10])
    elif kind == b"IDAT":
        idat.append(body)
    pos += 12 + length
channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[colour]
stride = (width * channels * depth + 7) // 8 + 1
rows = zlib.decompress(b"".join(idat))
names = ["None", "Sub", "Up", "Average", "Paeth"]
used = sorted({rows[row * stride] for row in range(height)})
print("+".join(names[f] if f < 5 else "?" for f in used))
EOF
}

# The MD5 of a picture's pixels as 8-bit RGB samples (no header, no comment).
pixels_md5() { convert "$1" -depth 8 rgb:- | md5sum | cut -d' ' -f1; }
# The MD5 of a JPEG file's pixels as djpeg decodes them.
jpeg_pixels_md5() { djpeg "$1" | md5sum | cut -d' ' -f1; }

# For the first input of a job: the pixels of its decoding by djpeg with the
# float and the integer DCT (JPEG inputs), or of its encoding by cjpeg at
# quality 90, 4:2:0, with the float and the integer DCT (JPEG targets).
reference_checks() {
    local first=$1
    ref_float="" ref_int=""
    if [[ $in_kind == jpeg && $out_ext != gif ]]; then
        ref_float=$(djpeg -dct float "$first" | convert - -depth 8 rgb:- | md5sum | cut -d' ' -f1)
        ref_int=$(djpeg -dct int "$first" | convert - -depth 8 rgb:- | md5sum | cut -d' ' -f1)
    fi
    if [[ $out_ext == jpg ]]; then
        convert "$first" -depth 8 ppm:"$work/reference.ppm"
        cjpeg -dct float -quality 90 -sample 2x2 -outfile "$work/reference.jpg" "$work/reference.ppm"
        ref_float=$(jpeg_pixels_md5 "$work/reference.jpg")
        cjpeg -dct int -quality 90 -sample 2x2 -outfile "$work/reference.jpg" "$work/reference.ppm"
        ref_int=$(jpeg_pixels_md5 "$work/reference.jpg")
        rm -f "$work/reference.ppm" "$work/reference.jpg"
    fi
}

# Checks the targets in DIR (stops the script when one is missing or wrong)
# and sets "wrote" to what the first one shows; "!" marks what differs from
# what quillmere-batch is meant to do. Sets out_bytes to the targets' size.
check_targets() {
    local dir=$1 name=$2 source target found size first="" md5 which sampling quality compression colours
    out_bytes=0
    for source in "$work/pictures/$in_kind"/*; do
        target=$dir/$(basename "${source%.*}").$out_ext
        [[ -s $target ]] || fail "$name wrote no $(basename "$target") for $title: $(tail -n 5 "$work/stderr")"
        found=$(identify -ping -format '%m %w %h' "$target" 2>/dev/null) ||
            fail "$name: $target cannot be read"
        [[ $found == "$out_format"* ]] || fail "$name: $target is $found, not $out_format"
        size="${width_of[$in_kind]} ${height_of[$in_kind]}"
        [[ ${found#* } == "$size" ]] || fail "$name: $target is ${found#* }, not $size"
        out_bytes=$((out_bytes + $(stat -c %s "$target")))
        [[ -n $first ]] || first=$target
    done
    wrote=""
    case $out_ext in
        png)
            which=$(png_filters "$first") || fail "$name: cannot read the rows of $first"
            [[ $which == Sub ]] && wrote="filter Sub" || wrote="!filter $which"
            ;;
        jpg)
            read -r sampling quality < <(identify -format '%[jpeg:sampling-factor] %Q\n' "$first")
            [[ $sampling == 2x2,1x1,1x1 ]] && wrote="4:2:0" || wrote="!sampling $sampling"
            [[ $quality == 90 ]] && wrote+=" Q90" || wrote+=" !Q$quality"
            ;;
        tiff)
            compression=$(identify -format '%C' "$first")
            [[ $compression == None ]] && wrote="uncompressed" || wrote="!compression $compression"
            ;;
        gif)
            colours=$(identify -format '%k' "$first")
            ((colours <= 256)) && wrote="$colours colours" || wrote="!$colours colours"
            ;;
    esac
    if [[ -n $ref_float ]]; then
        # GIF targets lose the decoded pixels, so they cannot show the DCT.
        if [[ $out_ext == jpg ]]; then
            md5=$(jpeg_pixels_md5 "$first")
            which=enc
        elif [[ $out_ext != gif ]]; then
            md5=$(pixels_md5 "$first")
            which=dec
        else
            md5=""
        fi
        if [[ -z $md5 ]]; then
            :
        elif [[ $md5 == "$ref_float" ]]; then
            wrote+="${wrote:+, }$which float DCT"
        elif [[ $md5 == "$ref_int" ]]; then
            wrote+="${wrote:+, }!$which integer DCT"
        else
            wrote+="${wrote:+, }!$which differs from libjpeg"
        fi
    fi
}

# --- Running and timing -----------------------------------------------------------

# Runs one sh command in a fresh copy of the job's inputs; sets elapsed_us
# (wall time in microseconds) and rss_kb (peak resident set, GNU time's %M).
run_in_copy() {
    local dir=$1 command=$2 name=$3 start end
    rm -rf "$dir"
    mkdir "$dir"
    cp "$work/pictures/$in_kind"/* "$dir"/
    cd "$dir"
    start=${EPOCHREALTIME/./}
    /usr/bin/time -f %M -o "$work/rss" sh -c "$command" >/dev/null 2>"$work/stderr" ||
        fail "$name failed in $title (sh -c '$command'): $(tail -n 5 "$work/stderr")"
    end=${EPOCHREALTIME/./}
    cd "$work"
    elapsed_us=$((end - start))
    rss_kb=$(tail -n 1 "$work/rss")
}

# The median of whole numbers (one an argument), rounded to a whole number.
median() {
    printf '%s\n' "$@" | sort -n |
        awk '{ v[NR] = $1 } END { printf "%.0f\n", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
seconds() { awk -v us="$1" 'BEGIN { printf "%.2f", us / 1e6 }'; }
mib() { awk -v kb="$1" 'BEGIN { printf "%.0f", kb / 1024 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

# --- The run ------------------------------------------------------------------------

started=$SECONDS
echo "Making the pictures ($files of each kind) ..."
declare -A kinds_needed=()
for job in "${jobs_run[@]}"; do
    set_job "$job"
    kinds_needed[$in_kind]=1
done
for kind in jpeg png bmp; do
    if [[ -n ${kinds_needed[$kind]:-} ]]; then
        make_pictures "$kind"
    fi
done

declare -A summary=()
report=$work/report.txt
notes=$work/notes.txt
: >"$report"
: >"$notes"

for job in "${jobs_run[@]}"; do
    set_job "$job"
    names=("${batch_names[@]}" "${peer_names[@]}")
    commands=()
    for option in "${batch_options[@]}"; do
        commands+=("\"\$QB\" --to $to --overwrite${option:+ $option} *.${ext_of[$in_kind]}")
    done
    commands+=("${peer_commands[@]}")
    count=${#names[@]}

    echo "$title: checking each tool once ..."
    inputs=("$work/pictures/$in_kind"/*)
    reference_checks "${inputs[0]}"
    wrote_of=()
    bytes_of=()
    for ((t = 0; t < count; ++t)); do
        run_in_copy "$work/run" "${commands[t]}" "${names[t]}"
        check_targets "$work/run" "${names[t]}"
        wrote_of[t]=$wrote
        bytes_of[t]=$out_bytes
        if [[ $wrote == *'!'* ]]; then
            echo "  - $title, ${names[t]}: $wrote" >>"$notes"
        fi
    done
    rm -rf "$work/run"

    times=()
    memories=()
    for ((round = 0; round < rounds; ++round)); do
        echo "$title: round $((round + 1)) of $rounds ..."
        for ((k = 0; k < count; ++k)); do
            t=$(((k + round) % count))
            run_in_copy "$work/run" "${commands[t]}" "${names[t]}"
            rm -rf "$work/run"
            times[t]+=" $elapsed_us"
            memories[t]+=" $rss_kb"
        done
    done

    # Medians and the fastest peer doing the same work: no "!" in what it
    # wrote and, for GIF, ImageMagick's quantiser and Floyd-Steinberg (the
    # others quantise otherwise; see the notes). When none does, the
    # fastest of all.
    time_of=()
    memory_of=()
    fastest=-1
    fastest_any=$batch_count
    for ((t = 0; t < count; ++t)); do
        # shellcheck disable=SC2086 # the lists are numbers separated by blanks
        time_of[t]=$(median ${times[t]})
        # shellcheck disable=SC2086
        memory_of[t]=$(median ${memories[t]})
        ((t >= batch_count)) || continue
        if ((time_of[t] < time_of[fastest_any])); then
            fastest_any=$t
        fi
        [[ ${wrote_of[t]} == *'!'* ]] && continue
        [[ $job == jpeg-gif && ${names[t]} != ImageMagick* ]] && continue
        if ((fastest < 0 || time_of[t] < time_of[fastest])); then
            fastest=$t
        fi
    done
    ((fastest >= 0)) || fastest=$fastest_any

    # The table of this job.
    {
        echo
        echo "$title: $files x ${width_of[$in_kind]}x${height_of[$in_kind]}" \
            "${ext_of[$in_kind]^^} ($wanted)"
        line=$(printf '  %-28s %8s %8s %7s' "" "median s" "peak MiB" "out MB")
        for label in "${batch_labels[@]}"; do
            line+=$(printf ' %6s' "/ $label")
        done
        echo "$line  what it wrote"
        for ((t = 0; t < count; ++t)); do
            line=$(printf '  %-28s %8s %8s %7s' "${names[t]}" "$(seconds "${time_of[t]}")" \
                "$(mib "${memory_of[t]}")" "$(awk -v b="${bytes_of[t]}" 'BEGIN { printf "%.1f", b / 1e6 }')")
            for ((b = 0; b < batch_count; ++b)); do
                line+=$(printf ' %6s' "$(ratio "${time_of[t]}" "${time_of[b]}")")
            done
            echo "$line  ${wrote_of[t]}"
        done
    } >>"$report"

    # Its line of the summary.
    line=$(printf '  %-13s' "$title")
    for ((b = 0; b < batch_count; ++b)); do
        line+=$(printf ' %7s' "$(seconds "${time_of[b]}")")
    done
    line+=$(printf '  %-26s %6s' "${names[fastest]}" "$(seconds "${time_of[fastest]}")")
    for ((b = 0; b < batch_count; ++b)); do
        line+=$(printf ' %8s' "$(ratio "${time_of[fastest]}" "${time_of[b]}")")
    done
    for ((b = 0; b < batch_count; ++b)); do
        line+=$(printf ' %8s' "$(mib "${memory_of[b]}")")
    done
    if ((batch_count > 1)); then
        line+=$(printf ' %7s' "$(ratio "${memory_of[1]}" "${memory_of[0]}")")
        if [[ $job == jpeg-png ]]; then
            jobs_speedup=$(ratio "${time_of[0]}" "${time_of[1]}")
        fi
    fi
    summary[$job]=$line
done

# --- The report ----------------------------------------------------------------------

echo
echo "quillmere-batch against other converters on $cores CPU(s): pictures per job: $files," \
    "rounds: $rounds"
echo "  quillmere-batch: $batch_version ($batch_built)"
echo "  ImageMagick $(version_of imagemagick), GraphicsMagick $(version_of graphicsmagick)," \
    "vips $(version_of libvips-tools), libjpeg-turbo $(version_of libjpeg-turbo-progs)," \
    "Netpbm $(version_of netpbm)"
if [[ -n ${PEER_THREADS:-} ]]; then
    echo "  ImageMagick, GraphicsMagick and vips limited to $PEER_THREADS thread(s)."
else
    echo "  ImageMagick, GraphicsMagick (OpenMP) and vips use every core; djpeg, cjpeg and Netpbm one."
fi
if ((has_jobs)); then
    for ((b = 0; b < batch_count; ++b)); do
        echo "  ${batch_labels[b]}: quillmere-batch ${batch_options[b]}"
    done
else
    echo "  q: quillmere-batch with its defaults (it has no --jobs option)."
fi
echo "  Other work running on the machine affects every figure."
echo
echo "Per job: median wall time; median peak resident memory (of a shell loop: its largest"
echo "process); total size of the targets; time / quillmere-batch's time (above 1:"
echo "quillmere-batch is faster); what the first target shows (\"!\": not what quillmere-batch"
echo "is asked to do; \"dec/enc float DCT\": the pixels are those of djpeg/cjpeg -dct float)."
cat "$report"

echo
echo "Summary: median seconds; ratio = time of the fastest peer doing the same work /"
echo "quillmere-batch's time (above 1: quillmere-batch is that many times faster); peak"
echo "resident memory of quillmere-batch (MiB)."
line=$(printf '  %-13s' "job")
for label in "${batch_labels[@]}"; do
    line+=$(printf ' %7s' "$label")
done
line+=$(printf '  %-26s %6s' "fastest peer" "s")
for label in "${batch_labels[@]}"; do
    line+=$(printf ' %8s' "ratio $label")
done
for label in "${batch_labels[@]}"; do
    line+=$(printf ' %8s' "MiB $label")
done
if ((batch_count > 1)); then
    line+=$(printf ' %7s' "${batch_labels[1]}/${batch_labels[0]}")
fi
echo "$line"
for job in "${jobs_run[@]}"; do
    echo "${summary[$job]}"
done
echo
if [[ -n ${jobs_speedup:-} ]]; then
    echo "JPEG -> PNG: time with --jobs 1 / time with --jobs $cores = $jobs_speedup"
elif ((has_jobs)); then
    echo "JPEG -> PNG, --jobs 1 / --jobs $cores: not measured (one CPU, or the job was left out)."
else
    echo "JPEG -> PNG, --jobs 1 / --jobs N: not measured (quillmere-batch has no --jobs option yet)."
fi
if [[ -s $notes ]]; then
    echo "Found in the targets, not the same work as quillmere-batch's:"
    cat "$notes"
fi
echo "Known differences the checks cannot see:"
echo "  - vips has no float DCT, takes its GIF palette and dithering from libimagequant and"
echo "    reads and writes BMP through its ImageMagick module."
echo "  - GraphicsMagick's -dither has no choice of method; djpeg -gif uses libjpeg's two-pass"
echo "    quantiser with Floyd-Steinberg dithering."
echo "  - libpng, under every other PNG writer here, deflates filtered rows with zlib's"
echo "    Z_FILTERED strategy; quillmere-batch uses zlib's default strategy (see out MB)."
echo "Total time: $(((SECONDS - started) / 60)) min $(((SECONDS - started) % 60)) s"

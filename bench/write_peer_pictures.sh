#!/usr/bin/env bash
# Writes the pictures of bench/compare_batch_with_peers.sh: COUNT photo-like
# pictures of one KIND into FOLDER as photo_01.KIND, photo_02.KIND ...
#   bench/write_peer_pictures.sh jpg|png|bmp COUNT SEED FOLDER
# jpg: 3000 x 2000 at quality 90 (cjpeg); png: 1920 x 1080, 24-bit, no time
# chunks; bmp: 1024 x 768, 24-bit. The same SEED gives the same pixels.
# Needs ImageMagick's convert and libjpeg-turbo's cjpeg.
set -euo pipefail
export LC_ALL=C

kind=${1:-} count=${2:-} seed=${3:-} folder=${4:-}
case $kind in
    jpg) width=3000 height=2000 seed_base=1000 ;;
    png) width=1920 height=1080 seed_base=2000 ;;
    bmp) width=1024 height=768 seed_base=3000 ;;
    *) echo "usage: $0 jpg|png|bmp COUNT SEED FOLDER" >&2; exit 2 ;;
esac
[[ $count =~ ^[1-9][0-9]*$ && $seed =~ ^[0-9]+$ && -n $folder ]] ||
    { echo "usage: $0 jpg|png|bmp COUNT SEED FOLDER" >&2; exit 2; }

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
# shapes and Gaussian noise.
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

mkdir -p "$folder"
ppm=$folder/picture.ppm
for ((i = 1; i <= count; ++i)); do
    name=$folder/$(printf 'photo_%02d' "$i").$kind
    make_ppm $((seed * 10000 + seed_base + i)) "$width" "$height" "$ppm"
    case $kind in
        jpg) cjpeg -quality 90 -outfile "$name" "$ppm" ;;
        png) convert "$ppm" -strip -define png:exclude-chunks=date,time PNG24:"$name" ;;
        bmp) convert "$ppm" BMP3:"$name" ;;
    esac
done
rm -f "$ppm"

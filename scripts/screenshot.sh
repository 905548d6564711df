#!/usr/bin/env bash
# Remakes docs/screenshot.png: the window as a desktop shows it (a virtual X
# server with the Openbox window manager), with a folder of pictures that
# this script paints: the JPEG files listed by the search the settings
# remember, and one more picture opened with the installed desktop entry, as
# a file manager's "Open with" does (GLib's `gio launch`, which hands the
# file over on the command line), which joins the list and is previewed.
#   scripts/screenshot.sh [OUTPUT.png]
set -euo pipefail
cd "$(dirname "$0")/.."
output=$(realpath -m "${1:-docs/screenshot.png}")
scripts/setup.sh --screenshot
scripts/build.sh release >/dev/null

# A fixed folder, so that the paths the window shows are the same at every run.
work=/tmp/quillmere-screenshot
rm -rf "$work"
mkdir "$work"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# The pictures: painted from fixed seeds, so every run paints the same.
pictures=$work/Pictures/Holiday
mkdir -p "$pictures"
paint() {  # NAME SEED WIDTHxHEIGHT COLOURS
    convert -seed "$2" -size "$3" "plasma:$4" -blur 0x2 "$pictures/$1"
}
paint beach.jpg 11 1600x1067 khaki-lightskyblue
paint harbour.jpg 4 1200x800 steelblue-slategray
paint forest.jpg 7 1280x960 darkgreen-olivedrab
paint dunes.jpg 23 1024x768 sandybrown-wheat
paint lagoon.jpg 5 900x600 teal-aquamarine
paint sunset.jpg 31 640x480 darkorange-purple
# The one previewed fits the preview whole: a sky over a dark meadow.
convert -size 1060x370 gradient:'#1e5aa8-#f4c27a' \
    \( -seed 42 -size 1060x150 plasma:fractal -blur 0x2 -colorspace gray \
    +level-colors '#0b1d14','#3d6b45' \) \
    -gravity south -compose over -composite "$pictures/mountains.png"

# The program installed in a prefix of its own, with settings of its own
# beside it: the window fills the screen, and no release server is asked.
cmake --install build --prefix "$work/usr" >/dev/null
mkdir "$work/home"
screen_width=1100 screen_height=1080
cat >"$work/usr/bin/quillmere.ini" <<INI
[File]
Last=$pictures/*.jpg
recursive=0
[Update]
BaseURL=http://127.0.0.1:1/
[Placement]
Top=0
Left=0
Width=$screen_width
Height=$screen_height
INI

exec {display_pipe}<> <(:)
Xvfb -displayfd "$display_pipe" -screen 0 "${screen_width}x${screen_height}x24" \
    -nolisten tcp -noreset >/dev/null 2>&1 &
pids+=($!)
read -r -t 10 -u "$display_pipe" display
mkdir -m 700 "$work/home/runtime"
export PATH=$work/usr/bin:$PATH DISPLAY=:$display HOME=$work/home XDG_CONFIG_HOME=$work/home/config \
    XDG_RUNTIME_DIR=$work/home/runtime QT_QPA_PLATFORM=xcb
unset DBUS_SESSION_BUS_ADDRESS
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
    sleep 0.1
done

gio launch "$work/usr/share/applications/org.quillmere.Quillmere.desktop" \
    "$pictures/mountains.png"
window=
for _ in $(seq 200); do
    window=$(wmctrl -l | awk '$NF == "Quillmere" {print $1; exit}')
    [[ -n $window ]] && break
    sleep 0.1
done
[[ -n $window ]] || { echo "the window did not appear" >&2; exit 1; }
sleep 2  # let the preview and the list paint
mkdir -p "$(dirname "$output")"
import -window root "$output"
wmctrl -i -c "$window"
for _ in $(seq 100); do
    wmctrl -l | grep -q "^$window " || break
    sleep 0.1
done
echo "$output"

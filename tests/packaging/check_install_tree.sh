#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a desktop finds
# there: the files, the desktop entry and the metadata against their
# validators, the manual pages, the icons' sizes, the completion, and that
# the installed programs run.
#   check_install_tree.sh BUILD-FOLDER
set -euo pipefail
build=$(realpath "$1")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix
failures=0
fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}

cmake --install "$build" --prefix "$prefix" >/dev/null

# The whole tree, and nothing else; the library folder is the build's.
libdir=$(sed -n 's/^CMAKE_INSTALL_LIBDIR:PATH=//p' "$build/CMakeCache.txt")
if ! diff <(sed "s|@LIBDIR@|$libdir|" "$(dirname "$0")/installed_files.txt" | LC_ALL=C sort) \
        <(cd "$prefix" && find . -type f -printf '%P\n' | LC_ALL=C sort); then
    fail "the install tree differs from the expected one (- expected, + installed)"
fi

# The desktop entry and the metadata pass their validators.
desktop=$prefix/share/applications/org.quillmere.Quillmere.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net --pedantic \
    "$prefix/share/metainfo/org.quillmere.Quillmere.metainfo.xml" ||
    fail "appstreamcli validate"

# The entry starts the installed program with the files handed over, and
# offers it for every format the program reads, by the names the shared
# MIME database knows them under (an alias or a misspelt type would leave
# a format out of "Open with").
grep -qx 'Exec=quillmere %F' "$desktop" || fail "Exec is not 'quillmere %F'"
mime_types=$(sed -n 's/^MimeType=//p' "$desktop" | tr ';' '\n' | sed '/^$/d' | sort)
for type in image/bmp image/vnd.microsoft.icon image/wmf image/emf image/jpeg image/png \
        image/gif image/tiff; do
    grep -qx "$type" <<<"$mime_types" || fail "MimeType lacks $type"
done
for type in $mime_types; do
    [[ -f /usr/share/mime/$type.xml ]] || fail "MimeType $type is not a type of the MIME database"
done

# Every icon is a PNG of the size its folder names.
for size in 16 22 24 32 48 64 128 256; do
    icon=$prefix/share/icons/hicolor/${size}x${size}/apps/quillmere.png
    file -b "$icon" | grep -q "^PNG image data, $size x $size," ||
        fail "$icon is not a ${size}x${size} PNG: $(file -b "$icon")"
done

# The manual pages format without a warning and name their program.
for page in quillmere quillmere-batch; do
    manual=$prefix/share/man/man1/$page.1.gz
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$manual" 2>&1 >/dev/null)
    [[ -z $warnings ]] || fail "man $page: $warnings"
    LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$manual" 2>/dev/null | grep -q "^NAME" ||
        fail "man $page has no NAME section"
    zcat "$manual" | grep -q "^$page \\\\- " || fail "man $page names another program"
done
# Every option of the program's help is in its manual page.
# Whole names, such as --keep-going; the page writes each "-" as "\-".
help_options=$("$prefix/bin/quillmere-batch" --help | grep -o -- '--[a-z0-9-]*[a-z0-9]' | sort -u)
for option in $help_options; do
    zcat "$prefix/share/man/man1/quillmere-batch.1.gz" | grep -qF -- "${option//-/\\-}" ||
        fail "man quillmere-batch lacks $option"
done

# The completion offers the options, the format names and picture files.
completion=$prefix/share/bash-completion/completions/quillmere-batch
complete_words() {  # the words offered for the command line "$@" (the last word is being typed)
    (
        cd "$scratch/pictures"
        # shellcheck disable=SC1091
        source /usr/share/bash-completion/bash_completion
        # shellcheck disable=SC1090
        source "$completion"
        COMP_WORDS=("$@")
        COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
        COMP_LINE="$*"
        COMP_POINT=${#COMP_LINE}
        _quillmere_batch quillmere-batch "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
        printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort
    )
}
mkdir -p "$scratch/pictures/album"
touch "$scratch/pictures/"{a.jpg,B.PNG,c.tiff,notes.txt,d.ico}
check_completion() {  # expected words (one line each), then the command line
    local expected=$1
    shift
    local offered
    offered=$(complete_words "$@")
    # An unquoted echo puts the words of each list on one line.
    # shellcheck disable=SC2086,SC2116
    [[ $offered == "$expected" ]] ||
        fail "completing '$*' offers [$(echo $offered)], not [$(echo $expected)]"
}
for option in $help_options; do
    complete_words quillmere-batch -- | grep -qx -- "$option" ||
        fail "the completion does not offer $option"
done
check_completion $'BMP\nGIF\nJPG\nPNG\nTIFF' quillmere-batch --to ''
check_completion $'TIFF' quillmere-batch --to T
check_completion $'jpg' quillmere-batch --to j
check_completion $'B.PNG\na.jpg\nalbum\nc.tiff\nd.ico' quillmere-batch --to PNG ''
check_completion $'--overwrite' quillmere-batch --ov

# The installed programs run from there.
"$prefix/bin/quillmere-batch" --version | grep -q "^quillmere-batch " || fail "--version"
mkdir -p "$scratch/convert"
"$(dirname "$0")/write_small_bitmap.sh" "$scratch/convert/red.bmp"
"$prefix/bin/quillmere-batch" --to PNG "$scratch/convert/red.bmp" >"$scratch/log" ||
    fail "the installed quillmere-batch did not convert: $(cat "$scratch/log")"
[[ -s $scratch/convert/red.png ]] || fail "no red.png was written"
# The command line maps QtGui only through the metafile player's plug-in,
# which it finds beside itself.
if readelf -d "$prefix/bin/quillmere-batch" | grep -q 'NEEDED.*libQt6Gui'; then
    fail "quillmere-batch links QtGui"
fi
"$(dirname "$0")/write_small_metafile.sh" "$scratch/convert/white.wmf"
"$prefix/bin/quillmere-batch" --to PNG "$scratch/convert/white.wmf" >"$scratch/log" 2>&1 ||
    fail "the installed quillmere-batch did not play a metafile: $(cat "$scratch/log")"
[[ -s $scratch/convert/white.png ]] || fail "no white.png was written"

if ((failures > 0)); then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "the install tree is complete and valid"

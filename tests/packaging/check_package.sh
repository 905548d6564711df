#!/usr/bin/env bash
# Makes the Debian package of the build with CPack, checks it with lintian
# and its dependencies and files, then unpacks it into a scratch root and
# runs the programs from there.
#   check_package.sh BUILD-FOLDER
set -euo pipefail
here=$(dirname "$(realpath "$0")")
build=$(realpath "$1")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}

cpack --config "$build/CPackConfig.cmake" -B "$scratch/package" >"$scratch/cpack.log" 2>&1 || {
    cat "$scratch/cpack.log" >&2
    exit 1
}
package=$(ls "$scratch"/package/*.deb)

# lintian: no errors and no warnings (its remarks are shown).
lintian --display-info "$package" 2>&1 | grep -v '^running with root' | tee "$scratch/lintian"
if grep -q '^[EW]: ' "$scratch/lintian"; then
    fail "lintian reports errors or warnings"
fi

# The dependencies come from the libraries the programs link.
depends=$(dpkg-deb -f "$package" Depends)
# shellcheck disable=SC2001  # a regular expression, beyond ${var//...}
depended_packages=$(sed 's/ *([^)]*)//g' <<<"$depends" | tr ',' '\n' | tr -d ' ')
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libjpeg62-turbo libpng16-16 \
        libgif7 libtiff6 libcurl4 zlib1g qt6-qpa-plugins; do
    grep -Fqx "$library" <<<"$depended_packages" || fail "Depends lacks $library: $depends"
done

# The files are those of the install tree, under /usr.
libdir=$(sed -n 's/^CMAKE_INSTALL_LIBDIR:PATH=//p' "$build/CMakeCache.txt")
if ! diff <(sed "s|@LIBDIR@|$libdir|; s|^|usr/|" "$here/installed_files.txt" | LC_ALL=C sort) \
        <(dpkg-deb -c "$package" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./||' | LC_ALL=C sort); then
    fail "the package's files differ from the install tree (- expected, + packaged)"
fi

# Unpacked, the programs run.
dpkg -x "$package" "$scratch/root"
"$scratch/root/usr/bin/quillmere-batch" --version | grep -q "^quillmere-batch " || fail "--version"
mkdir "$scratch/pictures"
"$here/write_small_bitmap.sh" "$scratch/pictures/red.bmp"
if ! "$scratch/root/usr/bin/quillmere-batch" --to JPG "$scratch/pictures/red.bmp" \
        >"$scratch/log" 2>&1; then
    fail "the packaged quillmere-batch did not convert: $(cat "$scratch/log")"
fi
[[ $(file -b "$scratch/pictures/red.jpg") == "JPEG image data"* ]] || fail "no JPEG was written"
grep -qx "$scratch/pictures/red.jpg" "$scratch/log" || fail "the log lacks the target"
"$here/write_small_metafile.sh" "$scratch/pictures/white.wmf"
if ! "$scratch/root/usr/bin/quillmere-batch" --to PNG "$scratch/pictures/white.wmf" \
        >"$scratch/log" 2>&1; then
    fail "the packaged quillmere-batch did not play a metafile: $(cat "$scratch/log")"
fi

if ((failures > 0)); then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "the package is clean, complete and runs"

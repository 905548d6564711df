#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the benchmarks need,
# asking apt only when one of them is missing.
#   scripts/setup.sh [--lint] [--fuzz] [--screenshot]
# --lint adds the checkers of scripts/lint.sh (clang-format, shellcheck),
# which scripts/test.sh runs first; --fuzz what the fuzzers need (clang and
# libFuzzer), --screenshot what scripts/screenshot.sh needs (ImageMagick);
# the tests themselves need none of these.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev qt6-qpa-plugins libgl-dev
    libjpeg62-turbo-dev libpng-dev libgif-dev libtiff-dev zlib1g-dev
    libcurl4-openssl-dev nlohmann-json3-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    libjpeg-turbo-progs
    fonts-liberation2
    xvfb openbox wmctrl x11-utils dbus-daemon
    desktop-file-utils appstream lintian dpkg-dev fakeroot file bash-completion man-db groff-base
    libglib2.0-bin
    strace parallel
)
for option in "$@"; do
    case $option in
        --lint) packages+=(clang-format shellcheck) ;;
        --fuzz) packages+=(clang libfuzzer-14-dev llvm) ;;
        --screenshot) packages+=(imagemagick) ;;
        *) echo "unknown option: $option" >&2; exit 2 ;;
    esac
done

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if ((${#missing[@]} == 0)); then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo=()
if [[ $(id -u) -ne 0 ]]; then
    sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update
"${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"

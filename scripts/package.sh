#!/usr/bin/env bash
# Builds the Debian package of the release build into build/package/ and
# prints its path.
#   scripts/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh release >&2
rm -rf build/package
cpack --config build/CPackConfig.cmake -B build/package >&2
ls build/package/*.deb

#!/usr/bin/env bash
# Configures and builds one flavour of the project.
#   scripts/build.sh [release|sanitize]
set -euo pipefail
cd "$(dirname "$0")/.."

flavour=${1:-release}
case "$flavour" in
    release)  dir=build;          flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
    sanitize) dir=build-sanitize; flags=(-DCMAKE_BUILD_TYPE=Debug -DQUILLMERE_SANITIZE=ON
                                         -DQUILLMERE_BUILD_BENCHMARKS=OFF) ;;
    *) echo "unknown flavour: $flavour" >&2; exit 2 ;;
esac

cmake -S . -B "$dir" -G Ninja -DQUILLMERE_WERROR=ON "${flags[@]}" >/dev/null
cmake --build "$dir" -j "${QUILLMERE_JOBS:-2}"

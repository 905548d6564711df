#!/usr/bin/env bash
# Configures and builds one flavour of the project: every target, or only
# the TARGETs named (such as `quillmere quillmere-batch`).
#   scripts/build.sh [release|sanitize|tsan] [TARGET...]
# The tsan flavour (ThreadSanitizer) builds by default only the programs
# whose tests run the batch conversion on several threads.
set -euo pipefail
cd "$(dirname "$0")/.."

flavour=${1:-release}
shift $(($# > 0))
targets=()
case "$flavour" in
    release)  dir=build;          flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
    sanitize) dir=build-sanitize; flags=(-DCMAKE_BUILD_TYPE=Debug -DQUILLMERE_SANITIZE=ON
                                         -DQUILLMERE_BUILD_BENCHMARKS=OFF) ;;
    tsan)     dir=build-tsan;     flags=(-DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_FLAGS=-O1
                                         -DCMAKE_CXX_FLAGS=-O1 -DQUILLMERE_SANITIZE_THREAD=ON
                                         -DQUILLMERE_BUILD_BENCHMARKS=OFF)
              targets=(convert_tests cli_tests quillmere-batch) ;;
    *) echo "unknown flavour: $flavour" >&2; exit 2 ;;
esac

cmake -S . -B "$dir" -G Ninja -DQUILLMERE_WERROR=ON "${flags[@]}" >/dev/null
if (($# > 0)); then
    targets=("$@")
fi
only=()
if ((${#targets[@]} > 0)); then
    only=(--target "${targets[@]}")
fi
cmake --build "$dir" -j "${QUILLMERE_JOBS:-2}" "${only[@]}"

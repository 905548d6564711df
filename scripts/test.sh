#!/usr/bin/env bash
# Sets up, builds and runs every test: once in the normal build, once under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

echo "== Build and test =="
scripts/build.sh release
ctest --test-dir build --output-on-failure -j 2

echo "== Build and test under AddressSanitizer and UndefinedBehaviorSanitizer =="
scripts/build.sh sanitize
ctest --test-dir build-sanitize --output-on-failure -j 2

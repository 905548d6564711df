#!/usr/bin/env bash
# Sets up, checks the sources' form (scripts/lint.sh), then builds and runs
# every test: once in the normal build, once under AddressSanitizer and
# UndefinedBehaviorSanitizer, and the tests of the batch conversion (which
# prepares pictures on several threads) once more under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

echo "== Lint: clang-format and shellcheck =="
scripts/lint.sh

echo "== Build and test =="
scripts/build.sh release
ctest --test-dir build --output-on-failure -j 2

echo "== Build and test under AddressSanitizer and UndefinedBehaviorSanitizer =="
scripts/build.sh sanitize
ctest --test-dir build-sanitize --output-on-failure -j 2

echo "== Build and test the batch conversion under ThreadSanitizer =="
scripts/build.sh tsan
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/scripts/tsan.supp" \
    ctest --test-dir build-tsan --output-on-failure -j 2 --no-tests=error \
        -L '^(convert_tests|cli_tests)$'

#!/usr/bin/env bash
# Sets up, builds and starts the program's window. It builds only the two
# programs, not the tests and benchmarks (scripts/test.sh builds those); the
# command-line front end is build/src/cli/quillmere-batch once this has run.
#   scripts/run.sh [FILE...]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh release quillmere quillmere-batch
exec build/src/app/quillmere "$@"

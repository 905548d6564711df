#!/usr/bin/env bash
# Sets up, builds and starts the program's window. The command-line front
# end is build/src/cli/quillmere-batch once this has run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh release
exec build/src/app/quillmere "$@"

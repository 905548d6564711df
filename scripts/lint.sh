#!/usr/bin/env bash
# Checks the sources' form, before anything is built (scripts/test.sh runs
# this first; it also runs alone):
#   - every C and C++ source and header of the project (src/, tests/, fuzz/,
#     bench/, packaging/) is formatted as .clang-format says;
#     `clang-format -i FILE` formats one;
#   - every shell script (each *.sh, .ci/run and the bash completion)
#     passes shellcheck, in the dialect its shebang or its
#     `# shellcheck shell=` line names.
# A finding that is meant stays with a `# shellcheck disable=SCxxxx` line
# that says why.
#   scripts/lint.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --lint

# The project's files whose paths match PATTERNs (`*` spans folders), new
# ones included and ignored ones (the build folders) left out; without git
# (an unpacked archive), what find sees outside the build folders.
project_files() {  # PATTERN...
    local file
    if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        git ls-files -z --cached --others --exclude-standard -- "$@" |
            while IFS= read -r -d '' file; do
                if [[ -e $file ]]; then printf '%s\0' "$file"; fi  # not deleted
            done
    else
        local paths=() pattern
        for pattern; do paths+=(-o -path "./$pattern"); done
        find . \( -path './build*' -o -path ./.git \) -prune -o -type f \( "${paths[@]:1}" \) -print0 |
            while IFS= read -r -d '' file; do printf '%s\0' "${file#./}"; done
    fi
}

status=0

mapfile -d '' sources < <(project_files {src,tests,fuzz,bench,packaging}/{'*.cpp','*.h','*.c'})
echo "clang-format: ${#sources[@]} files"
((${#sources[@]} > 0)) || { echo "lint: no C++ sources found" >&2; exit 1; }
clang-format --dry-run -Werror "${sources[@]}" || status=1

mapfile -d '' scripts < <(project_files '*.sh' .ci/run packaging/quillmere-batch.bash-completion)
echo "shellcheck: ${#scripts[@]} files"
shellcheck "${scripts[@]}" || status=1

if ((status != 0)); then
    echo "lint: the findings above need fixing" >&2
fi
exit "$status"

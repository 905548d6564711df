# shellcheck shell=bash disable=SC2016  # $QB, $TO, $IN and $CORES are sh's
# quillmere-batch, the program measured (read first, so its runs come first):
# one call converts all the pictures of a job, with --jobs 1 and one job per
# core when it has --jobs, else with its defaults.
if "$QB" --help 2>&1 | grep -q -- --jobs; then
    ours q1 "quillmere-batch --jobs 1" '"$QB" --to "$TO" --overwrite --jobs 1 *."$IN"'
    if ((CORES > 1)); then
        ours "q$CORES" "quillmere-batch --jobs $CORES" \
            '"$QB" --to "$TO" --overwrite --jobs "$CORES" *."$IN"'
    fi
else
    ours q quillmere-batch '"$QB" --to "$TO" --overwrite *."$IN"'
fi
note "quillmere-batch deflates PNG rows with zlib's default strategy; libpng, under every other PNG writer here, with Z_FILTERED (see out MB)."

# Shared by the comparison scripts; source it after setting $runs.
# shellcheck shell=bash disable=SC2154  # runs: set by the sourcing script

# The shortest wall-clock time of $runs runs of a command, in seconds.
best_seconds() {
    local best="" start end elapsed
    for ((i = 0; i < runs; ++i)); do
        start=$EPOCHREALTIME
        "$@"
        end=$EPOCHREALTIME
        elapsed=$(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.6f", e - s }')
        if [[ -z $best ]] || awk -v a="$elapsed" -v b="$best" 'BEGIN { exit !(a < b) }'; then
            best=$elapsed
        fi
    done
    echo "$best"
}

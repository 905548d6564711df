#!/usr/bin/env bash
# Runs the recipes of the scaling guide, each in a fresh folder holding
# photos/ (small PNGs in two folders, one with a newline in its name), with
# quillmere-batch on the PATH, and checks that each converted every
# picture, left no temporary file and said what the guide says.
#   scaling_guide_test.sh GUIDE PROGRAM_FOLDER TESTS_FOLDER
set -euo pipefail
guide=$1
export PATH="$2:$PATH"
bitmap=$3/packaging/write_small_bitmap.sh
work=$(mktemp -d "${TMPDIR:-/tmp}/scaling-guide.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0

# The code block that follows "<!-- recipe: NAME -->".
recipe() {
    awk -v name="$1" '
        $0 == "<!-- recipe: " name " -->" { found = 1; next }
        found && /^```/ { if (inside) exit; inside = 1; next }
        inside { print }' "$guide"
}

# A folder with the pictures, as PNGs: 40 in photos/, 20 in photos/sub/.
photos=$work/photos-template
mkdir -p "$photos/photos/sub"
"$bitmap" "$work/seed.bmp"
for ((i = 0; i < 60; ++i)); do
    folder=photos
    ((i % 3 == 0)) && folder=photos/sub
    cp "$work/seed.bmp" "$photos/$folder/p$i.bmp"
done
cp "$work/seed.bmp" "$photos/photos/new"$'\n'"line.bmp"
(cd "$photos" && find photos -name '*.bmp' -print0 |
    quillmere-batch --to PNG --files-from - --null >/dev/null)
find "$photos" -name '*.bmp' -delete

fail() {
    echo "FAIL [$name]: $*" >&2
    failures=$((failures + 1))
}

# Checks that every picture has its JPEG at TARGETS (beside the sources
# when empty) and that no temporary file is left.
check_converted() {
    local targets=$1 png jpg missing=0
    while IFS= read -r -d '' png; do
        jpg=${png%.png}.jpg
        [[ -z $targets ]] || jpg=$targets/${jpg#photos/}
        [[ -s $jpg ]] || missing=$((missing + 1))
    done < <(cd "$dir" && find photos -name '*.png' -print0)
    ((missing == 0)) || fail "$missing pictures not converted"
    [[ -z $(find "$dir" -name '*.tmp') ]] || fail "temporary files left"
}

fresh() {
    name=$1
    dir=$work/$name
    cp -a "$photos" "$dir"
    cd "$dir"
    recipe "$name" >"$work/$name.sh"
    [[ -s $work/$name.sh ]] || fail "no recipe in the guide"
}

fresh find
bash -e "$work/find.sh" >"$work/log" || fail "status $?"
check_converted ""
[[ -s photos/new$'\n'line.jpg ]] || fail "the name with a newline was not converted"

fresh output-dir
chmod -R a-w photos
bash -e "$work/output-dir.sh" >"$work/log" || fail "status $?"
chmod -R u+w photos
check_converted converted
[[ -z $(find photos -name '*.jpg') ]] || fail "wrote beside the sources"

fresh json
bash -e "$work/json.sh" || fail "status $?"
check_converted ""
[[ $(grep -c '"status":"converted"' report.jsonl) -eq 61 ]] || fail "report: $(head -3 report.jsonl)"
tail -n 1 report.jsonl | grep -q '^{"summary":{"converted":61,' || fail "summary: $(tail -n 1 report.jsonl)"

fresh parallel
bash -e "$work/parallel.sh" >"$work/log" || fail "status $?"
check_converted ""
[[ $(grep -c '^finished!$' "$work/log") -eq 4 ]] || fail "not four shards finished"
[[ $(grep -c '\.jpg$' "$work/log") -eq 61 ]] || fail "log: $(head -3 "$work/log")"

fresh slurm
find photos -name '*.png' -print0 >photos.list
for ((task = 0; task < 8; ++task)); do
    SLURM_ARRAY_TASK_ID=$task SLURM_ARRAY_TASK_COUNT=8 sh "$work/slurm.sh" || fail "task $task: status $?"
done
check_converted ""
[[ $(cat report-*.jsonl | grep -c '"status":"converted"') -eq 61 ]] || fail "reports"

fresh kubernetes
sed -i "s#/pictures#$dir#g" "$work/kubernetes.sh"
for ((index = 0; index < 4; ++index)); do
    JOB_COMPLETION_INDEX=$index sh "$work/kubernetes.sh" >>"$work/log" || fail "pod $index: status $?"
done
check_converted converted

fresh resume
# Enough pictures for a run to be stopped once it has written some.
for ((i = 0; i < 1500; ++i)); do cp photos/p1.png "photos/sub/more$i.png"; done
bash -c "exec $(<"$work/resume.sh")" >"$work/first.log" &
run=$!
for ((wait = 0; wait < 500; ++wait)); do
    [[ -z $(find photos -name '*.jpg' -print -quit) ]] || break
    sleep 0.01
done
kill -INT "$run"
set +e
wait "$run"
first=$?
set -e
[[ $first -eq 130 ]] || fail "interrupted run: status $first"
tail -n 1 "$work/first.log" | grep -qx 'stopped!' || fail "no stopped! line"
[[ -z $(find "$dir" -name '*.tmp') ]] || fail "temporary files left by the interrupted run"
written=$(grep -c '\.jpg$' "$work/first.log" || true)
converted=$(find photos -name '*.jpg' -print0 | tr -cd '\0' | wc -c)
[[ $converted -eq $written ]] || fail "the log shows $written targets, the folder $converted"
((converted < 1561)) || fail "the run was not stopped before its end"
bash -e "$work/resume.sh" >"$work/second.log" || fail "status $?"
check_converted ""
[[ $(grep -c '^file already exist: ' "$work/second.log") -eq $written ]] ||
    fail "the rerun did not keep the $written targets written before"

if ((failures > 0)); then
    echo "$failures recipe checks failed" >&2
    exit 1
fi
echo "every recipe of the guide ran"

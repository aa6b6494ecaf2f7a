#!/usr/bin/env bash
# Runs the folder-picker tests, and a long walk through the picker from its keyboard, again and
# again while folders under the tree the picker shows keep
# being made, renamed and deleted: sub-folders of every fixture folder, the folders the tests
# select, and the fixture folder itself, which is the program's current directory. Test failures
# are expected (the tree changes under the tests); what it looks for is the program faulting.
# Run by hand, not by make test. Usage: tools/picker_stress.sh [RUNS] [BUILD_DIR]
set -uo pipefail
cd "$(dirname "$0")/.."
runs=${1:-20}
build=$(realpath "${2:-build}")
work=$build/picker-stress
mkdir -p "$work"
# The e2e runner empties its own folder of logs, so it runs in a folder of its own.
e2e=$work/e2e
root=$e2e/prefix/drive_c/veltra-fixtures

# One round of changes to every fixture folder: a new folder made, renamed and deleted; each
# sub-folder (the ones the tests select) renamed away and back; now and then one of them deleted
# and made again with a file, and the fixture folder itself, the current directory, moved away and back.
churn() {
    local round=0 folder sub
    while true; do
        round=$((round + 1))
        for folder in "$root"/*/; do
            [ -d "$folder" ] || continue
            mkdir -p "${folder}new-$round" 2> /dev/null
            mv "${folder}new-$round" "${folder}renamed-$round" 2> /dev/null
            rm -rf "${folder}renamed-$((round - 1))" 2> /dev/null
            for sub in "$folder"*/; do
                sub=${sub%/}
                [ -d "$sub" ] || continue
                case $sub in *-away | *new-* | *renamed-*) continue ;; esac
                {
                    mv "$sub" "$sub-away" && mv "$sub-away" "$sub"
                    [ $((round % 7)) -eq 0 ] && rm -rf "$sub" && mkdir "$sub" && echo x > "$sub/again.pcx"
                } 2> /dev/null
            done
            if [ $((round % 11)) -eq 0 ]; then
                mv "$folder" "${folder%/}-moved" 2> /dev/null && mv "${folder%/}-moved" "$folder" 2> /dev/null
            fi
        done
        sleep 0.05
    done
}

faults=0
for run in $(seq 1 "$runs"); do
    churn &
    churner=$!
    GTEST_ALSO_RUN_DISABLED_TESTS=1 E2E_WORK=$e2e E2E_FILTER='FolderBrowser*:PickerChurn*' tests/e2e/run_e2e.sh "$build" > "$work/run-$run.log" 2>&1
    kill "$churner"
    wait "$churner" 2> /dev/null
    crashes=$(grep -c -E 'Unhandled (exception|page fault|division|illegal|stack)|^Backtrace:' "$work/run-$run.log")
    [ "$crashes" -gt 0 ] && cp "$work/run-$run.log" "$work/fault-$run.log"
    faults=$((faults + crashes))
    echo "run $run: $(tail -n 1 "$work/run-$run.log"), fault reports: $crashes"
done
echo "picker stress: $runs runs, $faults fault reports (logs in $work)"
[ "$faults" -eq 0 ]

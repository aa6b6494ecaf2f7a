#!/usr/bin/env bash
# Every test: the layout of the code, the native unit tests under ctest and the size arithmetic's
# again in the 32-bit build, the release zips' check, then the end-to-end tests under Wine.
# The summary lines close the output.
set -uo pipefail
cd "$(dirname "$0")/.."

tools/check_format.sh 2>&1 | tee build/format.log
format_status=${PIPESTATUS[0]}

ctest --test-dir build/native --output-on-failure -j 2 2>&1 | tee build/unit.log
unit_status=${PIPESTATUS[0]}
tools/run_i686_unit_tests.sh build 2>&1 | tee build/unit-i686.log
unit_i686_status=${PIPESTATUS[0]}

# Two builds give the same zips; the exe unpacked from the zip of the build Wine runs joins the
# end-to-end run.
tools/check_dist.sh build 2>&1 | tee build/dist.log
dist_status=${PIPESTATUS[0]}
released=$(ls build/dist/unpacked/*/veltra.exe 2>/dev/null | head -n 1)
[ "$dist_status" -eq 0 ] && [ -n "$released" ] && export VELTRA_RELEASED_EXE=$(realpath "$released")

tests/e2e/run_e2e.sh build 2>&1 | tee build/e2e.log
e2e_status=${PIPESTATUS[0]}

echo
echo "== Summary"
tail -n 1 build/format.log
grep -E '^[0-9]+% tests passed' build/unit.log || echo "unit: the test run did not finish"
tail -n 1 build/unit-i686.log
grep -E '^dist: .*(same|differs)' build/dist.log || echo "dist: the release check did not finish"
tail -n 1 build/e2e.log
[ "$format_status" -eq 0 ] && [ "$unit_status" -eq 0 ] && [ "$unit_i686_status" -eq 0 ] && [ "$dist_status" -eq 0 ] &&
    [ "$e2e_status" -eq 0 ]

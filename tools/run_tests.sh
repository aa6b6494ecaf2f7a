#!/usr/bin/env bash
# Every test: the native unit tests under ctest, then the end-to-end tests under Wine.
# Both runners' summary lines close the output.
set -uo pipefail
cd "$(dirname "$0")/.."

ctest --test-dir build/native --output-on-failure -j 2 2>&1 | tee build/unit.log
unit_status=${PIPESTATUS[0]}

tests/e2e/run_e2e.sh build 2>&1 | tee build/e2e.log
e2e_status=${PIPESTATUS[0]}

echo
echo "== Summary"
grep -E '^[0-9]+% tests passed' build/unit.log || echo "unit: the test run did not finish"
tail -n 1 build/e2e.log
[ "$unit_status" -eq 0 ] && [ "$e2e_status" -eq 0 ]

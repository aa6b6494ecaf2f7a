#!/usr/bin/env bash
# The unit tests that the 32-bit build must pass as the native one does (the size arithmetic and
# the PSD colour modes: their floating point is where the builds could part), run under Wine.
# Where the machine runs no 32-bit code, the 64-bit build's run stands in, and its summary line
# says so (wine_target.sh); the 32-bit objects' maths is still checked to be SSE2 by
# check_double_maths.sh. Ends with one summary line: "unit (32-bit, Wine): N passed, M failed".
set -uo pipefail
cd "$(dirname "$0")/.."
source tools/wine_session.sh

build=$(realpath "${1:-build}")
work=$build/unit-i686
log=$work/tests.log
mkdir -p "$work"
# A console program: a prefix of its own, kept between runs, and no display.
if [ -d "$work/prefix" ]; then export WINEPREFIX=$work/prefix; else make_wine_prefix "$work/prefix"; fi
trap 'wineserver -k 2>/dev/null' EXIT
timeout -k 10 600 "$WINE" "$build/win-$WINE_TARGET/veltra_size_tests.exe" --gtest_color=no 2>&1 | tr -d '\r' | tee "$log"
read -r passed failed < <(gtest_tally "$log")
echo "unit ($WINE_BUILD_NAME, Wine): $passed passed, $failed failed"
[ "$failed" -eq 0 ]

#!/usr/bin/env bash
# Runs the benchmarks under Wine on a private Xvfb and prints their figures.
set -uo pipefail
cd "$(dirname "$0")/.."
source tools/wine_session.sh

build=$(realpath "${1:-build}")
work=$build/bench
bench_exe=$build/win-i686/bench/veltra_bench.exe
mkdir -p "$work"
trap 'wineserver -k 2>/dev/null; stop_display' EXIT

start_display 1024x768 || exit 1
echo "Making a Wine prefix..."
make_wine_prefix "$work/prefix"
export VELTRA_EXE=$(windows_path "$build/win-i686/veltra.exe")
export VELTRA_FIXTURE_ROOT='C:\veltra-bench'

echo "== ListCurrentFolder"
wine "$bench_exe" listing 'C:\veltra-bench' | tr -d '\r'

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

echo "== 24 MP JPEG: the program against djpeg"
load=$work/load
mkdir -p "$load"
if [ ! -f "$load/big.jpg" ]; then
    convert -size 6000x4000 gradient:'#3060A0-#E0C070' -attenuate 0.4 +noise Gaussian -quality 90 "$load/big.jpg"
    convert -size 8x8 xc:black BMP3:"$load/black.bmp"
fi
wine "$bench_exe" load "$(windows_path "$load")" | tr -d '\r'
best=""
for _ in 1 2 3 4 5; do
    start=$(date +%s.%N)
    djpeg -outfile /dev/null "$load/big.jpg"
    seconds=$(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { print b - a }')
    best=$(awk -v s="$seconds" -v b="${best:-1e9}" 'BEGIN { print (s < b) ? s : b }')
done
printf 'load: djpeg decoding the same file: best %.3f s over 5 runs\n' "$best"

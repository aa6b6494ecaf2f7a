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

echo "== Photos: the program against djpeg's full decode of the same file"
photos=$work/photos
mixed=$work/viewer
bench/make_bench_pictures.sh "$work" || exit 1

# djpeg_median FILE: djpeg's median time over 5 full decodes, in seconds.
djpeg_median() {
    for _ in 1 2 3 4 5; do
        start=$(date +%s.%N)
        djpeg -outfile /dev/null "$1"
        awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { print b - a }'
    done | sort -g | sed -n 3p
}

# against_djpeg BENCH NAME: the program's figure for that picture, then djpeg's and their ratio.
against_djpeg() {
    local line median reference
    line=$(wine "$bench_exe" "$1" "$(windows_path "$photos/$2")" | tr -d '\r')
    echo "$line"
    median=$(sed -n 's/.*: median \([0-9.]*\) s.*/\1/p' <<< "$line")
    [ -f "$photos/$2/$2.jpg" ] || return 0
    reference=$(djpeg_median "$photos/$2/$2.jpg")
    awk -v m="$median" -v r="$reference" -v n="$2" \
        'BEGIN { printf "  djpeg full decode of %s: median %.3f s; the program takes %.2f x that\n", n, r, m / r }'
}

for name in 12mp 24mp-420 24mp-adobergb 24mp-444 24mp-progressive 100mp 200mp 400mp 100mp-bmp; do
    against_djpeg load "$name"
done
echo "== Full-screen viewer: one step to a picture, at 1024 x 768"
for name in 24mp-420 24mp-adobergb 24mp-444 100mp 200mp 400mp 100mp-bmp; do
    against_djpeg step "$name"
done

echo "== Full-screen viewer: 1,000 steps over mixed pictures"
# The companion sound plays into nothing rather than into whatever sound card there is.
cat > "$work/asound.conf" <<CONF
pcm.!default { type file slave.pcm "null" file "/dev/null" format "raw" }
CONF
ALSA_CONFIG_PATH=/usr/share/alsa/alsa.conf:$work/asound.conf \
    wine "$bench_exe" viewer "$(windows_path "$mixed")" | tr -d '\r'

echo "== Full-screen viewer: one step to a picture, at 1920 x 1080"
wineserver -k
wineserver -w
stop_display
start_display 1920x1080 || exit 1
for name in 24mp-420 24mp-adobergb 24mp-444; do
    against_djpeg step "$name"
done

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

# The large BMP and TIFF pictures: by default each size as a BMP, and each TIFF compression in
# strips and in tiles at one size; BENCH_ALL_PICTURES=1 for each size as a BMP and as a TIFF of
# each compression in strips and in tiles (21 pictures, 12 GB of them, most of an hour). Each is
# timed over 3 runs (BENCH_LARGE_RUNS).
large=(100mp-bmp 200mp-bmp 400mp-bmp 100mp-lzw-strips 100mp-lzw-tiles 200mp-deflate-strips 200mp-deflate-tiles
       400mp-none-strips 400mp-none-tiles)
large_runs=${BENCH_LARGE_RUNS:-3}
if [ -n "${BENCH_ALL_PICTURES:-}" ]; then
    large=()
    for size in 100mp 200mp 400mp; do
        large+=("$size-bmp")
        for kind in none-strips none-tiles lzw-strips lzw-tiles deflate-strips deflate-tiles; do
            large+=("$size-$kind")
        done
    done
fi

echo "== Photos: the program against a native tool's full decode of the same file"
photos=$work/photos
mixed=$work/viewer
bench/make_bench_pictures.sh "$work" "$build/native/veltra-big-picture" "${large[@]}" || exit 1

# full_decode FILE: a native tool's full decode of FILE to nothing: djpeg for a JPEG, tiffinfo -D
# (which decodes every strip or tile) for a TIFF; a BMP's pixels are its bytes, so reading the
# file through is the whole of its decode.
full_decode() {
    case $1 in
        *.jpg) djpeg -outfile /dev/null "$1" ;;
        *.tif) tiffinfo -D "$1" > /dev/null ;;
        *.bmp) cat "$1" > /dev/null ;;
    esac
}
declare -A decoder=([jpg]="djpeg" [tif]="tiffinfo -D" [bmp]="reading the whole file")

# full_decode_median FILE: the full decode's median time over 3 runs, in seconds.
full_decode_median() {
    for _ in 1 2 3; do
        start=$(date +%s.%N)
        full_decode "$1"
        awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { print b - a }'
    done | sort -g | sed -n 2p
}

# against_full_decode BENCH NAME [RUNS]: the program's figure for the picture in photos/NAME, then
# the full decode's and their ratio.
against_full_decode() {
    local line median reference picture
    line=$(wine "$bench_exe" "$1" "$(windows_path "$photos/$2")" ${3:+"$3"} | tr -d '\r')
    echo "$line"
    median=$(sed -n 's/.*: median \([0-9.]*\) s.*/\1/p' <<< "$line")
    picture=$(find "$photos/$2" -maxdepth 1 -type f ! -name black.bmp | head -n 1)
    reference=$(full_decode_median "$picture")
    awk -v m="$median" -v r="$reference" -v n="$(basename "$picture")" -v t="${decoder[${picture##*.}]}" \
        'BEGIN { printf "  %s, full decode of %s: median %.3f s; the program takes %.2f x that\n", t, n, r, m / r }'
}

for name in 12mp 24mp-420 24mp-444 24mp-progressive 100mp 200mp 400mp; do
    against_full_decode load "$name"
done
echo "== Full-screen viewer: one step to a picture, at 1024 x 768"
for name in 24mp-420 24mp-444 100mp 200mp 400mp; do
    against_full_decode step "$name"
done

echo "== BMP and TIFF: in the preview and as one step of the full-screen viewer, at 1024 x 768"
for name in "${large[@]}"; do
    against_full_decode load "$name" "$large_runs"
    against_full_decode step "$name" "$large_runs"
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
for name in 24mp-420 24mp-444 100mp-bmp; do
    against_full_decode step "$name"
done

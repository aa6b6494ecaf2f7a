#!/usr/bin/env bash
# Runs the benchmarks under Wine on a private Xvfb and prints their figures.
# BENCH_PARTS="step open ..." runs only those parts (listing, load, step, large, open, against,
# slides, viewer, step-1920); VELTRA_BENCH_EXE times another build of the program with the same
# pictures. The large BMP and TIFF pictures: by default each size as a BMP, and each TIFF
# compression in strips and in tiles at one size; BENCH_ALL_PICTURES=1 for each size as a BMP and
# as a TIFF of each compression in strips and in tiles (21 pictures, 12 GB of them, most of an
# hour).
set -uo pipefail
cd "$(dirname "$0")/.."
source tools/wine_session.sh

build=$(realpath "${1:-build}")
work=$build/bench
bench_exe=$build/win-$WINE_TARGET/bench/veltra_bench.exe
mkdir -p "$work"
trap 'wineserver -k 2>/dev/null; stop_display' EXIT

# want PART: whether BENCH_PARTS asks for that part (all of them when it is unset).
want() { [ -z "${BENCH_PARTS:-}" ] || [[ " $BENCH_PARTS " == *" $1 "* ]]; }

start_display 1024x768 || exit 1
echo "Making a Wine prefix..."
make_wine_prefix "$work/prefix"
export VELTRA_EXE=$(windows_path "${VELTRA_BENCH_EXE:-$build/win-$WINE_TARGET/veltra.exe}")
export VELTRA_FIXTURE_ROOT='C:\veltra-bench'

if want listing; then
    echo "== ListCurrentFolder"
    "$WINE" "$bench_exe" listing 'C:\veltra-bench' | tr -d '\r'
fi

large=(100mp-bmp 200mp-bmp 400mp-bmp 100mp-lzw-strips 100mp-lzw-tiles 200mp-deflate-strips 200mp-deflate-tiles
       400mp-none-strips 400mp-none-tiles)
if [ -n "${BENCH_ALL_PICTURES:-}" ]; then
    large=()
    for size in 100mp 200mp 400mp; do
        large+=("$size-bmp")
        for kind in none-strips none-tiles lzw-strips lzw-tiles deflate-strips deflate-tiles; do
            large+=("$size-$kind")
        done
    done
fi
want large || large=(100mp-bmp)

photos=$work/photos
mixed=$work/viewer
bench/make_bench_pictures.sh "$work" "$build/native/veltra-big-picture" "${large[@]}" || exit 1

# djpeg_median FILE: djpeg's median time over 5 full decodes, in seconds.
djpeg_median() {
    for _ in 1 2 3 4 5; do
        start=$(date +%s.%N)
        djpeg -outfile /dev/null "$1"
        awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { print b - a }'
    done | sort -g | sed -n 3p
}

# against_djpeg BENCH NAME [JPEG]: the program's figure for the picture folder NAME, then djpeg's
# for that folder's JPEG (NAME.jpg unless given) and their ratio.
against_djpeg() {
    local line median reference jpeg=$photos/$2/${3:-$2.jpg}
    line=$("$WINE" "$bench_exe" "$1" "$(windows_path "$photos/$2")" | tr -d '\r')
    echo "$line"
    median=$(sed -n 's/.*: median \([0-9.]*\) s.*/\1/p' <<< "$line")
    [ -f "$jpeg" ] || return 0
    reference=$(djpeg_median "$jpeg")
    awk -v m="$median" -v r="$reference" -v n="$2" \
        'BEGIN { printf "  djpeg full decode of %s: median %.3f s; the program takes %.2f x that\n", n, r, m / r }'
}

# full_decode FILE: a native tool's full decode of FILE to nothing: tiffinfo -D (which decodes every
# strip or tile) for a TIFF; a BMP's pixels are its bytes, so reading the file through is the
# whole of its decode.
full_decode() {
    case $1 in
        *.tif) tiffinfo -D "$1" > /dev/null ;;
        *.bmp) cat "$1" > /dev/null ;;
    esac
}

# full_decode_median FILE: the full decode's median time over 3 runs, in seconds.
full_decode_median() {
    for _ in 1 2 3; do
        start=$(date +%s.%N)
        full_decode "$1"
        awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { print b - a }'
    done | sort -g | sed -n 2p
}

# against_full_decode BENCH NAME: the program's figure for the BMP or TIFF picture in photos/NAME,
# then the full decode's and their ratio.
against_full_decode() {
    local line median reference picture tool="reading the whole file"
    line=$("$WINE" "$bench_exe" "$1" "$(windows_path "$photos/$2")" | tr -d '\r')
    echo "$line"
    median=$(sed -n 's/.*: median \([0-9.]*\) s.*/\1/p' <<< "$line")
    picture=$(find "$photos/$2" -maxdepth 1 -type f ! -name black.bmp | head -n 1)
    [[ $picture == *.tif ]] && tool="tiffinfo -D"
    reference=$(full_decode_median "$picture")
    awk -v m="$median" -v r="$reference" -v n="$(basename "$picture")" -v t="$tool" \
        'BEGIN { printf "  %s, full decode of %s: median %.3f s; the program takes %.2f x that\n", t, n, r, m / r }'
}

# viewer_parts: the parts that depend on the screen's size.
viewer_parts() {
    local names=$1
    if want "$2"; then
        for name in $names; do against_djpeg step "$name"; done
    fi
    if want open; then
        against_djpeg open 24mp-420
        against_djpeg window 24mp-420
    fi
    if want against; then
        against_djpeg against 24mp-against a.jpg
    fi
    if want slides; then
        "$WINE" "$bench_exe" slides "$(windows_path "$work/slides")" | tr -d '\r'
    fi
}

if want load; then
    echo "== Photos: the program against djpeg's full decode of the same file"
    for name in 12mp 24mp-420 24mp-adobergb 24mp-444 24mp-progressive 100mp 200mp 400mp; do
        against_djpeg load "$name"
    done
fi
echo "== Full-screen views at 1024 x 768"
viewer_parts "24mp-420 24mp-adobergb 24mp-444 100mp 200mp 400mp" step

if want large; then
    echo "== BMP and TIFF: in the preview and as one step of the full-screen viewer, at 1024 x 768"
    for name in "${large[@]}"; do
        against_full_decode load "$name"
        against_full_decode step "$name"
    done
fi

if want viewer; then
    echo "== Full-screen viewer: 1,000 steps over mixed pictures"
    # The companion sound plays into nothing rather than into whatever sound card there is.
    cat > "$work/asound.conf" <<CONF
pcm.!default { type file slave.pcm "null" file "/dev/null" format "raw" }
CONF
    ALSA_CONFIG_PATH=/usr/share/alsa/alsa.conf:$work/asound.conf \
        "$WINE" "$bench_exe" viewer "$(windows_path "$mixed")" | tr -d '\r'
fi

if want step-1920 || want open || want against || want slides; then
    echo "== Full-screen views at 1920 x 1080"
    wineserver -k
    wineserver -w
    stop_display
    start_display 1920x1080 || exit 1
    viewer_parts "24mp-420 24mp-adobergb 24mp-444" step-1920
    if want step-1920; then against_full_decode step 100mp-bmp; fi
fi

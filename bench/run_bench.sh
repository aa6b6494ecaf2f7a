#!/usr/bin/env bash
# Runs the benchmarks under Wine on a private Xvfb and prints their figures.
# BENCH_PARTS="step open ..." runs only those parts (listing, load, step, open, against, slides,
# viewer, step-1920); VELTRA_BENCH_EXE times another build of the program with the same pictures.
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

# viewer_parts: the parts that depend on the screen's size.
viewer_parts() {
    local names=$1
    if want "$2"; then
        for name in $names; do against_djpeg step "$name"; done
    fi
    if want open; then
        against_djpeg open 24mp-420
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
    for name in 12mp 24mp-420 24mp-adobergb 24mp-444 24mp-progressive 100mp 200mp 400mp 100mp-bmp; do
        against_djpeg load "$name"
    done
fi
echo "== Full-screen views at 1024 x 768"
viewer_parts "24mp-420 24mp-adobergb 24mp-444 100mp 200mp 400mp 100mp-bmp" step

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
fi

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
# One folder per picture, beside a black picture that clears the view between runs.
photos=$work/photos
# photo_ppm WIDTH HEIGHT: a photo-like PPM streamed row by row (ImageMagick refuses the largest):
# a colour ramp across under noise, rows drawn from a pool so that no two neighbours repeat.
photo_ppm() {
    perl -e '($w, $h) = @ARGV; srand(7); print "P6\n$w $h\n255\n";
             for $k (0 .. 31) { $row = "";
                 for $x (0 .. $w - 1) { $n = int(rand(41)) - 20; $b = int(180 * $x / $w);
                     $row .= pack("C3", 40 + $b + $n, 200 - $b / 2 + $n, 60 + $b / 3 + $n) }
                 push @rows, $row }
             print $rows[($_ * 7 + int($_ / 5)) % 32] for 0 .. $h - 1' "$1" "$2"
}
if [ "$(cat "$photos/.complete" 2>/dev/null)" != 2 ]; then
    rm -rf "$photos"
    photo=(-size 6000x4000 gradient:'#3060A0-#E0C070' -attenuate 0.4 +noise Gaussian -quality 92)
    declare -A made=(
        [12mp]="convert -size 4240x2832 gradient:#3060A0-#E0C070 -attenuate 0.4 +noise Gaussian -quality 92 -sampling-factor 2x2"
        [24mp-420]="convert ${photo[*]} -sampling-factor 2x2"
        [24mp-444]="convert ${photo[*]} -sampling-factor 1x1"
        [24mp-progressive]="convert ${photo[*]} -sampling-factor 2x2 -interlace JPEG"
    )
    for name in "${!made[@]}"; do
        mkdir -p "$photos/$name"
        ${made[$name]} "$photos/$name/$name.jpg"
    done
    for size in 100mp:12240x8160 200mp:17320x11547 400mp:20000x20000; do
        name=${size%%:*} dimensions=${size#*:}
        mkdir -p "$photos/$name"
        photo_ppm "${dimensions%x*}" "${dimensions#*x}" | cjpeg -quality 92 > "$photos/$name/$name.jpg"
    done
    mkdir -p "$photos/100mp-bmp"
    djpeg -bmp -outfile "$photos/100mp-bmp/100mp.bmp" "$photos/100mp/100mp.jpg"
    for folder in "$photos"/*/; do convert -size 8x8 xc:black BMP3:"$folder/black.bmp"; done
    echo 2 > "$photos/.complete"
fi

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

for name in 12mp 24mp-420 24mp-444 24mp-progressive 100mp 200mp 400mp 100mp-bmp; do
    against_djpeg load "$name"
done
echo "== Full-screen viewer: one step to a picture, at 1024 x 768"
for name in 24mp-420 24mp-444 100mp 200mp 400mp 100mp-bmp; do
    against_djpeg step "$name"
done

echo "== Full-screen viewer: 1,000 steps over mixed pictures"
mixed=$work/viewer
if [ ! -f "$mixed/.complete" ]; then
    tests/e2e/make_e2e_data.sh "$work/data" || exit 1
    mkdir -p "$mixed"
    cp "$work/data"/{Beach.jpg,Beach.WAV,red640x480.jpg,green400x240.tif,blue320x300.tif} "$mixed"/
    convert -size 2048x1536 gradient:'#203060-#F0E0A0' -attenuate 0.3 +noise Gaussian -quality 90 "$mixed/photo.jpg"
    convert -size 3000x1000 gradient:'#C02020-#2020C0' BMP3:"$mixed/wide.bmp"
    convert -size 1000x3000 gradient:'#20C020-#C0C020' BMP3:"$mixed/tall.bmp"
    convert -size 800x600 gradient:'#804020-#20C0E0' "$mixed/scan.pcx"
    convert -size 800x600 gradient:'#208040-#E02080' -depth 8 "$mixed/layers.psd"
    touch "$mixed/.complete"
fi
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
for name in 24mp-420 24mp-444; do
    against_djpeg step "$name"
done

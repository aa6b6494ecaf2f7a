#!/usr/bin/env bash
# The benchmarks' pictures, under WORK: photos/ holds one folder per large picture, beside a black
# picture that clears the view between runs; viewer/ a mix of every kind for the stepping run.
# Slow to make, so made again only when this script changes. The large BMP and TIFF pictures
# NAME... are made too where missing, by BIG_PICTURE (the native veltra-big-picture, which writes
# them a band at a time), each named SIZE-bmp or SIZE-COMPRESSION-LAYOUT: 200mp-bmp,
# 400mp-lzw-tiles, 100mp-none-strips.
# Usage: make_bench_pictures.sh WORK BIG_PICTURE [NAME...]
set -euo pipefail
script=$(realpath "$0")
usage="usage: make_bench_pictures.sh WORK BIG_PICTURE [NAME...]"
work=$(realpath -m "${1:?$usage}")
big_picture=$(realpath "${2:?$usage}")
shift 2
cd "$(dirname "$0")/.."
source tools/stamp.sh
big_picture_source=tests/fixtures/big_picture.cpp
photos=$work/photos
mixed=$work/viewer
declare -A megapixels=([100mp]=12240x8160 [200mp]=17320x11547 [400mp]=20000x20000)

# big_pictures NAME...: the photo-like BMP and TIFF pictures not yet made, each once complete
# beside its black picture.
big_pictures() {
    local name size dimensions folder
    for name in "$@"; do
        folder=$photos/$name
        [ -f "$folder/black.bmp" ] && continue
        size=${name%%-*}
        dimensions=${megapixels[$size]:?"make_bench_pictures: no size in $name"}
        rm -rf "$folder"
        mkdir -p "$folder"
        if [ "$name" = "$size-bmp" ]; then
            "$big_picture" photo "${dimensions%x*}" "${dimensions#*x}" "$folder/$size.bmp"
        else
            IFS=- read -r _ compression layout <<< "$name"
            "$big_picture" photo "${dimensions%x*}" "${dimensions#*x}" "$folder/$name.tif" "$compression" "$layout"
        fi
        convert -size 8x8 xc:black BMP3:"$folder/black.bmp"
    done
}

if made_by "$script" "$work" "$big_picture_source"; then
    big_pictures "$@"
    exit 0
fi
rm -rf "$photos" "$mixed" "$work/slides"
mkdir -p "$work"

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
# The same 24 MP JPEG tagged Adobe RGB, its compressed data untouched: the two times differ by the
# colour conversion alone.
mkdir -p "$photos/24mp-adobergb"
perl -0777 -pe 'BEGIN { open(my $in, "<", shift @ARGV) or die; local $/; $profile = <$in> }
    $segment = "ICC_PROFILE\0\x01\x01" . $profile;
    s/^\xFF\xD8/"\xFF\xD8\xFF\xE2" . pack("n", length($segment) + 2) . $segment/e' \
    /usr/share/color/icc/colord/AdobeRGB1998.icc "$photos/24mp-420/24mp-420.jpg" \
    > "$photos/24mp-adobergb/24mp-adobergb.jpg"
# Two photos and the black picture, for a step against the direction the viewer expects.
mkdir -p "$photos/24mp-against"
for name in a b; do cp "$photos/24mp-420/24mp-420.jpg" "$photos/24mp-against/$name.jpg"; done
for folder in "$photos"/*/; do convert -size 8x8 xc:black BMP3:"$folder/black.bmp"; done

# The slide show's folder: black and the photo by turns.
mkdir -p "$work/slides"
for name in a c; do convert -size 8x8 xc:black BMP3:"$work/slides/$name.bmp"; done
for name in b d; do cp "$photos/24mp-420/24mp-420.jpg" "$work/slides/$name.jpg"; done

# Mixed kinds and sizes, with a companion sound.
tests/e2e/make_e2e_data.sh "$work/data" "$big_picture" || exit 1
mkdir -p "$mixed"
cp "$work/data"/{Beach.jpg,Beach.WAV,red640x480.jpg,green400x240.tif,blue320x300.tif} "$mixed"/
convert -size 2048x1536 gradient:'#203060-#F0E0A0' -attenuate 0.3 +noise Gaussian -quality 90 "$mixed/photo.jpg"
convert -size 3000x1000 gradient:'#C02020-#2020C0' BMP3:"$mixed/wide.bmp"
convert -size 1000x3000 gradient:'#20C020-#C0C020' BMP3:"$mixed/tall.bmp"
convert -size 800x600 gradient:'#804020-#20C0E0' "$mixed/scan.pcx"
convert -size 800x600 gradient:'#208040-#E02080' -depth 8 "$mixed/layers.psd"
mark_made_by "$script" "$work" "$big_picture_source"
big_pictures "$@"

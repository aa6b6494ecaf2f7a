#!/usr/bin/env bash
# Test data the end-to-end tests copy into their fixture folders: JPEG and TIFF pictures (BMPs
# are written by the tests themselves, but for the largest) and companion sounds with their
# expected raw samples. BIG_PICTURE is the native veltra-big-picture, which writes the largest.
# Usage: make_e2e_data.sh OUT BIG_PICTURE
set -euo pipefail
out=$1
big_picture=$(realpath "${2:?usage: make_e2e_data.sh OUT BIG_PICTURE}")
script=$(realpath "$0")
source "$(dirname "$script")/../../tools/stamp.sh"
mkdir -p "$out"
cd "$out"
# A long rising sweep: every stretch of it differs, so a capture shows how far a play got and
# where a restart began. Made apart from the rest, so that older data folders get it too.
if [ ! -f Sweep.raw ]; then
    sox -n -r 22050 -b 16 -c 1 Sweep.WAV synth 12 sine 200-2000
    sox Sweep.WAV -t raw Sweep.raw
fi
# Made again whenever this script, the one that draws the detail photo or the big pictures'
# writer changes.
detail_jpeg=$(dirname "$script")/../fixtures/detail_jpeg.sh
big_picture_source=$(dirname "$script")/../fixtures/big_picture.cpp
made_by "$script" . "$detail_jpeg" "$big_picture_source" && exit 0

# Distinct sounds, so a capture shows which one played.
sox -n -r 22050 -b 16 -c 1 Beach.WAV synth 0.6 sine 440 fade 0 0.6 0.05
sox -n -r 22050 -b 16 -c 1 Tone.WAV synth 0.4 sine 880
for wav in Beach Tone; do sox "$wav.WAV" -t raw "$wav.raw"; done

# Companions with malformed headers, each the valid Tone.WAV (16-byte fmt at 20, data at 36) or
# an MS ADPCM sound with one thing broken; the system's wave player ends the process on some.
patch() {  # FILE OFFSET little-endian bytes as \x escapes
    printf "$3" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}
for bad in zero-channels many-channels seven-bits zero-rate no-data; do cp Tone.WAV "bad-$bad.WAV"; done
patch bad-zero-channels.WAV 22 '\x00\x00'
patch bad-many-channels.WAV 22 '\xff\x00'
patch bad-seven-bits.WAV 34 '\x07\x00'
patch bad-zero-rate.WAV 24 '\x00\x00\x00\x00'
patch bad-no-data.WAV 36 'daTa'
head -c 30 Tone.WAV > bad-cut-header.WAV
echo "not a sound at all" > bad-not-riff.WAV
sox -n -r 22050 -e ms-adpcm -c 1 bad-adpcm-block.WAV synth 0.4 sine 660
patch bad-adpcm-block.WAV 38 '\x00\x00'  # samples per block

convert -size 640x480 gradient:'#2060C0-#F0D080' -strip Beach.jpg
convert -size 640x480 xc:'#FF0000' -strip -quality 95 red640x480.jpg
convert -size 400x240 xc:'#00FF00' -strip -compress LZW green400x240.tif
convert -size 320x300 xc:'#0000FF' -strip -compress None blue320x300.tif
# PCX and PSD, which only the program's own decoders read: quadrants red, blue / green, yellow.
quadrants=(-size 100x50 xc:red -fill blue -draw 'rectangle 50,0 99,24' -fill lime -draw 'rectangle 0,25 49,49'
           -fill yellow -draw 'rectangle 50,25 99,49')
convert "${quadrants[@]}" -type Palette PCX:quad8.pcx
convert "${quadrants[@]}" -type TrueColor PCX:quad24.pcx
convert "${quadrants[@]}" -type TrueColor -depth 8 -compress RLE PSD:quad8rle.psd
convert "${quadrants[@]}" -type TrueColor -depth 16 -compress None PSD:quad16raw.psd
convert "${quadrants[@]}" -colorspace CMYK -depth 8 -compress RLE PSD:quadcmyk.psd
# One bit a pixel: white, black / black, white.
convert -size 100x50 xc:white -fill black -draw 'rectangle 50,0 99,24' -draw 'rectangle 0,25 49,49' \
    -type Bilevel -depth 1 -compress RLE PSD:quadbitmap.psd
convert -size 640x480 xc:red -fill blue -draw 'rectangle 320,0 639,479' -type TrueColor PCX:wide24.pcx
# Kinds that the system's decoders read but the list never promises.
for kind in png gif; do convert -size 64x48 xc:red "red.$kind"; done
convert -size 32x32 xc:red red.ico
# JPEG quadrants in the same colours, written as a PPM streamed row by row into cjpeg: ImageMagick
# refuses pictures this large, and nothing here holds one whole.
# quadrant_jpeg WIDTH HEIGHT NAME [cjpeg options]
quadrant_jpeg() {
    local width=$1 height=$2 name=$3
    shift 3
    perl -e '($w, $h) = @ARGV; $l = int($w / 2); print "P6\n$w $h\n255\n";
             $top = ("\xFF\0\0" x $l) . ("\0\0\xFF" x ($w - $l));
             $bottom = ("\0\xFF\0" x $l) . ("\xFF\xFF\0" x ($w - $l));
             print $_ < int($h / 2) ? $top : $bottom for 0 .. $h - 1' "$width" "$height" |
        cjpeg -quality 90 "$@" > "$name"
}
quadrant_jpeg 12240 8160 quad100mp.jpg
quadrant_jpeg 20000 20000 quad400mp.jpg
quadrant_jpeg 640 480 quadprogressive.jpg -progressive
# The same quadrants of 200 MP as a BMP (600 MB) and as a TIFF in Deflate tiles, odd-sized so that
# the BMP's rows are padded and the tiles at the right and bottom edges only partly filled.
"$big_picture" quadrants 17321 11547 quad200mp.bmp
"$big_picture" quadrants 17321 11547 quad200mp-tiles.tif deflate tiles
# Noise, the most data a JPEG holds per pixel, from a keyed cipher so that it is the same each
# time: a picture that takes about a second to decode at any scale.
{
    printf 'P6\n12000 8000\n255\n'
    head -c $((12000 * 8000 * 3)) /dev/zero | openssl enc -aes-128-ctr -K 00 -iv 00 -nosalt 2>/dev/null
} | cjpeg -quality 75 > noise96mp.jpg
convert quadprogressive.jpg -colorspace CMYK quadcmyk.jpg
# Its coefficients need more than libjpeg-turbo is allowed here, so GDI+ must show it.
quadrant_jpeg 6000 6000 quadovercap.jpg -progressive -sample 1x1
# One 400 x 200 quadrant picture (red, lime / blue, yellow) stored with each EXIF orientation: a
# big-endian APP1 Exif segment with IFD0 holding only tag 0x0112 goes in right after SOI. A TIFF
# whose orientation tag ImageMagick writes itself, with its directory after the pixels. Each
# line of orient.expect: name, ImageMagick's -auto-orient width and height, and its colours at
# the middles of the quadrants (top-left, top-right, bottom-left, bottom-right).
orient_quadrants=(-size 400x200 xc:red -fill lime -draw 'rectangle 200,0 399,99' -fill blue
                  -draw 'rectangle 0,100 199,199' -fill yellow -draw 'rectangle 200,100 399,199')
# with_orientation N IN OUT: the JPEG IN with orientation N recorded.
with_orientation() {
    { head -c 2 "$2"
      printf '\xFF\xE1\x00\x22Exif\x00\x00MM\x00\x2A\x00\x00\x00\x08\x00\x01\x01\x12\x00\x03\x00\x00\x00\x01'
      printf "\\x00\\x0$1"'\x00\x00\x00\x00\x00\x00'
      tail -c +3 "$2"; } > "$3"
}
convert "${orient_quadrants[@]}" -strip -quality 95 orient-plain.jpg
for n in 1 2 3 4 5 6 7 8; do with_orientation "$n" orient-plain.jpg "orient$n.jpg"; done
# Stored a quarter turned, as a camera held upright writes them: quadrants (red, lime / blue,
# yellow once turned) of 1536 x 2048, whose height decides the fitted width, and of 332 x 249,
# whose two ratios tie in the preview; and a plain blue one of 1536 x 2048.
for size in 1536x2048 332x249; do
    w=${size%x*} h=${size#*x}
    convert -size "$size" xc:red -fill lime -draw "rectangle $((w / 2)),0 $w,$((h / 2 - 1))" -fill blue \
        -draw "rectangle 0,$((h / 2)) $((w / 2 - 1)),$h" -fill yellow -draw "rectangle $((w / 2)),$((h / 2)) $w,$h" \
        -rotate -90 -strip -quality 95 turned-plain.jpg
    with_orientation 6 turned-plain.jpg "turned$size.jpg"
done
convert -size 2048x1536 xc:'#3250DC' -strip -quality 95 turned-plain.jpg
with_orientation 6 turned-plain.jpg turned-blue1536x2048.jpg
# Fine detail in the orientations the program turns by half or mirrors to the side, whose far
# edges, where a scaled decode holds part of a pixel, come to lie near.
"$detail_jpeg" 1203 901 detail-plain.jpg
for n in 3 4 7 8; do with_orientation "$n" detail-plain.jpg "detail$n.jpg"; done
rm -f turned-plain.jpg detail-plain.jpg
convert "${orient_quadrants[@]}" -orient RightTop -compress LZW orient6.tif
: > orient.expect
for picture in orient[1-8].jpg orient6.tif; do
    read -r w h < <(convert "$picture" -auto-orient -format '%w %h\n' info:)
    spots=""
    for spot in "$((w / 4)),$((h / 4))" "$((3 * w / 4)),$((h / 4))" "$((w / 4)),$((3 * h / 4))" \
                "$((3 * w / 4)),$((3 * h / 4))"; do
        spots+=" %[hex:p{$spot}]"
    done
    convert "$picture" -auto-orient -alpha off -depth 8 -format "$picture $w $h$spots\n" info: >> orient.expect
done
# One colourful picture (smooth corners of red, lime, blue and yellow, bars of pure colours and a
# grey ramp) tagged with colour profiles in each way the program reads them, and for each
# NAME.ref.pcx, ImageMagick's conversion of it to sRGB through Little CMS as the program converts
# (perceptual, black-point compensation). The profiles come from colord-data, icc-profiles-free
# and Ghostscript's CMYK profile. A profile broken in the file is not honoured: its reference is
# the picture as stored.
icc=/usr/share/color/icc
cmyk_icc=$icc/ghostscript/default_cmyk.icc
convert -size 480x320 xc: -sparse-color Bilinear '0,0 red 479,0 lime 0,319 blue 479,319 yellow' \
    -fill red -draw 'rectangle 0,120 79,199' -fill lime -draw 'rectangle 80,120 159,199' \
    -fill blue -draw 'rectangle 160,120 239,199' -fill cyan -draw 'rectangle 240,120 319,199' \
    -fill magenta -draw 'rectangle 320,120 399,199' -fill white -draw 'rectangle 400,120 479,199' \
    \( -size 24x480 gradient:black-white -rotate 90 \) -geometry +0+200 -composite \
    -type TrueColor colour-base.png
to_srgb=(-intent Perceptual -black-point-compensation -profile "$icc/colord/sRGB.icc" -type TrueColor)
convert colour-base.png -quality 95 colour-plain.jpg
convert colour-plain.jpg -type TrueColor PCX:colour-plain.jpg.ref.pcx
while read -r name profile; do
    convert colour-base.png -profile "$profile" -quality 95 "$name"
    convert "$name[0]" "${to_srgb[@]}" "PCX:$name.ref.pcx"
done << PROFILES
colour-srgb.jpg $icc/colord/sRGB.icc
colour-adobe2.jpg $icc/compatibleWithAdobeRGB1998.icc
colour-adobe4.jpg $icc/colord/AdobeRGB1998.icc
colour-prophoto.jpg $icc/colord/ProPhotoRGB.icc
colour-widegamut.jpg $icc/colord/WideGamutRGB.icc
colour-swapped.jpg $icc/colord/SwappedRedAndGreen.icc
colour-widegamut.tif $icc/colord/WideGamutRGB.icc
colour-widegamut.psd $icc/colord/WideGamutRGB.icc
colour-widegamut.bmp $icc/colord/WideGamutRGB.icc
PROFILES
convert colour-base.png -colorspace Gray -profile "$icc/Gray.icc" -quality 95 colour-grey.jpg
convert colour-grey.jpg "${to_srgb[@]}" PCX:colour-grey.jpg.ref.pcx
# The PSDs keep the CMYK profile in image resource 1039, at 8 and 16 bits a channel.
for name in colour-cmyk.jpg:8 colour-cmyk.tif:8 colour-cmyk.psd:8 colour-cmyk16.psd:16; do
    depth=${name#*:}
    name=${name%:*}
    convert colour-base.png -profile "$icc/colord/sRGB.icc" -intent Perceptual -black-point-compensation \
        -profile "$cmyk_icc" -depth "$depth" -quality 95 "$name"
    convert "$name[0]" "${to_srgb[@]}" "PCX:$name.ref.pcx"
done
# The Adobe RGB profile broken in its APP2 segment: cut to its first 300 bytes, and whole but
# with its header's size and every tag's size lying far past its end.
perl -0777 -ne 'BEGIN { ($cut, $lying) = splice(@ARGV, 0, 2) }
    /\xFF\xE2(..)ICC_PROFILE\0\x01\x01/s or die "no profile";
    $at = $-[0]; $length = unpack("n", $1); $profile = substr($_, $at + 18, $length - 16);
    $lied = $profile;
    substr($lied, 0, 4) = pack("N", 0x7FFFFFF0);
    substr($lied, 132 + 12 * $_ + 8, 4) = pack("N", 0x7FFFFFF0) for 0 .. unpack("N", substr($profile, 128, 4)) - 1;
    %broken = ($cut => substr($profile, 0, 300), $lying => $lied);
    for $name (keys %broken) {
        $segment = "ICC_PROFILE\0\x01\x01" . $broken{$name};
        open(my $out, ">", $name) or die;
        print $out substr($_, 0, $at), "\xFF\xE2", pack("n", length($segment) + 2), $segment,
            substr($_, $at + 2 + $length);
    }' colour-cut.jpg colour-lying.jpg colour-adobe4.jpg
for name in colour-cut.jpg colour-lying.jpg; do cp colour-plain.jpg.ref.pcx "$name.ref.pcx"; done
rm -f colour-base.png
mark_made_by "$script" . "$detail_jpeg" "$big_picture_source"

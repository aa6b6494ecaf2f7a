#!/usr/bin/env bash
# make_samples.sh OUTDIR - builds the sample folder that ships with the viewer: pictures of every
# kind it lists (JPG, BMP, TIF, PCX, PSD) at sizes that exercise the preview's scaling, two of them
# with a spoken comment beside them, and a few files that are not pictures.
# Everything is drawn from fixed parameters and written without dates or metadata, so two runs with
# the same ImageMagick, espeak-ng and SoX give the same bytes.
set -euo pipefail

if [ $# -ne 1 ]; then
    echo "usage: $0 OUTDIR" >&2
    exit 2
fi
out=$1
mkdir -p "$out"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

export LC_ALL=C
# One thread: the plasma's random walk and every blur then run in the same order each time.
export MAGICK_THREAD_LIMIT=1

# convert ARGS... OUTPUT: opaque, 8 bits a channel, without what ImageMagick would otherwise stamp
# into the file (dates, profiles, comments).
draw() {
    local output=${*: -1}
    convert "${@:1:$#-1}" -alpha off -depth 8 -strip +set date:create +set date:modify +set date:timestamp "$output"
}

# speak NAME TEXT: NAME.WAV, 22050 Hz, 16-bit, mono PCM.
speak() {
    espeak-ng -v en-gb -s 150 -w "$scratch/$1.raw.wav" "$2"
    sox -R "$scratch/$1.raw.wav" -r 22050 -b 16 -c 1 -e signed-integer "$out/$1.WAV"
}

# Beach (640 x 480, exactly twice the preview box): sky, sun, sea with foam, sand, a sunshade.
draw -size 640x300 gradient:'#3E8ED0-#CFE9F6' \
    \( -size 640x95 gradient:'#1C5F8C-#3FA3B5' \) \
    \( -size 640x85 gradient:'#F0DDB0-#D2AE72' \) -append \
    -fill '#FFF4C4' -draw 'circle 505,110 505,148' \
    -fill '#FFFBEA' -draw 'circle 505,110 505,138' \
    -fill none -stroke '#F8FCFF' -strokewidth 4 -draw 'path "M 0,392 Q 80,384 160,392 T 320,392 T 480,392 T 640,392"' \
    -stroke '#5B3A1E' -strokewidth 5 -draw 'line 180,470 210,360' \
    -stroke none -fill '#D8412F' -draw 'polygon 140,372 215,330 290,372' \
    -fill '#F4F0E6' -draw 'polygon 190,360 215,330 240,360' \
    -fill none -stroke '#2B3440' -strokewidth 2 \
    -draw 'path "M 250,80 Q 258,72 266,80 Q 274,72 282,80"' \
    -draw 'path "M 300,120 Q 306,114 312,120 Q 318,114 324,120"' \
    -quality 88 -sampling-factor 2x2 "$out/Beach.jpg"
speak Beach "The beach at low tide, early on a summer morning. The water was still, and we had the sand to ourselves."

# Mountains (1600 x 1200, larger than any preview): dusk sky, three ranges fading with distance, a lake.
draw -size 1600x760 gradient:'#24406E-#F2B27A' \
    \( -size 1600x440 gradient:'#3A5A78-#16283A' \) -append \
    -fill '#FFE2B0' -draw 'circle 1150,300 1150,355' \
    -fill '#8D8AA6' -draw 'polygon 0,760 0,470 180,380 360,450 560,300 760,430 980,330 1180,460 1400,360 1600,440 1600,760' \
    -fill '#5C5F80' -draw 'polygon 0,760 0,560 240,470 420,560 640,440 900,580 1120,500 1340,590 1600,520 1600,760' \
    -fill '#33405A' -draw 'polygon 0,760 0,650 300,600 520,680 760,610 1000,700 1260,640 1600,700 1600,760' \
    -fill '#FFE2B0' -draw 'rectangle 1080,800 1160,806' -draw 'rectangle 1050,840 1190,846' -draw 'rectangle 1095,890 1145,895' \
    -quality 85 -sampling-factor 2x2 "$out/Mountains.jpg"

# Lighthouse (480 x 640, portrait): a striped tower on a rock, its beam across an evening sky.
draw -size 480x520 gradient:'#1B2A4A-#E8906A' \
    \( -size 480x120 gradient:'#27485E-#0E1E2C' \) -append \
    -fill '#FFF6C859' -draw 'polygon 262,172 480,110 480,230' -draw 'polygon 218,172 0,120 0,220' \
    -fill '#3B3630' -draw 'ellipse 240,560 170,60 180,360' \
    -fill '#F5F1E8' -draw 'polygon 205,540 275,540 262,190 218,190' \
    -fill '#C8372D' -draw 'polygon 208,470 272,470 268,400 212,400' -draw 'polygon 214,330 266,330 263,260 217,260' \
    -fill '#2F2F2F' -draw 'rectangle 210,182 270,192' -draw 'rectangle 222,140 258,150' \
    -fill '#FFE98A' -draw 'rectangle 226,150 254,182' \
    -fill '#2F2F2F' -draw 'polygon 218,140 262,140 240,118' \
    -quality 88 -sampling-factor 2x2 "$out/Lighthouse.jpg"
speak Lighthouse "The old lighthouse on the point. It has been automatic since nineteen eighty, but someone still paints the stripes every spring."

# Clouds (400 x 240, wider than the preview's shape): a soft plasma sky from a fixed seed, LZW TIFF.
draw -seed 4242 -size 400x240 plasma:grey50-grey50 -blur 0x2 -colorspace Gray -auto-level \
    -sigmoidal-contrast 4,60% -colorspace sRGB +level-colors '#3F7CC0,#FFFFFF' -type TrueColor -compress LZW "$out/Clouds.tif"

# Badge (100 x 50, smaller than the preview: shown unscaled): a text label on a gradient.
draw -size 100x50 gradient:'#2E7D32-#A5D6A7' -fill white -stroke '#1B5E20' -strokewidth 1 \
    -draw 'roundrectangle 3,3 96,46 8,8' -stroke none -fill '#1B5E20' -font DejaVu-Sans-Bold -pointsize 16 \
    -gravity center -annotate +0+0 'Hello!' -type TrueColor BMP3:"$out/Badge.bmp"

# Shapes (320 x 240, flat colours, so ImageMagick writes an 8-bit paletted PCX).
draw -size 320x240 xc:'#F4EBD0' +antialias \
    -fill '#E63946' -draw 'circle 80,80 80,30' \
    -fill '#457B9D' -draw 'rectangle 150,40 290,130' \
    -fill '#F1C40F' -draw 'polygon 60,220 140,120 220,220' \
    -fill '#2A9D8F' -draw 'ellipse 250,190 50,30 0,360' \
    -fill '#1D3557' -draw 'rectangle 0,232 320,240' \
    -type Palette "$out/SHAPES.PCX"

# Sunset (320 x 240): a sun sinking into a banded sea, as a PackBits-compressed Photoshop file.
draw -size 320x150 gradient:'#3D1E6D-#FF9F43' \
    \( -size 320x90 gradient:'#7A3E65-#1E1233' \) -append \
    -fill '#FFD66B' -draw 'circle 160,150 160,105' \
    -fill '#A8527A' -draw 'rectangle 0,150 320,240' \
    -fill '#FFC55C' -draw 'rectangle 110,165 210,169' -draw 'rectangle 125,185 195,188' -draw 'rectangle 140,205 180,207' \
    -fill '#1E1233' -draw 'rectangle 0,215 320,240' \
    -compress RLE "$out/Sunset.psd"

cat >"$out/README.txt" <<'EOF'
VELTRA sample pictures
======================

Start VELTRA in this folder and double-click a name in the list to see the picture.

  Beach.jpg       640 x 480, with a spoken comment (Beach.WAV)
  Lighthouse.jpg  480 x 640, upright, with a spoken comment (Lighthouse.WAV)
  Mountains.jpg   1600 x 1200
  Clouds.tif      400 x 240
  Badge.bmp       100 x 50
  SHAPES.PCX      320 x 240
  Sunset.psd      320 x 240

This file and notes.doc are not pictures, so the list leaves them out.
EOF

cat >"$out/notes.doc" <<'EOF'
Notes for the slide show

- Auto-Show needs at least three pictures in the folder.
- A picture changes every eight seconds; press Escape to stop.
- Put a WAV file with the same name beside a picture to add a spoken comment.
EOF

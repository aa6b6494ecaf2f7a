#!/usr/bin/env bash
# Test data the end-to-end tests copy into their fixture folders: JPEG and TIFF pictures (BMPs
# are written by the tests themselves) and companion sounds with their expected raw samples.
set -euo pipefail
out=$1
# Made again whenever this script changes.
stamp=$(sha256sum "$0" | cut -c1-16)
mkdir -p "$out"
cd "$out"
# A long rising sweep: every stretch of it differs, so a capture shows how far a play got and
# where a restart began. Made apart from the rest, so that older data folders get it too.
if [ ! -f Sweep.raw ]; then
    sox -n -r 22050 -b 16 -c 1 Sweep.WAV synth 12 sine 200-2000
    sox Sweep.WAV -t raw Sweep.raw
fi
[ "$(cat .complete 2>/dev/null)" = "$stamp" ] && exit 0

# Distinct sounds, so a capture shows which one played.
sox -n -r 22050 -b 16 -c 1 Beach.WAV synth 0.6 sine 440 fade 0 0.6 0.05
sox -n -r 22050 -b 16 -c 1 Tone.WAV synth 0.4 sine 880
for wav in Beach Tone; do sox "$wav.WAV" -t raw "$wav.raw"; done

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
convert -size 640x480 xc:red -fill blue -draw 'rectangle 320,0 639,479' -type TrueColor PCX:wide24.pcx
# Kinds that the system's decoders read but the list never promises.
for kind in png gif; do convert -size 64x48 xc:red "red.$kind"; done
convert -size 32x32 xc:red red.ico
echo "$stamp" > .complete

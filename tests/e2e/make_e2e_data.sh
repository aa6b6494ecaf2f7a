#!/usr/bin/env bash
# Test data the end-to-end tests copy into their fixture folders: JPEG and TIFF pictures (BMPs
# are written by the tests themselves) and companion sounds with their expected raw samples.
set -euo pipefail
out=$1
mkdir -p "$out"
cd "$out"
[ -f .complete ] && exit 0

# Distinct sounds, so a capture shows which one played.
sox -n -r 22050 -b 16 -c 1 Beach.WAV synth 0.6 sine 440 fade 0 0.6 0.05
sox -n -r 22050 -b 16 -c 1 Tone.WAV synth 0.4 sine 880
for wav in Beach Tone; do sox "$wav.WAV" -t raw "$wav.raw"; done

convert -size 640x480 gradient:'#2060C0-#F0D080' -strip Beach.jpg
convert -size 640x480 xc:'#FF0000' -strip -quality 95 red640x480.jpg
convert -size 400x240 xc:'#00FF00' -strip -compress LZW green400x240.tif
convert -size 320x300 xc:'#0000FF' -strip -compress None blue320x300.tif
touch .complete

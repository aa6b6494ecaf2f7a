#!/usr/bin/env bash
# Makes the README's screenshots on a private 1024 x 768 Xvfb from the sample folder: the window
# with a picture (docs/screenshot.png), the About box (docs/about.png), the full-screen viewer
# (docs/viewer.png) and the test screen (docs/test-screen.png), the full-screen ones at half size.
# Real input through xdotool, with pauses: Wine drops input that comes too soon after a move.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/wine_session.sh

build=$(realpath build)
trap 'wineserver -k 2>/dev/null; stop_display' EXIT
start_veltra_headless "$build"

# The window is centred at (316, 171): its list's first entries at y 500 and 510, its preview
# around (511, 347), its buttons 20 pixels apart from (578, 195).
# The About box lies at (351, 226), 375 x 241, out over the window's right edge.
window_crop=400x440+306+161
about_crop=430x440+306+161
shot() {  # shot FILE [CROP | half]
    local raw=$build/screenshot-raw.png
    import -display "$DISPLAY" -window root "$raw"
    case ${2:-} in
        half) convert "$raw" -resize 50% "$1" ;;
        "") cp "$raw" "$1" ;;
        *) convert "$raw" -crop "$2" "$1" ;;
    esac
    echo "$1"
}
double_click() { xdotool mousemove "$1" "$2" sleep 0.5 click --repeat 2 --delay 80 1 sleep 0.5 mousemove 1000 20; }
# The first click after a modal view has closed only activates the window; a second one on the
# same button cannot reach the view it opened, which ignores single clicks.
press_button() { xdotool mousemove $((578 + 20 * $1)) 195 sleep 0.5 click 1 sleep 1 click 1 sleep 0.5 mousemove 1000 20; }

double_click 380 500
sleep 2
shot docs/screenshot.png "$window_crop"

double_click 380 510
sleep 1
double_click 511 347
sleep 2
shot docs/viewer.png half
xdotool key Escape
sleep 1

press_button 2
sleep 2
shot docs/test-screen.png half
double_click 500 300
sleep 1

press_button 3
sleep 2
shot docs/about.png "$about_crop"

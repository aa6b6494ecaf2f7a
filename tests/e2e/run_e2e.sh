#!/usr/bin/env bash
# Runs the end-to-end tests under Wine on private Xvfb displays: everything on a 1024 x 768
# screen, then the screen-size dependent cases again on 1280 x 1024, on 800 x 600 and on a
# 2560 x 1600 screen set to 192 DPI. One fresh Wine prefix for the whole run. Ends with one summary line: "e2e: N passed, M failed".
set -uo pipefail
cd "$(dirname "$0")/../.."
source tools/wine_session.sh
# Wine names files on disk in the encoding of its Unix locale, which it takes from the runner
# (not from a child's environment): without UTF-8 it cannot store a name such as café.jpg at all.
export LC_ALL=C.UTF-8

build=$(realpath "${1:-build}")
work=${E2E_WORK:-$build/e2e}
tests_exe=$build/win-$WINE_TARGET/tests/e2e/veltra_e2e.exe
mkdir -p "$work"
rm -f "$work"/*.log

cleanup() {
    wineserver -k 2>/dev/null
    stop_display
}
trap cleanup EXIT

tests/e2e/make_e2e_data.sh "$work/data" "$build/native/veltra-big-picture" || exit 1

# Companion sounds land in a file instead of a sound card, so the tests can check what played.
cat > "$work/asound.conf" <<CONF
pcm.!default { type file slave.pcm "null" file "| cat >> $work/audio.raw" format "raw" }
CONF
export ALSA_CONFIG_PATH=/usr/share/alsa/alsa.conf:$work/asound.conf

start_display 1024x768 || exit 1
echo "Making a Wine prefix..."
make_wine_prefix "$work/prefix"
export VELTRA_EXE=$(windows_path "$build/win-$WINE_TARGET/veltra.exe")
export VELTRA_E2E_DATA=$(windows_path "$work/data")
export VELTRA_AUDIO_RAW=$(windows_path "$work/audio.raw")
export VELTRA_FIXTURE_ROOT='C:\veltra-fixtures'

run_suite() {
    local log=$1
    shift
    # Bounded, so that a hang can never hold up the run for good.
    timeout -k 10 1800 "$WINE" "$tests_exe" --gtest_color=no "$@" 2>&1 | tr -d '\r' | tee "$log"
}

# new_display WIDTHxHEIGHT: a fresh X screen of that size; the prefix and its settings stay.
new_display() {
    wineserver -k
    wineserver -w
    stop_display
    start_display "$1" || exit 1
}

filter=(--gtest_filter='-ScaledDisplay*:SmallScreen*')
[ -n "${E2E_FILTER:-}" ] && filter=(--gtest_filter="$E2E_FILTER")
run_suite "$work/screen-1024.log" "${filter[@]}"

if [ -z "${E2E_FILTER:-}" ]; then
    # The exe as released (VELTRA_RELEASED_EXE, unpacked from its zip by tools/check_dist.sh):
    # it starts, shows its skin and carries its version and manifest.
    if [ -n "${VELTRA_RELEASED_EXE:-}" ]; then
        VELTRA_EXE=$(windows_path "$VELTRA_RELEASED_EXE") run_suite "$work/released-exe.log" \
            --gtest_filter='Release*:Startup.WindowIsCentred*:Skin.WindowShowsTheSkin*'
    fi

    new_display 1280x1024
    run_suite "$work/screen-1280.log" --gtest_filter='TestScreen*'

    new_display 800x600
    run_suite "$work/screen-800.log" --gtest_filter='SmallScreen*'

    # A display scaled to 200 %: 192 DPI on a large screen. Wine reads the setting at a process's start.
    new_display 2560x1600
    "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 192 /f >/dev/null 2>&1
    wineserver -w
    run_suite "$work/scaled-192dpi.log" --gtest_filter='ScaledDisplay*:TestScreen.BarsFill*:TestScreen.OnlyALeft*'
fi

read -r passed failed < <(gtest_tally "$work"/*.log)
echo "e2e: $passed passed, $failed failed"
[ "$failed" -eq 0 ]

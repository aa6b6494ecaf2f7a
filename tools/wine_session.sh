# Sourced by the scripts that run VELTRA under Wine: a private Xvfb display and a Wine prefix.
# Defines start_display, stop_display, make_wine_prefix, windows_path, gtest_tally and
# start_veltra_headless; and, from wine_target.sh, WINE_TARGET and WINE.

source "$(dirname "${BASH_SOURCE[0]}")/wine_target.sh"

export WINEDEBUG=-all
# No Mono or Gecko installer prompts in a fresh prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="

XVFB_PID=""

# start_display WIDTHxHEIGHT: starts Xvfb on the first free display number and exports DISPLAY.
start_display() {
    local size=$1 number
    for number in $(seq 90 140); do
        [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] && continue
        Xvfb ":$number" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        local waited=0
        while [ ! -e "/tmp/.X11-unix/X$number" ] && [ $waited -lt 100 ]; do
            sleep 0.1
            waited=$((waited + 1))
        done
        if kill -0 "$XVFB_PID" 2>/dev/null && [ -e "/tmp/.X11-unix/X$number" ]; then
            export DISPLAY=":$number"
            return 0
        fi
    done
    echo "no free X display" >&2
    return 1
}

stop_display() {
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
    return 0
}

# make_wine_prefix DIR: a fresh prefix, set up for a display without a window manager.
make_wine_prefix() {
    export WINEPREFIX=$1
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    "$WINE" wineboot -i >/dev/null 2>&1
    # Without a window manager Wine waits ~2 s on every dialog close unless it manages the windows itself.
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    # A crash prints its backtrace instead of waiting for someone to close a dialog.
    "$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wineserver -w
}

# windows_path UNIXPATH: the same place as Wine's programs see it.
windows_path() {
    "$WINE" winepath -w "$1" 2>/dev/null
}

# gtest_tally LOG...: "PASSED FAILED", the tests GoogleTest counted over its logs; a log without
# its closing count is a run that did not finish, and counts as one failed.
gtest_tally() {
    local log p f passed=0 failed=0
    for log in "$@"; do
        p=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) test.*/\1/p' "$log" | tail -n 1)
        f=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) test.*/\1/p' "$log" | tail -n 1)
        [ -z "$p" ] && [ -z "$f" ] && f=1
        passed=$((passed + ${p:-0}))
        failed=$((failed + ${f:-0}))
    done
    echo "$passed $failed"
}

# start_veltra_headless BUILD: VELTRA on the sample folder BUILD/samples (made if need be), on a
# private 1024 x 768 Xvfb and in the prefix BUILD/wine-run; returns once its window shows. The
# caller ends both (wineserver -k, stop_display).
start_veltra_headless() {
    local build=$1
    tools/make_samples.sh "$build/samples"
    start_display 1024x768 || return 1
    [ -d "$build/wine-run" ] || { echo "Making a Wine prefix..."; make_wine_prefix "$build/wine-run"; }
    export WINEPREFIX=$build/wine-run
    (cd "$build/samples" && "$WINE" "$build/win-$WINE_TARGET/veltra.exe" >/dev/null 2>&1 &)
    for _ in $(seq 100); do
        xdotool search --name '^VELTRA$' >/dev/null 2>&1 && break
        sleep 0.1
    done
    sleep 1
}

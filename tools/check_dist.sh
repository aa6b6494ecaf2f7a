#!/usr/bin/env bash
# Checks the release zips: a second build of the program from the same sources, in another folder
# (with the same static libraries, built once per tree), gives byte-identical zips; the exes'
# PE headers carry no link time; the zip of the build Wine runs here (win32, or win64 where the
# machine runs no 32-bit code) unpacks to BUILD/dist/unpacked, where the end-to-end run starts
# its exe under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/wine_target.sh
unpacked_zip=-win32.zip
[ "$WINE_TARGET" = x86_64 ] && unpacked_zip=-win64.zip
build=$(realpath "${1:-build}")
again=$build/dist-again

tools/dist.sh "$build"
rm -rf "$again"
for target in i686 x86_64; do
    cmake -S . -B "$again/win-$target" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-$target.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DVELTRA_ARTWORK_TOOL="$build/native/tools/artwork/veltra-artwork" \
        -DVELTRA_BUILD_TESTS=OFF -DVELTRA_THIRD_PARTY_DIR="$build/third_party" >/dev/null
    cmake --build "$again/win-$target" -j 2 --target veltra >/dev/null
done
tools/dist.sh "$again" "$again/dist" >/dev/null

status=0
for zip in "$build"/dist/*.zip; do
    if cmp -s "$zip" "$again/dist/${zip##*/}"; then
        echo "dist: ${zip##*/} is the same on a second build"
    else
        echo "dist: ${zip##*/} differs on a second build" >&2
        status=1
    fi
done

rm -rf "$build/dist/unpacked"
python3 - "$build/dist/unpacked" "$unpacked_zip" "$build"/dist/*.zip <<'PY' || status=1
import struct, sys, zipfile
target, unpacked, *archives = sys.argv[1:]
for archive in archives:
    with zipfile.ZipFile(archive) as source:
        names = sorted(name.split("/", 1)[1] for name in source.namelist())
        if names != ["LICENSE", "README.md", "THIRD-PARTY.md", "veltra.exe"]:
            sys.exit(f"dist: {archive} holds {names}")
        exe = next(name for name in source.namelist() if name.endswith("veltra.exe"))
        image = source.read(exe)
        header = struct.unpack_from("<I", image, 0x3C)[0]
        stamp = struct.unpack_from("<I", image, header + 8)[0]
        if image[header:header + 4] != b"PE\0\0" or stamp != 0:
            sys.exit(f"dist: {exe} in {archive} carries the link time {stamp}")
        if archive.endswith(unpacked):
            source.extractall(target)
print(f"dist: every exe has a zero PE time stamp; the {unpacked[1:]} unpacked")
PY
exit $status

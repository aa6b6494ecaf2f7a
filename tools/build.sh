#!/usr/bin/env bash
# Builds everything into build/: the native tools and unit tests, the 32-bit program with its
# end-to-end tests and benchmarks, and a 64-bit build of the program to keep the code 64-bit clean.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
build=build

cmake -S . -B "$build/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build/native" -j "$jobs"
artwork_tool=$(realpath "$build")/native/tools/artwork/veltra-artwork

source tools/wine_target.sh
targets="i686 x86_64"
# SKIP_WIN64=1 for quicker inner loops; the test run always builds both.
[ -n "${SKIP_WIN64:-}" ] && targets=i686
tools/third_party.sh $targets
for target in $targets; do
    # The tests and benchmarks are built for the 32-bit program, and for the 64-bit one too where
    # Wine can only run that.
    tests=OFF
    [ "$target" = i686 ] || [ "$target" = "$WINE_TARGET" ] && tests=ON
    cmake -S . -B "$build/win-$target" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-$target.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DVELTRA_ARTWORK_TOOL="$artwork_tool" -DVELTRA_BUILD_TESTS=$tests \
        -DVELTRA_THIRD_PARTY_DIR="$(realpath "$build")/third_party" >/dev/null
    cmake --build "$build/win-$target" -j "$jobs"
done
tools/check_imports.sh "$build/win-i686/veltra.exe"
tools/check_double_maths.sh "$build/win-i686"

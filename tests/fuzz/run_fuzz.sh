#!/usr/bin/env bash
# Builds the fuzz targets in a clang-built tree (CMake's VELTRA_FUZZ: libFuzzer with ASan and
# UBSan): the PCX, PSD, JPEG, BMP and TIFF decoders, the companion sound's header check, the
# picture orientation reader and the colour profiles. The JPEG, TIFF and colour targets link
# Debian's libjpeg-turbo (libjpeg62-turbo-dev), libtiff (libtiff-dev) and Little CMS
# (liblcms2-dev), the releases the program is built with; only the program's own code is
# instrumented. Seeds each with the committed corpus (the decoders also with the small decoder
# fixtures, the colour target with the small profiles Debian installs) and runs them side by
# side for SECONDS.
# Findings land in FUZZ_TREE/artifacts; the script fails when there are any.
# Usage: run_fuzz.sh SECONDS [FUZZ_TREE]   (default FUZZ_TREE: build/fuzz)
# FUZZ_TARGETS picks some of "pcx psd jpeg bmp tiff wav orientation colour" (all by default), to give one target
# the machine.
set -euo pipefail

seconds=${1:?usage: run_fuzz.sh SECONDS [FUZZ_TREE]}
repo=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath -m "${2:-$repo/build/fuzz}")
read -r -a targets <<< "${FUZZ_TARGETS:-pcx psd jpeg bmp tiff wav orientation colour}"
clang=clang-14
command -v "$clang" > /dev/null || clang=clang

CC=$clang CXX=${clang/clang/clang++} cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DVELTRA_FUZZ=ON \
    > /dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]/%/_fuzz}"
rm -rf "$build/artifacts"
mkdir -p "$build/artifacts"

# Fixtures make good seeds, but only the small ones: a large input slows every execution.
fixtures="$build/fixtures"
if command -v convert > /dev/null; then
    "$repo/tests/fixtures/make_decoder_fixtures.sh" "$fixtures" > /dev/null
fi
for format in "${targets[@]}"; do
    corpus="$build/corpus-$format"
    mkdir -p "$corpus"
    cp "$repo/tests/fuzz/corpus/$format/"* "$corpus/"
    extension=$format
    [ "$format" = jpeg ] && extension=jpg
    [ "$format" = tiff ] && extension=tif
    find "$fixtures" -maxdepth 1 -name "*.$extension" -size -64k -exec cp {} "$corpus/" \; 2> /dev/null || true
    if [ "$format" = colour ]; then find /usr/share/color/icc -name "*.ic[cm]" -size -64k -exec cp {} "$corpus/" \;; fi
done

pids=()
for format in "${targets[@]}"; do
    "$build/tests/fuzz/${format}_fuzz" -max_total_time="$seconds" -max_len=65536 -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$build/artifacts/$format-" "$build/corpus-$format" > "$build/$format.log" 2>&1 &
    pids+=($!)
done
status=0
for pid in "${pids[@]}"; do
    wait "$pid" || status=1
done
for format in "${targets[@]}"; do
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/$format.log")
    echo "$format: ${runs:-?} executions in ${seconds} s, corpus $(find "$build/corpus-$format" -type f | wc -l) files"
done
findings=$(find "$build/artifacts" -type f | wc -l)
echo "findings: $findings (in $build/artifacts)"
if [ "$findings" -ne 0 ] || [ "$status" -ne 0 ]; then
    echo "run_fuzz: a fuzzer failed; see the logs in $build" >&2
    exit 1
fi

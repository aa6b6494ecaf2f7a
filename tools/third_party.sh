#!/usr/bin/env bash
# Fetches the libraries built into the program from Debian's source packages and builds each as a
# static library for each mingw target, into build/third_party/LIBRARY-TARGET. Nothing is fetched
# or built twice: a library whose build is there is left alone, so only a clean tree pays for it.
# The machine's apt configuration is not touched: apt runs with a sources list, state and cache
# of its own under build/, verifies the signed Sources index with Debian's archive keyring, and
# checks the downloaded files against it before dpkg-source unpacks them.
# To add a library: name it in `libraries` (after those it builds on) with the file its build
# leaves, and write its build_LIBRARY function; the fetch is the same for all. A library is built
# again whenever its build function changes.
# Usage: third_party.sh [TARGET...]   (default: i686 x86_64)
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
root=$repo/build/third_party
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(i686 x86_64)
keyring=/usr/share/keyrings/debian-archive-keyring.gpg

# Debian source package, in build order, and the file whose presence says it is built.
libraries=(libjpeg-turbo zlib tiff lcms2)
declare -A built_file=(
    [libjpeg-turbo]=lib/libjpeg.a
    [zlib]=lib/libz.a
    [tiff]=lib/libtiff.a
    [lcms2]=lib/liblcms2.a
)

# The first Debian archive the machine itself uses, as "URI SUITE".
debian_archive() {
    local file
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        awk 'BEGIN { RS = ""; FS = "\n" }
             /(^|\n)Types:[^\n]*deb/ {
                 uri = ""; suite = ""
                 for (i = 1; i <= NF; i++) {
                     if ($i ~ /^URIs:/) { split($i, f, /[ \t]+/); uri = f[2] }
                     if ($i ~ /^Suites:/) { split($i, f, /[ \t]+/); suite = f[2] }
                 }
                 if (uri != "" && suite !~ /-(security|updates|backports)$/) { print uri, suite; exit }
             }' "$file"
    done
    if [ -f /etc/apt/sources.list ]; then
        awk '$1 == "deb" { i = 2; if ($i ~ /^\[/) while ($i !~ /\]$/) i++; if ($i ~ /\]$/ && $2 ~ /^\[/) i++;
                           print $i, $(i + 1); exit }' /etc/apt/sources.list
    fi
}

# fetch_sources PACKAGE...: unpacks each source package into build/third_party/source.
fetch_sources() {
    local apt=$root/apt archive package
    archive=$(debian_archive | head -n 1)
    [ -n "$archive" ] || { echo "third_party: no Debian archive in the machine's apt sources" >&2; exit 1; }
    mkdir -p "$apt/state/lists/partial" "$apt/cache/archives/partial" "$root/source"
    echo "deb-src [signed-by=$keyring] ${archive% *} ${archive#* } main" > "$apt/sources.list"
    local options=(-o "Dir::Etc::SourceList=$apt/sources.list" -o Dir::Etc::SourceParts=-
                   -o "Dir::State=$apt/state" -o "Dir::Cache=$apt/cache" -o Dir::State::status=/var/lib/dpkg/status
                   -o APT::Sandbox::User=root -q)
    # apt's own lock files live in the private state folder; APT_LOCK lets several work trees
    # on one machine take turns with the network as well.
    flock "${APT_LOCK:-$apt/lock}" apt-get "${options[@]}" update > "$apt/update.log"
    for package in "$@"; do
        rm -rf "$root/source/$package"[-_]*
        (cd "$root/source" && flock "${APT_LOCK:-$apt/lock}" apt-get "${options[@]}" source "$package" \
            > "$apt/source-$package.log")
    done
}

source_dir() {
    find "$root/source" -mindepth 1 -maxdepth 1 -type d -name "$1-*" 2> /dev/null | head -n 1 || true
}

# cmake_build LIBRARY TARGET SOURCE CMAKE_TARGET [OPTIONS...]: configures and builds one target of
# a CMake project in build/third_party/LIBRARY-build-TARGET.
cmake_build() {
    local library=$1 target=$2 source=$3 goal=$4 work=$root/$1-build-$2
    shift 4
    rm -rf "$work"
    cmake -S "$source" -B "$work" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-$target.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$root/$library-$target" "$@" \
        > "$root/cmake-$library-$target.log"
    cmake --build "$work" -j "$(nproc)" --target "$goal" > "$root/build-$library-$target.log" 2>&1
}

# build_LIBRARY TARGET SOURCE PREFIX: each leaves include/ and lib/ under PREFIX.
build_libjpeg_turbo() {
    local work=$root/libjpeg-turbo-build-$1
    cmake_build libjpeg-turbo "$1" "$2" jpeg-static -DENABLE_SHARED=OFF -DWITH_TURBOJPEG=OFF -DREQUIRE_SIMD=ON
    cp "$2"/{jpeglib.h,jmorecfg.h,jerror.h} "$work/jconfig.h" "$3/include/"
    cp "$work/libjpeg.a" "$3/lib/"
}

# Only the compression library itself: no gzip file functions, nothing of its build system that
# would write into the source.
build_zlib() {
    local work=$root/zlib-build-$1 cc=$1-w64-mingw32-gcc-posix file
    rm -rf "$work"
    mkdir -p "$work"
    for file in adler32 compress crc32 deflate infback inffast inflate inftrees trees uncompr zutil; do
        "$cc" -O2 -c "$2/$file.c" -o "$work/$file.o"
    done
    "$1-w64-mingw32-ar" rcs "$3/lib/libz.a" "$work"/*.o
    cp "$2"/{zlib.h,zconf.h} "$3/include/"
}

# Deflate through zlib and JPEG through the program's libjpeg-turbo. Off: the codecs that need
# other libraries; those of film and HDR work and of 1980s machines (PixarLog, LogLuv,
# ThunderScan, NeXT) and the withdrawn old-style JPEG, which cost the exe more than they are worth;
# everything but the library. Built for size: the exe may grow by little.
build_tiff() {
    local work=$root/tiff-build-$1 zlib=$root/zlib-$1 jpeg=$root/libjpeg-turbo-$1
    cmake_build tiff "$1" "$2" tiff -DCMAKE_BUILD_TYPE=MinSizeRel -DBUILD_SHARED_LIBS=OFF \
        -Dtiff-tools=OFF -Dtiff-tests=OFF -Dtiff-contrib=OFF -Dtiff-docs=OFF -Dcxx=OFF \
        -Dlzma=OFF -Dzstd=OFF -Dwebp=OFF -Djbig=OFF -Dlerc=OFF -Dlibdeflate=OFF -Djpeg12=OFF \
        -Dpixarlog=OFF -Dlogluv=OFF -Dthunder=OFF -Dnext=OFF -Dold-jpeg=OFF \
        -Dzlib=ON -DZLIB_INCLUDE_DIR="$zlib/include" -DZLIB_LIBRARY="$zlib/lib/libz.a" \
        -Djpeg=ON -DJPEG_INCLUDE_DIR="$jpeg/include" -DJPEG_LIBRARY="$jpeg/lib/libjpeg.a"
    cp "$2"/libtiff/{tiff.h,tiffio.h,tiffvers.h} "$work"/libtiff/tiffconf.h "$3/include/"
    cp "$work/libtiff/libtiff.a" "$3/lib/"
}

# Only the library's own sources, compiled straight: its build system would write into the source.
# Built for size but for the files every converted pixel runs through (the packing of pixels,
# the optimised transforms and their interpolation), built for speed.
build_lcms2() {
    local work=$root/lcms2-build-$1 cc=$1-w64-mingw32-gcc-posix file name level
    rm -rf "$work"
    mkdir -p "$work"
    for file in "$2"/src/*.c; do
        name=$(basename "$file" .c)
        level=-Os
        case $name in cmsxform | cmsopt | cmsintrp | cmspack) level=-O2 ;; esac
        "$cc" "$level" -I "$2/include" -c "$file" -o "$work/$name.o"
    done
    "$1-w64-mingw32-ar" rcs "$3/lib/liblcms2.a" "$work"/*.o
    cp "$2"/include/{lcms2.h,lcms2_plugin.h} "$3/include/"
}

# How a library is built: a build made another way is made again.
recipe() {
    declare -f cmake_build "build_${1//-/_}" | sha256sum | cut -c 1-16
}

built() {
    [ -f "$root/$1-$2/${built_file[$1]}" ] && [ "$(cat "$root/$1-$2/recipe" 2> /dev/null)" = "$(recipe "$1")" ]
}

missing=()
for library in "${libraries[@]}"; do
    for target in "${targets[@]}"; do
        if ! built "$library" "$target"; then
            missing+=("$library")
            break
        fi
    done
done
[ ${#missing[@]} -eq 0 ] && exit 0
unfetched=()
for library in "${missing[@]}"; do
    [ -n "$(source_dir "$library")" ] || unfetched+=("$library")
done
[ ${#unfetched[@]} -eq 0 ] || fetch_sources "${unfetched[@]}"
for library in "${missing[@]}"; do
    for target in "${targets[@]}"; do
        prefix=$root/$library-$target
        built "$library" "$target" && continue
        echo "Building $library for $target"
        rm -rf "$prefix"
        mkdir -p "$prefix/include" "$prefix/lib"
        "build_${library//-/_}" "$target" "$(source_dir "$library")" "$prefix"
        recipe "$library" > "$prefix/recipe"
    done
done

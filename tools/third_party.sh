#!/usr/bin/env bash
# Fetches libjpeg-turbo's source from Debian's source package and builds it as a static library
# for each mingw target, into build/third_party/. Nothing is fetched or built twice: a target
# whose library is there is left alone, so only a clean tree pays for it.
# The machine's apt configuration is not touched: apt runs with a sources list, state and cache
# of its own under build/, verifies the signed Sources index with Debian's archive keyring, and
# checks the downloaded files against it before dpkg-source unpacks them.
# Usage: third_party.sh [TARGET...]   (default: i686 x86_64)
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
root=$repo/build/third_party
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(i686 x86_64)
keyring=/usr/share/keyrings/debian-archive-keyring.gpg

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

fetch_source() {
    local apt=$root/apt archive
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
    rm -rf "$root/source"/*
    (cd "$root/source" && flock "${APT_LOCK:-$apt/lock}" apt-get "${options[@]}" source libjpeg-turbo \
        > "$apt/source.log")
}

source_dir() {
    find "$root/source" -mindepth 1 -maxdepth 1 -type d -name 'libjpeg-turbo-*' 2> /dev/null | head -n 1 || true
}

build_target() {
    local target=$1 source=$2 work=$root/libjpeg-turbo-build-$target prefix=$root/libjpeg-turbo-$target
    [ -f "$prefix/lib/libjpeg.a" ] && return
    echo "Building libjpeg-turbo for $target"
    rm -rf "$work" "$prefix"
    cmake -S "$source" -B "$work" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-$target.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DENABLE_SHARED=OFF -DWITH_TURBOJPEG=OFF -DREQUIRE_SIMD=ON \
        -DCMAKE_INSTALL_PREFIX="$prefix" \
        > "$root/cmake-$target.log"
    cmake --build "$work" -j "$(nproc)" --target jpeg-static > "$root/build-$target.log"
    mkdir -p "$prefix/include" "$prefix/lib"
    cp "$source"/{jpeglib.h,jmorecfg.h,jerror.h} "$work/jconfig.h" "$prefix/include/"
    cp "$work/libjpeg.a" "$prefix/lib/"
}

missing=no
for target in "${targets[@]}"; do
    [ -f "$root/libjpeg-turbo-$target/lib/libjpeg.a" ] || missing=yes
done
[ $missing = no ] && exit 0
[ -n "$(source_dir)" ] || fetch_source
source=$(source_dir)
for target in "${targets[@]}"; do build_target "$target" "$source"; done

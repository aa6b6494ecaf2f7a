#!/usr/bin/env bash
# Installs what building, running and testing VELTRA need on Debian, and nothing that is
# already there. Safe to run any number of times.
set -euo pipefail

packages=(
    cmake make g++ googletest
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools
    wine wine32:i386 wine64
    xvfb x11-apps xdotool imagemagick sox espeak-ng libjpeg-turbo-progs openssl
    dpkg-dev nasm libjpeg62-turbo-dev libtiff-dev libtiff-tools python3 clang-format-14
    fonts-dejavu-core
)
[ "${1:-}" = "--fuzz" ] && packages+=(clang libclang-rt-14-dev)

sudo_if_needed() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    sudo_if_needed dpkg --add-architecture i386
fi
sudo_if_needed apt-get update -q
sudo_if_needed env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"

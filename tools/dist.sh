#!/usr/bin/env bash
# The release zips: DIST/veltra-<version>-win32.zip and -win64.zip, each one folder holding the
# exe, README, LICENSE and THIRD-PARTY.md. The same sources give the same bytes: the linker writes no
# time into the exe, and every archive entry gets a fixed date, mode and place.
# Usage: tools/dist.sh [BUILD [DIST]]; BUILD holds win-i686 and win-x86_64, DIST defaults to BUILD/dist.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
dist=${2:-$build/dist}
version=$(sed -n 's/^#define VELTRA_VERSION_TEXT "\(.*\)"$/\1/p' "$build/win-i686/generated/version.h")
[ -n "$version" ] || { echo "no version in $build/win-i686/generated/version.h" >&2; exit 1; }
mkdir -p "$dist"
staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT

for target in i686:win32 x86_64:win64; do
    name=veltra-$version-${target#*:}
    # The symbols stay in the build's exe, for the tests' backtraces; the release needs none.
    # strip writes the PE header anew, with the time of day unless SOURCE_DATE_EPOCH names one.
    SOURCE_DATE_EPOCH=0 "${target%%:*}-w64-mingw32-strip" -o "$staging/veltra.exe" "$build/win-${target%%:*}/veltra.exe"
    python3 - "$dist/$name.zip" "$name" "$staging/veltra.exe" README.md LICENSE THIRD-PARTY.md <<'PY'
import sys, zipfile
archive, folder, *files = sys.argv[1:]
with zipfile.ZipFile(archive, "w") as out:
    for path in files:
        entry = zipfile.ZipInfo(folder + "/" + path.rsplit("/", 1)[-1], date_time=(1980, 1, 1, 0, 0, 0))
        entry.create_system = 3  # Unix, so the mode below is what unpacks
        entry.external_attr = (0o100755 if path.endswith(".exe") else 0o100644) << 16
        entry.compress_type = zipfile.ZIP_DEFLATED
        with open(path, "rb") as source:
            out.writestr(entry, source.read(), compresslevel=9)
PY
    echo "$dist/$name.zip: $(stat -c %s "$dist/$name.zip") bytes"
done

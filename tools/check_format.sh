#!/usr/bin/env bash
# Fails when a C++ file of the project is not as .clang-format lays it out. Debian 12's
# clang-format 14 is the one every machine gets from tools/setup.sh: another version lays some
# constructs out differently, so the check names it. `--fix` rewrites the files instead.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = --fix ]; then
    clang-format-14 -i "${files[@]}"
    exit 0
fi
if ! clang-format-14 --dry-run --Werror "${files[@]}"; then
    echo "check_format: the files above are not formatted; tools/check_format.sh --fix formats them" >&2
    exit 1
fi
echo "check_format: ${#files[@]} files formatted"

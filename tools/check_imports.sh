#!/usr/bin/env bash
# The program ships as one static exe: it may import only DLLs that every Windows has.
set -euo pipefail
allowed='^(KERNEL32|USER32|GDI32|gdiplus|WINMM|COMCTL32|SHELL32|SHLWAPI|ole32|msvcrt|ADVAPI32)\.dll$'
imports=$(i686-w64-mingw32-objdump -p "$1" | awk '/DLL Name:/ {print $3}')
bad=$(printf '%s\n' "$imports" | grep -v -i -E "$allowed" || true)
if [ -n "$bad" ]; then
    echo "$1 imports non-system DLLs: $bad" >&2
    exit 1
fi

#!/usr/bin/env bash
# Fails when any object file of the 32-bit build (the program's, its tests' and its benchmarks')
# does arithmetic on the x87 unit, whose extended precision would work sizes out otherwise than
# the 64-bit build does. Loads, stores and conversions into it are exact and allowed: a double is
# returned through it, and an int64 becomes a double there.
# Usage: check_double_maths.sh BUILD_TREE   (e.g. build/win-i686)
set -euo pipefail
tree=${1:?usage: check_double_maths.sh BUILD_TREE}
objdump=i686-w64-mingw32-objdump

objects=$(find "$tree" -name '*.obj' -not -path '*/googletest/*')
[ -n "$objects" ] || { echo "check_double_maths: no object files under $tree" >&2; exit 1; }
found=$(for object in $objects; do
    "$objdump" -d --no-show-raw-insn "$object" |
        awk -v object="${object#"$tree"/}" '
            /^[0-9a-f]+ <.*>:$/ { symbol = substr($2, 2, length($2) - 3) }
            $2 ~ /^f(i?(add|sub|subr|mul|div|divr)|sqrt|prem1?|scale|rndint|xtract|2xm1|yl2x(p1)?|ptan|patan|sin|cos|sincos)[pslqt]*$/ {
                print "  " object ", " symbol ": " $2
            }'
done | sort -u)
if [ -n "$found" ]; then
    echo "check_double_maths: x87 arithmetic in the 32-bit build (is -mfpmath=sse missing?):" >&2
    echo "$found" >&2
    exit 1
fi
echo "check_double_maths: $(wc -w <<< "$objects") object files do their floating point in SSE2"

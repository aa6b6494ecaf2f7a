# Sourced: WINE_TARGET, the Windows build that Wine runs on this machine, and WINE, the loader
# that runs it. The program ships 32-bit and is tested 32-bit wherever the machine runs 32-bit
# code; some virtual machines' kernels run none at all ("Exec format error" from Wine's 32-bit
# loader), and there the 64-bit build of the same sources is what Wine runs.
WINE_TARGET=i686
WINE=wine
if ! /usr/lib/wine/wine --version >/dev/null 2>&1 && [ -x /usr/lib/wine/wine64 ]; then
    WINE_TARGET=x86_64
    WINE=/usr/lib/wine/wine64
    # A 64-bit prefix, and the loader Wine's own programs start their children with.
    export WINEARCH=win64 WINELOADER=$WINE
fi
# The words the summary lines use for the build under test.
if [ "$WINE_TARGET" = i686 ]; then WINE_BUILD_NAME=32-bit; else WINE_BUILD_NAME="64-bit (this machine runs no 32-bit code)"; fi

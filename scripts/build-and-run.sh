#!/bin/sh
# Builds Hostdeck and starts it under Wine. Uses $WINEPREFIX when set (Wine's default prefix
# otherwise). With no display it runs under Xvfb and saves a screenshot instead.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)
# The shipped program is the 32-bit build; a kernel without 32-bit support cannot run it
# under Wine, so there the 64-bit build of the same code runs instead.
if scripts/wine32-works.sh; then
    preset=win32
    loader=/usr/lib/wine/wine
else
    preset=win64
    loader=/usr/lib/wine/wine64
    echo "NOTE: $(scripts/wine32-works.sh --why); starting the 64-bit build instead."
fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target hostdeck -j "$jobs"
program="build/$preset/bin/hostdeck.exe"
export WINELOADER="$loader"
export WINEDEBUG="${WINEDEBUG:--all}"

prefix="${WINEPREFIX:-$HOME/.wine}"
if [ ! -f "$prefix/system.reg" ]; then
    echo "Creating the Wine prefix $prefix"
    "$loader" wineboot -i >/dev/null 2>&1
    wineserver -w
fi
scripts/wine-fonts.sh "$prefix"

if [ -n "${DISPLAY:-}" ]; then
    exec "$loader" "$program"
fi
shot="build/$preset/hostdeck-screenshot.png"
echo "No display: running under Xvfb and saving a screenshot to $shot"
scripts/screenshot.sh "$program" "$shot"

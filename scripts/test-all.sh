#!/bin/sh
# Builds the three presets and runs every test: natively, and the Windows builds under Wine
# with a virtual display.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)
for preset in native win32 win64; do
    cmake --preset "$preset" -DHOSTDECK_WERROR=ON
    cmake --build --preset "$preset" -j "$jobs"
done

ctest --preset native -j "$jobs"

# 32-bit Windows programs need Wine's 32-bit loader, which needs a kernel that runs 32-bit code.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    windows_presets="win64 win32"
else
    windows_presets="win64"
    echo "NOTE: the win32 tests were built but not run: this kernel cannot start 32-bit"
    echo "      programs (IA-32 emulation is off), so Wine cannot run 32-bit Windows programs here."
fi
for preset in $windows_presets; do
    xvfb-run -a -s "-screen 0 1280x1024x24" ctest --preset "$preset" -j "$jobs"
done

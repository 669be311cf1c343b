#!/bin/sh
# Prints how long the program takes to show its window with an empty list and with 32,767
# entries, and to close and save, under Wine on a virtual display. It runs in a Wine virtual
# desktop: without a window manager, Wine's X11 driver waits about two seconds for focus
# events whenever an active window goes away, which would swamp the figures.
set -eu
cd "$(dirname "$0")/.."
if scripts/wine32-works.sh; then preset=win32; else preset=win64; fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target startup_timing hostdeck -j "$(nproc 2>/dev/null || echo 2)" >/dev/null
results="build/$preset/startup-timing.txt"
rm -f "$results"
echo "preset $preset"
xvfb-run -a -s "-screen 0 1280x1024x24" "build/$preset/wine-run.sh" explorer /desktop=timing,1024x768 \
    "build/$preset/bin/startup_timing.exe" "$results"
cat "$results"

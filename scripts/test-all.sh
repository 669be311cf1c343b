#!/bin/sh
# Builds the three presets and runs every test: natively, the three portable fuzzers for a
# minute each, the Windows builds under Wine with a virtual display, and the window fuzzer for
# two minutes.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh

# HOSTDECK_WIN32_QEMU=1: the run of a machine whose kernel cannot run 32-bit programs, on any
# machine (as root). Wine's 32-bit loader is hidden in a mount namespace of the run's own, so the
# win32 tests are not run and the shipped exe runs under qemu instead, as CI does there.
if [ -n "${HOSTDECK_WIN32_QEMU:-}" ] && [ -z "${HOSTDECK_LOADER_HIDDEN:-}" ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "HOSTDECK_WIN32_QEMU=1 needs root: it hides Wine's 32-bit loader and registers qemu."
        exit 2
    fi
    export HOSTDECK_LOADER_HIDDEN=1
    exec unshare --mount --propagation private sh -c \
        'mount --bind /dev/null /usr/lib/wine/wine && exec scripts/test-all.sh'
fi

jobs=$(nproc 2>/dev/null || echo 2)
for preset in native win32 win64; do
    cmake --preset "$preset"
    cmake --build --preset "$preset" -j "$jobs"
done

ctest --preset native -j "$jobs"

# The fuzzers, for a bounded time each: the list file's, whole list sessions', and the readers
# of what comes from outside the window.
scripts/fuzz.sh listfile 60
scripts/fuzz.sh session 60
scripts/fuzz.sh input 60

smoke32=""
if scripts/wine32-works.sh; then
    windows_presets="win64 win32"
else
    windows_presets="win64"
    echo "NOTE: the win32 tests were built but not run: $(scripts/wine32-works.sh --why)." | fold -s -w 96
    # What needs no Wine: how the shipped exe is built.
    cmake -DOBJDUMP=i686-w64-mingw32-objdump -DEXE=build/win32/bin/hostdeck.exe \
          -P cmake/CheckExe.cmake
    python3 tools/check_imports.py i686-w64-mingw32-objdump build/win32/bin/hostdeck.exe \
            cmake/windows7-imports.txt
    # In CI, or when asked, the shipped exe still runs once, under emulation (as root: it
    # registers qemu for 32-bit programs for that run only).
    if [ "${CI:-}" = true ] || [ -n "${HOSTDECK_WIN32_QEMU:-}" ]; then
        smoke32=yes
    else
        echo "      HOSTDECK_WIN32_QEMU=1 runs the 32-bit program once under qemu (as root)."
    fi
fi
status=0
for preset in $windows_presets; do
    # One Wine server for the whole run, started on the run's own display: faster than one
    # per test program, and no test program can meet a server that is just shutting down.
    xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
        prefix="$PWD/build/$1/wineprefix"
        # Creates the prefix and starts the Wine background programs with their output going
        # nowhere: started by a test program instead, they would keep its output open and
        # ctest would wait for them until the test timed out.
        "build/$1/wine-run.sh" cmd /c exit >/dev/null 2>&1 || true
        WINEPREFIX="$prefix" wineserver -p
        ctest --preset "$1" -j "$2"
        result=$?
        WINEPREFIX="$prefix" wineserver -k
        exit $result' windows-tests "$preset" "$jobs" || status=$?
done
if [ -n "$smoke32" ]; then
    scripts/win32-smoke.sh || status=$?
fi
# The real window, given random user input for two minutes (its seeds are replayed above).
scripts/fuzz.sh window 120 || status=$?
exit "$status"

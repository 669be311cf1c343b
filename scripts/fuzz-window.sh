#!/bin/sh
# The window fuzzer (scripts/fuzz.sh window): builds the 64-bit program, the stand-in game and
# the driver, and runs the driver under Wine in a prefix of its own, on a virtual display of its
# own. Given seconds, it mutates the seeds of fuzz/window-corpus for that long; new inputs go to
# build/win64/window-corpus, and a failure is shrunk and saved as
# build/win64/window-failure-<kind>-<hash>, then replayed with a trace. Given a file (or a
# folder), it replays it with a trace of each step.
#   scripts/fuzz.sh window 1800
#   scripts/fuzz.sh window build/win64/window-failure-hang-0123456789abcdef
set -eu
cd "$(dirname "$0")/.."
arg="${1:-60}"
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j "$(nproc 2>/dev/null || echo 2)" --target window_fuzzer
mkdir -p build/win64/window-corpus
export WINEPREFIX="$PWD/build/win64/window-fuzz-prefix"
export WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
export WINELOADER=/usr/lib/wine/wine64
[ -x "$WINELOADER" ] || WINELOADER=wine
scripts/wine-prefix.sh "$WINEPREFIX" "$WINELOADER"
inwine() { printf 'Z:%s' "$(realpath "$1")" | tr / '\\'; }
if [ -e "$arg" ]; then
    set -- --replay "$(inwine "$arg")"
else
    set -- --seconds "$arg" --corpus "$(inwine build/win64/window-corpus)"
fi
exec xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
    "$WINELOADER" cmd /c exit >/dev/null 2>&1 || true
    wineserver -p
    "$WINELOADER" build/win64/bin/window_fuzzer.exe "$@"
    result=$?
    wineserver -k
    exit $result' window-fuzzer --source "$(inwine .)" "$@"

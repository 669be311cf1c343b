#!/bin/sh
# Usage: wine-prefix.sh PREFIX LOADER
# Makes a Wine prefix for the tests once (never the user's own): Wine's own fonts, and no window
# manager. Several test programs may ask at once; one makes it, the others wait.
set -eu
prefix="$1"
loader="$2"
[ -f "$prefix/.hostdeck-ready-3" ] && exit 0
mkdir -p "$prefix"
(
    flock 9
    if [ ! -f "$prefix/.hostdeck-ready-3" ]; then
        export WINEPREFIX="$prefix" WINEARCH=win64
        "$loader" wineboot -i >/dev/null 2>&1 || true
        wineserver -w
        # Wine's own fonts, so that windows look and measure as on Windows.
        "$(dirname "$0")/wine-fonts.sh" "$prefix"
        # No window manager runs on the test display: Wine then need not wait up to two seconds
        # for one whenever a window such as a message box goes away.
        "$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
        wineserver -w
        touch "$prefix/.hostdeck-ready-3"
    fi
) 9>"$prefix.lock"

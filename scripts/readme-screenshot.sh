#!/bin/sh
# Makes docs/screenshot.png: the program with a sample list, in the tests' Wine prefix (which
# has Wine's own fonts, so it looks as on Windows).
set -eu
cd "$(dirname "$0")/.."
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target hostdeck
build/win64/wine-run.sh cmd /c exit >/dev/null 2>&1  # creates the prefix on first use
sample=$(mktemp -d)
trap 'rm -rf "$sample"' EXIT
cp build/win64/bin/hostdeck.exe build/win64/bin/howto.txt "$sample/"
printf 'Home#10.0.0.5#99\r\nClub night#club.example#2300\r\nLan party#192.168.1.2#47624\r\nBackup#10.0.0.6#99\r\n' \
    >"$sample/serverlist.ini"
mkdir -p docs
WINEPREFIX="$PWD/build/win64/wineprefix" scripts/screenshot.sh "$sample/hostdeck.exe" docs/screenshot.png

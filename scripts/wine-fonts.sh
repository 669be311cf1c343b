#!/bin/sh
# Usage: wine-fonts.sh PREFIX
# Puts Wine's own fonts into the prefix's Fonts folder where they are missing. Debian's Wine
# does not find them where they are installed; without them windows lose the symbols of
# their caption buttons (Marlett) and MS Sans Serif, the face Hostdeck's layout was
# measured for.
set -eu
fonts="$1/drive_c/windows/Fonts"
mkdir -p "$fonts"
for font in /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon; do
    [ -e "$font" ] || continue
    [ -e "$fonts/$(basename "$font")" ] || cp "$font" "$fonts/"
done

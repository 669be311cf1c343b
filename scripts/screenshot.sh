#!/bin/sh
# Usage: screenshot.sh PROGRAM.exe OUTPUT.png
# Starts the program under Wine in a virtual desktop on a virtual display of its own,
# photographs it with its window frame, then ends it. The list file is not touched.
set -eu
if [ "${1:-}" != "--on-display" ]; then
    exec xvfb-run -a -s "-screen 0 620x360x24" "$0" --on-display "$@"
fi
program=$(realpath "$2")
output=$(realpath -m "$3")
loader="${WINELOADER:-/usr/lib/wine/wine64}"
export WINEDEBUG="${WINEDEBUG:--all}"

"$loader" explorer /desktop=Hostdeck,620x360 "$program" &
for _ in $(seq 1 40); do
    sleep 0.5
    xwininfo -root -tree 2>/dev/null | grep -q 'Wine desktop' && break
done
sleep 4
import -window root "$output"
wineserver -k || true
echo "Saved $output"

#!/bin/sh
# Exits 0 when this machine can run 32-bit Windows programs under Wine. Wine's 32-bit loader
# needs its package (wine32:i386) and a kernel that runs 32-bit code.
# With --why, where it cannot, says which of the two is missing.
loader=/usr/lib/wine/wine
"$loader" --version >/dev/null 2>&1 && exit 0
if [ "${1:-}" = --why ]; then
    if [ ! -e "$loader" ]; then
        echo "Wine's 32-bit half (package wine32:i386) is not installed, so Wine cannot run" \
             "32-bit programs here (scripts/install-deps.sh said why)"
    elif [ -n "${HOSTDECK_LOADER_HIDDEN:-}" ]; then
        echo "Wine's 32-bit loader is hidden for this run (HOSTDECK_WIN32_QEMU=1), as on a" \
             "kernel that cannot run 32-bit code"
    else
        echo "this kernel cannot start 32-bit programs (IA-32 emulation is off), so Wine" \
             "cannot run 32-bit Windows programs here"
    fi
fi
exit 1

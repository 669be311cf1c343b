#!/bin/sh
# Exits 0 when this machine can run 32-bit Windows programs under Wine. Wine's 32-bit loader
# needs a kernel that runs 32-bit code; where IA-32 emulation is off it cannot start.
/usr/lib/wine/wine --version >/dev/null 2>&1

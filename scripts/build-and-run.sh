#!/bin/sh
# Builds the shipped 32-bit program.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset win32
cmake --build --preset win32 -j "$(nproc 2>/dev/null || echo 2)"
echo "Built build/win32/bin/"

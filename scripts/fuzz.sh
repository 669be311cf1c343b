#!/bin/sh
# Builds the list file fuzzer and runs it for a bounded time (seconds, default 60), starting
# from the seed files in fuzz/corpus. New inputs it finds go to build/fuzz/corpus;
# a failing input is saved as build/fuzz/crash-*.
set -eu
cd "$(dirname "$0")/.."
seconds="${1:-60}"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc 2>/dev/null || echo 2)"
mkdir -p build/fuzz/corpus
cd build/fuzz
exec bin/listfile_fuzzer -max_total_time="$seconds" -max_len=4096 -timeout=10 \
    -print_final_stats=1 corpus ../../fuzz/corpus

#!/bin/sh
# Builds the fuzzers and runs one of them: "listfile" (the list file's load and save),
# "session" (whole list sessions), "input" (the command line, a paste, a shortcut's name) or
# "window" (the real program under Wine, given random user input: see fuzz/window), for
# a bounded time (seconds, default 60), starting from its seed files in fuzz/<name>-corpus. New inputs it finds go to build/fuzz/<name>-corpus; a
# failing input is saved as build/fuzz/crash-*. Given a file instead of seconds, it replays that
# one input and prints what it does.
#   scripts/fuzz.sh session 1800
#   scripts/fuzz.sh session build/fuzz/crash-...
set -eu
cd "$(dirname "$0")/.."
name="${1:-listfile}"
arg="${2:-60}"
case "$name" in
    listfile) max_len=4096 ;;
    session) max_len=512 ;;
    input) max_len=512 ;;
    window) exec scripts/fuzz-window.sh "$arg" ;;
    *) echo "usage: scripts/fuzz.sh [listfile|session|input|window] [SECONDS|INPUT]" >&2; exit 2 ;;
esac
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc 2>/dev/null || echo 2)"
fuzzer="$PWD/build/fuzz/bin/${name}_fuzzer"
if [ -f "$arg" ]; then
    exec env HOSTDECK_FUZZ_TRACE=1 "$fuzzer" "$arg"
fi
mkdir -p "build/fuzz/$name-corpus"
cd build/fuzz
# A fuzzer's dictionary, where it has one: pieces its inputs are made of.
dict=""
if [ -f "../../fuzz/$name.dict" ]; then dict="-dict=../../fuzz/$name.dict"; fi
exec "$fuzzer" -max_total_time="$arg" -max_len="$max_len" -timeout=10 -print_final_stats=1 \
    $dict "$name-corpus" "../../fuzz/$name-corpus"

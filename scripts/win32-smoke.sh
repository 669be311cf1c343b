#!/bin/sh
# Runs the shipped 32-bit hostdeck.exe once where this kernel cannot run 32-bit code: under
# qemu-user-static, driven by the real-program test of the 64-bit build (it starts the program
# with a list beside it, gives it real keys, checks the game's command line from the 32-bit
# registry view, and that it ends with the Windows session, leaving an unchanged list unwritten). qemu is registered for 32-bit x86 programs
# (binfmt_misc) only for this run and removed again however the run ends. Needs root and
# the win64 build; says why and does nothing otherwise.
set -eu
cd "$(dirname "$0")/.."
entry=/proc/sys/fs/binfmt_misc/hostdeck-qemu-i386
note() {
    echo "NOTE: the 32-bit program was not run: $*"
    exit 0
}
[ "$(id -u)" -eq 0 ] || note "registering qemu for 32-bit programs needs root."
if [ ! -x /usr/bin/qemu-i386-static ]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
        qemu-user-static >/dev/null || note "qemu-user-static could not be installed."
fi
# The prefix is made by the 64-bit loader, before qemu makes every 32-bit check say yes.
build/win64/wine-run.sh cmd /c exit >/dev/null 2>&1 || true
WINEPREFIX="$PWD/build/win64/wineprefix" wineserver -k 2>/dev/null || true
if [ ! -e /proc/sys/fs/binfmt_misc/register ]; then
    mount binfmt_misc -t binfmt_misc /proc/sys/fs/binfmt_misc 2>/dev/null ||
        note "binfmt_misc cannot be mounted here."
fi
[ -e "$entry" ] && echo -1 >"$entry"  # left by a run that was killed
trap 'if [ -e "$entry" ]; then echo -1 >"$entry"; fi' EXIT
trap 'exit 130' INT TERM
printf '%s' ':hostdeck-qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
    >/proc/sys/fs/binfmt_misc/register 2>/dev/null || note "registering qemu was refused."

export WINEPREFIX="$PWD/build/win64/wineprefix"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;rundll32.exe=n,b"
export HOSTDECK_APP_EXE="Z:$(printf '%s' "$PWD/build/win32/bin/hostdeck.exe" | tr / '\\')"
export HOSTDECK_WAIT_SCALE=8  # each 32-bit process start takes about a minute under qemu
started=$(date +%s)
# One run: 0 when the test passed; 3 when the virtual display, 4 when Wine did not start (causes
# of the machine, not of the program); otherwise the test's own status. Each says what failed.
run_once() {
    log=$(mktemp)
    marker=$(mktemp -u)
    result=0
    xvfb-run -a -e "$log" -s "-screen 0 1280x1024x24" sh -c '
        touch "$1"
        if ! xdpyinfo >/dev/null 2>&1; then
            echo "The virtual display does not answer."
            exit 3
        fi
        if ! timeout 600 /usr/lib/wine/wine64 cmd /c exit >/dev/null 2>&1; then
            echo "Wine does not start: \"wine64 cmd /c exit\" failed."
            wineserver -k 2>/dev/null
            exit 4
        fi
        timeout 1500 /usr/lib/wine/wine64 build/win64/bin/app_tests.exe \
            --gtest_filter=HostdeckAppTest.StartsTheGameFromRealInputAndEndsWithWindows
        result=$?
        [ "$result" -eq 124 ] && echo "The 32-bit program test did not end within 25 minutes."
        [ "$result" -ne 0 ] && echo "The 32-bit program test failed with status $result."
        wineserver -k 2>/dev/null
        exit $result' smoke "$marker" || result=$?
    if [ ! -e "$marker" ]; then
        echo "The virtual display did not start (xvfb-run status $result). Its log:"
        cat "$log"
        result=3
    elif [ "$result" -eq 3 ]; then
        echo "The virtual display's log:"
        cat "$log"
    fi
    rm -f "$log" "$marker"
    return "$result"
}
status=0
run_once || status=$?
if [ "$status" -eq 3 ] || [ "$status" -eq 4 ]; then
    echo "The machine, not the program, failed: trying once more."
    status=0
    run_once || status=$?
fi
echo "32-bit program under qemu: $(($(date +%s) - started)) s, status $status"
exit "$status"

#!/bin/sh
# Runs the shipped 32-bit hostdeck.exe once under qemu-user-static, driven by the real-program
# test of the 64-bit build: it starts the program with a list beside it, gives it real keys,
# checks the game's command line from the 32-bit registry view, and that it ends with the Windows
# session, leaving an unchanged list unwritten. For machines whose kernel cannot run 32-bit code,
# and for any machine through `HOSTDECK_WIN32_QEMU=1 scripts/test-all.sh`.
#
# qemu is registered for 32-bit x86 programs (binfmt_misc, asked before the kernel's own loader)
# only for this run and removed again however the run ends. The run has a Wine prefix of its
# own, made while qemu is registered: a prefix made where 32-bit programs cannot start lacks its
# 32-bit half, and every 32-bit program fails in it. Needs root and the win32 and win64 builds;
# without root it says why and does nothing.
set -eu
cd "$(dirname "$0")/.."
entry=/proc/sys/fs/binfmt_misc/hostdeck-qemu-i386
prefix="$PWD/build/win32/qemu-wineprefix"
kernel32="$prefix/drive_c/windows/syswow64/kernel32.dll"
loader32=/usr/lib/wine/wine
note() {
    echo "NOTE: the 32-bit program was not run: $*"
    exit 0
}
fail() {
    echo "FAILED: the 32-bit program could not be run: $*"
    exit 5
}
[ "$(id -u)" -eq 0 ] || note "registering qemu for 32-bit programs needs root."
for built in build/win32/bin/hostdeck.exe build/win64/bin/app_tests.exe; do
    [ -f "$built" ] || fail "$built is missing: build the win32 and win64 presets first."
done
# Installed by scripts/install-deps.sh unless the 32-bit packages could not be had that day.
[ -e "$loader32" ] || note "Wine's 32-bit half (package wine32:i386) is not installed."
if [ ! -x /usr/bin/qemu-i386-static ]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
        qemu-user-static >/dev/null || note "qemu-user-static could not be installed."
fi
# Where the test run hid Wine's 32-bit loader to stand for a machine that cannot run 32-bit code
# (in a mount namespace of its own), qemu needs to read it.
if grep -q " $loader32 " /proc/self/mountinfo; then
    umount "$loader32"
fi
if [ ! -e /proc/sys/fs/binfmt_misc/register ]; then
    mount binfmt_misc -t binfmt_misc /proc/sys/fs/binfmt_misc 2>/dev/null ||
        note "binfmt_misc cannot be mounted here."
fi
[ -e "$entry" ] && echo -1 >"$entry"  # left by a run that was killed
trap 'if [ -e "$entry" ]; then echo -1 >"$entry"; fi' EXIT
trap 'exit 130' INT TERM
printf '%s' ':hostdeck-qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
    >/proc/sys/fs/binfmt_misc/register 2>/dev/null || note "registering qemu was refused."

export WINEPREFIX="$prefix"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;rundll32.exe=n,b"
started=$(date +%s)
# A prefix left without its 32-bit half (an earlier run where qemu failed) is made again.
if [ -f "$prefix/.hostdeck-ready-3" ] && [ ! -f "$kernel32" ]; then
    rm -rf "$prefix"
fi
if [ ! -f "$prefix/.hostdeck-ready-3" ]; then
    echo "Making the 32-bit program's Wine prefix under qemu (about three minutes)..."
    scripts/wine-prefix.sh "$prefix" /usr/lib/wine/wine64
    wineserver -k 2>/dev/null || true
    echo "Wine prefix: $(($(date +%s) - started)) s"
fi
[ -f "$kernel32" ] || fail "its Wine prefix $prefix has no 32-bit half \
(drive_c/windows/syswow64 holds no kernel32.dll), so no 32-bit program can start in it. \
Does /usr/bin/qemu-i386-static run $loader32?"

export HOSTDECK_APP_EXE="Z:$(printf '%s' "$PWD/build/win32/bin/hostdeck.exe" | tr / '\\')"
export HOSTDECK_WAIT_SCALE=8  # each 32-bit process start takes about a minute under qemu
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

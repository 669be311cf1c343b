#!/bin/sh
# Installs what building and testing Hostdeck needs on Debian or Ubuntu; skips what is there.
set -eu

packages="cmake make g++ python3 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
wine wine64 wine32:i386 fonts-wine xvfb xauth x11-utils googletest libbenchmark-dev
imagemagick clang libclang-rt-14-dev"

missing=""
for package in $packages; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing="$missing $package"
    fi
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi
# Where Wine's 32-bit half could not be installed lately, this machine's mirror serves a stale
# 32-bit index; that lasts hours, so for a day each run tries once and goes on instead of
# waiting minutes for retries that will fail too.
remembered=/var/tmp/hostdeck-wine32-failed
recent=""
if [ -n "$(find "$remembered" -mmin -1440 2>/dev/null)" ]; then
    recent=yes
    echo "NOTE: Wine's 32-bit half could not be installed at $(date -r "$remembered" '+%F %R');"
    echo "      trying once, without waiting for retries: $(cat "$remembered")"
fi
update_log=$(mktemp)
trap 'rm -f "$update_log"' EXIT
# A mirror being synced fails an index now and then: the update is tried again before going on.
retry() {
    waits="10 30 60 0"
    [ -n "$recent" ] && waits=0
    for wait in $waits; do
        updated=yes
        "$@" >"$update_log" 2>&1 || updated=""
        cat "$update_log"
        [ -n "$updated" ] && return 0
        [ "$wait" -eq 0 ] && return 1
        echo "Failed; trying again in $wait s: $*"
        sleep "$wait"
    done
}
# An index that still fails is left as it was: what the install needs may well be in the rest.
retry $sudo apt-get -o Acquire::Retries=3 update -q ||
    echo "Some package indexes could not be updated; installing from those that were."
# apt tries each package download again itself; a failure that remains is not one of timing.
install() {
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get -o Acquire::Retries=3 install -y -q \
        --no-install-recommends "$@"
}
# shellcheck disable=SC2086
if install $missing; then
    rm -f "$remembered"
    exit 0
fi
# Where the 32-bit packages cannot be had (their index failed, so their versions no longer match
# the 64-bit ones), the rest is still installed: everything but the 32-bit program is built and
# tested, and the test run says that the 32-bit program was not run.
case "$missing" in *:i386*) ;; *) exit 1 ;; esac
cause=$(grep -m1 '^E: Failed to fetch .*i386' "$update_log" | sed 's/^E: //; s/  */ /g')
cause=${cause:-"the 32-bit packages' versions do not match the 64-bit ones"}
echo "$cause" >"$remembered"
without32=$(echo "$missing" | tr ' ' '\n' | grep -v ':i386$' | tr '\n' ' ')
echo "NOTE: Wine's 32-bit half (wine32:i386) could not be installed: the package mirror's"
echo "      32-bit index could not be had ($cause)."
echo "      The kernel may well run 32-bit programs; Wine cannot without that package."
echo "      Installing the rest; for a day, later runs try once and go on."
# shellcheck disable=SC2086
install $without32

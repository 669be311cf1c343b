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
# A mirror being synced fails an index now and then: the update is tried again before going on.
retry() {
    for wait in 10 30 60 0; do
        "$@" && return 0
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
install $missing && exit 0
# Where the 32-bit packages cannot be had (their index failed, so their versions no longer match
# the 64-bit ones), the rest is still installed: everything but the 32-bit program is built and
# tested, and the test run says that the 32-bit program was not run.
case "$missing" in *:i386*) ;; *) exit 1 ;; esac
without32=$(echo "$missing" | tr ' ' '\n' | grep -v ':i386$' | tr '\n' ' ')
echo "NOTE: the 32-bit packages could not be installed; installing the rest."
# shellcheck disable=SC2086
install $without32

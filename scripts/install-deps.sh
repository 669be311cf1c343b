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
$sudo apt-get update -q
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends $missing

#!/usr/bin/env bash
# Installs what building, running and testing need, and only what is missing.
# Debian 12; uses sudo when not root.
#   setup.sh           what make, make run and make test need
#   setup.sh --32bit   also 32-bit Wine, and qemu-user to run it on a kernel
#                      that can't run 32-bit programs itself (make test-32bit)
set -euo pipefail
source "$(dirname "$0")/platform.sh"

sudo=""; [ "$(id -u)" = 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive

# Packages (name:arch where it matters) and the 32-bit ones only a kernel
# that runs 32-bit programs can use.
wanted=(cmake make binutils python3 g++-mingw-w64-i686-win32 fonts-wine xvfb xdotool imagemagick googletest)
if [ "$TARNWICK_RUN_ARCH" = i686 ]; then
    wanted+=(wine wine32:i386)
else
    wanted+=(g++-mingw-w64-x86-64-win32 wine64 wine)
    if [ "${1:-}" = --32bit ]; then wanted+=(wine32:i386 qemu-user-static); fi
fi

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
missing=()
for p in "${wanted[@]}"; do installed "$p" || missing+=("$p"); done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"

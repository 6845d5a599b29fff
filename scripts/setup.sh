#!/usr/bin/env bash
# Installs what building, running and testing need, and only what is missing.
# Debian 12; uses sudo when not root.
#   setup.sh           what make, make run and make test need
#   setup.sh --32bit   also 32-bit Wine, and qemu-user to run it on a kernel
#                      that can't run 32-bit programs itself (make test-32bit);
#                      qemu-user comes from bookworm-backports (see below)
set -euo pipefail
source "$(dirname "$0")/platform.sh"

sudo=""; [ "$(id -u)" = 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive

# Packages (name:arch where it matters) and the 32-bit ones only a kernel
# that runs 32-bit programs can use.
# sigrok-cli: the tests read PortCheck --watch's VCD files with it, as users' logic viewers do.
# clang and its runtime: the native build's sanitizers and libFuzzer.
wanted=(cmake make binutils python3 g++-mingw-w64-i686-win32 fonts-wine xvfb xdotool imagemagick googletest sigrok-cli
        clang libclang-rt-14-dev)
if [ "$TARNWICK_RUN_ARCH" = i686 ]; then
    wanted+=(wine wine32:i386)
else
    wanted+=(g++-mingw-w64-x86-64-win32 wine64 wine)
    if [ "${1:-}" = --32bit ]; then wanted+=(wine32:i386); want_qemu=1; fi
fi

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
missing=()
for p in "${wanted[@]}"; do installed "$p" || missing+=("$p"); done

# qemu-user before 8.1 doesn't honour MAP_FIXED_NOREPLACE: it maps such a
# request wherever it finds room. 32-bit Wine reserves its address space
# with such requests and, finding each one elsewhere, gives it back and
# retries in halves down to 64 KiB pieces: some 100,000 mmap calls and most
# of a minute per program start, against about two seconds with a current
# qemu. Debian 12 has 7.2; bookworm-backports has a current one, whose
# qemu-user package holds the static binaries (qemu-i386).
backports=/etc/apt/sources.list.d/tarnwick-bookworm-backports.sources
qemu_new_enough() {
    local v; v=$(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null) || return 1
    installed qemu-user && dpkg --compare-versions "$v" ge 1:8.1
}
backports_install=()
if [ "${want_qemu:-}" = 1 ] && ! qemu_new_enough; then
    backports_install=(qemu-user)
    if ! grep -rqs 'bookworm-backports' /etc/apt/sources.list /etc/apt/sources.list.d/; then
        printf '%s\n' "Types: deb" "URIs: http://deb.debian.org/debian" "Suites: bookworm-backports" \
            "Components: main" "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg" |
            $sudo tee "$backports" >/dev/null
    fi
fi
[ ${#missing[@]} -eq 0 ] && [ ${#backports_install[@]} -eq 0 ] && exit 0

if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -q
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
if [ ${#backports_install[@]} -gt 0 ]; then
    echo "Installing from bookworm-backports: ${backports_install[*]}"
    # Without recommends: qemu-user-binfmt would register qemu with the
    # kernel for good; make test-32bit registers it for its run only.
    $sudo apt-get install -y -q --no-install-recommends -t bookworm-backports "${backports_install[@]}"
fi

#!/usr/bin/env bash
# Runs every test of the 32-bit build (build/: the product itself) under
# 32-bit Wine: the unit tests, the start-up tests and the end-to-end tests
# of build/bin/Tarnwick.exe on a virtual display. Where the kernel runs
# 32-bit programs, `make test` already does this. Where it can't, 32-bit
# Wine runs under qemu-user: the i386 handler is registered with the
# kernel's binfmt_misc for this run only (root), and binfmt_misc is left as
# it was found.
set -euo pipefail
source "$(dirname "$0")/platform.sh"

if [ "$TARNWICK_RUN_ARCH" = i686 ]; then
    echo "This kernel runs 32-bit programs: 'make test' tests the 32-bit build."
    exit 0
fi

# qemu-user from bookworm-backports (scripts/setup.sh --32bit says why).
qemu=/usr/bin/qemu-i386
if [ ! -x "$qemu" ]; then
    echo "$qemu is missing: run 'scripts/setup.sh --32bit'" >&2
    exit 1
fi

sudo=""; [ "$(id -u)" = 0 ] || sudo=sudo
binfmt=/proc/sys/fs/binfmt_misc
mounted=""
if [ ! -w "$binfmt/register" ]; then
    $sudo mount -t binfmt_misc binfmt_misc "$binfmt"
    mounted=1
fi
# 32-bit x86 ELF executables (type 2) and shared objects (type 3) go to
# qemu-i386. The kernel reads the \x escapes itself.
elf_i386='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x0TYPE\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
registered=()
prefixes=("${headless_prefix}32" "${display_prefix}32")
for pixels_per_inch in $scaled_screens; do prefixes+=("${display_prefix}32-dpi$pixels_per_inch"); done
cleanup() {
    for prefix in "${prefixes[@]}"; do WINEPREFIX=$prefix wineserver -k 2>/dev/null || true; done
    for name in "${registered[@]}"; do echo -1 | $sudo tee "$binfmt/$name" >/dev/null; done
    if [ -n "$mounted" ]; then $sudo umount "$binfmt" || true; fi
}
trap cleanup EXIT
for kind in 2 3; do
    name=tarnwick-i386-$kind
    [ -e "$binfmt/$name" ] && continue
    echo ":$name:M::${elf_i386/TYPE/$kind}:$mask:$qemu:F" | $sudo tee "$binfmt/register" >/dev/null
    registered+=("$name")
done

"$top/scripts/wine-prefix.sh" --32bit

export TARNWICK_RUN_ARCH=i686 WINEPREFIX=${prefixes[0]} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# The end-to-end tests: their own prefix with the X11 driver, and the
# x86_64 build's console, which runs natively and sees the same port state
# as the emulated panel and its 32-bit port library.
export TARNWICK_E2E_PREFIX=${prefixes[1]}
if [ -f "$build/x86_64/vport/PortConsole.exe" ]; then
    export TARNWICK_E2E_CONSOLE=$build/x86_64/vport/PortConsole.exe
fi
wineserver -p 2>/dev/null || true  # already running: it serves us as it is
# Wine's background processes start detached from ctest's output (see test.sh).
/usr/lib/wine/wine64 rundll32.exe user32.dll,UpdatePerUserSystemParameters </dev/null >/dev/null 2>&1 || true

echo "Testing the 32-bit build under 32-bit Wine, on $("$qemu" --version | head -1)."
cd "$product_build"
ctest --output-on-failure -j "$(nproc)" --timeout 900 "$@"

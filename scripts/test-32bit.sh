#!/usr/bin/env bash
# Runs the unit tests of the 32-bit build (build/, the product's own code)
# under 32-bit Wine. Where the kernel runs 32-bit programs, `make test`
# already does this. Where it can't, 32-bit Wine runs under qemu-user: the
# i386 handler is registered with the kernel's binfmt_misc for this run only
# (root), and removed again at the end. Slow (minutes), but it runs the
# product's own 32-bit code, stdcall port library calls included.
set -euo pipefail
source "$(dirname "$0")/platform.sh"

if [ "$TARNWICK_RUN_ARCH" = i686 ]; then
    echo "This kernel runs 32-bit programs: 'make test' tests the 32-bit build."
    exit 0
fi

sudo=""; [ "$(id -u)" = 0 ] || sudo=sudo
binfmt=/proc/sys/fs/binfmt_misc
[ -w "$binfmt/register" ] || $sudo mount -t binfmt_misc binfmt_misc "$binfmt"
# 32-bit x86 ELF executables (type 2) and shared objects (type 3) go to
# qemu-i386. The kernel reads the \x escapes itself.
elf_i386='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x0TYPE\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
registered=()
cleanup() {
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    for name in "${registered[@]}"; do echo -1 | $sudo tee "$binfmt/$name" >/dev/null; done
}
prefix=$build/wine/headless32
trap cleanup EXIT
for kind in 2 3; do
    name=tarnwick-i386-$kind
    [ -e "$binfmt/$name" ] && continue
    echo ":$name:M::${elf_i386/TYPE/$kind}:$mask:/usr/bin/qemu-i386-static:F" | $sudo tee "$binfmt/register" >/dev/null
    registered+=("$name")
done

export TARNWICK_RUN_ARCH=i686 WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$prefix/.tarnwick-ready" ]; then
    echo "Preparing Wine prefix ${prefix#$top/} (32-bit parts under qemu: a few minutes)"
    rm -rf "$prefix"; mkdir -p "$prefix"
    /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
    wineserver -w  # the 32-bit half goes on after wineboot returns
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null
    cp /usr/share/wine/fonts/sserife.fon "$prefix/drive_c/windows/Fonts/"
    touch "$prefix/.tarnwick-ready"
fi
wineserver -p 2>/dev/null || true  # already running: it serves us as it is
# Wine's background processes start detached from ctest's output (see test.sh).
/usr/lib/wine/wine64 rundll32.exe user32.dll,UpdatePerUserSystemParameters </dev/null >/dev/null 2>&1 || true

# Each program start costs most of a minute under qemu: the tests that start
# other programs (the real panel, the console, PortCheck) run in `make test` only.
echo "Testing the 32-bit build under 32-bit Wine, on qemu-user."
cd "$product_build"
ctest --output-on-failure -j "$(nproc)" -LE e2e -E 'startup_tests|vport_console_tests|vport_state_tests|portcheck_program_tests' \
    --timeout 900 "$@"

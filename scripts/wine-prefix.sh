#!/usr/bin/env bash
# Makes the project's private Wine prefixes (never the user's ~/.wine):
#   build/wine/headless  Wine's null display driver: window code runs without
#                        a display (unit tests)
#   build/wine/display   the X11 driver, for a real or virtual X display
# (under build/wine/x86_64/ when the x86_64 build runs here). With --32bit,
# build/wine/x86_64/headless32 and display32: 64-bit
# prefixes with Wine's 32-bit half, for the 32-bit build on a kernel that
# runs it only through qemu-user (make test-32bit).
# Both without the Mono/Gecko install prompts and without the crash dialog,
# so nothing can wait for a person.
set -euo pipefail
source "$(dirname "$0")/platform.sh"

make_prefix() {
    local prefix=$1 graphics=$2 wine_loader=${3:-$wine_loader}
    [ -f "$prefix/.tarnwick-ready" ] && return 0
    rm -rf "$prefix"; mkdir -p "$prefix"
    export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    [ "$wine_loader" != wine ] && export WINEARCH=win64
    echo "Preparing Wine prefix ${prefix#$top/}"
    "$wine_loader" wineboot -i >/dev/null 2>&1 || true
    [ "${after_boot_wait:-}" = 1 ] && wineserver -w
    "$wine_loader" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null
    if [ "$graphics" = null ]; then
        "$wine_loader" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null
    fi
    # The window's font, "MS Sans Serif", is Wine's bitmap font from
    # fonts-wine; not every Wine build looks in its own font folder for it.
    cp /usr/share/wine/fonts/sserife.fon "$prefix/drive_c/windows/Fonts/"
    # The program is laid out for 96 pixels per inch.
    "$wine_loader" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null
    wineserver -w
    touch "$prefix/.tarnwick-ready"
}

if [ "${1:-}" = --32bit ]; then
    # The 64-bit loader makes the prefix; its 32-bit half goes on after
    # wineboot returns, until `wineserver -w` does.
    after_boot_wait=1
    make_prefix "${headless_prefix}32" null /usr/lib/wine/wine64
    make_prefix "${display_prefix}32" x11 /usr/lib/wine/wine64
else
    make_prefix "$headless_prefix" null
    make_prefix "$display_prefix" x11
fi

#!/usr/bin/env bash
# Makes the project's private Wine prefixes (never the user's ~/.wine):
#   build/wine/headless  Wine's null display driver: window code runs without
#                        a display (unit tests)
#   build/wine/display   the X11 driver, for a real or virtual X display
#   build/wine/display-dpi120, -dpi144, -dpi192
#                        the same on a screen at 125, 150 and 200 % (LogPixels),
#                        for the tests of the window's scaling
# (under build/wine/x86_64/ when the x86_64 build runs here). With --32bit,
# build/wine/x86_64/headless32 and display32: 64-bit
# prefixes with Wine's 32-bit half, for the 32-bit build on a kernel that
# runs it only through qemu-user (make test-32bit).
# Both without the Mono/Gecko install prompts and without the crash dialog,
# so nothing can wait for a person.
set -euo pipefail
source "$(dirname "$0")/platform.sh"

make_prefix() {
    local prefix=$1 graphics=$2 wine_loader=${3:-$wine_loader} pixels_per_inch=${4:-96}
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
    if [ "$pixels_per_inch" != 96 ]; then
        # Wine loads a bitmap font only at the pixels per inch it was made
        # for: sseriff.fon is "MS Sans Serif" for 120. Windows also has the
        # TrueType "Microsoft Sans Serif", drawn to the same design; Wine has
        # not, and Tahoma (what Wine gives dialogs for "MS Shell Dlg") stands in.
        cp /usr/share/wine/fonts/{sseriff.fon,tahoma.ttf,tahomabd.ttf} "$prefix/drive_c/windows/Fonts/"
        "$wine_loader" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
            /v 'Microsoft Sans Serif' /d Tahoma /f >/dev/null
    fi
    # The program is laid out for 96 pixels per inch; the scaling tests'
    # prefixes have screens of more.
    "$wine_loader" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$pixels_per_inch" /f >/dev/null
    wineserver -w
    touch "$prefix/.tarnwick-ready"
}

if [ "${1:-}" = --32bit ]; then
    # The 64-bit loader makes the prefix; its 32-bit half goes on after
    # wineboot returns, until `wineserver -w` does.
    after_boot_wait=1
    make_prefix "${headless_prefix}32" null /usr/lib/wine/wine64
    make_prefix "${display_prefix}32" x11 /usr/lib/wine/wine64
    for pixels_per_inch in $scaled_screens; do
        make_prefix "${display_prefix}32-dpi$pixels_per_inch" x11 /usr/lib/wine/wine64 "$pixels_per_inch"
    done
else
    make_prefix "$headless_prefix" null
    make_prefix "$display_prefix" x11
    for pixels_per_inch in $scaled_screens; do
        make_prefix "$display_prefix-dpi$pixels_per_inch" x11 "$wine_loader" "$pixels_per_inch"
    done
fi

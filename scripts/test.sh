#!/usr/bin/env bash
# Runs every test: the unit tests under Wine's null display driver, the
# end-to-end tests on a virtual display, and the check that the program
# needs nothing beyond Windows' own DLLs.
set -euo pipefail
source "$(dirname "$0")/platform.sh"

if [ "$TARNWICK_RUN_ARCH" != i686 ]; then
    echo "This kernel can't run 32-bit programs: testing the x86_64 build of the same sources."
fi

# One wineserver for the whole run instead of one per test program.
export WINEPREFIX=$headless_prefix WINEDEBUG=-all
wineserver -p 2>/dev/null || true  # already running: it serves us as it is
trap 'WINEPREFIX=$headless_prefix wineserver -k 2>/dev/null || true' EXIT
# The virtual ports the tests name are their own: a state file left by an
# earlier run, maybe of another version, would be taken up as it was.
find "$headless_prefix/drive_c" -name '*.vport' -delete 2>/dev/null || true
# Start Wine's own background processes (services, desktop) now, detached
# from our output: started by a test, they would hold ctest's output pipe
# open for as long as the wineserver lives.
"$wine_loader" rundll32.exe user32.dll,UpdatePerUserSystemParameters </dev/null >/dev/null 2>&1 || true

cd "$run_build"
ctest --output-on-failure -j "$(nproc)" "$@"

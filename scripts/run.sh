#!/usr/bin/env bash
# `make run`: the panel under Wine in the display prefix, with the virtual
# port library beside it. On a usable X display it runs there until closed;
# with none it runs once on a virtual display and leaves a screenshot.
set -euo pipefail
source "$(dirname "$0")/platform.sh"

bin=$run_build/bin
require_built "$bin/Tarnwick.exe" "$vport_dir/inpout32.dll" "$vport_dir/PortConsole.exe"
# The panel runs from a folder of its own, with the virtual library beside it.
mkdir -p "$run_dir"
cp "$bin/Tarnwick.exe" "$vport_dir/inpout32.dll" "$run_dir/"

console_hint() {
    echo "Drive the virtual port from another terminal: scripts/port-console show | watch |" \
         "pin 15 low | wiring none | log --clear  (scripts/port-console --help)"
}

if [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; then
    console_hint
    cd "$run_dir"
    WINEPREFIX=$display_prefix exec "$top/scripts/wine-run" "$run_dir/Tarnwick.exe"
fi

shot=$build/screenshot.png
python3 -B "$top/tests/e2e/snapshot.py" --bin "$bin" --vport "$vport_dir" --work "$run_build/run" --out "$shot"
echo "No display: ran the panel on a virtual display and saved ${shot#$top/}"
echo "With a display, 'make run' opens the panel there."
console_hint

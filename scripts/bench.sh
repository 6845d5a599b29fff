#!/usr/bin/env bash
# `make bench`: the panel against a bare Win32 window with the same duty, on
# a virtual display with the virtual port, then PortCheck --watch against a
# bare Inp32 loop; writes both tables to build/bench.txt. Runs the build
# that runs here; the sizes are those of the 32-bit programs.
#   scripts/bench.sh watch    PortCheck --watch's part alone
set -euo pipefail
source "$(dirname "$0")/platform.sh"

require_built "$run_build/bin/Tarnwick.exe" "$run_build/tests/bin/BenchReference.exe" "$vport_dir/inpout32.dll" \
    "$product_build/bin/Tarnwick.exe" "$product_build/tests/bin/BenchReference.exe"
watch_bench() {
    WINEPREFIX=$headless_prefix python3 -B "$top/tests/bench/run_watch_bench.py" \
        --portcheck "$run_build/bin/PortCheck.exe" --reference "$run_build/tests/bin/WatchReference.exe" \
        --vport "$vport_dir" --work "$run_build/bench-watch" --out "$build/bench.txt"
}
if [ "${1:-}" = watch ]; then
    : > "$build/bench.txt"
    watch_bench
    exit
fi
python3 -B "$top/tests/bench/run_bench.py" \
    --panel "$run_build/bin/Tarnwick.exe" --reference "$run_build/tests/bin/BenchReference.exe" \
    --vport "$vport_dir" --work "$run_build/bench" \
    --size-panel "$product_build/bin/Tarnwick.exe" --size-reference "$product_build/tests/bin/BenchReference.exe" \
    --out "$build/bench.txt" "$@"
watch_bench

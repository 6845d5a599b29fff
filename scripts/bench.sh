#!/usr/bin/env bash
# `make bench`: the panel against a bare Win32 window with the same duty, on
# a virtual display with the virtual port; writes the table to build/bench.txt.
# Runs the build that runs here; the sizes are those of the 32-bit programs.
set -euo pipefail
source "$(dirname "$0")/platform.sh"

require_built "$run_build/bin/Tarnwick.exe" "$run_build/tests/bin/BenchReference.exe" "$vport_dir/inpout32.dll" \
    "$product_build/bin/Tarnwick.exe" "$product_build/tests/bin/BenchReference.exe"
python3 -B "$top/tests/bench/run_bench.py" \
    --panel "$run_build/bin/Tarnwick.exe" --reference "$run_build/tests/bin/BenchReference.exe" \
    --vport "$vport_dir" --work "$run_build/bench" \
    --size-panel "$product_build/bin/Tarnwick.exe" --size-reference "$product_build/tests/bin/BenchReference.exe" \
    --out "$build/bench.txt" "$@"

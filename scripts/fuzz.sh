#!/usr/bin/env bash
# Runs fuzz targets of the native build, each from its seed corpus in
# tests/fuzz/<target>/corpus, one after the other:
#   fuzz.sh --runs N [TARGET...]      N inputs each (make test, through ctest)
#   fuzz.sh --seconds S [TARGET...]   S seconds each (make fuzz)
# No target named: all of them. New inputs the fuzzer keeps go to
# build/native/fuzz/<target>-found/, never into the tree; --runs starts
# from the tree's corpus alone each time, --seconds goes on from what
# earlier runs found. An input that fails is saved as
# build/native/fuzz/<target>-crash-<hash>: once its fault is fixed, copy it
# into the target's corpus, where it stays as a regression case.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=${TARNWICK_NATIVE_BUILD:-$repo/build/native}

case "${1:-}" in
--runs) limit=(-runs="$2") ;;
--seconds) limit=(-max_total_time="$2") ;;
*) echo "usage: $0 --runs N | --seconds S [TARGET...]" >&2; exit 2 ;;
esac
mode=$1; shift 2
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for dir in "$repo"/tests/fuzz/*/corpus; do targets+=("$(basename "$(dirname "$dir")")"); done
fi

failed=0
for target in "${targets[@]}"; do
    program=$build/fuzz/$target
    found=$build/fuzz/$target-found
    log=$build/fuzz/$target.log
    [ -x "$program" ] || { echo "$target: not built ($program)" >&2; exit 2; }
    [ "$mode" = --runs ] && rm -rf "$found"
    mkdir -p "$found"
    # One process, no fork: a failure (a fault, or an input that takes over
    # 10 s: a hang) stops the run and names its input.
    if "$program" "${limit[@]}" -timeout=10 -seed=1 -print_final_stats=1 -artifact_prefix="$build/fuzz/$target-" \
        "$found" "$repo/tests/fuzz/$target/corpus" >"$log" 2>&1; then
        result=passed
    else
        result=FAILED; failed=1
        grep -E "ERROR|runtime error|Test unit written|SUMMARY" "$log" | head -20 >&2 || true
    fi
    # libFuzzer's last status line: executions, coverage (cov: edges, ft: features), speed.
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    coverage=$(grep -E '^#[0-9]+.*cov:' "$log" | tail -1 | grep -oE 'cov: [0-9]+ ft: [0-9]+' || true)
    echo "$target: $result; ${runs:-?} runs, ${speed:-?} a second; ${coverage:-no coverage line} (log: $log)"
done
exit $failed

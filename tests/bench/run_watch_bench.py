#!/usr/bin/env python3
"""`make bench`, PortCheck --watch's part: samples per second of --watch
(--lines inputs and --lines all, the VCD written) against a bare loop of
Inp32 reads on the same virtual port (WatchReference.exe), run alternately
in the same run; then the memory of a 60 s recording with a line toggling
at 10 kHz, read from /proc every second.

  run_watch_bench.py --portcheck EXE --reference EXE --vport DIR --work DIR
                     [--rounds N] [--seconds S] [--memory-seconds S] [--out FILE]

Appends its table to --out. Every process it starts is stopped by PID.
"""
import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys
import time

WINE_RUN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "wine-run")
GOAL_INPUTS = 0.9


def wine(work, *args, **kwargs):
    return subprocess.run([WINE_RUN] + list(args), cwd=work, capture_output=True, text=True, timeout=600, **kwargs)


def console(work, vport, *args):
    result = wine(work, os.path.join(vport, "PortConsole.exe"), *args)
    if result.returncode != 0:
        sys.exit("port console: " + result.stderr)


def reference_rate(work, lines, seconds):
    result = wine(work, os.path.join(work, "WatchReference.exe"), "0x378", str(seconds), lines)
    match = re.search(r"samples (\d+) seconds ([\d.]+)", result.stdout)
    if not match:
        sys.exit("WatchReference: " + result.stderr + result.stdout)
    return int(match.group(1)) / float(match.group(2))


def watch_rate(work, lines, seconds):
    result = wine(work, os.path.join(work, "PortCheck.exe"), "--watch", "0x378", "--lines", lines,
                  "--for", str(seconds), "--vcd", "bench-%s.vcd" % lines)
    match = re.search(r"Recorded [\d.]+ s: [\d,]+ samples, ([\d,]+) a second", result.stdout)
    if result.returncode != 0 or not match:
        sys.exit("PortCheck --watch: " + result.stderr + result.stdout[-2000:])
    return int(match.group(1).replace(",", ""))


def memory_kb(pid, field):
    try:
        with open("/proc/%d/status" % pid) as status:
            for line in status:
                if line.startswith(field + ":"):
                    return int(line.split()[1])
    except OSError:
        pass
    return None


def memory_run(work, seconds):
    """RSS of --watch recording a 10 kHz square wave: after 5 s, at the end, and the peak."""
    watch = subprocess.Popen([WINE_RUN, os.path.join(work, "PortCheck.exe"), "--watch", "0x378",
                              "--for", str(seconds), "--vcd", "memory.vcd"], cwd=work,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    samples = []
    try:
        start = time.monotonic()
        while watch.poll() is None:
            rss = memory_kb(watch.pid, "VmRSS")
            if rss is not None:
                samples.append((time.monotonic() - start, rss, memory_kb(watch.pid, "VmHWM")))
            time.sleep(1)
    finally:
        if watch.poll() is None:
            watch.kill()
            watch.wait()
    early = next((rss for t, rss, _ in samples if t >= 5), None)
    late = samples[-1][1] if samples else None
    peak = max((hwm or 0) for _, _, hwm in samples) if samples else None
    size = os.path.getsize(os.path.join(work, "memory.vcd"))
    return early, late, peak, size, len(samples)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--portcheck", required=True)
    parser.add_argument("--reference", required=True)
    parser.add_argument("--vport", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--seconds", type=int, default=3)
    parser.add_argument("--memory-seconds", type=int, default=60)
    parser.add_argument("--out")
    args = parser.parse_args()

    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(args.work)
    for built in (args.portcheck, args.reference, os.path.join(args.vport, "inpout32.dll")):
        shutil.copy(built, args.work)
    os.environ["TARNWICK_VPORT"] = "TarnwickVirtualPort-watch-bench"
    console(args.work, args.vport, "reset")
    console(args.work, args.vport, "pulse", "pin", "10", "every", "1000", "width", "500")

    rates = {(kind, lines): [] for kind in ("watch", "bare") for lines in ("inputs", "all")}
    for _ in range(args.rounds):
        for lines in ("inputs", "all"):
            rates[("bare", lines)].append(reference_rate(args.work, lines, args.seconds))
            rates[("watch", lines)].append(watch_rate(args.work, lines, args.seconds))
    console(args.work, args.vport, "pulse", "pin", "10", "every", "100", "width", "50")
    early, late, peak, size, readings = memory_run(args.work, args.memory_seconds)
    console(args.work, args.vport, "reset")

    load = os.getloadavg()[0]
    lines = ["", "PortCheck --watch against a bare Inp32 loop on the same port, medians of %d rounds of %d s each, "
             "run alternately" % (args.rounds, args.seconds),
             "lines     --watch samples/s   bare loop samples/s   ratio"]
    for which in ("inputs", "all"):
        watch = statistics.median(rates[("watch", which)])
        bare = statistics.median(rates[("bare", which)])
        goal = ("   goal %.2fx %s" % (GOAL_INPUTS, "met" if watch / bare >= GOAL_INPUTS else "NOT met")
                if which == "inputs" else "")
        lines.append("%-8s  %17s   %19s   %.2fx%s" % (which, "{:,.0f}".format(watch), "{:,.0f}".format(bare),
                                                     watch / bare, goal))
    lines += ["", "inputs: one read a sample (status); all: three (data, status, control); --watch writes its VCD, "
              "the virtual port carries a 1 kHz square wave on pin 10",
              "memory: --watch --for %d with a 10 kHz square wave on pin 10 and its VCD (%s bytes): "
              "resident %s KB after 5 s, %s KB at the end, peak %s KB (%d readings)"
              % (args.memory_seconds, "{:,}".format(size), early, late, peak, readings),
              "2 cores, load average %.1f at the end" % load]
    text = "\n".join(lines) + "\n"
    print(text)
    if args.out:
        with open(args.out, "a") as out:
            out.write(text)


if __name__ == "__main__":
    main()

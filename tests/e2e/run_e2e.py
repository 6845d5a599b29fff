#!/usr/bin/env python3
"""End-to-end tests: the built panel under Wine on a virtual display of its
own, worked with mouse and keyboard, its lamps read off the screen and its
port traffic read from the virtual port's console.

  run_e2e.py --bin BUILD/bin --vport BUILD/vport --work DIR
             [--time-limit SECONDS] [GROUP...]

Runs in the display Wine prefix (TARNWICK_E2E_PREFIX names another).
Prints PASS or FAIL per case and a closing "N passed, M failed"; exits 1
if any case failed. Every process it starts is ended before it exits.
"""
import argparse
import os
import signal
import sys
import time
import traceback

import cases_access
import cases_address
import cases_close
import cases_driver
import cases_focus
import cases_inputs
import cases_layout
import cases_library
import cases_outputs
import cases_placement
import cases_scale
import cases_virtualport
from bench import Bench
from processes import stop_on_signals

GROUPS = {
    "layout": cases_layout.CASES,
    "address": cases_address.CASES,
    "outputs": cases_outputs.CASES,
    "inputs": cases_inputs.CASES,
    "library": cases_library.CASES,
    "close": cases_close.CASES,
    "placement": cases_placement.CASES,
    "focus": cases_focus.CASES,
    "virtualport": cases_virtualport.CASES,
    "driver": cases_driver.CASES,
    "scale": cases_scale.CASES,
    "access": cases_access.CASES,
}
CASE_SECONDS = 120  # at most, for one case


class CaseTimeout(AssertionError):
    pass


def on_alarm(signum, frame):
    raise CaseTimeout("the case ran out of time")



def run_case(bench, name, case, seconds):
    started = time.monotonic()
    signal.alarm(max(1, int(seconds)))
    try:
        case(bench)
        failure = None
    except AssertionError as e:
        failure = str(e) or "assertion failed"
    except Exception as e:  # a broken step is this case's failure, not the run's
        failure = "%s: %s\n%s" % (type(e).__name__, e, traceback.format_exc())
    finally:
        signal.alarm(0)
        bench.stop_programs()
    seconds = time.monotonic() - started
    if failure:
        print("FAIL  %s (%.1f s): %s" % (name, seconds, failure), flush=True)
    else:
        print("PASS  %s (%.1f s)" % (name, seconds), flush=True)
    return failure is None


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--bin", required=True, help="folder with Tarnwick.exe")
    parser.add_argument("--vport", required=True,
                        help="folder with the virtual port's inpout32.dll and PortConsole.exe")
    parser.add_argument("--work", required=True, help="folder for the scenarios and logs")
    parser.add_argument("--time-limit", type=float, default=900,
                        help="seconds for all cases; cases that would start later fail unrun")
    parser.add_argument("groups", nargs="*", metavar="GROUP", help="of %s; default: all" % ", ".join(GROUPS))
    args = parser.parse_args()
    unknown = [g for g in args.groups if g not in GROUPS]
    if unknown:
        parser.error("unknown group %s" % ", ".join(unknown))

    stop_on_signals()
    signal.signal(signal.SIGALRM, on_alarm)

    passed = failed = 0
    started = time.monotonic()
    bench = None
    try:
        bench = Bench(os.path.abspath(args.bin), os.path.abspath(args.vport), os.path.abspath(args.work))
        print("virtual display %s, Wine prefix %s" % (bench.display.name, bench.wine.prefix), flush=True)
        for group in args.groups or list(GROUPS):
            for name, case in GROUPS[group]:
                left = args.time_limit - (time.monotonic() - started)
                if left < 1:
                    print("FAIL  %s: not run, out of time" % name, flush=True)
                    failed += 1
                elif run_case(bench, name, case, min(CASE_SECONDS, left)):
                    passed += 1
                else:
                    failed += 1
    except Exception as e:
        print("FAIL  setting up the bench: %s" % e, flush=True)
        failed += 1
    finally:
        if bench:
            bench.close()
    print("took %.0f s" % (time.monotonic() - started))
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Runs the panel once on a virtual display and saves a picture of its
window: Set pressed, the lamps painted, and the outputs asked for switched
on. `make run` uses it where there is no display; the README's picture
comes from it too.

  snapshot.py --bin BUILD/bin --vport BUILD/vport --work DIR --out PICTURE.png [--switch-on 11,3]
"""
import argparse
import os
import sys

from bench import Bench
from processes import stop_on_signals
from steps import apply_address, close_cleanly, start, switch_output



def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--bin", required=True, help="folder with Tarnwick.exe")
    parser.add_argument("--vport", required=True,
                        help="folder with the virtual port's inpout32.dll and PortConsole.exe")
    parser.add_argument("--work", required=True, help="folder to run the panel in")
    parser.add_argument("--out", required=True, help="the PNG to write")
    parser.add_argument("--switch-on", default="", help="outputs to switch on, in order, e.g. 11,3")
    args = parser.parse_args()
    outputs = [int(n) for n in args.switch_on.split(",") if n]
    stop_on_signals()

    bench = Bench(os.path.abspath(args.bin), os.path.abspath(args.vport), os.path.abspath(args.work))
    try:
        panel = start(bench, "snapshot")
        apply_address(panel, "0X378")
        for n in outputs:
            switch_output(panel, n, on=True)
        bench.display.save_png(os.path.abspath(args.out), panel.window)
        close_cleanly(panel)
    except AssertionError as e:
        print("snapshot: %s" % e, file=sys.stderr)
        return 1
    finally:
        bench.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())

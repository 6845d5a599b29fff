#!/usr/bin/env python3
"""`make bench`: the panel against a bare Win32 window with the same duty
(BenchReference.exe: the panel's size, two 1 ms timers, the lamp timer's
seventeen Inp32 calls, no repaint), run alternately on one virtual display
with the virtual port, one wineserver for the whole run.

  run_bench.py --panel EXE --reference EXE --vport DIR --work DIR
               --size-panel EXE --size-reference EXE [--rounds N] [--startup-rounds N]
               [--seconds S] [--out FILE]

Per round and program: start-up (launch to a visible window); in the first
--rounds rounds also CPU over --seconds after Set (the program's process
plus the wineserver, from /proc) and peak resident memory (VmHWM) at the
end. The panel's Set is clicked and seen to take effect before its window
opens; the reference reads the port from its first tick. Start-up, the
noisiest figure on a shared machine, takes --startup-rounds rounds (11 by
default). Prints medians with their spread (lowest and highest) and
panel/reference ratios, and writes them to --out. Every process it starts
is stopped by PID.
"""
import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))

from bench import Bench  # noqa: E402
from expected import WHITE, COLOUR_NAMES  # noqa: E402
from processes import Deadline, stop_on_signals, wait_for  # noqa: E402
from wine import WINE_RUN  # noqa: E402

CLOCK_TICKS = os.sysconf("SC_CLK_TCK")
SETTLE_SECONDS = 1.0  # after Set (or the window's appearance) before measuring
GOALS = {"cpu": 1.10, "start-up": 1.20, "memory": 1.10}


class BenchError(Exception):
    pass


# ---- /proc ---------------------------------------------------------------------

def cpu_seconds(pid):
    """User plus system CPU time of a process so far."""
    with open("/proc/%d/stat" % pid) as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    # After the command: state is field 3, utime 14 and stime 15.
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS


def peak_resident_bytes(pid):
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) * 1024
    raise BenchError("no VmHWM for process %d" % pid)


def wineserver_pid(prefix):
    """The wineserver of this prefix: it works in a server folder named
    after the prefix's device and inode."""
    st = os.stat(prefix)
    folder = "server-%x-%x" % (st.st_dev, st.st_ino)
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/comm" % entry) as comm:
                if not comm.read().startswith("wineserver"):  # wineserver64 on 64-bit Wine
                    continue
            if os.path.basename(os.readlink("/proc/%s/cwd" % entry)) == folder:
                return int(entry)
        except OSError:
            continue
    raise BenchError("no wineserver runs for %s" % prefix)


# ---- the display ------------------------------------------------------------

class MapWatcher:
    """When top-level windows appear: xev reports every window mapped on the
    root (with no window manager, mapped is visible), so the time is taken
    as it happens instead of by polling with a process per look."""

    _MAPPED = re.compile(r"\bevent 0x[0-9a-f]+, window (0x[0-9a-f]+)")

    def __init__(self, bench):
        self.display = bench.display
        self.mapped = []  # (monotonic time, window id), in order
        self.changed = threading.Condition()
        self.process = bench.processes.start(["xev", "-root", "-event", "substructure"], env=bench.display.env,
                                             stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                             stderr=subprocess.DEVNULL, text=True)
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        map_notify = False
        for line in self.process.stdout:
            now = time.monotonic()
            if line.startswith("MapNotify event"):
                map_notify = True
            elif map_notify and self._MAPPED.search(line):
                map_notify = False
                with self.changed:
                    self.mapped.append((now, self._MAPPED.search(line).group(1)))
                    self.changed.notify_all()

    def wait_mapped(self, title, since, seconds, stop_if):
        """The time a window with this title was mapped after `since`, or
        None when `stop_if()` turns true or `seconds` pass first."""
        deadline, seen = Deadline(seconds), 0
        while not deadline.passed() and not stop_if():
            with self.changed:
                self.changed.wait(min(0.1, deadline.left()))
                events, seen = self.mapped[seen:], len(self.mapped)
            for at, window in events:
                if at >= since and self.display.run("xdotool", "getwindowname", window, check=False).strip() == title:
                    return at
        return None


# ---- one program -------------------------------------------------------------

class Program:
    """A program run from a folder of its own, with the virtual port library
    beside it."""

    def __init__(self, bench, role, exe, title):
        self.bench, self.role, self.title = bench, role, title
        folder = os.path.join(bench.work_dir, role)
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        shutil.copy2(exe, folder)
        shutil.copy2(os.path.join(bench.vport_dir, "inpout32.dll"), folder)
        self.folder, self.exe = folder, os.path.join(folder, os.path.basename(exe))

    def run_once(self, round_number, seconds):
        """Starts the program, measures it, stops it; returns its figures,
        start-up alone where `seconds` is None."""
        bench = self.bench
        port_name = bench.port_name("%s-%d" % (self.role, round_number))
        with open(os.path.join(self.folder, "wine.log"), "wb") as log:
            launched = time.monotonic()
            process = bench.wine.start(bench.processes, self.exe, port_name, cwd=self.folder, stderr=log, debug="-all,err+all")
        try:
            shown = bench.map_watcher.wait_mapped(self.title, launched, 30, lambda: process.poll() is not None)
            if shown is None:
                raise BenchError("%s: no window within 30 s (exit code %s; see %s)" % (
                    self.role, process.poll(), log.name))
            startup = shown - launched
            self._check_is_windows_process(process.pid)
            if seconds is None:
                return {"start-up": startup}
            self.prepare()
            time.sleep(SETTLE_SECONDS)
            server = wineserver_pid(bench.wine.prefix)
            own0, server0 = cpu_seconds(process.pid), cpu_seconds(server)
            time.sleep(seconds)
            own, server_cpu = cpu_seconds(process.pid) - own0, cpu_seconds(server) - server0
            memory = peak_resident_bytes(process.pid)
        finally:
            bench.processes.stop(process)
        return {"start-up": startup, "cpu": own + server_cpu, "own": own, "server": server_cpu, "memory": memory}

    def _check_is_windows_process(self, pid):
        # scripts/wine-run execs the Wine loader, which becomes the program.
        with open("/proc/%d/cmdline" % pid, "rb") as cmdline:
            if os.path.basename(self.exe).encode() not in cmdline.read():
                raise BenchError("process %d is not %s" % (pid, os.path.basename(self.exe)))

    def prepare(self):
        """What happens between the window's appearance and the measurement."""


class Panel(Program):
    def __init__(self, bench, exe):
        super().__init__(bench, "panel", exe, "Tarnwick")

    def prepare(self):
        """Clicks Set (the field holds 0X378) and waits for a lamp to be painted."""
        layout, display = self.bench.layout, self.bench.display
        width, height = layout.content_extent()
        forms = [w for w in display.windows(self.title) if w.width >= width and w.height >= height]
        if not forms:
            raise BenchError("panel: its window is not on screen")
        x, y = layout["ButtonSet"].centre
        display.click(forms[0].x + x, forms[0].y + y)
        lamp_x, lamp_y = layout.lamp("DO1").centre
        painted = wait_for(lambda: COLOUR_NAMES.get(display.screenshot().pixel(
            forms[0].x + lamp_x, forms[0].y + lamp_y)) != WHITE, 5, 0.05)
        if not painted:
            raise BenchError("panel: the lamps stayed white after Set")


# ---- the run ------------------------------------------------------------------

def measured(rounds, key):
    return [r[key] for r in rounds if key in r]


def median(rounds, key):
    return statistics.median(measured(rounds, key))


FIGURES = [  # name, key, unit, scale, format, what it is
    ("cpu", "cpu", "s", 1, "%.2f", "CPU seconds after Set, the program's process plus its wineserver"),
    ("start-up", "start-up", "ms", 1000, "%.0f", "launch to a visible window"),
    ("memory", "memory", "MB", 1e-6, "%.1f", "peak resident memory (VmHWM) of the program's process"),
]


def figure(values, scale, unit, fmt):
    """The median, and where there are several values their spread:
    "612 ms (580-700)"."""
    text = (fmt % (statistics.median(values) * scale)) + " " + unit
    if len(values) > 1:
        text += " (%s-%s)" % (fmt % (min(values) * scale), fmt % (max(values) * scale))
    return text


def row(name, panel, reference, scale, unit, fmt):
    ratio = statistics.median(panel) / statistics.median(reference)
    goal = GOALS.get(name)
    verdict = "goal %.2fx %s" % (goal, "met" if ratio <= goal else "NOT met") if goal else ""
    return ("%-9s %22s %22s %6.2fx   %s" % (name, figure(panel, scale, unit, fmt), figure(reference, scale, unit, fmt),
                                          ratio, verdict)).rstrip()


def table(results, sizes, seconds, wine_version, loads):
    panel, reference = results["panel"], results["reference"]
    lines = ["Panel against a bare Win32 window, run alternately: medians (lowest-highest) of %d rounds each, "
             "start-up of %d" % (len(measured(panel, "cpu")), len(panel)),
             "%-9s %22s %22s %7s" % ("figure", "panel", "reference", "ratio")]
    for name, key, unit, scale, fmt, _ in FIGURES:
        lines.append(row(name, measured(panel, key), measured(reference, key), scale, unit, fmt))
    lines.append(row("size", [sizes[0]], [sizes[1]], 1e-3, "KB", "%.0f"))
    lines += ["",
              "cpu: over %g s; program + wineserver: panel %.2f + %.2f s, reference %.2f + %.2f s" % (
                  seconds, median(panel, "own"), median(panel, "server"),
                  median(reference, "own"), median(reference, "server"))]
    lines += ["%s: %s" % (name, what) for name, _, _, _, _, what in FIGURES[1:]]
    lines += ["size: the 32-bit exe",
              "%s, Xvfb, the virtual port; %d cores, load average %.1f at start, %.1f at end" % (
                  wine_version, os.cpu_count(), loads[0], loads[1])]
    return "\n".join(lines) + "\n"


def wine_version():
    done = subprocess.run([WINE_RUN, "--version"], capture_output=True, text=True, timeout=30)
    return done.stdout.strip() or "Wine (version unknown)"


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--panel", required=True, help="Tarnwick.exe of the build that runs here")
    parser.add_argument("--reference", required=True, help="BenchReference.exe of the same build")
    parser.add_argument("--vport", required=True, help="folder with the virtual port's inpout32.dll")
    parser.add_argument("--work", required=True, help="folder for the programs' folders and logs")
    parser.add_argument("--size-panel", required=True, help="the 32-bit Tarnwick.exe, for its size")
    parser.add_argument("--size-reference", required=True, help="the 32-bit BenchReference.exe")
    parser.add_argument("--rounds", type=int, default=5, help="rounds that measure CPU and memory too")
    parser.add_argument("--startup-rounds", type=int, default=11)
    parser.add_argument("--seconds", type=float, default=20, help="CPU measurement window")
    parser.add_argument("--out", help="file to write the table to")
    args = parser.parse_args()
    stop_on_signals()

    sizes = (os.path.getsize(args.size_panel), os.path.getsize(args.size_reference))
    version = wine_version()
    loads = [os.getloadavg()[0]]
    results = {"panel": [], "reference": []}
    bench = Bench(os.path.dirname(os.path.abspath(args.panel)), os.path.abspath(args.vport),
                  os.path.abspath(args.work))
    try:
        bench.map_watcher = MapWatcher(bench)
        programs = [Panel(bench, os.path.abspath(args.panel)),
                    Program(bench, "reference", os.path.abspath(args.reference), "Tarnwick reference")]
        # Round 0 warms up Wine's background processes and the file cache; not counted.
        for n in range(max(args.rounds, args.startup_rounds) + 1):
            for program in programs:
                figures = program.run_once(n, None if n > args.rounds else args.seconds if n else 1)
                # Let the wineserver see the program's end before the next starts.
                time.sleep(1)
                if not n:
                    continue
                results[program.role].append(figures)
                line = "round %d %-9s start-up %4.0f ms" % (n, program.role, 1000 * figures["start-up"])
                if "cpu" in figures:
                    line += "  cpu %.2f s (own %.2f, wineserver %.2f)  memory %.1f MB" % (
                        figures["cpu"], figures["own"], figures["server"], figures["memory"] / 1e6)
                print(line, flush=True)
    except BenchError as e:
        print("bench: %s" % e, file=sys.stderr)
        return 1
    finally:
        bench.close()
    loads.append(os.getloadavg()[0])
    text = table(results, sizes, args.seconds, version, loads)
    print(text, end="")
    if args.out:
        with open(args.out, "w") as out:
            out.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())

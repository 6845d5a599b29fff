"""Processes started for a run, so that every one of them is ended by its
PID when the run ends, however it ends."""
import os
import signal
import subprocess
import time


def stop_on_signals():
    """Makes SIGTERM, SIGINT and SIGHUP unwind through the callers' cleanup."""
    def stop(signum, frame):
        raise SystemExit("stopped by signal %d" % signum)
    for signum in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(signum, stop)


class Deadline:
    """A bounded wait: poll `until(check)` for at most `seconds`."""

    def __init__(self, seconds):
        self.end = time.monotonic() + seconds

    def left(self):
        return max(0.0, self.end - time.monotonic())

    def passed(self):
        return time.monotonic() >= self.end


def wait_for(check, seconds, interval=0.05):
    """Calls check() until it returns something true or `seconds` pass;
    returns its last result."""
    deadline = Deadline(seconds)
    while True:
        result = check()
        if result or deadline.passed():
            return result
        time.sleep(interval)


class Processes:
    def __init__(self):
        self.started = []

    def start(self, argv, **popen_args):
        process = subprocess.Popen(argv, **popen_args)
        self.started.append(process)
        return process

    def stop(self, process, grace=2.0):
        """Ends one process: SIGTERM, then SIGKILL if it outlives `grace`."""
        if process.poll() is None:
            try:
                os.kill(process.pid, signal.SIGTERM)
                process.wait(timeout=grace)
            except (ProcessLookupError, subprocess.TimeoutExpired):
                if process.poll() is None:
                    os.kill(process.pid, signal.SIGKILL)
                    process.wait(timeout=grace)
        if process in self.started:
            self.started.remove(process)

    def stop_all(self):
        # The latest first: the panel before the display it draws on.
        for process in reversed(list(self.started)):
            self.stop(process)

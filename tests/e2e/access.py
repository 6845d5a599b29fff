"""The panel read as a screen reader or an automation tool reads it: the
accessibility client (AccessClient.exe) run against it from another
process."""
import subprocess
from dataclasses import dataclass

from processes import Deadline
from wine import WINE_RUN


class AccessError(AssertionError):
    pass


@dataclass(frozen=True)
class Element:
    depth: int
    name: str
    value: str
    role: str
    states: tuple
    location: tuple  # x, y, width, height on the screen

    def __str__(self):
        return "%s%s = %s (%s; %s) at %s" % ("  " * self.depth, self.name, self.value, self.role,
                                             ", ".join(self.states), ",".join(map(str, self.location)))


def _element(line):
    depth, name, value, role, states, location = line.split("\t")
    return Element(int(depth), name, value, role, tuple(states.split(",")),
                   tuple(int(v) for v in location.split(",")) if location != "-" else ())


class AccessClient:
    def __init__(self, bench, exe):
        self.bench, self.exe = bench, exe

    def _env(self):
        return dict(self.bench.wine.env)

    def listing(self):
        """Every element the panel shows, window by window, in order."""
        done = subprocess.run([WINE_RUN, self.exe, "list"], env=self._env(), capture_output=True, text=True,
                              timeout=60)
        if done.returncode != 0:
            raise AccessError("AccessClient list: exit %d: %s" % (done.returncode, done.stderr.strip()[-500:]))
        return [_element(line) for line in done.stdout.splitlines() if line.strip()]

    def elements(self):
        """The elements by name (the last of a name wins)."""
        return {e.name: e for e in self.listing()}

    def events_during(self, action, seconds):
        """The events heard while action() runs and for `seconds` in all,
        each as (event, name, value, states)."""
        process = subprocess.Popen([WINE_RUN, self.exe, "events", str(seconds)], env=self._env(),
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        try:
            deadline = Deadline(60)
            ready = process.stdout.readline().strip()
            if ready != "ready":
                raise AccessError("AccessClient events did not start listening: %r %s" % (
                    ready, process.stderr.read()[-500:] if process.poll() is not None else ""))
            action()
            out, err = process.communicate(timeout=max(5, deadline.left() + seconds))
        finally:
            if process.poll() is None:
                process.kill()
                process.wait()
        if process.returncode != 0:
            raise AccessError("AccessClient events: exit %d: %s" % (process.returncode, err.strip()[-500:]))
        return [tuple(line.split("\t")) for line in out.splitlines() if line.strip()]

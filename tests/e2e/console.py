"""The virtual port seen through its console (PortConsole.exe): the access
log, the registers, and the pins and wiring a person would set by hand."""
import re
from dataclasses import dataclass

_ACCESS = re.compile(r"^([RW]) 0x([0-9A-F]{4}) (?:->|<-) 0x([0-9A-F]{2})(  \(driver stopped\))?(  \(intruder\))?$")
_REGISTER = re.compile(r"^(data|status|control)\s+0x([0-9A-F]{2})\b")


class ConsoleError(Exception):
    pass


@dataclass(frozen=True)
class Access:
    write: bool
    port: int
    value: int
    driver_stopped: bool = False  # made while the library's driver was stopped
    intruder: bool = False  # made by another program polling the port

    def __str__(self):
        return "%s 0x%04X %s 0x%02X%s%s" % ("W" if self.write else "R", self.port,
                                            "<-" if self.write else "->", self.value,
                                            "  (driver stopped)" if self.driver_stopped else "",
                                            "  (intruder)" if self.intruder else "")


class PortConsole:
    def __init__(self, wine, exe, port_name):
        self.wine, self.exe, self.port_name = wine, exe, port_name

    def command(self, *args):
        done = self.wine.run(self.exe, [str(a) for a in args], self.port_name)
        if done.returncode == 1 and not done.stdout and not done.stderr:
            # PortConsole says why whenever it fails, so an exit 1 with nothing
            # said is Wine's loader (seen once on a loaded machine): once more.
            done = self.wine.run(self.exe, [str(a) for a in args], self.port_name)
        if done.returncode != 0:
            raise ConsoleError("PortConsole %s: exit %d: %s" % (" ".join(map(str, args)),
                                                               done.returncode, done.stderr.strip()))
        return done.stdout

    def log(self, clear=False):
        """Every access since the last clear, in order."""
        lines = self.command("log", *(["--clear"] if clear else [])).splitlines()
        accesses = []
        for line in lines:
            match = _ACCESS.match(line.strip())
            if not match:
                raise ConsoleError("unexpected log line %r" % line)
            kind, port, value, stopped, intruder = match.groups()
            accesses.append(Access(kind == "W", int(port, 16), int(value, 16), bool(stopped), bool(intruder)))
        return accesses

    def clear_log(self):
        self.log(clear=True)

    def registers(self):
        """{"data": .., "status": .., "control": ..} as the port holds them now."""
        found = {}
        for line in self.command("show").splitlines():
            match = _REGISTER.match(line)
            if match:
                found[match.group(1)] = int(match.group(2), 16)
        if len(found) != 3:
            raise ConsoleError("show gave no registers")
        return found


def writes(accesses):
    return [a for a in accesses if a.write]

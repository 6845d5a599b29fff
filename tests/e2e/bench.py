"""The bench the panel is tried on: a virtual display of its own, Wine on
it, the built programs and the port library variants."""
import os
from contextlib import contextmanager

from layout import Layout
from panel import Panel
from processes import Processes
from wine import TOP, WineSession
from xdisplay import SCREEN_SIZE, VirtualDisplay

FULL_LIBRARY = "full"
# The virtual ports of this run: each scenario's is named this and the scenario.
PORT_NAME_PREFIX = "TarnwickE2E-%d-" % os.getpid()


class Bench:
    def __init__(self, bin_dir, vport_dir, work_dir):
        """bin_dir: the programs (Tarnwick.exe); vport_dir: the virtual port's
        library and console, with the library variants in no-out32/ and
        no-inp32/."""
        self.bin_dir = bin_dir
        self.vport_dir = vport_dir
        # The console only talks to the port's shared state, so any build of
        # it in the same Wine prefix will do: TARNWICK_E2E_CONSOLE can name a
        # native one when the panel runs emulated.
        self.console_exe = os.environ.get("TARNWICK_E2E_CONSOLE") or os.path.join(vport_dir, "PortConsole.exe")
        self.libraries = {FULL_LIBRARY: vport_dir,
                          "no-out32": os.path.join(vport_dir, "no-out32"),
                          "no-inp32": os.path.join(vport_dir, "no-inp32"),
                          "no-driver-status": os.path.join(vport_dir, "no-driver-status")}
        self.work_dir = work_dir
        # The accessibility client, built with the test programs.
        self.access_client_exe = os.path.join(bin_dir, "..", "tests", "bin", "AccessClient.exe")
        self.pixels_per_inch = 96
        self.layout = self._layout()
        self.processes = Processes()
        self.display = self.wine = None
        os.makedirs(work_dir, exist_ok=True)
        try:
            self._start_display(SCREEN_SIZE)
        except BaseException:
            self.close()
            raise

    def _layout(self):
        return Layout(os.path.join(TOP, "ui", "Unit1.dfm"), self.pixels_per_inch)

    def _start_display(self, size):
        self.display = VirtualDisplay(self.processes, os.path.join(self.work_dir, "xvfb-%dx%d.log" % size), size)
        self.wine = WineSession(self.display, pixels_per_inch=self.pixels_per_inch)

    @contextmanager
    def screen(self, size, pixels_per_inch=None):
        """The bench on a virtual display of `size` (width, height) for a
        while, and with pixels_per_inch in the prefix made for that scale.
        Wine takes the screen's size when it starts, so it is started again
        on the new display, and again on the old one afterwards."""
        previous = self.display.size, self.pixels_per_inch
        self._change_display(size, pixels_per_inch or self.pixels_per_inch)
        try:
            yield self.display
        finally:
            self._change_display(*previous)

    def _change_display(self, size, pixels_per_inch):
        if not self.wine.owns_server:
            raise RuntimeError("another wineserver runs in %s: the screen size can't change under it"
                               % self.wine.prefix)
        self.stop_programs()
        self.wine.stop()
        self.processes.stop(self.display.process)
        self.display = self.wine = None
        self.pixels_per_inch = pixels_per_inch
        self.layout = self._layout()
        self._start_display(size)

    def panel(self, scenario, library=FULL_LIBRARY, prepare=None, trace_text=False):
        """Starts the panel with the named port library beside it, or none;
        prepare(console) first sets up the panel's port."""
        return Panel(self, scenario, self.libraries[library] if library else None, prepare, trace_text)

    def port_name(self, scenario):
        """The virtual port of a scenario, apart from other runs' and `make run`'s."""
        return PORT_NAME_PREFIX + scenario

    def restart_wine(self):
        """Ends every program and the wineserver, waits until it has gone
        (and with it everything Windows programs held in memory), and starts
        a fresh one."""
        if not self.wine.owns_server:
            raise RuntimeError("another wineserver runs in %s: it can't be ended for the test" % self.wine.prefix)
        self.stop_programs()
        self.wine.stop()
        self.wine = WineSession(self.display, pixels_per_inch=self.pixels_per_inch)

    def stop_programs(self):
        """Ends every program started here that still runs; the display stays."""
        display = self.display and self.display.process
        for process in list(self.processes.started):
            if process is not display:
                self.processes.stop(process)

    def close(self):
        """Ends every process started here, then the wineserver, then the display,
        and removes the files of the virtual ports this run used."""
        self.stop_programs()
        if self.wine:
            self.wine.stop()
            self.wine.remove_port_files(PORT_NAME_PREFIX)
        self.processes.stop_all()

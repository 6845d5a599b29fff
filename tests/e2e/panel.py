"""One run of the panel (Tarnwick.exe) in a folder of its own, with the port
library of the scenario beside it (or none) and a virtual port of its own,
worked through its window like a user would."""
import os
import re
import shutil

from console import PortConsole
from expected import COLOUR_NAMES, LAMPS
from processes import wait_for
from xdisplay import Window

_MESSAGE = re.compile(r'trace:msgbox:MSGBOX_OnInit L"((?:[^"\\]|\\.)*)"')
_DRAWN_TEXT = re.compile(r'trace:text:DrawTextExW L"((?:[^"\\]|\\.)*)"')
_ESCAPES = {"n": "\n", "r": "\r", "t": "\t", "\\": "\\", '"': '"', "'": "'"}


class PanelError(AssertionError):
    pass


class Panel:
    def __init__(self, bench, scenario, library_dir, prepare=None, trace_text=False):
        """prepare(console), when given, sets the port up before the program starts;
        trace_text: Wine records every text drawn, for drawn_texts()."""
        self.bench = bench
        self.display, self.layout = bench.display, bench.layout
        self.folder = os.path.join(bench.work_dir, "scenarios", scenario)
        shutil.rmtree(self.folder, ignore_errors=True)
        os.makedirs(self.folder)
        shutil.copy2(os.path.join(bench.bin_dir, "Tarnwick.exe"), self.folder)
        if library_dir:
            shutil.copy2(os.path.join(library_dir, "inpout32.dll"), self.folder)
        self.port_name = bench.port_name(scenario)
        self.console = PortConsole(bench.wine, bench.console_exe, self.port_name)
        if prepare:
            prepare(self.console)
        self.wine_log = os.path.join(self.folder, "wine.log")
        with open(self.wine_log, "wb") as log:
            # The message boxes' texts are traced, to be read back here.
            self.process = bench.wine.start(bench.processes, os.path.join(self.folder, "Tarnwick.exe"),
                                            self.port_name, cwd=self.folder, stderr=log,
                                            debug="-all,+msgbox" + (",+text" if trace_text else ""))
        self.window = None

    # ---- windows -------------------------------------------------------------

    def _is_form(self, window):
        width, height = self.layout.content_extent()
        return window.width >= width and window.height >= height

    def _windows(self, form):
        return [w for w in self.display.windows("Tarnwick") if self._is_form(w) == form]

    def wait_window(self, seconds=30):
        """The panel's window once it is on screen."""
        found = wait_for(lambda: self._windows(form=True) or not self.running(), seconds, 0.1)
        if not isinstance(found, list):
            raise PanelError("the program ended (exit code %s) before its window appeared" % self.process.returncode)
        if not found:
            raise PanelError("the window did not appear within %d s" % seconds)
        self.window = found[0]
        return self.window

    def form_visible(self):
        return bool(self._windows(form=True))

    def message_boxes(self):
        """Windows titled "Tarnwick" other than the panel's."""
        return self._windows(form=False)

    def wait_message_box(self, seconds=30):
        boxes = wait_for(lambda: self.message_boxes() or not self.running(), seconds, 0.1)
        if not isinstance(boxes, list) or not boxes:
            raise PanelError("no message box titled \"Tarnwick\" appeared")
        return boxes

    def _traced(self, pattern):
        with open(self.wine_log, encoding="utf-8", errors="replace") as log:
            texts = pattern.findall(log.read())
        return [re.sub(r"\\(.)", lambda m: _ESCAPES.get(m.group(1), m.group(0)), t) for t in texts]

    def messages(self):
        """The texts of every message box shown so far, in order."""
        return self._traced(_MESSAGE)

    def drawn_texts(self):
        """Every text drawn so far, in order (with trace_text only)."""
        return self._traced(_DRAWN_TEXT)

    def wine_errors(self):
        """What Wine reported beyond the traced messages, e.g. a crash."""
        with open(self.wine_log, encoding="utf-8", errors="replace") as log:
            lines = [line.strip() for line in log if line.strip() and ":trace:" not in line]
        return "; Wine: " + " | ".join(lines[:3]) if lines else ""

    # ---- what the user does ----------------------------------------------------

    def at(self, component):
        x, y = self.layout[component].centre
        return self.window.x + x, self.window.y + y

    def on_screen(self, component):
        """The component's rectangle on the screen."""
        r = self.layout[component]
        return Window(component, self.window.x + r.x, self.window.y + r.y, r.width, r.height)

    def click(self, component):
        self.display.click(*self.at(component))

    def click_output(self, n):
        self.click("Button_DO%d" % n)

    def type_address(self, text):
        """Clicks into the address field, empties it and types `text`."""
        self.click("MaskEdit_REGISTER")
        self.display.key("End", "shift+Home", "BackSpace")
        self.display.type(text)

    def set_address(self, text):
        self.type_address(text)
        self.click("ButtonSet")

    def close(self, seconds=15):
        """Closes the window with Alt+F4; returns the program's exit code."""
        # The form's own background, between the register panel and the
        # connector picture, takes the click that makes it the active window.
        panel, picture = self.layout["Panel1"], self.layout["GroupBox2"]
        self.display.click(self.window.x + (panel.right + picture.x) // 2, self.window.y + panel.y + 10)
        self.display.key("alt+F4")
        if not wait_for(lambda: not self.running(), seconds, 0.1):
            raise PanelError("the program still runs %d s after Alt+F4" % seconds)
        return self.process.returncode

    def running(self):
        return self.process.poll() is None

    # ---- what the user sees ----------------------------------------------------

    def lamps(self, shot=None):
        shot = shot or self.display.screenshot()
        colours = {}
        for name in LAMPS:
            x, y = self.layout.lamp(name).centre
            rgb = shot.pixel(self.window.x + x, self.window.y + y)
            colours[name] = COLOUR_NAMES.get(rgb, "rgb%s" % (rgb,))
        return colours

    def wait_lamps(self, expected, seconds=5):
        """Waits until the lamps named in `expected` have its colours; fails
        naming those that differ."""
        seen = {}

        def matches():
            seen.update(self.lamps())
            return all(seen[name] == colour for name, colour in expected.items())

        if not wait_for(matches, seconds, 0.02):
            wrong = ["%s %s (expected %s)" % (n, seen[n], c) for n, c in expected.items() if seen[n] != c]
            raise PanelError("lamps: " + ", ".join(wrong))
        return seen

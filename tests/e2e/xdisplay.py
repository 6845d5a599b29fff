"""A virtual X display (Xvfb) and what a user does on it: look at the
screen, find windows, move the mouse, click, type.

No window manager runs there: windows have no frame, and an X window of
Wine's is the client area of its Win32 window. Keys go to the window under
the pointer (the X server's focus is PointerRoot).
"""
import os
import select
import shutil
import subprocess
from dataclasses import dataclass

from processes import Deadline

SCREEN_SIZE = (1280, 800)  # the default: the whole window fits at its designed place
# ImageMagick's own import; a differently behaving one may come earlier in PATH.
IMPORT = "/usr/bin/import" if os.access("/usr/bin/import", os.X_OK) else shutil.which("import")


class DisplayError(Exception):
    pass


@dataclass
class Window:
    id: str
    x: int
    y: int
    width: int
    height: int

    def contains(self, x, y):
        return self.x <= x < self.x + self.width and self.y <= y < self.y + self.height


class Screenshot:
    """The screen's pixels, from a binary PPM."""

    def __init__(self, ppm):
        # Header: P6, width, height, maxval (255), each token then whitespace.
        fields, pos = [], 0
        while len(fields) < 4:
            while ppm[pos:pos + 1].isspace():
                pos += 1
            start = pos
            while not ppm[pos:pos + 1].isspace():
                pos += 1
            fields.append(ppm[start:pos])
        if fields[0] != b"P6" or fields[3] != b"255":
            raise DisplayError("unexpected screenshot format %r" % fields)
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = ppm[pos + 1:]

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.pixels[i:i + 3])

    def region(self, window):
        """The pixels of a window, row by row, for comparing two looks."""
        return [self.pixels[3 * (row * self.width + window.x):3 * (row * self.width + window.x + window.width)]
                for row in range(window.y, window.y + window.height)]


class VirtualDisplay:
    """An Xvfb of `size` (width, height) on a display number it picks itself
    among the free ones."""

    def __init__(self, processes, log_path, size=SCREEN_SIZE, start_seconds=15):
        self.size = tuple(size)
        read_end, write_end = os.pipe()
        with open(log_path, "wb") as log:
            self.process = processes.start(
                ["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp",
                 "-screen", "0", "%dx%dx24" % self.size],
                pass_fds=(write_end,), stdout=log, stderr=log, stdin=subprocess.DEVNULL)
        os.close(write_end)
        try:
            self.name = ":" + self._read_display_number(read_end, Deadline(start_seconds))
        finally:
            os.close(read_end)
        self.env = dict(os.environ, DISPLAY=self.name)

    def _read_display_number(self, fd, deadline):
        text = b""
        while not text.endswith(b"\n"):
            ready, _, _ = select.select([fd], [], [], deadline.left())
            chunk = os.read(fd, 16) if ready else b""
            if not chunk:
                raise DisplayError("Xvfb did not start (see its log)")
            text += chunk
        return text.decode().strip()

    def run(self, *argv, check=True):
        return subprocess.run(argv, env=self.env, capture_output=True, text=True, timeout=20,
                              check=check).stdout

    def screenshot(self):
        ppm = subprocess.run([IMPORT, "-silent", "-window", "root", "-depth", "8", "ppm:-"],
                             env=self.env, capture_output=True, timeout=20, check=True).stdout
        return Screenshot(ppm)

    def save_png(self, path, window):
        subprocess.run([IMPORT, "-silent", "-window", "root",
                        "-crop", "%dx%d+%d+%d" % (window.width, window.height, window.x, window.y),
                        "+repage", "-strip", path], env=self.env, timeout=20, check=True)

    def windows(self, title):
        """Visible windows with exactly this title."""
        ids = self.run("xdotool", "search", "--onlyvisible", "--name", "^%s$" % title, check=False).split()
        found = []
        for window_id in ids:
            geometry = {}
            for line in self.run("xdotool", "getwindowgeometry", "--shell", window_id, check=False).split():
                key, _, value = line.partition("=")
                geometry[key] = value
            if {"X", "Y", "WIDTH", "HEIGHT"} <= geometry.keys():
                found.append(Window(window_id, int(geometry["X"]), int(geometry["Y"]),
                                    int(geometry["WIDTH"]), int(geometry["HEIGHT"])))
        return found

    def click(self, x, y):
        self.run("xdotool", "mousemove", str(x), str(y), "click", "1")

    def point(self, x, y):
        self.run("xdotool", "mousemove", str(x), str(y))

    def key(self, *keys):
        self.run("xdotool", "key", "--delay", "30", *keys)

    def type(self, text):
        self.run("xdotool", "type", "--delay", "30", text)

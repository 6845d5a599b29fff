"""Where each component of the panel's window sits, read from the layout
resource the program builds its window from (ui/Unit1.dfm).

Left/Top in the layout are relative to the parent's client area; the
position of a component in the form's client area is the sum over its
parents below the form. On a screen of other than 96 pixels per inch the
program scales each value as it reads it, rounded to the nearest pixel
(halves away from zero), and so does this.
"""
import re
from dataclasses import dataclass

_OBJECT = re.compile(r"^\s*object\s+(\w+)\s*:\s*(\w+)\s*$")
_END = re.compile(r"^\s*end\s*$")
_GEOMETRY = re.compile(r"^\s*(Left|Top|Width|Height)\s*=\s*(-?\d+)\s*$")


@dataclass
class Rect:
    x: int
    y: int
    width: int
    height: int

    @property
    def centre(self):
        return self.x + self.width // 2, self.y + self.height // 2

    @property
    def right(self):
        return self.x + self.width

    @property
    def bottom(self):
        return self.y + self.height


def scaled(value, pixels_per_inch):
    """A layout value at 96 pixels per inch, at pixels_per_inch."""
    magnitude = (abs(value) * pixels_per_inch * 2 + 96) // (2 * 96)
    return -magnitude if value < 0 else magnitude


class Layout:
    """Rectangles of the form's components in its client area, by name."""

    def __init__(self, path, pixels_per_inch=96):
        self.rects = {}
        self.form_name = None
        self.pixels_per_inch = pixels_per_inch
        self._read(path)

    def _read(self, path):
        # Each open object: [name, left, top, width, height]; the form is first.
        stack = []
        with open(path, encoding="latin-1") as layout:
            for line in layout:
                if _OBJECT.match(line):
                    stack.append([_OBJECT.match(line).group(1), 0, 0, 0, 0])
                elif _END.match(line) and stack:
                    name, left, top, width, height = stack.pop()
                    if not stack:
                        self.form_name = name
                        continue
                    # Parents (other than the form) offset their children.
                    x = left + sum(parent[1] for parent in stack[1:])
                    y = top + sum(parent[2] for parent in stack[1:])
                    self.rects[name] = Rect(x, y, width, height)
                elif _GEOMETRY.match(line) and stack:
                    key, value = _GEOMETRY.match(line).groups()
                    index = ("Left", "Top", "Width", "Height").index(key) + 1
                    stack[-1][index] = scaled(int(value), self.pixels_per_inch)

    def __getitem__(self, name):
        return self.rects[name]

    def content_extent(self):
        """Width and height the client area needs to hold every component."""
        return (max(r.right for r in self.rects.values()),
                max(r.bottom for r in self.rects.values()))

    def lamp(self, name):
        """The lamp of "DI1".."DI5" or "DO1".."DO12"."""
        return self.rects["Shape_%s_%s" % (name[:2], name[2:])]

    def output_button(self, n):
        return self.rects["Button_DO%d" % n]


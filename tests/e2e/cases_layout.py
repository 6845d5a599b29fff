"""The window as drawn: room for every component, the lamps as white circles
with a black outline until an address is applied, and a resize that moves
nothing."""
import os

import expected
from expected import LAMPS
from processes import wait_for
from steps import check, close_cleanly, start
from xdisplay import Window

WHITE, BLACK = (255, 255, 255), (0, 0, 0)


def circle(rect):
    """The lamp's circle: diameter the smaller side, centred in the other."""
    side = min(rect.width, rect.height)
    return rect.x + (rect.width - side) // 2, rect.y + (rect.height - side) // 2, side


def check_lamp_drawn_unlit(panel, shot, name):
    x, y, side = circle(panel.layout.lamp(name))
    at = lambda dx, dy: shot.pixel(panel.window.x + x + dx, panel.window.y + y + dy)
    middle = side // 2
    check(at(middle, middle) == WHITE, "lamp %s is %s inside, not white" % (name, at(middle, middle)))
    for edge in ((0, middle), (side - 1, middle), (middle, 0), (middle, side - 1)):
        check(at(*edge) == BLACK, "lamp %s has no black outline at %s: %s" % (name, edge, at(*edge)))
    corner = at(1, 1)
    check(corner not in (WHITE, BLACK), "lamp %s is not round: its corner is %s" % (name, corner))


def first_paint(panel, seconds=5):
    """A screenshot once every lamp is white: a window is on screen a moment
    before it has painted (black inside until then). Never white: the last
    shot, for the checks to name what is wrong."""
    shots = []

    def painted():
        shots.append(panel.display.screenshot())
        return set(panel.lamps(shots[-1]).values()) == {expected.WHITE}

    wait_for(painted, seconds, 0.1)
    return shots[-1]


def masked(shot, area, hole):
    """The area's pixels with a hole blanked (the text field's caret blinks)."""
    rows = shot.region(area)
    for row in range(hole.y, hole.y + hole.height):
        line = bytearray(rows[row - area.y])
        line[3 * (hole.x - area.x):3 * (hole.x + hole.width - area.x)] = bytes(3 * hole.width)
        rows[row - area.y] = bytes(line)
    return rows


def window_as_laid_out(bench):
    panel = start(bench, "layout")
    width, height = bench.layout.content_extent()
    check(panel.window.width >= width and panel.window.height >= height,
          "client area %dx%d, the components need %dx%d" % (panel.window.width, panel.window.height, width, height))
    shot = first_paint(panel)
    panel.display.save_png(os.path.join(bench.work_dir, "layout.png"), panel.window)
    for name in LAMPS:
        check_lamp_drawn_unlit(panel, shot, name)

    # Bigger and smaller: the components stay where they are.
    content = Window("content", panel.window.x, panel.window.y, width, height)
    field = panel.on_screen("MaskEdit_REGISTER")
    before = masked(shot, content, field)
    for size in ((width + 200, height + 120), (width - 100, height - 80)):
        panel.display.run("xdotool", "windowsize", panel.window.id, str(size[0]), str(size[1]))
        check(wait_for(lambda: [w for w in panel.display.windows("Tarnwick") if (w.width, w.height) == size], 5, 0.1),
              "the window did not take the size %dx%d" % size)
    panel.display.run("xdotool", "windowsize", panel.window.id, str(panel.window.width), str(panel.window.height))
    wait_for(lambda: [w for w in panel.display.windows("Tarnwick") if w.width == panel.window.width], 5, 0.1)
    after = wait_for(lambda: masked(panel.display.screenshot(), content, field) == before, 5, 0.2)
    check(after, "a component moved or changed when the window was resized")
    close_cleanly(panel)


CASES = [
    ("the window holds every component, lamps white and round before Set, a resize moves nothing",
     window_as_laid_out),
]

"""The window as drawn: room for every component, the lamps as white circles
with a black outline until an address is applied, and a resize that moves
nothing."""
import os

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


def masked(shot, area, hole):
    """The area's pixels with a hole blanked (the text field's caret blinks)."""
    rows = shot.region(area)
    for row in range(hole.y, hole.y + hole.height):
        line = bytearray(rows[row - area.y])
        line[3 * (hole.x - area.x):3 * (hole.x + hole.width - area.x)] = bytes(3 * hole.width)
        rows[row - area.y] = bytes(line)
    return rows


def settled(panel, content, field, seconds=10):
    """A screenshot once the window's first paint is complete: the first of
    two in a row that show the same (a slow machine shows the window before
    it has painted it)."""
    shots = [panel.display.screenshot()]

    def same_twice():
        shots.append(panel.display.screenshot())
        return masked(shots[-2], content, field) == masked(shots[-1], content, field)

    wait_for(same_twice, seconds, 0.2)
    return shots[-1]


def window_as_laid_out(bench):
    panel = start(bench, "layout")
    width, height = bench.layout.content_extent()
    check(panel.window.width >= width and panel.window.height >= height,
          "client area %dx%d, the components need %dx%d" % (panel.window.width, panel.window.height, width, height))
    content = Window("content", panel.window.x, panel.window.y, width, height)
    field = panel.on_screen("MaskEdit_REGISTER")
    shot = settled(panel, content, field)
    panel.display.save_png(os.path.join(bench.work_dir, "layout.png"), panel.window)
    for name in LAMPS:
        check_lamp_drawn_unlit(panel, shot, name)

    # Bigger and smaller: the components stay where they are.
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

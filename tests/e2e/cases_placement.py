"""Where the window opens: at its designed place when the whole window fits
on the screen, otherwise moved the least distance onto it, its size kept.

With no window manager the X window is the window's client area, so the
outer rectangle is worked out from the client area and the frame. The
frame is measured on the large screen, where the window keeps its designed
place, and is the same on every screen."""
from steps import check, close_cleanly, start

DESIGNED = (289, 122)   # the window's outer top-left in the layout
OUTER_SIZE = (947, 589)  # frame and title bar included
SMALL_SCREEN = (1024, 768)

# The frame as measured on the large screen: the client area's offset in the
# window and its size.
measured = {}


def open_window(bench, scenario):
    panel = start(bench, scenario)
    window = panel.window
    close_cleanly(panel)
    return window


def at_designed_place(bench):
    window = open_window(bench, "placement-large")
    left, top = window.x - DESIGNED[0], window.y - DESIGNED[1]
    right = OUTER_SIZE[0] - left - window.width
    bottom = OUTER_SIZE[1] - top - window.height
    # A sizeable frame: the same border left, right and below, the title bar above.
    check(left == right == bottom and top > left >= 0,
          "client area %dx%d at %d,%d: not the client area of a %dx%d window at %d,%d "
          "(frame left %d, top %d, right %d, bottom %d)" % (
              window.width, window.height, window.x, window.y, OUTER_SIZE[0], OUTER_SIZE[1],
              DESIGNED[0], DESIGNED[1], left, top, right, bottom))
    measured.update(offset=(left, top), client=(window.width, window.height))


def inside_small_screen(bench):
    check(measured, "no frame measured: the large-screen case must run first and pass")
    with bench.screen(SMALL_SCREEN):
        window = open_window(bench, "placement-small")
    check((window.width, window.height) == measured["client"],
          "client area %dx%d on the small screen, %dx%d on the large one" % (
              window.width, window.height, *measured["client"]))
    outer_left, outer_top = window.x - measured["offset"][0], window.y - measured["offset"][1]
    # Off the right edge only: moved left until its right edge is the screen's.
    expected = (SMALL_SCREEN[0] - OUTER_SIZE[0], DESIGNED[1])
    check((outer_left, outer_top) == expected,
          "window at %d,%d on a %dx%d screen, expected %d,%d" % (
              outer_left, outer_top, *SMALL_SCREEN, *expected))
    check(outer_left >= 0 and outer_top >= 0 and outer_left + OUTER_SIZE[0] <= SMALL_SCREEN[0]
          and outer_top + OUTER_SIZE[1] <= SMALL_SCREEN[1], "the window is not wholly on the screen")


CASES = [
    ("on a large screen the window opens at its designed place 289,122", at_designed_place),
    ("on a 1024x768 screen the window is moved wholly onto it, its client area unchanged",
     inside_small_screen),
]

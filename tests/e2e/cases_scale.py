"""The window on screens at 100, 125, 150 and 200 % (96, 120, 144 and 192
pixels per inch, a Wine prefix each with its LogPixels): its client area
the designed one scaled, the lamps at their scaled places and painted
after Set, every caption within its control (checked inside the program by
the window tests' screen-scale cases, run in the same prefix), and a
picture of each in the work folder for a person to look at. A window
larger than the screen opens with its top-left corner on it, its layout
still scaled."""
import os

from layout import scaled
from expected import LAMPS, WHITE
from processes import wait_for
from steps import apply_address, check, close_cleanly, start

# Room for the window at 200 % at its designed place (289,122).
LARGE_SCREEN = (2560, 1440)
SMALL_SCREEN = (1280, 800)
SCREEN_CHECKS = "ScaledWindow.AtTheScreensScale*"

# The client area at 96 pixels per inch, measured by the first case.
measured = {}


def window_tests(bench):
    return os.path.join(os.path.dirname(bench.bin_dir), "tests", "bin", "window_tests.exe")


def at_scale(pixels_per_inch):
    def case(bench):
        with bench.screen(LARGE_SCREEN, pixels_per_inch):
            panel = start(bench, "scale-%d" % pixels_per_inch)
            client = (panel.window.width, panel.window.height)
            if pixels_per_inch == 96:
                measured["client"] = client
            check(measured, "no client area measured at 96 pixels per inch: that case must run first and pass")
            expected = tuple(scaled(n, pixels_per_inch) for n in measured["client"])
            check(all(abs(got - want) <= 1 for got, want in zip(client, expected)),
                  "client area %dx%d at %d pixels per inch, expected %dx%d (%dx%d scaled)" % (
                      *client, pixels_per_inch, *expected, *measured["client"]))
            # Painted white first (a large window takes a while to paint).
            panel.wait_lamps({name: WHITE for name in LAMPS})
            # The lamps are read at their scaled centres.
            apply_address(panel, "0X378")
            bench.display.save_png(os.path.join(bench.work_dir, "scale-%d.png" % pixels_per_inch), panel.window)
            close_cleanly(panel)
            result = bench.wine.run(window_tests(bench), ["--gtest_filter=" + SCREEN_CHECKS],
                                    bench.port_name("scale-tests"), timeout=90)
            failures = [line for line in result.stdout.splitlines() if "Failure" in line or "FAILED" in line
                        or line.startswith(("Expected", "  Actual", "Value of", "Which is"))]
            check(result.returncode == 0 and "[  PASSED  ] 4 tests" in result.stdout,
                  "the window tests at %d pixels per inch: exit code %s: %s" % (
                      pixels_per_inch, result.returncode, " | ".join(failures[:12]) or result.stdout[-600:]))
    return case


CASES = [("at %d pixels per inch the client area is scaled, captions fit and the lamps show the port" % n,
          at_scale(n)) for n in (96, 120, 144, 192)]


def larger_than_the_screen(bench):
    with bench.screen(SMALL_SCREEN, 144):
        panel = bench.panel("scale-small-screen")
        # Wine cuts a window to the screen: the panel's is the largest.
        found = wait_for(lambda: panel.display.windows("Tarnwick"), 30, 0.1)
        check(found, "no window titled Tarnwick appeared")
        panel.window = max(found, key=lambda w: w.width * w.height)
        window = panel.window
        # Its top-left corner at the screen's (the client area just inside the frame).
        check(0 <= window.x <= 16 and 0 <= window.y <= 64,
              "client area at %d,%d: the window's top-left corner is not at the screen's" % (window.x, window.y))
        # Scaled as on a large screen: the first lamps at their places at 150 %.
        panel.wait_lamps({name: WHITE for name in ("DI1", "DI5", "DO1", "DO6")})
        close_cleanly(panel)


CASES.append(("at 150 % on a 1280x800 screen the window opens with its top-left corner on it, still scaled",
              larger_than_the_screen))

"""The port library missing, without one of its entry points, or with its
port driver not running: one message, then the window; what the library
can't do is left undone, no port is shown that isn't there, and the program
keeps running."""
import time

from console import writes
from expected import check_reads_after_set, lamp_colours
from layout import Rect
from processes import wait_for
from steps import PORT, apply_address, check, check_lamps_white, check_one_message, close_cleanly, dismiss

# Wine runs programs elevated and has no such driver service: the library did
# not install it (cases_driver.py sets what else Windows would tell).
DRIVER_NOT_RUNNING = ("inpout32.dll is loaded, but its port driver is not running.\n"
                      "The driver is not installed, though this program runs elevated: the library did not install "
                      "it.\n"
                      "Run the library's own installer; if that fails, Event Viewer: System log, event 7000 says why.\n"
                      "PortCheck --driver tells more.\n")
VALUE_CAPTIONS = ["LabelHexValueData", "LabelHexValueControl", "LabelHexValueStatus"]


def start_after_message(bench, scenario, library, text, prepare=None):
    panel = bench.panel(scenario, library, prepare)
    dismiss(panel, check_one_message(panel, text))
    panel.wait_window()
    return panel


def caption_is_dash(panel, shot, name):
    """Whether the value caption shows "-": its dark pixels form one short
    horizontal stroke (a digit spans many rows)."""
    label = panel.on_screen(name)
    area = Rect(label.x, label.y, 40, label.height)  # room for "255" to the right
    dark = [(x, y) for y, row in enumerate(shot.region(area)) for x in range(area.width)
            if max(row[3 * x:3 * x + 3]) < 100]
    if not dark:
        return False
    rows = {y for _, y in dark}
    columns = {x for x, _ in dark}
    return len(rows) <= 2 and len(columns) > len(rows)


def check_values_dashed(panel):
    """After Set the three value captions show "-", and keep it as the
    captions are refreshed."""
    check(wait_for(lambda: all(caption_is_dash(panel, panel.display.screenshot(), n) for n in VALUE_CAPTIONS), 5),
          "the value captions don't show \"-\"")
    time.sleep(0.3)  # dozens of refreshes
    shot = panel.display.screenshot()
    not_dashed = [n for n in VALUE_CAPTIONS if not caption_is_dash(panel, shot, n)]
    check(not not_dashed, "no longer \"-\": %s" % ", ".join(not_dashed))


def check_clicks_change_no_button(panel):
    """Clicks every output button; each keeps its look: no caption turns
    bold. (The last one keeps the focus, so it is left out; it gets the
    focus first, so that the focus leaving another is no change of look.)"""
    buttons = [panel.on_screen("Button_DO%d" % n) for n in range(1, 12)]
    panel.click_output(12)
    before = panel.display.screenshot()
    for n in range(1, 13):
        panel.click_output(n)
    time.sleep(0.5)  # dozens of repaints
    check(panel.running(), "the program ended after clicking the outputs")
    after = panel.display.screenshot()
    changed = ["DO%d" % n for n, b in enumerate(buttons, 1) if after.region(b) != before.region(b)]
    check(not changed, "buttons changed their look when clicked: %s" % ", ".join(changed))


def without_port(bench, scenario, library, text, prepare=None):
    panel = start_after_message(bench, scenario, library, text, prepare)
    panel.set_address("0X378")
    check_values_dashed(panel)
    check_lamps_white(panel, "after Set")
    check_clicks_change_no_button(panel)
    check_lamps_white(panel, "after the clicks")
    check(panel.console.log() == [], "the port was accessed: %s" % panel.console.log()[:3])
    check(len(panel.messages()) == 1, "further messages: %r" % panel.messages()[1:])
    close_cleanly(panel)


def library_missing(bench):
    without_port(bench, "no-library", None, "LoadLibrary Failed.\n")


def library_without_inp32(bench):
    without_port(bench, "no-inp32", "no-inp32", "GetProcAddress for Inp32 Failed.\n")


def driver_not_running(bench):
    def stop_driver(console):
        console.command("driver", "stopped")

    without_port(bench, "driver-stopped", "full", DRIVER_NOT_RUNNING, stop_driver)


def library_without_out32(bench):
    panel = start_after_message(bench, "no-out32", "no-out32", "GetProcAddress for Oup32 Failed.\n")
    apply_address(panel, "0X378")
    problem = check_reads_after_set(panel.console.log(), PORT)
    check(problem is None, problem)
    shot = panel.display.screenshot()
    check(not any(caption_is_dash(panel, shot, n) for n in VALUE_CAPTIONS), "values shown as \"-\" though read")
    registers = panel.console.registers()
    panel.console.clear_log()
    check_clicks_change_no_button(panel)
    log = panel.console.log()
    check(len(log) > 0, "the lamps stopped reading the port")
    check(not writes(log), "writes reached the port: %s" % ", ".join(map(str, writes(log))))
    check(panel.console.registers() == registers, "the registers changed")
    panel.wait_lamps(lamp_colours(**registers))
    close_cleanly(panel)


CASES = [
    ("no port library: one message, then the window; no port shown, nothing reaches it", library_missing),
    ("library without Out32: one message; reads work, the buttons do nothing", library_without_out32),
    ("library without Inp32: one message; no port shown, nothing reaches it", library_without_inp32),
    ("library's port driver not running: one message; no port shown, no call into the library",
     driver_not_running),
]

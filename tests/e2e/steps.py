"""Steps the cases share: start the panel, apply an address, switch an
output, look for a message, close."""
from console import writes
from expected import WHITE, LAMPS, apply_writes, lamp_colours, output_writes
from processes import wait_for

PORT = 0x378


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def start(bench, scenario, library="full"):
    """The panel, with its window up."""
    panel = bench.panel(scenario, library)
    panel.wait_window()
    return panel


def check_lamps_white(panel, when="before Set"):
    lamps = panel.lamps()
    lit = ["%s %s" % (name, lamps[name]) for name in LAMPS if lamps[name] != WHITE]
    check(not lit, "lamps painted %s: %s" % (when, ", ".join(lit)))


def apply_address(panel, text):
    """Types the address, presses Set and waits for the lamps to show the
    port's registers."""
    panel.set_address(text)
    check(wait_for(lambda: len(panel.console.log()) >= 3, 5, 0.1),
          "Set with %r read nothing from the port" % text)
    panel.wait_lamps(lamp_colours(**panel.console.registers()))


def switch_output(panel, n, on, base=PORT):
    """Clicks output n's button; checks its writes and that the lamps follow."""
    registers = panel.console.registers()
    panel.console.clear_log()
    panel.click_output(n)
    expected = output_writes(n, on, base)
    wait_for(lambda: len(writes(panel.console.log())) >= len(expected), 5, 0.05)
    got = writes(panel.console.log())
    what = "DO%d %s" % (n, "on" if on else "off")
    check(got == expected, "%s wrote [%s], expected [%s]" % (
        what, ", ".join(map(str, got)), ", ".join(map(str, expected))))
    registers = apply_writes(registers, expected, base)
    # Status as the port reads it now: with a loopback it follows the outputs.
    registers["status"] = panel.console.registers()["status"]
    panel.wait_lamps(lamp_colours(**registers))
    check(writes(panel.console.log()) == expected, "%s: more writes followed" % what)


def check_one_message(panel, text):
    """Exactly one message box, titled "Tarnwick", with this text and no icon."""
    boxes = panel.wait_message_box()
    check(len(boxes) == 1, "%d message boxes at once" % len(boxes))
    check(not panel.form_visible(), "the window is up before the message is dismissed")
    check(wait_for(panel.messages, 5) == [text], "message texts %r, expected %r" % (panel.messages(), text))
    check(not has_colour(panel.display.screenshot(), boxes[0]), "the message box shows an icon")
    return boxes[0]


def has_colour(shot, window):
    """Whether the window holds any saturated pixel: every standard message
    box icon is coloured, the box's text and face are grey."""
    for row in shot.region(window):
        for i in range(0, len(row), 3):
            r, g, b = row[i:i + 3]
            if max(r, g, b) - min(r, g, b) > 60:
                return True
    return False


def dismiss(panel, box):
    """Enter on the message box, as a user would."""
    panel.display.point(box.x + box.width // 2, box.y + box.height // 2)
    panel.display.key("Return")
    check(wait_for(lambda: not panel.message_boxes(), 5, 0.1),
          "a message box is still up after Enter; messages so far: %r" % panel.messages())


def close_cleanly(panel):
    code = panel.close()
    check(code == 0, "exit code %s after closing the window%s" % (code, panel.wine_errors()))

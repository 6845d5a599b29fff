"""The keyboard keeps working: after a message, after Set has disabled the
field and its button, and after another window has had the activation."""
from console import writes
from expected import check_reads_after_set, output_writes
from processes import wait_for
from steps import PORT, apply_address, check, close_cleanly, dismiss, start

OTHER_WINDOW = "Untitled - Notepad"


def press_and_expect_writes(panel, keys, expected, what):
    panel.console.clear_log()
    panel.display.key(*keys)
    wait_for(lambda: len(writes(panel.console.log())) >= len(expected), 5, 0.05)
    got = writes(panel.console.log())
    check(got == expected, "%s wrote [%s], expected [%s]" % (
        what, ", ".join(map(str, got)), ", ".join(map(str, expected))))


def keys_after_a_message_and_after_set(bench):
    panel = start(bench, "focus-keys")
    panel.console.command("base", "0x888")  # the port the keys will choose
    # The field has the focus at start: "zz" goes in front of "0X378".
    panel.display.point(*panel.at("GroupBox2"))
    panel.display.type("zz")
    panel.click("ButtonSet")
    dismiss(panel, panel.wait_message_box()[0])
    # The focus is back on Set: Shift+Tab to the field, a new address, Tab
    # to Set and Space to press it.
    panel.display.point(*panel.at("GroupBox2"))
    panel.display.key("shift+Tab", "End", "shift+Home")
    panel.display.type("0x888")
    panel.display.key("Tab", "space")
    check(wait_for(lambda: len(panel.console.log()) >= 3, 5, 0.1),
          "Set by the keyboard read nothing; messages: %r" % panel.messages())
    problem = check_reads_after_set(panel.console.log(), 0x888)
    check(problem is None, problem)
    # Set handed the focus on to DO1's button: Tab moves to DO2's.
    press_and_expect_writes(panel, ["Tab", "space"], output_writes(2, True, 0x888), "Tab, Space after Set")
    check(len(panel.messages()) == 1, "further messages: %r" % panel.messages()[1:])
    close_cleanly(panel)


def focus_back_after_another_window(bench):
    panel = start(bench, "focus-away")
    apply_address(panel, "0X378")
    panel.display.point(*panel.at("GroupBox2"))
    panel.display.key("Tab", "Tab")  # from DO1's button, where Set left the focus, to DO3's
    button = panel.on_screen("Button_DO3")
    focused = panel.display.screenshot().region(button)

    # Another program's window takes the activation, then closes.
    other = bench.wine.start(bench.processes, "notepad.exe", panel.port_name)
    windows = wait_for(lambda: panel.display.windows(OTHER_WINDOW), 30, 0.1)
    check(windows, "no %r window appeared" % OTHER_WINDOW)
    check(wait_for(lambda: panel.display.screenshot().region(button) != focused, 5, 0.1),
          "DO3's button kept its focus look while another window was active")
    panel.display.point(windows[0].x + windows[0].width // 2, windows[0].y + windows[0].height // 2)
    panel.display.key("alt+F4")
    check(wait_for(lambda: other.poll() is not None, 15, 0.1), "the other window did not close")

    panel.display.point(*panel.at("GroupBox2"))
    check(wait_for(lambda: panel.display.screenshot().region(button) == focused, 5, 0.1),
          "DO3's button did not get the focus back")
    press_and_expect_writes(panel, ["space"], output_writes(3, True, PORT), "Space on the panel's return")
    close_cleanly(panel)


CASES = [
    ("after a refused address the keys still work: a new address by keys, then Tab and Space on the outputs",
     keys_after_a_message_and_after_set),
    ("another window active and gone: the focused output button has the focus again", focus_back_after_another_window),
]

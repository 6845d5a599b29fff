"""The base address: Set reads the three registers once and locks the
field; text that is no number is refused with a message."""
from console import writes
from expected import check_reads_after_set
from processes import wait_for
from steps import PORT, apply_address, check, check_lamps_white, close_cleanly, dismiss, start


def set_reads_registers_once_then_locks(bench):
    panel = start(bench, "set-address")
    # Before Set the port is left alone: no lamp is painted, no output writes.
    panel.click_output(2)
    panel.click_output(12)
    check_lamps_white(panel)
    check(panel.console.log() == [], "port accessed before Set")

    apply_address(panel, "0X378")
    log = panel.console.log()
    problem = check_reads_after_set(log, PORT)
    check(problem is None, problem)

    # The field and Set are disabled: typing and clicking change nothing.
    field = panel.on_screen("MaskEdit_REGISTER")
    before = panel.display.screenshot().region(field)
    panel.set_address("0x278")
    count = len(log)
    wait_for(lambda: len(panel.console.log()) > count + 40, 5, 0.05)  # a few repaints later
    log = panel.console.log()
    problem = check_reads_after_set(log, PORT)
    check(problem is None, "after typing and Set on the locked field: %s" % problem)
    check(panel.display.screenshot().region(field) == before, "the locked address field changed")
    close_cleanly(panel)


def bad_address_is_refused(bench):
    panel = start(bench, "bad-address")
    panel.set_address("zz")
    box = panel.wait_message_box()[0]
    check(wait_for(panel.messages, 5) == ["'zz' is not a valid integer value."],
          "messages %r" % panel.messages())
    check(panel.console.log() == [], "the port was accessed for a bad address")
    dismiss(panel, box)
    check_lamps_white(panel)

    # The field and Set still work: decimal 632 is port 0x278, where the
    # virtual port now answers.
    panel.console.command("base", "0x278")
    apply_address(panel, "632")
    log = panel.console.log()
    problem = check_reads_after_set(log, 0x278)
    check(problem is None, problem)
    check(not writes(log), "Set wrote to the port")
    check(len(panel.messages()) == 1, "further messages: %r" % panel.messages()[1:])
    close_cleanly(panel)


CASES = [
    ("Set with 0X378 reads data, status, control once and locks the field",
     set_reads_registers_once_then_locks),
    ("a bad address shows one message and leaves the field usable", bad_address_is_refused),
]

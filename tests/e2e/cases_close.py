"""Closing the window ends the program with exit code 0, and leaves the
port's outputs as they were."""
from console import writes
from steps import apply_address, check, close_cleanly, start, switch_output


def close_before_set(bench):
    panel = start(bench, "close-at-once")
    close_cleanly(panel)
    check(not panel.display.windows("Tarnwick"), "a window titled Tarnwick is still up")


def close_keeps_outputs(bench):
    panel = start(bench, "close-after-outputs")
    apply_address(panel, "0X378")
    switch_output(panel, 3, on=True)
    panel.console.clear_log()
    close_cleanly(panel)
    # The port's state outlives the panel: what it holds now is what the
    # panel left.
    check(not writes(panel.console.log()), "the port was written on the way out")
    registers = panel.console.registers()
    check(registers["data"] == 0x02, "data reads 0x%02X after closing, DO3 set 0x02" % registers["data"])


CASES = [
    ("closing before Set exits with code 0", close_before_set),
    ("closing after switching an output exits with 0 and writes nothing", close_keeps_outputs),
]

"""The input lamps driven from outside: through the loopback plugs from the
panel's own outputs, and by pins and a forced status set at the console.
An input lamp is red while its status bit is clear (BUSY reads inverted)."""
from expected import INPUTS, LIME, RED, YELLOW, input_colours
from steps import apply_address, close_cleanly, start


def expect_inputs(panel, red, **outputs):
    """Input lamps: those in `red` red, the others black; and any output
    lamps given, e.g. DO2=LIME."""
    panel.wait_lamps(dict(input_colours(red), **outputs))


def at_console(panel, *command):
    panel.console.command(*command)


def data_loopback_moves_inputs(bench):
    panel = start(bench, "data-loopback")
    apply_address(panel, "0X378")
    # Power-up: data 0 holds pins 15, 13, 12, 10 and 11 low.
    expect_inputs(panel, ["DI1", "DI3", "DI4", "DI5"])
    for output, colour, red in [(2, LIME, ["DI1", "DI3", "DI4"]),    # D0 -> pin 15 /ERROR
                                (3, YELLOW, ["DI1", "DI3", "DI5"]),  # D1 -> pin 13 SELECT
                                (4, YELLOW, ["DI1", "DI4", "DI5"]),  # D2 -> pin 12 PAPER OUT
                                (5, RED, ["DI3", "DI4", "DI5"]),     # D3 -> pin 10 /ACK
                                (6, RED, INPUTS),                    # D4 -> pin 11 BUSY
                                (7, RED, ["DI1", "DI3", "DI4", "DI5"])]:  # D5: not wired
        panel.click_output(output)
        expect_inputs(panel, red, **{"DO%d" % output: colour})
    close_cleanly(panel)


def open_inputs_follow_pins(bench):
    panel = start(bench, "pins")
    apply_address(panel, "0X378")
    at_console(panel, "wiring", "none")
    expect_inputs(panel, ["DI2"])  # all float high; BUSY high reads as 0
    at_console(panel, "pin", 10, "low")
    expect_inputs(panel, ["DI1", "DI2"])
    at_console(panel, "pin", 11, "low")
    expect_inputs(panel, ["DI1"])
    at_console(panel, "pin", 12, "low")
    expect_inputs(panel, ["DI1", "DI3"])
    at_console(panel, "pin", 13, "low")
    expect_inputs(panel, ["DI1", "DI3", "DI4"])
    at_console(panel, "pin", 15, "low")
    expect_inputs(panel, ["DI1", "DI3", "DI4", "DI5"])
    at_console(panel, "pin", 10, "high")
    expect_inputs(panel, ["DI3", "DI4", "DI5"])
    # Unwired, the outputs reach no input.
    panel.click_output(2)
    expect_inputs(panel, ["DI3", "DI4", "DI5"], DO2=LIME)
    # With the plug back, pins 12, 13 and 15 stay held low, even pin 15
    # against D0 (now 1); pin 10 follows D3 (0).
    at_console(panel, "wiring", "data")
    expect_inputs(panel, ["DI1", "DI3", "DI4", "DI5"])
    # Released, pin 15 follows D0.
    at_console(panel, "pin", 15, "high")
    expect_inputs(panel, ["DI1", "DI3", "DI4"])
    close_cleanly(panel)


def control_loopback_and_forced_status(bench):
    panel = start(bench, "control-loopback")
    apply_address(panel, "0X378")
    # Control 0: pins 1, 14, 17 high (inverted), 16 low; D0 low.
    at_console(panel, "wiring", "control")
    expect_inputs(panel, ["DI1", "DI2", "DI5"])
    panel.click_output(11)  # control 15: each of the four pins flips
    expect_inputs(panel, ["DI3", "DI4", "DI5"])
    at_console(panel, "status", "0x00")
    expect_inputs(panel, INPUTS)
    at_console(panel, "status", "0xF8")
    expect_inputs(panel, [])
    at_console(panel, "status", "auto")
    expect_inputs(panel, ["DI3", "DI4", "DI5"])
    close_cleanly(panel)


CASES = [
    ("data loopback: DO2..DO7 move the input lamps", data_loopback_moves_inputs),
    ("no wiring: input lamps follow pins set at the console", open_inputs_follow_pins),
    ("control loopback and a forced status", control_loopback_and_forced_status),
]

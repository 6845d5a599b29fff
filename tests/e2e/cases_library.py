"""The port library missing, without one of its entry points, or with its
port driver not running: one message, then the window; what the library
can't do is left undone and the program keeps running."""
import time

from console import writes
from expected import check_reads_after_set, lamp_colours
from steps import PORT, apply_address, check, check_one_message, close_cleanly, dismiss

# What an empty bus reads: the lamps of a panel that can't read the port.
NO_READS = lamp_colours(0xFF, 0xFF, 0xFF)
DRIVER_NOT_RUNNING = ("inpout32.dll is loaded, but its port driver is not running.\n"
                      "Start Tarnwick once with Run as administrator, so that the library can install its driver.\n")


def start_after_message(bench, scenario, library, text, prepare=None):
    panel = bench.panel(scenario, library, prepare)
    dismiss(panel, check_one_message(panel, text))
    panel.wait_window()
    return panel


def click_every_output(panel):
    for n in range(1, 13):
        panel.click_output(n)
    # No lamp or log reports the clicks when nothing reaches the port: give
    # them time to go wrong (dozens of repaints).
    time.sleep(0.5)
    check(panel.running(), "the program ended after clicking the outputs")


def without_library(bench, scenario, library, text, prepare=None):
    panel = start_after_message(bench, scenario, library, text, prepare)
    panel.set_address("0X378")
    lamps = panel.wait_lamps(NO_READS)
    click_every_output(panel)
    check(panel.lamps() == lamps, "lamps changed after clicking the outputs")
    check(panel.console.log() == [], "the port was accessed: %s" % panel.console.log()[:3])
    check(len(panel.messages()) == 1, "further messages: %r" % panel.messages()[1:])
    close_cleanly(panel)


def library_missing(bench):
    without_library(bench, "no-library", None, "LoadLibrary Failed.\n")


def library_without_inp32(bench):
    without_library(bench, "no-inp32", "no-inp32", "GetProcAddress for Inp32 Failed.\n")


def driver_not_running(bench):
    def stop_driver(console):
        # The port's state lives while a program has it open: a watching
        # console keeps the stopped driver until the panel opens it too.
        console.hold(bench.processes)
        console.command("driver", "stopped")

    without_library(bench, "driver-stopped", "full", DRIVER_NOT_RUNNING, stop_driver)


def library_without_out32(bench):
    panel = start_after_message(bench, "no-out32", "no-out32", "GetProcAddress for Oup32 Failed.\n")
    apply_address(panel, "0X378")
    problem = check_reads_after_set(panel.console.log(), PORT)
    check(problem is None, problem)
    registers = panel.console.registers()
    panel.console.clear_log()
    click_every_output(panel)
    log = panel.console.log()
    check(len(log) > 0, "the lamps stopped reading the port")
    check(not writes(log), "writes reached the port: %s" % ", ".join(map(str, writes(log))))
    check(panel.console.registers() == registers, "the registers changed")
    panel.wait_lamps(lamp_colours(**registers))
    close_cleanly(panel)


CASES = [
    ("no port library: one message, then the window; nothing reaches the port", library_missing),
    ("library without Out32: one message; reads work, no write reaches the port", library_without_out32),
    ("library without Inp32: one message; the port reads as an empty bus, no write", library_without_inp32),
    ("library's port driver not running: one message; an empty bus, no call into the library",
     driver_not_running),
]

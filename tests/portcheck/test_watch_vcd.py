#!/usr/bin/env python3
"""PortCheck --watch's VCD file as a logic analyser's software reads it:
sigrok-cli's UART decoder gets back the text the virtual port sends, on an
input and on a control line, also from a recording ended by Ctrl+C. Runs PortCheck and the port console under
Wine with a port of its own.

Environment: TARNWICK_WINE_RUN (scripts/wine-run), TARNWICK_PORTCHECK,
TARNWICK_VPORT_LIBRARY, TARNWICK_PORT_CONSOLE, TARNWICK_TEST_WORK (a folder
of its own, emptied first).
"""
import os
import shutil
import signal
import subprocess
import threading
import time
import unittest

WINE_RUN = os.environ["TARNWICK_WINE_RUN"]
WORK = os.environ["TARNWICK_TEST_WORK"]
TEXT = "Tarnwick"
BAUD = 9600
# The text's time on the line: 10 bits a character, and the idle character
# between repetitions. The decoder finds it whole in any stretch of two
# where no blind interval could have hidden half a bit.
REPETITION_S = (len(TEXT) + 1) * 10 / BAUD
HALF_BIT_S = 0.5 / BAUD


def run(args, **kwargs):
    return subprocess.run([WINE_RUN] + args, cwd=WORK, capture_output=True, text=True, timeout=120, **kwargs)


def console(*args):
    result = run([os.environ["TARNWICK_PORT_CONSOLE"]] + list(args))
    assert result.returncode == 0, result.stderr
    return result.stdout


def decode_uart(vcd, wire="pin11_BUSY"):
    """The bytes sigrok-cli's UART decoder finds on a wire (pin 11) at 9600 baud."""
    result = subprocess.run(
        ["sigrok-cli", "-I", "vcd", "-i", os.path.join(WORK, vcd),
         "-P", f"uart:rx={wire}:baudrate={BAUD}:format=ascii", "-A", "uart=rx-data"],
        capture_output=True, text=True, timeout=120)
    assert result.returncode == 0, result.stderr
    return "".join(line.split(": ", 1)[1] for line in result.stdout.splitlines() if ": " in line)


def longest_stretch_without_blind(vcd, at_least_s):
    """The longest time, in seconds, without a blind interval of `at_least_s`
    or longer in the VCD's wire blind."""
    units = {"s": 1.0, "ms": 1e-3, "us": 1e-6, "ns": 1e-9}
    scale, blind, now, stretch_start, blind_start, longest = 1e-6, None, 0, 0, None, 0
    with open(os.path.join(WORK, vcd)) as text:
        for line in text:
            words = line.split()
            if line.startswith("$timescale"):
                scale = int(words[1]) * units[words[2]]
            elif line.startswith("$var") and words[4] == "blind":
                blind = words[3]
            elif line.startswith("#"):
                now = int(line[1:])
            elif blind is not None and line.strip() == "1" + blind:
                blind_start = now
            elif blind is not None and line.strip() == "0" + blind and blind_start is not None:
                if (now - blind_start) * scale >= at_least_s:
                    longest = max(longest, blind_start - stretch_start)
                    stretch_start = now
                blind_start = None
    end = blind_start if blind_start is not None else now
    return max(longest, end - stretch_start) * scale


class WatchVcd(unittest.TestCase):
    def assertTextDecodedOrLostWhereBlind(self, vcd, wire="pin11_BUSY"):
        # On a loaded machine the reading thread can be stopped for longer
        # than half a bit in every stretch: the text is lost then, and the
        # recording says where.
        if TEXT not in decode_uart(vcd, wire):
            self.assertLess(longest_stretch_without_blind(vcd, HALF_BIT_S), 2 * REPETITION_S,
                            f"{TEXT!r} not decoded from {vcd}, though it has a stretch long enough to hold it whole "
                            "where no blind interval could have hidden a bit")

    @classmethod
    def setUpClass(cls):
        shutil.rmtree(WORK, ignore_errors=True)
        os.makedirs(WORK)
        for built in ("TARNWICK_PORTCHECK", "TARNWICK_VPORT_LIBRARY"):
            shutil.copy(os.environ[built], WORK)
        os.environ["TARNWICK_VPORT"] = "TarnwickVirtualPort-watch-vcd"
        console("reset")
        console("wiring", "none")
        console("uart", "pin", "11", str(BAUD), TEXT)
        console("pulse", "pin", "10", "every", "1000", "width", "500")
        cls.exe = os.path.join(WORK, "PortCheck.exe")

    def test_uart_decoded_from_a_recording(self):
        # A few seconds: on a busy machine Windows (or Wine) runs other things
        # in the loop's time, and the decoder needs one whole repetition.
        result = run([self.exe, "--watch", "0x378", "--for", "5", "--vcd", "uart.vcd"])
        self.assertEqual(result.returncode, 0, result.stderr + result.stdout)
        self.assertTextDecodedOrLostWhereBlind("uart.vcd")

    def test_uart_on_a_control_line_decoded_from_all_lines(self):
        # A port of its own: open-collector control lines read back from the
        # pins, the serial line on /AUTOFEED pulling against the port.
        os.environ["TARNWICK_VPORT"] = "TarnwickVirtualPort-watch-vcd-control"
        try:
            console("reset")
            console("readback", "pins")
            console("uart", "pin", "14", str(BAUD), TEXT)
            result = run([self.exe, "--watch", "--lines", "all", "0x378", "--for", "5", "--vcd", "control.vcd"])
        finally:
            os.environ["TARNWICK_VPORT"] = "TarnwickVirtualPort-watch-vcd"
        self.assertEqual(result.returncode, 0, result.stderr + result.stdout)
        self.assertTextDecodedOrLostWhereBlind("control.vcd", "pin14_nAUTOFEED")

    def test_ctrl_c_leaves_a_file_that_is_read_whole(self):
        watch = subprocess.Popen([WINE_RUN, self.exe, "--watch", "0x378", "--vcd", "ctrl-c.vcd"], cwd=WORK,
                                 stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        lines = []
        reader = threading.Thread(target=lambda: lines.extend(watch.stdout), daemon=True)
        reader.start()
        deadline = time.monotonic() + 60
        try:
            while not any(" us  pin 11 BUSY" in line for line in lines):
                self.assertLess(time.monotonic(), deadline, "no change seen: " + "".join(lines))
                time.sleep(0.1)
            time.sleep(5)
            watch.send_signal(signal.SIGINT)  # Wine hands it to the console's Ctrl+C handlers
            self.assertEqual(watch.wait(timeout=60), 0, watch.stderr.read())
        finally:
            if watch.poll() is None:
                watch.kill()
        reader.join(10)
        self.assertTrue(any(line.startswith("Recorded ") for line in lines), "".join(lines))
        with open(os.path.join(WORK, "ctrl-c.vcd")) as vcd:
            text = vcd.read()
        self.assertTrue(text.endswith("\n"))
        self.assertTextDecodedOrLostWhereBlind("ctrl-c.vcd")


if __name__ == "__main__":
    unittest.main()

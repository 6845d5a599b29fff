"""The virtual port as users meet it: a setting made at the console stays
with nothing else running, and the panel shows what the chip reads back."""
import os
import shutil

from console import PortConsole
from steps import apply_address, check, close_cleanly


def setting_outlives_every_program(bench):
    port_name = bench.port_name("kept")
    console = PortConsole(bench.wine, bench.console_exe, port_name)
    check(console.command("pin", 13, "low") == "pin 13 pulled low\n", "the console did not pull pin 13 low")
    # Nothing else runs: the wineserver ends, and with it everything the
    # programs had open; a fresh one knows nothing of the port.
    bench.restart_wine()
    folder = os.path.join(bench.work_dir, "scenarios", "portcheck-kept")
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    shutil.copy2(os.path.join(bench.bin_dir, "PortCheck.exe"), folder)
    shutil.copy2(os.path.join(bench.vport_dir, "inpout32.dll"), folder)
    done = bench.wine.run(os.path.join(folder, "PortCheck.exe"), ["0x378"], port_name)
    check(done.returncode == 1, "PortCheck exit code %d: %s%s" % (done.returncode, done.stdout, done.stderr))
    check("  pin  3 D1         -> pin 13 SELECT     stuck low\n" in done.stdout, done.stdout)
    check("FAIL: 1 of 5 lines faulty" in done.stdout, done.stdout)


def spp_control_reads_back_with_bits_5_to_7_set(bench):
    panel = bench.panel("spp", prepare=lambda console: console.command("chip", "spp"), trace_text=True)
    panel.wait_window()
    apply_address(panel, "0X378")
    # Data 0 and control 0 at power-up; through the data plug status 0x87.
    check(panel.console.registers() == {"data": 0, "status": 0x87, "control": 0xE0},
          "registers %s" % panel.console.registers())
    texts = panel.drawn_texts()
    check("224" in texts and "135" in texts, "the snapshot drew %s, not control 224 and status 135"
          % [t for t in texts if t.isdigit()])
    close_cleanly(panel)


CASES = [
    ("a pin pulled low at the console stays low for PortCheck with nothing else running",
     setting_outlives_every_program),
    ("on the spp chip the snapshot shows control read back with bits 5-7 set",
     spp_control_reads_back_with_bits_5_to_7_set),
]

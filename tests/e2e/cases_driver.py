"""The port library's driver not running, with what Windows tells set in the
Wine prefix (registry values with `reg add`, a driver service with `sc
create`): the panel's message and `PortCheck --driver` name the cause and
what to do, and never tell a program that runs elevated (Wine's always do)
to run as administrator. An old library, without "IsInpOutDriverOpen", whose
driver never loaded: the panel binds it, `--driver` names it, and the
loopback test and --probe give its cause with exit 3.

The x86_64 build is a 64-bit program, so it is on 64-bit Windows; the i686
build sees IsWow64Process TRUE in the 64-bit prefix: both take the driver
service inpoutx64."""
import os
import shutil
import struct
from contextlib import contextmanager

from steps import check, close_cleanly, dismiss
from wine import TOP

DRIVER_NOT_RUNNING = "inpout32.dll is loaded, but its port driver is not running.\n"
CONTROL = r"HKLM\SYSTEM\CurrentControlSet\Control"
MEMORY_INTEGRITY = (CONTROL + r"\DeviceGuard\Scenarios\HypervisorEnforcedCodeIntegrity", "Enabled")
BLOCKLIST = (CONTROL + r"\CI\Config", "VulnerableDriverBlocklistEnable")
SMART_APP_CONTROL = (CONTROL + r"\CI\Policy", "VerifiedAndReputablePolicyState")
SERVICE = "inpoutx64"
OLD_LIBRARY = "no-driver-status"
IF_REFUSED = "if Windows then refuses the driver: "
UNREPORTED = ("PortCheck: this inpout32.dll cannot tell whether its driver runs (no IsInpOutDriverOpen): a port "
              "reading 0 on every line is the sign that it does not.\n")


def wine_tool(bench, *args):
    done = bench.wine.run(args[0], list(args[1:]), "unused")
    check(done.returncode == 0, "%s: exit %d: %s%s" % (" ".join(args), done.returncode, done.stdout, done.stderr))


@contextmanager
def registry_value(bench, key_and_value, data):
    """A DWORD under HKLM for the length of the block."""
    key, value = key_and_value
    wine_tool(bench, "reg", "add", key, "/v", value, "/t", "REG_DWORD", "/d", str(data), "/f")
    try:
        yield
    finally:
        wine_tool(bench, "reg", "delete", key, "/v", value, "/f")


@contextmanager
def driver_service(bench, with_file=True, start="auto"):
    """The driver's service as the library installs it (automatic start), or
    with `start` (demand, disabled, system), stopped, as Wine's service
    manager leaves a kernel driver; its file in the 64-bit system folder, or
    missing. (Wine's sc config does not change the start type: sc create
    sets it.)"""
    path = os.path.join(bench.wine.prefix, "drive_c", "windows", "system32", "drivers", SERVICE + ".sys")
    bench.wine.run("sc", ["delete", SERVICE], "unused")  # one an interrupted run left behind
    wine_tool(bench, "sc", "create", SERVICE, "type=", "kernel", "start=", start,
              "binpath=", "System32\\drivers\\%s.sys" % SERVICE)
    if with_file:
        with open(path, "wb") as driver:
            driver.write(b"MZ")
    try:
        yield
    finally:
        wine_tool(bench, "sc", "delete", SERVICE)
        if os.path.exists(path):
            os.remove(path)


def stop_driver(console):
    console.command("driver", "stopped")


def pe_machine(path):
    """The machine field of a Windows program's PE header."""
    with open(path, "rb") as image:
        image.seek(0x3C)
        image.seek(struct.unpack("<I", image.read(4))[0] + 4)
        return struct.unpack("<H", image.read(2))[0]


def other_bitness_library(bench):
    """The virtual port library of the other build (i686 or x86_64)."""
    ours = pe_machine(os.path.join(bench.bin_dir, "PortCheck.exe"))
    for build in ("build", os.path.join("build", "x86_64")):
        path = os.path.join(TOP, build, "vport", "inpout32.dll")
        if os.path.isfile(path) and pe_machine(path) != ours:
            return path
    raise AssertionError("no library of the other bitness built: both builds are needed")


def port_check(bench, scenario, args, library="full", prepare=stop_driver):
    """PortCheck in a folder of its own with the library beside it (a
    variant's name, or a path), on the scenario's virtual port."""
    folder = os.path.join(bench.work_dir, "scenarios", "portcheck-" + scenario)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    shutil.copy2(os.path.join(bench.bin_dir, "PortCheck.exe"), folder)
    source = library if os.path.isabs(library) else os.path.join(bench.libraries[library], "inpout32.dll")
    shutil.copy2(source, os.path.join(folder, "inpout32.dll"))
    port_name = bench.port_name(scenario)
    if prepare:
        from console import PortConsole
        prepare(PortConsole(bench.wine, bench.console_exe, port_name))
    return bench.wine.run(os.path.join(folder, "PortCheck.exe"), args, port_name)


def panel_message(bench, scenario):
    """The one message the panel shows at start with its driver stopped,
    dismissed; the window then opens and closes cleanly."""
    panel = bench.panel(scenario, "full", stop_driver)
    boxes = panel.wait_message_box()
    check(len(boxes) == 1, "%d message boxes at once" % len(boxes))
    dismiss(panel, boxes[0])
    panel.wait_window()
    messages = panel.messages()
    check(len(messages) == 1, "messages: %r" % messages)
    close_cleanly(panel)
    return messages[0]


def cause_lines(text):
    """The cause and what to do, without the facts above them or the
    protections after them."""
    return "".join(line + "\n" for line in text.splitlines()
                   if line.startswith(("cause: ", "what to do: ", "PortCheck: cause: ", "PortCheck: what to do: ")))


def check_cause(text, cause, action, protections_on=()):
    """`text` gives the cause and what to do; a protection is named only in
    the line after them, and there each of `protections_on` (and no other)."""
    check(cause in text, "the cause %r not in %r" % (cause, text))
    check(action in text, "what to do %r not in %r" % (action, text))
    check("as administrator" not in text, "tells a program that runs elevated to run as administrator: %r" % text)
    check("Sysnative" not in text, "shows a folder no one can open: %r" % text)
    advice = cause_lines(text) or text
    for protection in ("memory integrity", "Smart App Control", "blocklist"):
        check(protection.lower() not in advice.lower(), "%s named without evidence: %r" % (protection, advice))
    refused = [line for line in text.splitlines() if IF_REFUSED in line]
    check(len(refused) == (1 if protections_on else 0), "the protections' line: %r" % text)
    for protection in ("memory integrity", "Smart App Control", "the vulnerable driver blocklist"):
        named = bool(refused) and protection in refused[0]
        check(named == (protection in protections_on), "%s in %r" % (protection, refused))


def driver_report(bench, scenario, cause, action, protections_on=()):
    done = port_check(bench, scenario, ["--driver"])
    check(done.returncode == 3, "PortCheck --driver exit %d: %s%s" % (done.returncode, done.stdout, done.stderr))
    check("this program: elevated [token elevation]\n" in done.stdout, done.stdout)
    check_cause(done.stdout, cause, action, protections_on)
    return done.stdout


SWITCHED_ON = ("memory integrity, switched on: on (1) [HKLM\\SYSTEM\\CurrentControlSet\\Control\\DeviceGuard\\"
               "Scenarios\\HypervisorEnforcedCodeIntegrity, Enabled]\n"
               "memory integrity, running: no [system information class 103, code-integrity option 0x400]\n")
NOT_STARTED = "The driver is installed but stopped: this elevated run did not start it (exit code 1077"
SC_START = "In an elevated Command Prompt, sc start inpoutx64 tells why it does not start."
FILE_MISSING = "inpoutx64.sys (the 64-bit system folder) is missing."
REINSTALL = "Install it again: run the library's own installer."


def memory_integrity_switched_on_not_running(bench):
    """Switched on but not running (Wine's class 103 says 0x1), and nothing
    Windows recorded says it refused the driver: the install state is the
    cause, memory integrity the line after it."""
    with registry_value(bench, MEMORY_INTEGRITY, 1), driver_service(bench):
        report = driver_report(bench, "memory-integrity", NOT_STARTED, SC_START, ["memory integrity"])
        check(SWITCHED_ON in report, report)
        check("  file: C:\\windows\\System32\\drivers\\inpoutx64.sys (the 64-bit system folder), present [" in report,
              report)
        check("  Code Integrity events since boot naming its file: " in report, report)
        message = panel_message(bench, "memory-integrity")
        check(message.startswith(DRIVER_NOT_RUNNING), message)
        check_cause(message, NOT_STARTED, SC_START)
        check(message.count("\n") == 4 and message.endswith("\nPortCheck --driver tells more.\n"), message)
        # The loopback test gives the cause after the binding's message.
        done = port_check(bench, "memory-integrity", ["0x378"])
        check(done.returncode == 3 and done.stdout == "", "exit %d: %s" % (done.returncode, done.stdout))
        check(done.stderr.startswith("PortCheck: " + DRIVER_NOT_RUNNING + "PortCheck: cause: " + NOT_STARTED),
              done.stderr)
        check_cause(done.stderr, NOT_STARTED, SC_START, ["memory integrity"])
    with registry_value(bench, MEMORY_INTEGRITY, 1), driver_service(bench, with_file=False):
        report = driver_report(bench, "memory-integrity-no-file", FILE_MISSING, REINSTALL, ["memory integrity"])
        check(SWITCHED_ON in report and ", missing [" in report, report)


def blocklist_and_smart_app_control(bench):
    cause = "The driver is not installed, though this program runs elevated: the library did not install it."
    with registry_value(bench, BLOCKLIST, 1):
        report = driver_report(bench, "blocklist", cause, "Run the library's own installer;",
                               ["the vulnerable driver blocklist"])
        check("vulnerable driver blocklist: on (1) [" in report, report)
    with registry_value(bench, SMART_APP_CONTROL, 1):
        driver_report(bench, "smart-app-control", cause, "Run the library's own installer;", ["Smart App Control"])


def service_start_types(bench):
    """Demand start, stopped: nothing tried to start it, and nothing says it
    started. Disabled: the command that makes it startable. System start:
    the kernel's, and event 7026."""
    with driver_service(bench, start="demand"):
        report = driver_report(bench, "demand", NOT_STARTED, SC_START)
        check("  start: on demand (3) [" in report and "  state: stopped, last exit code 1077 [" in report, report)
        check("started" not in cause_lines(report), report)
    with driver_service(bench, start="disabled"):
        report = driver_report(bench, "disabled",
                               "The driver inpoutx64 is disabled (error 1058): not even an administrator can start "
                               "it.",
                               "Elevated Command Prompt: sc config inpoutx64 start= demand; then start this program "
                               "twice.")
        check("  start: disabled (4) [" in report, report)
    with driver_service(bench, start="system"):
        report = driver_report(bench, "system-start", "The driver inpoutx64 has start type system: the kernel "
                               "loads it at boot, and did not at the last one.",
                               "Event Viewer: System log, event 7026 names it if it failed then")
        check("  start: system (1) [" in report and "event 7000" not in report, report)


def nothing_known_elevated(bench):
    driver_report(bench, "unknown", "The driver is not installed, though this program runs elevated",
                  "Event Viewer: System log, event 7000")


def working_library(bench):
    done = port_check(bench, "working", ["--driver"], prepare=None)
    check(done.returncode == 0, "exit %d: %s%s" % (done.returncode, done.stdout, done.stderr))
    check("entry points: Inp32, Out32, IsInpOutDriverOpen [GetProcAddress]\ndriver open: yes [IsInpOutDriverOpen]\n"
          in done.stdout, done.stdout)
    check("file version " in done.stdout, done.stdout)
    check("cause: The library reaches the port: the driver is running.\n" in done.stdout, done.stdout)


def old_library_on_64bit_windows(bench):
    panel = bench.panel("old-library", OLD_LIBRARY, stop_driver)
    panel.wait_window()
    check(panel.messages() == [], "messages: %r" % panel.messages())  # bound as any complete library
    close_cleanly(panel)
    done = port_check(bench, "old-library", ["--driver"], OLD_LIBRARY)
    check(done.returncode == 3, "exit %d: %s" % (done.returncode, done.stdout))
    check("entry points: Inp32, Out32; no IsInpOutDriverOpen [GetProcAddress]\n" in done.stdout, done.stdout)
    check("on 64-bit Windows an old version reaches no port" in done.stdout, done.stdout)
    for args in (["0x378"], ["--probe", "0x378"]):
        done = port_check(bench, "old-library", args, OLD_LIBRARY)
        check(done.returncode == 3, "%s: exit %d: %s%s" % (args, done.returncode, done.stdout, done.stderr))
        check(done.stdout == "", done.stdout)
        check(done.stderr.startswith("PortCheck: cause: This inpout32.dll is an old version (no IsInpOutDriverOpen)"),
              done.stderr)
    # --watch only reads: it says what it can't tell before it records, and
    # again after, where every line read 0 all along.
    done = port_check(bench, "old-library", ["--watch", "--for", "1", "0x378"], OLD_LIBRARY)
    check(done.returncode == 0, "--watch: exit %d: %s%s" % (done.returncode, done.stdout, done.stderr))
    check(done.stderr == UNREPORTED * 2, done.stderr)
    # Where the driver runs, the same library reaches the port: nothing said.
    done = port_check(bench, "old-library-working", ["0x378"], OLD_LIBRARY, prepare=None)
    check(done.returncode == 0, "exit %d: %s%s" % (done.returncode, done.stdout, done.stderr))
    done = port_check(bench, "old-library-working", ["--watch", "--for", "1", "0x378"], OLD_LIBRARY, prepare=None)
    check(done.returncode == 0 and done.stderr == UNREPORTED, "--watch: exit %d: %s" % (done.returncode, done.stderr))


def library_of_the_other_bitness(bench):
    done = port_check(bench, "other-bitness", ["0x378"], other_bitness_library(bench), prepare=None)
    check(done.returncode == 3, "exit %d: %s%s" % (done.returncode, done.stdout, done.stderr))
    check(done.stderr.startswith("PortCheck: LoadLibrary Failed.\nPortCheck: cause: inpout32.dll is no DLL a "),
          done.stderr)
    check("(error 193: a DLL of the other bitness, or not a DLL)" in done.stderr, done.stderr)
    done = port_check(bench, "other-bitness", ["--driver"], other_bitness_library(bench), prepare=None)
    check(done.returncode == 3, "exit %d: %s" % (done.returncode, done.stdout))
    check("inpout32.dll: there, not loaded, error 193 [LoadLibrary, GetFileAttributes]\n" in done.stdout,
          done.stdout)


CASES = [
    ("memory integrity switched on, not running: the install state is the cause (file present, file missing), the "
     "protection the line after it, in --driver, the panel and the loopback test", memory_integrity_switched_on_not_running),
    ("the vulnerable driver blocklist and Smart App Control switched on: named after the install state, never as the "
     "cause", blocklist_and_smart_app_control),
    ("driver services on demand, disabled and system start: never started, the command that makes it startable, "
     "event 7026", service_start_types),
    ("nothing Windows tells, elevated: where Windows records why, never run as administrator", nothing_known_elevated),
    ("a working library and driver: --driver says so, exit 0", working_library),
    ("an old library: bound, named by --driver, the loopback test and --probe exit 3, --watch says what it can't tell",
     old_library_on_64bit_windows),
    ("a library of the other bitness: error 193 named by the loopback test and --driver",
     library_of_the_other_bitness),
]

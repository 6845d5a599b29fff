"""Windows programs under Wine in the project's display prefix, on one X
display, with one wineserver for a whole run.

The prefix and the Wine loader come from scripts/platform.sh (through
scripts/wine-run), as for every other way the project runs the program.
"""
import glob
import os
import subprocess

TOP = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
WINE_RUN = os.path.join(TOP, "scripts", "wine-run")


def display_prefix():
    script = 'source "$1" && printf %s "$display_prefix"'
    return subprocess.run(["bash", "-c", script, "-", os.path.join(TOP, "scripts", "platform.sh")],
                          capture_output=True, text=True, check=True, timeout=60).stdout


class WineSession:
    """Wine on `display`. Starts the prefix's wineserver unless one already
    runs (someone else's: then it is left alone) and stops the one it started."""

    def __init__(self, display, debug="-all", pixels_per_inch=96):
        """pixels_per_inch: the screen's, other than 96 in the prefixes the
        scaling tests run in (the display prefix's name and "-dpi120"...)."""
        # TARNWICK_E2E_PREFIX: another prefix, e.g. to leave the display
        # prefix to a panel started with `make run`.
        self.prefix = os.environ.get("TARNWICK_E2E_PREFIX") or display_prefix()
        if pixels_per_inch != 96:
            self.prefix += "-dpi%d" % pixels_per_inch
        if not os.path.isfile(os.path.join(self.prefix, "system.reg")):
            raise RuntimeError("no Wine prefix at %s: run `make prefix`" % self.prefix)
        self.env = dict(display.env, WINEPREFIX=self.prefix, WINEDEBUG=debug)
        # -p: stay up between programs; exit code 2: one runs already.
        started = subprocess.run(["wineserver", "-p"], env=self.env, timeout=30,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.owns_server = started.returncode == 0
        # Wine's own background processes (services, desktop) start with the
        # first program: started now, they don't hold a console's output
        # pipe open for as long as the wineserver lives.
        subprocess.run([WINE_RUN, "rundll32.exe", "user32.dll,UpdatePerUserSystemParameters"], env=self.env,
                       timeout=60, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def start(self, processes, exe, port_name, args=(), cwd=None, stdout=subprocess.DEVNULL,
              stderr=subprocess.DEVNULL, debug=None):
        env = dict(self.env, TARNWICK_VPORT=port_name)
        if debug:
            env["WINEDEBUG"] = debug
        return processes.start([WINE_RUN, exe, *args], cwd=cwd, env=env,
                               stdin=subprocess.DEVNULL, stdout=stdout, stderr=stderr)

    def run(self, exe, args, port_name, timeout=30):
        env = dict(self.env, TARNWICK_VPORT=port_name)
        return subprocess.run([WINE_RUN, exe, *args], env=env, capture_output=True, text=True,
                              timeout=timeout)

    def remove_port_files(self, name_prefix):
        """Removes the state files of the virtual ports whose names start with
        `name_prefix`: they are kept in the Windows temp folder, inside the prefix."""
        users = os.path.join(self.prefix, "drive_c", "users")
        for path in glob.glob(os.path.join(users, "*", "**", glob.escape(name_prefix) + "*.vport"), recursive=True):
            os.remove(path)

    def stop(self):
        if self.owns_server:
            subprocess.run(["wineserver", "-k"], env=self.env, timeout=30,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            # Gone before a new session starts one of its own.
            subprocess.run(["wineserver", "-w"], env=self.env, timeout=30,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self.owns_server = False

#!/usr/bin/env python3
"""The scripts a newcomer runs build what they need: platform.sh's
require_built, against a build folder that lacks a file, with `make` stood
in for by a shell function (no real build): it builds once, says so in one
line, and stops the script where the build fails or leaves the file out."""

import os
import subprocess
import sys
import tempfile
import unittest

TOP = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def require(files, make_body):
    """Runs require_built on `files` with `make` replaced by `make_body`;
    returns (exit code, stdout, stderr)."""
    script = """
        source "$TOP/scripts/platform.sh"
        make() { echo "make $*" >> "$CALLS"; %s; }
        require_built "$@"
        echo "went on"
    """ % make_body
    env = dict(os.environ, TOP=TOP, CALLS=CALLS, TARNWICK_RUN_ARCH="x86_64")
    run = subprocess.run(["bash", "-c", script, "require"] + files, env=env, capture_output=True, text=True,
                         timeout=60)
    return run.returncode, run.stdout, run.stderr


def calls():
    if not os.path.exists(CALLS):
        return []
    with open(CALLS) as f:
        return f.read().splitlines()


class RequireBuilt(unittest.TestCase):
    def setUp(self):
        global CALLS
        self.work = tempfile.TemporaryDirectory()
        CALLS = os.path.join(self.work.name, "calls")
        self.present = os.path.join(self.work.name, "Present.exe")
        open(self.present, "w").close()
        self.missing = os.path.join(self.work.name, "vport", "PortConsole.exe")

    def tearDown(self):
        self.work.cleanup()

    def test_everything_there_builds_nothing_and_says_nothing(self):
        code, out, err = require([self.present], "true")
        self.assertEqual((code, out, err), (0, "went on\n", ""))
        self.assertEqual(calls(), [])

    def test_a_missing_file_is_built_once_said_in_one_line(self):
        code, out, err = require([self.present, self.missing],
                                 'mkdir -p "%s" && touch "%s"' % (os.path.dirname(self.missing), self.missing))
        self.assertEqual((code, out), (0, "went on\n"), err)
        self.assertEqual(calls(), ["make -C %s --no-print-directory build-run" % TOP])
        self.assertEqual(len(err.splitlines()), 1, err)
        self.assertTrue(err.startswith("Building " + self.missing + " ('make build-run'"), err)

    def test_a_failed_build_stops_the_script_with_the_build_log(self):
        code, out, err = require([self.missing], 'echo "g++: error: no such file"; return 2')
        self.assertEqual((code, out), (1, ""))
        self.assertIn("g++: error: no such file", err)
        self.assertIn("The build failed: see build/build-run.log", err)

    def test_a_build_that_leaves_the_file_out_stops_the_script(self):
        code, out, err = require([self.missing], "true")
        self.assertEqual((code, out), (1, ""))
        self.assertIn(self.missing + " is still missing after 'make build-run'", err)


CALLS = ""

if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)

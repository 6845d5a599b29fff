#!/usr/bin/env python3
"""`make bench`'s table from made-up rounds: start-up over every round (11),
CPU and memory over the rounds that measured them (5), each a median with
its spread (lowest and highest)."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import run_bench  # noqa: E402


def rounds(startups_ms, cpus):
    found = []
    for i, startup in enumerate(startups_ms):
        figures = {"start-up": startup / 1000}
        if i < len(cpus):
            figures.update({"cpu": cpus[i], "own": cpus[i] / 2, "server": cpus[i] / 2, "memory": 10e6 + i * 1e5})
        found.append(figures)
    return found


class BenchTable(unittest.TestCase):
    def test_start_up_over_every_round_the_rest_over_those_that_measured_it(self):
        panel = rounds([300, 250, 900, 260, 270, 280, 240, 255, 265, 275, 285], [1.0, 1.2, 1.1, 0.9, 1.3])
        reference = rounds([200, 210, 220, 230, 240, 250, 260, 270, 280, 290, 199], [1.0] * 5)
        text = run_bench.table({"panel": panel, "reference": reference}, (400000, 100000), 20, "wine-9.0",
                               (1.5, 2.5))
        lines = text.splitlines()
        self.assertIn("medians (lowest-highest) of 5 rounds each, start-up of 11", lines[0])
        startup = next(line for line in lines if line.startswith("start-up"))
        self.assertIn("270 ms (240-900)", startup)
        self.assertIn("240 ms (199-290)", startup)
        self.assertIn("1.13x", startup)
        cpu = next(line for line in lines if line.startswith("cpu "))
        self.assertIn("1.10 s (0.90-1.30)", cpu)
        size = next(line for line in lines if line.startswith("size"))
        self.assertIn("400 KB", size)
        self.assertNotIn("(", size, "one value, no spread")


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)

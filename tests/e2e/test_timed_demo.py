"""The timed demo in its short form: the island's path in three seconds,
every figure of its report checked, its pictures of the places, the
reference that leaves parts out, and a bad command line."""

import os
import re
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from kelvo_harness import KelvoGame  # noqa: E402
from kelvo_harness.images import image_statistics  # noqa: E402

SECONDS = 3
FRAMES = 30  # the path advances 0.1 s a frame
PLACES = ["the first view", "the wreck", "the hut", "the queen's cave", "the well",
          "the valley of the dead", "the ship", "the overview"]
PICTURES = ["demo_0_first_view.png", "demo_1_wreck.png", "demo_2_hut.png", "demo_3_queen_s_cave.png",
            "demo_4_well.png", "demo_5_valley_of_the_dead.png", "demo_6_ship.png", "demo_7_overview.png"]
# The island loads and warms up on a loaded machine in this time.
RUN_TIMEOUT = 420
LOAD = r"[0-9.]+ [0-9.]+ [0-9.]+"
SLOWEST = re.compile(r"^([0-9.]+) ms at ([0-9.]+) s, (at (.+)|(.+) to (.+))$")


def read_report(text):
    figures = {}
    for line in text.splitlines():
        if line and not line.startswith("#"):
            key, _, value = line.partition(" ")
            figures[key] = value
    return figures


class TimedDemoTest(unittest.TestCase):
    def run_demo(self, name, switches):
        folder = tempfile.mkdtemp(prefix="kelvo-demo-%s-" % name)
        result = os.path.join(folder, "result.txt")
        game = KelvoGame("demo-" + name)
        self.addCleanup(game.cleanup)
        game.start(arguments=["--demo", "--seconds", str(SECONDS), "--warm-up", "1", "--result", result,
                              "--shots", folder] + switches)
        code = game.wait_exit(timeout=RUN_TIMEOUT)
        self.assertEqual(0, code, game.log_tail())
        with open(result) as source:
            report = source.read()
        with open(game.stdout_path) as out:
            self.assertIn(report, out.read(), "the terminal shows the report as written")
        log = "\n".join(game.log_lines())
        for line in ("TimedDemo: warming up", "TimedDemo: frames %d" % FRAMES, "TimedDemo: finished"):
            self.assertIn(line, log)
        return read_report(report), folder

    def check_figures(self, figures, parts):
        self.assertEqual(parts, figures["parts"])
        self.assertRegex(figures["load_average"], "^%s / %s$" % (LOAD, LOAD))
        self.assertEqual(str(FRAMES), figures["frames"])
        times = [float(figures[key]) for key in ("min_ms", "median_ms", "p95_ms", "max_ms")]
        self.assertGreater(times[0], 0.0)
        self.assertEqual(sorted(times), times, "min <= median <= p95 <= max")
        # the loaded machine draws 2 to 30 frames a second; a figure far
        # outside says the clock is read wrong
        self.assertLess(times[1], 2000.0)
        self.assertAlmostEqual(1000.0 / times[1], float(figures["median_fps"]), delta=0.01)
        self.assertAlmostEqual(1000.0 / times[3], float(figures["slowest_fps"]), delta=0.01)
        self.assertGreater(int(figures["median_triangles"]), 1000)
        previous = None
        for rank in range(1, 6):
            match = SLOWEST.match(figures["slowest_%d" % rank])
            self.assertTrue(match, figures["slowest_%d" % rank])
            milliseconds, path_time = float(match.group(1)), float(match.group(2))
            self.assertTrue(times[0] <= milliseconds <= times[3])
            if previous is not None:
                self.assertLessEqual(milliseconds, previous)
            previous = milliseconds
            self.assertTrue(0.0 <= path_time < SECONDS, path_time)
            named = [match.group(4)] if match.group(4) else [match.group(5), match.group(6)]
            for place in named:
                self.assertIn(place, PLACES)
        self.assertAlmostEqual(times[3], float(SLOWEST.match(figures["slowest_1"]).group(1)), delta=0.01)
        self.assertNotIn("slowest_6", figures)
        return times

    def test_short_run_reports_every_figure_and_the_reference_draws_less(self):
        island, folder = self.run_demo("island", [])
        self.check_figures(island, "terrain sky water entities particles gui")
        for picture in PICTURES:
            mean, spread = image_statistics(os.path.join(folder, picture))
            self.assertGreater(spread, 0.03, "%s shows something, not one colour" % picture)
        reference, _ = self.run_demo("reference", ["--reference"])
        self.check_figures(reference, "terrain sky")
        # the water's two pictures and the scenery are left out
        self.assertLess(int(reference["median_triangles"]), int(island["median_triangles"]))

    def test_bad_switch_is_refused_before_a_window_opens(self):
        game = KelvoGame("demo-bad")
        self.addCleanup(game.cleanup)
        game.start(display=False, arguments=["--demo", "--seconds", "zero"])
        self.assertEqual(2, game.wait_exit(timeout=30))
        stderr = game.stderr()
        self.assertIn("--seconds takes a number from 0.1 to 600, not 'zero'", stderr)
        self.assertIn("--no-water", stderr, "the usage follows the reason")
        self.assertFalse(os.path.exists(game.path("kelvo.log")), "nothing started")


if __name__ == "__main__":
    unittest.main()

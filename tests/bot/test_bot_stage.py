"""The bot's stage in the suite: from the menu, the intro skipped, steered
by real keys from the beach up past the wreck and the hut into the old
man's trigger, then through his first talk, both questions answered by
clicks, until the cave's lock is removed (route.SUITE_LAST_STAGE), with
its report (a row and a screenshot a stage, the way drawn over the map)."""

import json
import math
import os
import sys
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))

from kelvo_harness.process import EXECUTABLE  # noqa: E402
from kelvo_bot.bot import Bot  # noqa: E402
from kelvo_bot.report import Report  # noqa: E402
from kelvo_bot.route import SUITE_LAST_STAGE, stages_until  # noqa: E402

OLDMAN_TRIGGER = (-290.0, -31.0)
OLDMAN_RADIUS = 7.0
BEACH = (-482.0, -60.0)


class BotStageTest(unittest.TestCase):
    def test_from_the_menu_through_the_first_talk(self):
        folder = os.path.abspath("bot_stage_report")
        report = Report(folder, title="KELVO bot: the suite's stage")
        bot = Bot(report, attempts=1, game_name="bot-stage")
        self.addCleanup(bot.game.cleanup)
        started = time.time()
        finished = bot.play(stages_until(SUITE_LAST_STAGE),
                            map_source=os.path.join(os.path.dirname(EXECUTABLE), "tests", "island", "island_map.png"))
        print("\nbot stage: %.0f s; report in %s" % (time.time() - started, folder), file=sys.stderr)
        self.assertTrue(finished)

        with open(os.path.join(folder, "report.json")) as saved:
            data = json.load(saved)
        self.assertEqual(["menu", "island", "old man", "cave open"], [stage["stage"] for stage in data["stages"]])
        for stage in data["stages"]:
            self.assertTrue(stage["screenshot"] and os.path.exists(os.path.join(folder, stage["screenshot"])),
                            "a screenshot of %s" % stage["stage"])
        island, old_man, talked = data["stages"][1:4]
        self.assertLess(math.dist((island["position"][0], island["position"][2]), BEACH), 5.0,
                        "he starts on the beach: %r" % island["position"])
        there = (old_man["position"][0], old_man["position"][2])
        # The trigger's entry is logged before his next position line.
        self.assertLess(math.dist(there, OLDMAN_TRIGGER), OLDMAN_RADIUS + 5.0, "by the old man: %r" % (there,))
        self.assertGreater(old_man["position"][1], island["position"][1] + 4.0, "up from the beach")
        self.assertEqual(100.0, old_man["health"], "nothing hurts him on this way")
        self.assertEqual([(1, 1), (2, 1)], bot.log.answered, "both questions answered by a click")
        self.assertIn("oldman6", bot.log.subtitles, "his last line of the talk was shown")
        self.assertGreater(talked["seconds"], old_man["seconds"])
        self.assertTrue(data["map"] and os.path.exists(os.path.join(folder, data["map"])))
        self.assertGreater(len(data["path"]), 20, "the way taken, line by line")
        for note in data["notes"]:
            print("bot: %s" % note, file=sys.stderr)


if __name__ == "__main__":
    unittest.main()

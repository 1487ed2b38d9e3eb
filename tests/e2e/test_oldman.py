"""The old man's first talk as a player has it, on the island with real keys
and clicks: the hero starts a few steps west of the old man (the game's own
copy of the island's scene moves him there) and walks into the old man's
trigger. The cinematic bars slide in, the first lines are heard (found in
the captured sound) and read (the subtitle band differs with subtitles on
and off, key U), both questions are answered with real clicks, and after
the talk the way is open: the hero walks through where the cave's lock
stood (moved near the hut for the test) without being held back."""

import math
import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from kelvo_harness import KelvoGame, Player, image_difference, image_statistics, screen, wait_until  # noqa: E402
from kelvo_harness.sound import find_sound, media_file  # noqa: E402
from kelvo_harness.worlds import IslandCopy  # noqa: E402

# West of the old man (-290, -30), facing east: his trigger (radius 7 round
# (-290, -31)) is seven steps ahead.
HERO_START = (-305.0, 38.0, -31.0)
# The cave's lock, east of the hut for the test.
LOCK_AT = (-268.0, 38.3, -36.0)
LOCK_RADIUS = 5.0
# Frames run slowly under load: game time lags the clock.
STEP = 120


class OldmanTest(unittest.TestCase):
    def setUp(self):
        self.game = KelvoGame("oldman")
        self.addCleanup(self.game.cleanup)
        island = IslandCopy(self.game)
        island.move("entity", "player", HERO_START)
        island.move("trigger", "spider_eingang_lock", LOCK_AT, radius=LOCK_RADIUS)
        self.player = Player(self.game)
        self.player.open_menu()

    def line_started(self, key, after):
        return self.game.wait_for_log("OldmanScript: line '%s'" % key, timeout=STEP, after=after)

    def heard(self, key, index):
        at = self.game.capture_time(index)
        finding = find_sound(self.game.audio_file, media_file(key + ".wav"), at - 1.0, at + 1.5)
        print("%s %r (started at %.2f s)" % (key, finding, at), file=sys.stderr)
        return finding

    def answer(self, question, choice, after):
        game = self.game
        shown = game.wait_for_log("OldmanScript: question %d shown" % question, timeout=STEP, after=after)
        game.click(*screen.ANSWER_LINES[choice])
        return game.wait_for_log("OldmanScript: question %d answered %d" % (question, choice), timeout=STEP,
                                 after=shown)

    def test_first_talk_heard_read_answered_and_the_way_opens(self):
        game = self.game
        began = time.time()
        entered = self.player.into_game(skip_intro=True)
        # A frame of the world drawn since the intro's last step.
        self.player.hero_position(game.log_end())
        plain = game.screenshot("before_talk.png")
        sky_mean, _ = image_statistics(plain, crop=screen.TOP_BAR)

        # Into the trigger.
        game.key_down("w")
        try:
            game.wait_for_log("GeometricTrigger: entered 'oldman_trigger'", timeout=STEP, after=entered)
        finally:
            game.key_up("w")
        talk = game.wait_for_log("OldmanScript: talking, stage 1", timeout=STEP, after=entered)
        game.wait_for_log(screen.BARS_IN, timeout=STEP, after=talk)
        bars = game.screenshot("bars.png")
        top_mean, _ = image_statistics(bars, crop=screen.TOP_BAR)
        print("\ntop of the view: %.3f before the talk, %.3f with the bars" % (sky_mean, top_mean), file=sys.stderr)
        # The bars are half-transparent black: the top of the view darkens.
        self.assertLess(top_mean, sky_mean * 0.7, "the upper bar is in")

        # His greeting, heard and read.
        greeting = self.line_started("player0", talk)
        game.wait_for_log("Subtitle: player0", timeout=STEP, after=talk)
        read = game.screenshot("subtitle_on.png")
        band_mean, band_spread = image_statistics(read, crop=screen.SUBTITLE_BAND)
        print("\nsubtitle band on: mean %.3f spread %.3f" % (band_mean, band_spread), file=sys.stderr)
        self.assertLess(band_mean, 0.3, "a dark band behind the text")
        self.assertGreater(band_spread, 0.08, "light letters on it")

        # His long answer: read with subtitles on, then off (U), then on.
        reply = self.line_started("oldman1", greeting)
        game.wait_for_log("Subtitle: oldman1", timeout=STEP, after=greeting)
        read = game.screenshot("subtitle_on_reply.png")
        before = game.log_end()
        game.key("u")
        game.wait_for_log("Subtitle: off", timeout=STEP, after=before)
        # The switch is logged in the frame that makes it; the picture shows
        # it once that frame has been drawn.
        wait_until(lambda: image_difference(read, game.screenshot("subtitle_off.png"),
                                            crop=screen.SUBTITLE_BAND) > 0.05, STEP,
                   lambda: "the band still shows the subtitle after it was switched off")
        unread = os.path.join(game.root, "subtitle_off.png")
        differs = image_difference(read, unread, crop=screen.SUBTITLE_BAND)
        print("subtitle band on/off difference %.3f" % differs, file=sys.stderr)
        self.assertLess(image_difference(read, unread, crop=screen.TOP_THIRD), differs / 2,
                        "the rest of the view stayed as it was")
        before = game.log_end()
        game.key("u")
        game.wait_for_log("Subtitle: on", timeout=STEP, after=before)

        # Both answers by clicks; the replies follow.
        answered = self.answer(1, 1, reply)
        self.line_started("oldman2", answered)
        game.wait_for_log("Subtitle: oldman2", timeout=STEP, after=answered)
        answered = self.answer(2, 1, answered)
        self.line_started("oldman6", answered)
        opened = game.wait_for_log("OldmanScript: removed 'spider_eingang_lock'", timeout=STEP, after=answered)
        game.wait_for_log("OldmanScript: conversation over", timeout=STEP, after=opened)
        self.assertFalse([line for line in game.log_lines()[talk:] if "no text for" in line])

        for key, index in (("player0", greeting), ("oldman1", reply)):
            self.assertTrue(self.heard(key, index).found, "%s is heard" % key)

        # The way is open: from before the old man east through where the
        # lock stood, and nobody holds him back.
        past = (LOCK_AT[0] + LOCK_RADIUS + 4.0, LOCK_AT[2])
        path = self.player.walk_to(past, lambda here: here[0] > past[0], heading=(0.0, 1.0))
        print("way past the lock: %s" % " ".join("(%.0f %.0f)" % (p[0], p[2]) for p in path), file=sys.stderr)
        self.assertFalse([line for line in game.log_lines()[opened:] if "PlayerScript: refusal" in line])
        self.assertTrue(any(math.dist((p[0], p[2]), (LOCK_AT[0], LOCK_AT[2])) < LOCK_RADIUS for p in path),
                        "he went through where the lock stood, not round it")
        self.assertGreater(path[-1][0], LOCK_AT[0] + LOCK_RADIUS, "past the far side of where it stood")
        print("old man e2e: %.0f s" % (time.time() - began), file=sys.stderr)
        self.player.back_to_menu()
        self.assertEqual(0, self.player.quit())


if __name__ == "__main__":
    unittest.main()

"""The credits' music as a player hears it: it plays on as long as the credits
are shown, not just for the first seconds its stream was filled with."""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from kelvo_harness import KelvoGame  # noqa: E402

MENU_ENTER = "___MENUSTATE::ENTER___"
CREDITS_ENTER = "___CREDITSTATE::ENTER___"
CREDITS_BUTTON = (225, 454)

# Seconds the credits stay on, and the span (after entering them) in which
# the music must still be heard.
STAY_SECONDS = 12.0
HEARD_FROM = 9.0
HEARD_UNTIL = 11.0
# Root-mean-square level above which a second of capture is not silence.
AUDIBLE = 0.01


class CreditsMusicTest(unittest.TestCase):
    def test_the_credits_music_is_still_heard_ten_seconds_after_entering_the_credits(self):
        game = KelvoGame("credits-music")
        self.addCleanup(game.cleanup)
        game.start()
        game.wait_for_log(MENU_ENTER)
        # The capture starts when the sound device opens, just before the
        # menu: times measured from here are at most that little early.
        started = time.time()
        game.find_window()
        time.sleep(1.2)
        game.click(*CREDITS_BUTTON)
        game.wait_for_log(CREDITS_ENTER, timeout=20)
        entered = time.time() - started
        time.sleep(STAY_SECONDS)
        self.assertTrue(game.is_running())
        game.key("Escape")
        game.wait_for_log(MENU_ENTER, after=game.log_lines().index(CREDITS_ENTER), timeout=20)
        game.find_window()
        time.sleep(1.2)
        self.assertEqual(0, game.quit_with_escape())

        # Second by second from the music's start: none of them silent.
        levels = [max(game.audio_levels(entered + second, entered + second + 1.0))
                  for second in range(1, int(HEARD_UNTIL))]
        print("credits music levels, second by second:", ["%.4f" % level for level in levels])
        self.assertGreater(max(game.audio_levels(entered + HEARD_FROM, entered + HEARD_UNTIL)), AUDIBLE,
                           "the music has stopped by %g s into the credits" % HEARD_FROM)
        silent = [second for second, level in enumerate(levels, start=1) if level < AUDIBLE / 4]
        self.assertEqual([], silent, "seconds of silence into the credits")


if __name__ == "__main__":
    unittest.main()

"""The credits' music as a player hears it: it plays on as long as the credits
are shown, not just for the first seconds its stream was filled with."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from kelvo_harness import KelvoGame, Player, wait_until  # noqa: E402

# Seconds of captured sound the credits stay on, and the span (after entering
# them) in which the music must still be heard.
STAY_SECONDS = 12.0
HEARD_FROM = 9.0
HEARD_UNTIL = 11.0
# Root-mean-square level above which a second of capture is not silence.
AUDIBLE = 0.01


class CreditsMusicTest(unittest.TestCase):
    def test_the_credits_music_is_still_heard_ten_seconds_after_entering_the_credits(self):
        game = KelvoGame("credits-music")
        self.addCleanup(game.cleanup)
        player = Player(game)
        player.open_menu()
        entered = player.into_credits()
        music_from = game.capture_time(entered)
        # Stay until the game itself has mixed that many seconds of sound.
        wait_until(lambda: game.capture_now() >= music_from + STAY_SECONDS, timeout=60,
                   describe="%g s of sound captured in the credits" % STAY_SECONDS)
        self.assertTrue(game.is_running())
        player.back_to_menu()
        self.assertEqual(0, player.quit())

        # Second by second from the music's start: none of them silent.
        levels = [max(game.audio_levels(music_from + second, music_from + second + 1.0))
                  for second in range(1, int(HEARD_UNTIL))]
        print("credits music levels, second by second:", ["%.4f" % level for level in levels])
        self.assertGreater(max(game.audio_levels(music_from + HEARD_FROM, music_from + HEARD_UNTIL)), AUDIBLE,
                           "the music has stopped by %g s into the credits" % HEARD_FROM)
        silent = [second for second, level in enumerate(levels, start=1) if level < AUDIBLE / 4]
        self.assertEqual([], silent, "seconds of silence into the credits")


if __name__ == "__main__":
    unittest.main()

"""The sound system in the real game: started once after the engine, with a
sound device and without one, and the game quits cleanly either way; and
which sound played, told apart under the sea's loop."""

import os
import struct
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from kelvo_harness import KelvoGame, Player, SMALL_WORLD, screen, wait_until  # noqa: E402
from kelvo_harness.sound import find_sound, media_file  # noqa: E402
INITIALIZED = "SoundManager Initialized"
SILENT = "SoundManager found no sound device: sounds play on a silent device"


class SoundStartupTest(unittest.TestCase):
    def play_menu_and_quit(self, name, extra_env=None):
        game = KelvoGame(name)
        self.addCleanup(game.cleanup)
        player = Player(game)
        player.open_menu(extra_env=extra_env)
        self.assertEqual(0, player.quit())
        return game, game.log_lines()

    def test_sound_is_initialised_once_before_the_menu_on_the_sound_device(self):
        game, lines = self.play_menu_and_quit("sound")
        self.assertEqual(1, lines.count(INITIALIZED))
        self.assertLess(lines.index(INITIALIZED), lines.index(screen.CHANGE_STATE))
        self.assertNotIn(SILENT, lines)
        # The device was the harness's WAV writer, opened and closed cleanly:
        # closing writes the RIFF size. (OpenAL Soft writes the extensible
        # WAV format, which Python's wave module before 3.12 cannot read.)
        with open(game.audio_file, "rb") as captured:
            data = captured.read()
        self.assertEqual(b"RIFF", data[0:4])
        self.assertEqual(b"WAVE", data[8:12])
        self.assertEqual(len(data) - 8, struct.unpack("<I", data[4:8])[0])
        self.assertGreater(len(data), 1000)

    def test_without_a_sound_device_the_game_runs_on_a_silent_one(self):
        game = KelvoGame("nosound")
        self.addCleanup(game.cleanup)
        # A WAV writer whose file cannot be made: no device can be opened.
        broken_conf = os.path.join(game.root, "broken-alsoft.conf")
        with open(broken_conf, "w") as conf:
            conf.write("[general]\ndrivers=wave\n\n[wave]\nfile=%s\n"
                       % os.path.join(game.root, "no-such-folder", "audio.wav"))
        player = Player(game)
        player.open_menu(extra_env={"ALSOFT_CONF": broken_conf})
        self.assertEqual(0, player.quit())
        lines = game.log_lines()
        self.assertEqual(1, lines.count(SILENT))
        self.assertEqual(1, lines.count(INITIALIZED))
        self.assertEqual(screen.SHUTDOWN_MARKERS, game.markers()[-2:])



# The small world's sea access at its east shore and the refusals he may say.
SEA_ACCESS = (112.0, 31.0, 0.0)
REFUSALS = ["StopSoundMeer1", "StopSoundMeer2", "StopSoundMeer3", "StopSoundMeer4",
            "StopSoundNein1", "StopSoundNein2"]
# How closely the finder places the sound at the moment it was played.
PLAYED_WITHIN = 0.05


class WhichSoundTest(unittest.TestCase):
    def test_the_refusal_is_found_under_the_sea_loop_when_it_was_played(self):
        game = KelvoGame("refusal", world=SMALL_WORLD)
        self.addCleanup(game.cleanup)
        self.assertIn("meer_test", game.world.names("sound"), "the sea's loop plays")
        game.world.add_trigger("meerzugang_1_1", 8.0, SEA_ACCESS)
        for name in REFUSALS:
            game.world.add_sound(name, name + ".wav")
        player = Player(game)
        player.open_menu()
        player.into_game()

        # He runs east down the hill into the sea access and is refused.
        before = game.log_end()
        game.key_down("w")
        game.key_down("space")
        try:
            refused = game.wait_for_log("PlayerScript: refusal ", timeout=30, after=before)
        finally:
            game.key_up("space")
            game.key_up("w")
        said = game.matched_line.split("PlayerScript: refusal ", 1)[1]
        played_at = game.capture_time(refused)
        wait_until(lambda: game.capture_now() > played_at + 3.0, 30, lambda: "the capture stopped")

        sea = game.audio_levels(played_at - 2.0, played_at - 0.5)
        self.assertGreater(max(sea), 0.003, "the sea is heard before the refusal: %r" % sea)
        finding = find_sound(game.audio_file, media_file(said + ".wav"), played_at - 1.0, played_at + 1.0)
        print("\n%s logged at %.3f s of the capture, found at %.3f s (%+.0f ms), score %.2f"
              % (said, played_at, finding.at, (finding.at - played_at) * 1000, finding.score), file=sys.stderr)
        self.assertTrue(finding.found, "%s is heard: %r" % (said, finding))
        self.assertAlmostEqual(played_at, finding.at, delta=PLAYED_WITHIN)
        for other in REFUSALS:
            if other != said:
                unsaid = find_sound(game.audio_file, media_file(other + ".wav"), played_at - 1.0, played_at + 1.0)
                self.assertFalse(unsaid.found, "%s was not said: %r" % (other, unsaid))
        player.back_to_menu()
        self.assertEqual(0, player.quit())


if __name__ == "__main__":
    unittest.main()

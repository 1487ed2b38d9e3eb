"""The sound system in the real game: started once after the engine, with a
sound device and without one, and the game quits cleanly either way."""

import os
import sys
import time
import struct
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from kelvo_harness import KelvoGame  # noqa: E402

MENU_ENTER = "___MENUSTATE::ENTER___"
INITIALIZED = "SoundManager Initialized"
SILENT = "SoundManager found no sound device: sounds play on a silent device"


class SoundStartupTest(unittest.TestCase):
    def play_menu_and_quit(self, name, extra_env=None):
        game = KelvoGame(name)
        self.addCleanup(game.cleanup)
        game.start(extra_env=extra_env)
        game.wait_for_log(MENU_ENTER)
        game.find_window()
        time.sleep(0.5)
        game.key("Escape")
        self.assertEqual(0, game.wait_exit(timeout=30))
        return game, game.log_lines()

    def test_sound_is_initialised_once_before_the_menu_on_the_sound_device(self):
        game, lines = self.play_menu_and_quit("sound")
        self.assertEqual(1, lines.count(INITIALIZED))
        self.assertLess(lines.index(INITIALIZED), lines.index("___CHANGE STATE___"))
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
        game.start(extra_env={"ALSOFT_CONF": broken_conf})
        game.wait_for_log(MENU_ENTER)
        game.find_window()
        time.sleep(0.5)
        game.key("Escape")
        self.assertEqual(0, game.wait_exit(timeout=30))
        lines = game.log_lines()
        self.assertEqual(1, lines.count(SILENT))
        self.assertEqual(1, lines.count(INITIALIZED))
        self.assertEqual(["___Main End.___", "___KELVO shutdown complete.___"], game.markers()[-2:])


if __name__ == "__main__":
    unittest.main()

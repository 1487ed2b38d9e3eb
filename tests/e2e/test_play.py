"""Into the game and back, as a player does it, on the small test world:
the intro pictures over the running world, skipping them, the test keys,
GUI mode, and escape back to the menu and in again."""

import os
import re
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from kelvo_harness import (KelvoGame, SMALL_WORLD, SOURCE_DIR, image_difference,  # noqa: E402
                           image_statistics)

MENU_ENTER = "___MENUSTATE::ENTER___"
PLAY_ENTER = "___PLAYSTATE::ENTER___"
PLAY_EXIT = "___PLAYSTATE::EXIT___"
START_BUTTON = (225, 316)
PICTURES = os.path.join(SOURCE_DIR, "media", "generated")


def picture(name):
    return os.path.join(PICTURES, name)


class PlayTest(unittest.TestCase):
    def setUp(self):
        self.game = KelvoGame("play", world=SMALL_WORLD)
        self.addCleanup(self.game.cleanup)
        self.game.start()
        self.game.wait_for_log(MENU_ENTER)
        self.game.find_window()
        self.started = time.time()

    def start_playing(self, after=0):
        time.sleep(1.2)  # the menu's fade-in
        self.game.click(*START_BUTTON)
        return self.game.wait_for_log(PLAY_ENTER, timeout=30, after=after)

    def count(self, text):
        return sum(1 for line in self.game.log_lines() if text in line)

    def test_intro_skip_keys_gui_mode_and_back_to_the_menu(self):
        game = self.game
        entered = self.start_playing()

        # The small world's sea is drawn as the reflecting water.
        game.wait_for_log("PlayState: water at height 30", after=entered)

        # The intro's pictures come in order over the running world.
        pretitle_line = game.wait_for_log("intro picture KELVO/PRETITEL", after=entered)
        time.sleep(3.0)
        shot = game.screenshot("pretitle.png")
        self.assertLess(image_difference(shot, picture("picture_pretitel.png")), 0.08,
                        "the pretitle picture fills the screen")
        title_line = game.wait_for_log("intro picture KELVO/TITEL", timeout=30, after=entered)
        self.assertLess(pretitle_line, title_line)
        time.sleep(3.5)
        shot = game.screenshot("title.png")
        to_title = image_difference(shot, picture("picture_titel.png"))
        self.assertLess(to_title, 0.08, "the title picture has replaced the pretitle")
        self.assertLess(to_title, image_difference(shot, picture("picture_pretitel.png")))

        # Space skips the intro once; the world shows through.
        game.key("space")
        skipped_at = time.time() - self.started
        game.wait_for_log("PlayState: intro skipped", after=entered)
        game.wait_for_log("PlayState: intro finished", timeout=20, after=entered)
        game.key("space")
        time.sleep(1.0)
        self.assertEqual(1, self.count("PlayState: intro skipped"))
        shot = game.screenshot("world.png")
        self.assertGreater(image_difference(shot, picture("picture_titel.png")), 0.1,
                           "no picture is left over the world")
        sky_mean, _ = image_statistics(shot, crop="1024x200+0+0")
        self.assertGreater(sky_mean, 0.1, "the sky dome is drawn above the horizon")

        # The sea's ambient loop goes on after the intro's sound was stopped.
        time.sleep(2.0)
        levels = game.audio_levels(skipped_at + 1.5, skipped_at + 3.0)
        self.assertGreater(max(levels), 0.003, "the ambient loop is heard: %r" % levels)

        # Key 3 writes a screenshot named after the time of day.
        game.key("3")
        game.wait_for_log("PlayState: screenshot ", after=entered)
        name = game.matched_line.split("PlayState: screenshot ", 1)[1]
        self.assertRegex(name, r"^screenshot_\d{0,2}_\d{0,2}_\d{0,2}\.png$")
        deadline = time.time() + 10
        while not os.path.exists(game.path(name)) and time.time() < deadline:
            time.sleep(0.2)
        self.assertGreater(os.path.getsize(game.path(name)), 10000)

        # F1: GUI mode with the cursor drawn at the pointer; F1 again leaves it.
        game.mouse_move(700, 250)
        time.sleep(0.5)
        before = game.screenshot("before_f1.png")
        game.key("F1")
        game.wait_for_log("GUIScript: GUI mode on", after=entered)
        game.mouse_move(702, 252)
        time.sleep(0.8)
        after = game.screenshot("gui_mode.png")
        self.assertGreater(image_difference(before, after, crop="48x48+690+240"), 0.02,
                           "the cursor appears at the pointer")
        game.key("F1")
        game.wait_for_log("GUIScript: GUI mode off", after=entered)

        # Escape fades back to the menu ...
        game.key("Escape")
        exited = game.wait_for_log(PLAY_EXIT, timeout=30, after=entered)
        menu_again = game.wait_for_log(MENU_ENTER, timeout=30, after=exited)

        # ... and a second start shows the intro again from the first picture.
        entered_again = self.start_playing(after=menu_again)
        game.wait_for_log("intro picture KELVO/PRETITEL", after=entered_again)
        time.sleep(3.0)
        shot = game.screenshot("pretitle_again.png")
        self.assertLess(image_difference(shot, picture("picture_pretitel.png")), 0.08)

        # Key 6: the outro's flight, then its first picture rises over it.
        game.key("space")
        game.wait_for_log("PlayState: intro finished", timeout=20, after=entered_again)
        game.key("6")
        outro = game.wait_for_log("PlayState: outro started", after=entered_again)
        game.wait_for_log("CameraScript: CutScene2 started", after=outro)
        game.wait_for_log("PlayState: outro picture KELVO/Outro0", timeout=40, after=outro)
        time.sleep(8.0)
        shot = game.screenshot("outro0.png")
        self.assertLess(image_difference(shot, picture("picture_outro0.png")), 0.15,
                        "the first outro picture has risen over the flight")
        game.key("Escape")
        game.wait_for_log(MENU_ENTER, timeout=30, after=entered_again)
        time.sleep(1.5)
        self.assertEqual(0, game.quit_with_escape())
        self.assertEqual(2, self.count(PLAY_EXIT))


if __name__ == "__main__":
    unittest.main()

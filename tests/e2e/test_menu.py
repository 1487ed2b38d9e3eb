"""The main menu as a player uses it: real clicks at its buttons and lists."""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from kelvo_harness import KelvoGame, image_statistics  # noqa: E402

MENU_ENTER = "___MENUSTATE::ENTER___"

# Window coordinates of the menu's controls in the 1024 x 768 window.
OPTIONS_BUTTON = (225, 385)
CREDITS_BUTTON = (225, 454)
QUIT_BUTTON = (225, 523)
TEXTURE_FILTER_LIST = (925, 443)
ANISOTROPIC_8X_ITEM = (745, 534)


class MenuTestCase(unittest.TestCase):
    def open_menu(self, name):
        game = KelvoGame(name)
        self.addCleanup(game.cleanup)
        game.start()
        game.wait_for_log(MENU_ENTER)
        game.find_window()
        return game


class MenuTest(MenuTestCase):
    def test_menu_shows_its_picture_and_its_buttons(self):
        game = self.open_menu("picture")
        time.sleep(2.0)
        shot = game.screenshot("menu.png")
        mean, spread = image_statistics(shot)
        self.assertGreater(mean, 0.05, "the fade-in has uncovered the menu")
        self.assertGreater(spread, 0.05, "a picture, not a flat colour")
        # The buttons stand out from the quiet left side of the picture.
        button_mean, _ = image_statistics(shot, crop="260x40+100+440")
        gap_mean, _ = image_statistics(shot, crop="260x14+100+412")
        self.assertGreater(abs(button_mean - gap_mean), 0.01)
        self.assertEqual(0, game.quit_with_escape())

    def test_choosing_a_texture_filter_rewrites_the_options_file_at_once(self):
        game = self.open_menu("options")
        time.sleep(1.2)
        game.click(*OPTIONS_BUTTON)
        time.sleep(0.5)
        game.click(*TEXTURE_FILTER_LIST)
        time.sleep(0.5)
        game.click(*ANISOTROPIC_8X_ITEM)
        game.wait_for_log('option texturefilter is now "Anisotropic 8x", options saved')
        self.assertTrue(game.is_running())
        self.assertIn("texturefilter=Anisotropic 8x\n", game.read_file("options.cfg"))
        self.assertEqual(0, game.quit_with_escape())

        # The saved choice is read back at the next start and kept.
        game.start()
        game.wait_for_log(MENU_ENTER)
        game.find_window()
        time.sleep(0.5)
        self.assertEqual(0, game.quit_with_escape())
        self.assertIn("texturefilter=Anisotropic 8x\n", game.read_file("options.cfg"))

    def test_quit_button_ends_the_game_after_the_fade(self):
        game = self.open_menu("quit")
        time.sleep(1.2)
        clicked = time.time()
        game.click(*QUIT_BUTTON)
        self.assertEqual(0, game.wait_exit())
        self.assertGreater(time.time() - clicked, 0.9, "the picture fades out for a second first")
        self.assertEqual(["___Main End.___", "___KELVO shutdown complete.___"], game.markers()[-2:])


class CreditsTest(MenuTestCase):
    def test_credits_come_and_go_twice_and_the_menu_returns(self):
        game = self.open_menu("credits")
        started = time.time()
        music_from = None
        for visit in range(2):
            time.sleep(1.2)
            game.click(*CREDITS_BUTTON)
            entered = game.wait_for_log("___CREDITSTATE::ENTER___", after=len(game.log_lines()) - 1, timeout=20)
            if music_from is None:
                music_from = time.time() - started
            time.sleep(2.0)
            mean, spread = image_statistics(game.screenshot("credits%d.png" % visit))
            self.assertGreater(spread, 0.05, "the credits picture shows")
            game.key("Escape")
            left = game.wait_for_log("___CREDITSTATE::EXIT___", after=entered, timeout=20)
            game.wait_for_log(MENU_ENTER, after=left, timeout=20)
        game.find_window()
        time.sleep(1.2)
        self.assertEqual(0, game.quit_with_escape())
        markers = game.markers()
        self.assertEqual(2, markers.count("___CREDITSTATE::ENTER___"))
        self.assertEqual(3, markers.count(MENU_ENTER))
        self.assertEqual(["___Main End.___", "___KELVO shutdown complete.___"], markers[-2:])
        # The menu is silent; the credits play their music.
        self.assertLess(max(game.audio_levels(0.0, 1.0)), 0.003)
        self.assertGreater(max(game.audio_levels(music_from + 0.5, music_from + 2.0)), 0.01)


if __name__ == "__main__":
    unittest.main()

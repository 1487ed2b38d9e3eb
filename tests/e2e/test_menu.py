"""The main menu as a player uses it: real clicks at its buttons and lists."""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from kelvo_harness import KelvoGame, Player, image_statistics, screen  # noqa: E402
from kelvo_harness.screen import CREDITS_ENTER, CREDITS_EXIT, MENU_ENTER  # noqa: E402


class MenuTestCase(unittest.TestCase):
    def open_menu(self, name):
        game = KelvoGame(name)
        self.addCleanup(game.cleanup)
        player = Player(game)
        player.open_menu()
        return game, player


class MenuTest(MenuTestCase):
    def test_menu_shows_its_picture_and_its_buttons(self):
        game, player = self.open_menu("picture")
        shot = game.screenshot("menu.png")
        mean, spread = image_statistics(shot)
        self.assertGreater(mean, 0.05, "the fade-in has uncovered the menu")
        self.assertGreater(spread, 0.05, "a picture, not a flat colour")
        # The buttons stand out from the quiet left side of the picture.
        button_mean, _ = image_statistics(shot, crop="260x40+100+440")
        gap_mean, _ = image_statistics(shot, crop="260x14+100+412")
        self.assertGreater(abs(button_mean - gap_mean), 0.01)
        self.assertEqual(0, player.quit())

    def test_choosing_a_texture_filter_rewrites_the_options_file_at_once(self):
        game, player = self.open_menu("options")
        player.open_options()
        player.choose_texture_filter("anisotropic 8x")
        game.wait_for_log('option texturefilter is now "Anisotropic 8x", options saved')
        self.assertTrue(game.is_running())
        self.assertIn("texturefilter=Anisotropic 8x\n", game.read_file("options.cfg"))
        self.assertEqual(0, player.quit())

        # The saved choice is read back at the next start and kept.
        player.open_menu()
        self.assertEqual(0, player.quit())
        self.assertIn("texturefilter=Anisotropic 8x\n", game.read_file("options.cfg"))

    def test_quit_button_ends_the_game_after_the_fade(self):
        game, player = self.open_menu("quit")
        clicked = time.time()
        player.click_menu("quit")
        self.assertEqual(0, game.wait_exit())
        self.assertGreater(time.time() - clicked, 0.9, "the picture fades out for a second first")
        self.assertEqual(screen.SHUTDOWN_MARKERS, game.markers()[-2:])


class CreditsTest(MenuTestCase):
    def test_credits_come_and_go_twice_and_the_menu_returns(self):
        game, player = self.open_menu("credits")
        music_from = None
        for visit in range(2):
            entered = player.into_credits()
            if music_from is None:
                music_from = game.capture_time(entered)
            mean, spread = image_statistics(game.screenshot("credits%d.png" % visit))
            self.assertGreater(spread, 0.05, "the credits picture shows")
            menu_again = player.back_to_menu()
            self.assertLess(game.wait_for_log(CREDITS_EXIT, after=entered), menu_again)
        self.assertEqual(0, player.quit())
        markers = game.markers()
        self.assertEqual(2, markers.count(CREDITS_ENTER))
        self.assertEqual(3, markers.count(MENU_ENTER))
        self.assertEqual(screen.SHUTDOWN_MARKERS, markers[-2:])
        # The menu is silent; the credits play their music.
        self.assertLess(max(game.audio_levels(0.0, 1.0)), 0.003)
        self.assertGreater(max(game.audio_levels(music_from + 0.5, music_from + 2.0)), 0.01)


if __name__ == "__main__":
    unittest.main()

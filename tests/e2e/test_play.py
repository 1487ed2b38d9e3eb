"""Into the game and back, as a player does it, on the small test world:
the intro pictures over the running world, skipping them, the test keys,
GUI mode, and escape back to the menu and in again."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from kelvo_harness import (KelvoGame, Player, SMALL_WORLD, SOURCE_DIR, image_difference,  # noqa: E402
                           image_statistics, wait_until)
from kelvo_harness.screen import MENU_ENTER, PLAY_EXIT, picture_shown  # noqa: E402

PICTURES = os.path.join(SOURCE_DIR, "media", "generated")


def picture(name):
    return os.path.join(PICTURES, name)


class PlayTest(unittest.TestCase):
    def setUp(self):
        self.game = KelvoGame("play", world=SMALL_WORLD)
        self.addCleanup(self.game.cleanup)
        self.player = Player(self.game)
        self.player.open_menu()

    def test_intro_skip_keys_gui_mode_and_back_to_the_menu(self):
        game, player = self.game, self.player
        entered = player.into_game(skip_intro=False)

        # The small world's sea is drawn as the reflecting water.
        game.wait_for_log("PlayState: water at height 30", after=entered)

        # The intro's pictures come in order over the running world.
        pretitle_line = game.wait_for_log("intro picture KELVO/PRETITEL", after=entered)
        game.wait_for_log(picture_shown("KELVO/PRETITEL"), after=pretitle_line)
        shot = game.screenshot("pretitle.png")
        self.assertLess(image_difference(shot, picture("picture_pretitel.png")), 0.08,
                        "the pretitle picture fills the screen")
        title_line = game.wait_for_log("intro picture KELVO/TITEL", timeout=30, after=entered)
        self.assertLess(pretitle_line, title_line)
        game.wait_for_log(picture_shown("KELVO/TITEL"), after=title_line)
        shot = game.screenshot("title.png")
        to_title = image_difference(shot, picture("picture_titel.png"))
        self.assertLess(to_title, 0.08, "the title picture has replaced the pretitle")
        self.assertLess(to_title, image_difference(shot, picture("picture_pretitel.png")))

        # Space skips the intro once; the world shows through.
        player.press("space")
        skipped = game.wait_for_log("PlayState: intro skipped", after=entered)
        skipped_at = game.capture_time(skipped)
        game.wait_for_log("PlayState: intro finished", timeout=20, after=entered)
        player.press("space")
        shot = game.screenshot("world.png")
        self.assertGreater(image_difference(shot, picture("picture_titel.png")), 0.1,
                           "no picture is left over the world")
        sky_mean, _ = image_statistics(shot, crop="1024x200+0+0")
        self.assertGreater(sky_mean, 0.1, "the sky dome is drawn above the horizon")

        # Key 3 writes a screenshot named after the time of day.
        player.press("3")
        game.wait_for_log("PlayState: screenshot ", after=entered)
        name = game.matched_line.split("PlayState: screenshot ", 1)[1]
        self.assertRegex(name, r"^screenshot_\d{0,2}_\d{0,2}_\d{0,2}\.png$")
        # The second space came before the 3, so it has been seen by now.
        self.assertEqual(1, game.count("PlayState: intro skipped"))
        wait_until(lambda: os.path.exists(game.path(name)), 10, lambda: "%s was not written" % name)
        wait_until(lambda: os.path.getsize(game.path(name)) > 10000, 10,
                   lambda: "%s stays small: %d bytes" % (name, os.path.getsize(game.path(name))))

        # The sea's ambient loop goes on after the intro's sound was stopped.
        wait_until(lambda: game.capture_now() > skipped_at + 3.0, 30, lambda: "the capture stopped")
        levels = game.audio_levels(skipped_at + 1.5, skipped_at + 3.0)
        self.assertGreater(max(levels), 0.003, "the ambient loop is heard: %r" % levels)

        # F1: GUI mode with the cursor drawn at the pointer; F1 again leaves it.
        game.mouse_move(700, 250)
        before = game.screenshot("before_f1.png")
        player.press("F1")
        game.wait_for_log("GUIScript: GUI mode on", after=entered)
        game.mouse_move(702, 252)
        wait_until(lambda: image_difference(before, game.screenshot("gui_mode.png"), crop="48x48+690+240") > 0.02,
                   15, lambda: "no cursor appears at the pointer")
        player.press("F1")
        game.wait_for_log("GUIScript: GUI mode off", after=entered)

        # Escape fades back to the menu ...
        exited_before = game.log_end()
        menu_again = player.back_to_menu()
        self.assertLess(game.wait_for_log(PLAY_EXIT, after=exited_before), menu_again)

        # ... and a second start shows the intro again from the first
        # picture; skipped at once, as players do.
        entered_again = player.into_game(skip_intro=True)

        # Key 6: the outro's flight over the world (no black panel left by
        # the skipped intro's first cross-fade), then its first picture
        # rises over it.
        player.press("6")
        outro = game.wait_for_log("PlayState: outro started", after=entered_again)
        game.wait_for_log("CameraScript: CutScene2 started", after=outro)
        flight = os.path.join(game.root, "outro_flight.png")
        wait_until(lambda: image_statistics(game.screenshot("outro_flight.png"))[1] > 0.05, 10,
                   lambda: "the outro's flight is covered: grey mean and spread %r" % (image_statistics(flight),))
        game.wait_for_log("PlayState: outro picture KELVO/Outro0", timeout=40, after=outro)
        # It rises over 13 s; the picture on screen is what is waited for.
        wait_until(lambda: image_difference(game.screenshot("outro0.png"), picture("picture_outro0.png")) < 0.15,
                   30, lambda: "the first outro picture never rose over the flight")
        exited_before = game.log_end()
        player.back_to_menu()
        game.wait_for_log(MENU_ENTER, after=exited_before)
        self.assertEqual(0, player.quit())
        self.assertEqual(2, game.count(PLAY_EXIT))


if __name__ == "__main__":
    unittest.main()

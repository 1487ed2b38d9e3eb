"""Spiders as a player meets them, with real keys and clicks on the small
test world: three spiders with cries wait east of the hero, inside their
nest's trigger, so they wake as the game starts, run at him and strike;
the health bar drops and the view flushes red at its edges. In aim mode,
looking down at them, energy balls kill them: their cries are heard where
their deaths were logged, and they leave the scene once the cries have
ended. In a new game they are back at home; standing still until the
strikes have taken all his health, the hero dies: the game-over picture
shows and the game returns to the menu, and the next game starts afresh.

The world copy is the ball test's: no birds, water or ambient loop, no
locks, the island's ball templates and a target 30 east."""

import os
import re
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from kelvo_harness import KelvoGame, Player, SMALL_WORLD, channel_means, image_difference, pause, screen  # noqa: E402
from kelvo_harness.sound import find_sound, media_file  # noqa: E402
from test_energy_balls import make_ball_world  # noqa: E402

HILL_TOP = 38.0
# East of the hero, this side of the ball test's target (30 east).
SPIDERS = {
    "spider_1": (20.0, HILL_TOP, -7.0),
    "spider_2": (22.0, HILL_TOP, 0.0),
    "spider_3": (20.0, HILL_TOP, 7.0),
}
NEST = "test_nest"
STRIKE = re.compile(r"StandartEnemyScript: (\w+) strikes the hero, hero health ([\d.]+)")
# The health bar in the 1024 x 768 window (the toolbar's energy bar).
HEALTH_BAR = "236x29+123+717"
# Where the wounded view flushes red: the top left corner.
EDGE = "120x90+0+0"
# Frames run slowly under load: game time lags the clock.
STEP = 90


def make_spider_world(world):
    make_ball_world(world)
    world.add_trigger(NEST, 50, (20.0, HILL_TOP, 0.0), attached_type="Spider")
    for name, position in SPIDERS.items():
        world.add_entity(name, "spider.mesh", "Spider", position, scale=(1.3, 1.3, 1.3), own_block=True)
        world.add_sound(name + "_cry", "spider_cry.wav", "3D_SOUND", volume=1, min_distance=10,
                        max_distance=160, parent=name)


def is_red(path):
    red, green, blue = channel_means(path, EDGE)
    return red > green + 0.15 and red > blue + 0.15


class EnemyTest(unittest.TestCase):
    def setUp(self):
        self.game = KelvoGame("enemies", world=SMALL_WORLD)
        self.addCleanup(self.game.cleanup)
        make_spider_world(self.game.world)
        self.player = Player(self.game)
        self.player.open_menu()

    def lines_since(self, index, text):
        return [line for line in self.game.log_lines()[index:] if text in line]

    def wait_for_strikes_down_to(self, health, after):
        """Waits until the strikes have taken the hero's health down to the
        given value; returns the log index of that strike."""
        game = self.game
        index = after
        while True:
            index = game.wait_for_log("strikes the hero, hero health", timeout=STEP, after=index)
            if float(STRIKE.search(game.matched_line).group(2)) <= health:
                return index
            index += 1

    def fresh_game(self, entered):
        """The spiders of a new game wait at their homes at full health."""
        game = self.game
        for name, home in SPIDERS.items():
            game.wait_for_log("StandartEnemyScript: %s waits at (%.2f, " % (name, home[0]), timeout=STEP,
                              after=entered)
        first = game.wait_for_log("strikes the hero, hero health", timeout=STEP, after=entered)
        health = float(STRIKE.search(game.matched_line).group(2))
        self.assertGreaterEqual(health, 98.9, "the first strike of a new game finds him at full health")
        self.assertFalse(self.lines_since(entered, " died"), "a spider died before the game began")
        return first

    def test_fight_kill_die_and_start_again(self):
        game = self.game
        entered = self.player.into_game(skip_intro=True)
        full_bar = game.screenshot("full_bar.png")
        self.assertFalse(is_red(full_bar), "the view is red before any strike")

        # They wake, run at him and strike.
        for name in SPIDERS:
            woke = game.wait_for_log("StandartEnemyScript: %s woke" % name, timeout=STEP, after=entered)
            game.wait_for_log("StandartEnemyScript: %s chasing" % name, timeout=STEP, after=woke)
            game.wait_for_log("StandartEnemyScript: %s attacking" % name, timeout=STEP, after=woke)
        wounded = None
        index = entered
        for attempt in range(12):
            index = game.wait_for_log("strikes the hero", timeout=STEP, after=index) + 1
            shot = game.screenshot("wounded_%d.png" % attempt)
            if is_red(shot):
                wounded = shot
                break
        self.assertIsNotNone(wounded, "the view never flushed red after a strike")
        self.wait_for_strikes_down_to(85.0, entered)
        pause(0.5)
        hurt_bar = game.screenshot("hurt_bar.png")
        drop = image_difference(full_bar, hurt_bar, crop=HEALTH_BAR)
        print("\nhealth bar changed by %.3f" % drop, file=sys.stderr)
        self.assertGreater(drop, 0.02, "the health bar dropped")

        # Aim mode, looking down at them: balls until all three are dead.
        before_aim = game.log_end()
        game.key("Tab")
        game.wait_for_log("CameraScript: aim camera arrived", timeout=STEP, after=before_aim)
        for _ in range(12):
            game._xdotool("mousemove_relative", "--", "0", "40")
            pause(0.2)
        pause(1.0)
        width, height = game.window_geometry()
        for throw in range(6):
            if len(self.lines_since(entered, " died")) == len(SPIDERS):
                break
            before = game.log_end()
            game.click(width // 2, height // 2)
            launched = game.wait_for_log(" launched, weapon ", timeout=STEP, after=before)
            ball = re.search(r"ball (\d+) launched", game.matched_line).group(1)
            game.wait_for_log("EnergieBallScript: ball %s hit " % ball, timeout=STEP, after=launched)
            pause(1.0)
        deaths = {}
        for name in SPIDERS:
            died = game.wait_for_log("StandartEnemyScript: %s died" % name, timeout=STEP, after=entered)
            deaths[name] = died
            game.wait_for_log("StandartEnemyScript: %s removed" % name, timeout=STEP, after=died)
        pause(2.0)
        cry = media_file("spider_cry.wav")
        for name, died in deaths.items():
            at = game.capture_time(died)
            heard = find_sound(game.audio_file, cry, at - 1.0, at + 1.0)
            print("%s cry %r (died at %.2f s)" % (name, heard, at), file=sys.stderr)
            self.assertTrue(heard.found, "the cry of %s is heard: %r" % (name, heard))
        self.assertFalse(self.lines_since(entered, "PlayState: game over"))

        # A new game: all three at home again; he stands still until he dies.
        self.player.back_to_menu()
        entered = self.player.into_game(skip_intro=True)
        self.fresh_game(entered)
        died = game.wait_for_log("PlayState: game over", timeout=240, after=entered)
        last = [line for line in game.log_lines()[entered:died] if "strikes the hero" in line][-1]
        self.assertEqual(0.0, float(STRIKE.search(last).group(2)), "the last strike took the last health")
        shown = game.wait_for_log(screen.picture_shown("KELVO/GAMEOVER"), timeout=STEP, after=died)
        picture = game.screenshot("game_over.png")
        red, green, _ = channel_means(picture, "400x200+312+400")
        self.assertGreater(red, green + 0.05, "the game-over picture's red glow")
        self.assertGreater(image_difference(hurt_bar, picture), 0.05)
        back = game.wait_for_log(screen.MENU_ENTER, timeout=STEP, after=shown)
        game.wait_for_log(screen.FADED_IN, timeout=STEP, after=back)

        # And once more: a fresh game, not the one that was lost.
        entered = self.player.into_game(skip_intro=True)
        self.fresh_game(entered)
        self.player.back_to_menu()
        self.assertEqual(0, self.player.quit())


if __name__ == "__main__":
    unittest.main()

"""Energy balls as a player throws them, with real clicks and keys on the
small test world (its hill top is flat at 38 for 90 units around the
middle): a left click throws a ball east at a target standing 30 ahead,
the flight shows ahead of the hero, the strike is logged at the target and
the fly and strike sounds are heard; turned away from the target, the
first ball lands on the hill and the flatter second one (key 8) much
farther; in aim mode the ball follows the camera's pitch; escape while a
ball flies and a new game starts with no ball of the last one.

The world copy has no birds, water or ambient loop, and the island's six
ball templates."""

import math
import os
import re
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from kelvo_harness import KelvoGame, Player, SMALL_WORLD, image_difference, pause, wait_until  # noqa: E402
from kelvo_harness.sound import doppler_pitches, find_sound, media_file  # noqa: E402

HILL_TOP = 38.0
TARGET = (30.0, HILL_TOP, 0.0)
LAUNCHED = re.compile(r"EnergieBallScript: ball (\d+) launched, weapon (\d+), direction "
                      r"\(([-\d.]+), ([-\d.]+), ([-\d.]+)\)")
HIT = re.compile(r"EnergieBallScript: ball (\d+) hit (.+) at \(([-\d.]+), ([-\d.]+), ([-\d.]+)\), "
                 r"([-\d.]+) from the hero")
STOPPED = "PlayerScript: gait all_idle"
# The first weapon's ball flies at 100 km/h: its sound is heard lower as
# it leaves the hero, by an amount that changes as it slows.
FIRST_BALL_SPEED = 100 / 3.6
# Frames run slowly under load: game time lags the clock.
STEP = 60


def make_ball_world(world):
    world.remove("sound", "meer_test")
    world.remove("entity", "test_bird")
    world.remove("entity", "test_sea")
    world.add_entity("target", "hero.mesh", "Target", TARGET, scale=(1.5, 1.5, 1.5), own_block=True)
    for name, template in (("bullet1Fly", "Kelvo/Bullet1Fly"), ("bullet1Hit", "Kelvo/Bullet1Hit"),
                           ("bullet2Fly", "Kelvo/Bullet2Fly"), ("bullet2Hit", "Kelvo/Bullet2Hit")):
        world.add_particle(name, template, position=(-200, 10, -200))
    world.add_sound("bullet1FlyS", "bullet1FlyS.wav", "3D_SOUND_LOOPED", volume=0.8, min_distance=4,
                    max_distance=90, position=(-200, 10, -200))
    world.add_sound("bullet1HitS", "bullet1HitS.wav", "3D_SOUND", volume=1, min_distance=10,
                    max_distance=220, position=(-200, 10, -200))


class EnergyBallTest(unittest.TestCase):
    def setUp(self):
        self.game = KelvoGame("balls", world=SMALL_WORLD)
        self.addCleanup(self.game.cleanup)
        make_ball_world(self.game.world)
        self.player = Player(self.game)
        self.player.open_menu()

    def throw(self):
        """A left click in the middle of the view; returns the launch's
        log index and (id, weapon, direction)."""
        game = self.game
        width, height = game.window_geometry()
        before = game.log_end()
        game.click(width // 2, height // 2)
        index = game.wait_for_log(" launched, weapon ", timeout=STEP, after=before)
        match = LAUNCHED.search(game.matched_line)
        self.assertIsNotNone(match, game.matched_line)
        ball, weapon = match.group(1), int(match.group(2))
        direction = tuple(float(v) for v in match.groups()[2:])
        return index, (ball, weapon, direction)

    def hit_of(self, ball, after):
        """Waits for the ball's strike; returns its log index, what it hit,
        where, and how far from the hero."""
        game = self.game
        index = game.wait_for_log("EnergieBallScript: ball %s hit " % ball, timeout=STEP, after=after)
        match = HIT.search(game.matched_line)
        self.assertIsNotNone(match, game.matched_line)
        return index, match.group(2), tuple(float(v) for v in match.groups()[2:5]), float(match.group(6))

    def test_throw_see_hear_and_strike(self):
        game = self.game
        self.player.into_game(skip_intro=True)
        width, height = game.window_geometry()
        # Ahead of the hero: the view's middle band above him.
        ahead = "%dx%d+%d+%d" % (width // 2, height // 3, width // 4, height // 6)

        # Weapon 1 at the target 30 ahead.
        before = game.screenshot("before_throw.png")
        launched, (ball, weapon, direction) = self.throw()
        flying = game.screenshot("flying.png")
        self.assertEqual(1, weapon)
        self.assertAlmostEqual(1.0, direction[0], delta=0.05, msg="east, the hero's facing: %r" % (direction,))
        self.assertAlmostEqual(0.1, direction[1], delta=0.01, msg="the first weapon's tilt")
        self.assertGreater(image_difference(before, flying, crop=ahead), 0.002, "the ball shows ahead of him")
        struck, what, at, distance = self.hit_of(ball, launched)
        self.assertEqual("entity 'target'", what)
        # Within reach (1) of its bounds, about 4.5 across.
        self.assertAlmostEqual(TARGET[0] - 3.25, at[0], delta=1.0, msg="at the target: %r" % (at,))
        self.assertAlmostEqual(TARGET[0] - 3.25, distance, delta=1.5)

        # Both sounds are heard where they were logged.
        launched_at = game.capture_time(launched)
        struck_at = game.capture_time(struck)
        pause(2.0)
        fly = find_sound(game.audio_file, media_file("bullet1FlyS.wav"), launched_at - 1.0, launched_at + 1.0,
                         longest=0.1, pitches=doppler_pitches(FIRST_BALL_SPEED))
        hit = find_sound(game.audio_file, media_file("bullet1HitS.wav"), struck_at - 1.0, struck_at + 1.0)
        print("\nfly sound %r (logged %.2f s), hit sound %r (logged %.2f s)" % (fly, launched_at, hit, struck_at),
              file=sys.stderr)
        self.assertTrue(fly.found, "the flight is heard: %r" % fly)
        self.assertTrue(hit.found, "the strike is heard: %r" % hit)

        # Turned right, away from the target: the first ball lands on the
        # hill, the second weapon's flatter ball much farther.
        turned_from = game.log_end()
        self.player.hold(["d"], 1.5)
        wait_until(lambda: any(STOPPED in line for line in game.log_lines()[turned_from:]), STEP,
                   lambda: "he never stopped; log tail:\n%s" % game.log_tail())
        launched, (ball, weapon, turned) = self.throw()
        self.assertGreater(turned[2], 0.2, "turned right, towards +z: %r" % (turned,))
        _, what, _, first_distance = self.hit_of(ball, launched)
        self.assertEqual("the terrain", what)
        before_switch = game.log_end()
        game.key("8")
        game.wait_for_log("PlayState: weapon 2", timeout=STEP, after=before_switch)
        launched, (ball, weapon, flatter) = self.throw()
        self.assertEqual(2, weapon)
        self.assertAlmostEqual(0.05, flatter[1], delta=0.01)
        _, what, _, second_distance = self.hit_of(ball, launched)
        print("first weapon landed %.1f away, second %.1f" % (first_distance, second_distance), file=sys.stderr)
        self.assertGreater(second_distance, first_distance + 20.0)

        # Aim mode: the ball flies along the camera's view, which looks the
        # way the hero faces, pitched by the mouse.
        before_aim = game.log_end()
        game.key("Tab")
        game.wait_for_log("CameraScript: aim camera arrived", timeout=STEP, after=before_aim)
        for _ in range(10):
            game._xdotool("mousemove_relative", "--", "0", "-20")
            pause(0.3)
        pause(1.0)
        launched, (ball, weapon, aimed) = self.throw()
        print("aimed direction %r, the second weapon's before %r" % (aimed, flatter), file=sys.stderr)
        view = (aimed[0], aimed[1] - 0.05, aimed[2])
        self.assertAlmostEqual(1.0, math.hypot(*view), delta=0.02,
                               msg="the camera's view plus the second weapon's tilt: %r" % (aimed,))
        heading = math.degrees(math.atan2(aimed[2], aimed[0]) - math.atan2(flatter[2], flatter[0]))
        self.assertLess(abs(heading), 3.0, "the view looks where he faces: %r vs %r" % (aimed, flatter))
        # By the strike the throw has ended: the next click throws again.
        self.hit_of(ball, launched)
        before_walk = game.log_end()
        game.key("Tab")
        game.wait_for_log("PlayerScript: aim mode left", timeout=STEP, after=before_walk)

        # Escape while a ball flies, then a new game: nothing of the last.
        self.throw()
        self.player.back_to_menu()
        entered = self.player.into_game(skip_intro=True)
        pause(3.0)
        self.assertFalse([line for line in game.log_lines()[entered:] if "EnergieBallScript: ball " in line],
                         "a ball of the last game in the new one")
        _, (ball, _, _) = self.throw()
        self.hit_of(ball, entered)
        self.player.back_to_menu()
        self.assertEqual(0, self.player.quit())


if __name__ == "__main__":
    unittest.main()

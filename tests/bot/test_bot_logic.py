"""The bot's own logic without the game: the log lines it reads, its
steering against a simulated hero that turns and runs as the game's does,
the stuck watch, the stages and the report with its map."""

import json
import math
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))

from kelvo_bot import route  # noqa: E402
from kelvo_bot.log_patterns import GameLog, parse  # noqa: E402
from kelvo_bot.report import MAP_SIZE, Report, map_pixel  # noqa: E402
from kelvo_bot.steering import (Detours, Steering, StuckWatch, Waypoints, heading_to,  # noqa: E402
                                turn_needed)


class SimulatedHero:
    """The hero as the bot meets him: turns on the spot with A or D alone at
    30 degrees a game second, runs at 18.75 units a second and turns 10
    degrees a second while running; logs his position every 4 units or 5
    degrees or once a second; the keys the bot holds act from the next frame."""

    def __init__(self, x, z, heading, frame):
        self.x, self.z, self.heading = x, z, heading
        self.frame = frame
        self.keys = set()
        self.logged = (x, z, heading)
        self.since = 0.0
        self.clock = 0.0

    def run_until_line(self):
        while True:
            self.clock += self.frame
            self.since += self.frame
            turn = 0.0
            if "a" in self.keys or "d" in self.keys:
                rate = 10.0 if "w" in self.keys else 30.0
                turn = rate if "a" in self.keys else -rate
            self.heading += turn * self.frame
            if "w" in self.keys:
                speed = 18.75 if "space" in self.keys else 3.125
                self.x += math.cos(math.radians(self.heading)) * speed * self.frame
                self.z -= math.sin(math.radians(self.heading)) * speed * self.frame
            lx, lz, lh = self.logged
            if (self.since >= 1.0 or math.dist((lx, lz), (self.x, self.z)) >= 4.0
                    or abs(turn_needed(lh, self.heading)) >= 5.0):
                self.logged = (self.x, self.z, self.heading)
                self.since = 0.0
                return (self.x, self.z), turn_needed(0.0, self.heading)


def follow(points, start, heading, frame, limit=600.0):
    """The bot's steering against the simulated hero; the game clock when
    every point was reached, and the farthest he strayed from his legs."""
    hero = SimulatedHero(start[0], start[1], heading, frame)
    waypoints = Waypoints(points)
    steering = Steering()
    position, seen = (hero.x, hero.z), heading
    legs = [start] + list(points)
    stray = 0.0
    while hero.clock < limit:
        target = waypoints.update(position)
        if target is None:
            return hero.clock, stray
        kind, key = steering.decide(seen, heading_to(position, target))
        hero.keys = {key} if kind == "turn" else {"w", "space"} | ({key} if key else set())
        position, seen = hero.run_until_line()
        stray = max(stray, min(_segment_distance(position, a, b) for a, b in zip(legs, legs[1:])))
    raise AssertionError("not there after %s game seconds: at %r, %d of %d points"
                         % (limit, position, waypoints.reached, len(points)))


def _segment_distance(p, a, b):
    dx, dz = b[0] - a[0], b[1] - a[1]
    t = max(0.0, min(1.0, ((p[0] - a[0]) * dx + (p[1] - a[1]) * dz) / (dx * dx + dz * dz or 1.0)))
    return math.dist(p, (a[0] + dx * t, a[1] + dz * t))


class SteeringTest(unittest.TestCase):
    def test_headings_are_the_games_east_zero_left_turns_grow(self):
        self.assertAlmostEqual(0.0, heading_to((0, 0), (10, 0)))
        self.assertAlmostEqual(90.0, heading_to((0, 0), (0, -10)), msg="north is -z")
        self.assertAlmostEqual(-90.0, heading_to((0, 0), (0, 10)))
        self.assertAlmostEqual(20.0, turn_needed(170.0, -170.0), msg="left across the back")
        self.assertAlmostEqual(-20.0, turn_needed(-170.0, 170.0))
        self.assertEqual(180.0, abs(turn_needed(0.0, 180.0)))

    def test_turns_on_the_spot_when_far_off_and_runs_when_facing(self):
        steering = Steering()
        self.assertEqual(("turn", "a"), steering.decide(0.0, 90.0))
        # Still turning at 20 off: he only stops facing the way.
        self.assertEqual(("turn", "a"), steering.decide(70.0, 90.0))
        self.assertEqual(("run", None), steering.decide(85.0, 90.0))
        self.assertEqual(("run", "d"), Steering().decide(100.0, 90.0))
        # Turned round from the back: he keeps his way round through 180.
        behind = Steering()
        self.assertEqual(("turn", "a"), behind.decide(0.0, 179.0))
        self.assertEqual(("turn", "a"), behind.decide(3.0, -178.0))

    def test_follows_the_beach_path_at_slow_and_fast_frames(self):
        """From the beach to the old man: every point reached at 0.1 s and
        1/60 s frames alike, close to the path, in similar game time."""
        clocks = []
        for frame in (0.1, 1.0 / 60):
            clock, stray = follow(route.BEACH_TO_HUT, (-482.0, -60.0), 0.0, frame)
            self.assertLess(stray, 15.0, "strayed from the path at %.3f s frames" % frame)
            clocks.append(clock)
        self.assertLess(max(clocks), 60.0, "the walk to the hut takes %r game seconds" % clocks)
        self.assertLess(abs(clocks[0] - clocks[1]), 0.25 * max(clocks), clocks)

    def test_sharp_corners_and_a_start_facing_away(self):
        points = [(0.0, -60.0), (60.0, -60.0), (60.0, 0.0), (0.0, 0.0)]
        clock, stray = follow(points, (0.0, 0.0), 180.0, 0.1)
        self.assertLess(stray, 15.0)


class WaypointsTest(unittest.TestCase):
    def test_a_point_passed_between_two_lines_counts_but_not_one_far_to_the_side(self):
        waypoints = Waypoints([(20.0, 0.0), (40.0, 0.0)], radius=5.0)
        waypoints.update((0.0, 0.0))
        self.assertEqual((40.0, 0.0), waypoints.update((27.0, 2.0)), "ran past the first")
        aside = Waypoints([(20.0, 0.0)], radius=5.0)
        aside.update((0.0, 0.0))
        self.assertEqual((20.0, 0.0), aside.update((25.0, 30.0)), "far off to the side is not there")
        self.assertIsNone(aside.update((19.0, 3.0)))
        self.assertTrue(aside.done())


class StuckTest(unittest.TestCase):
    def test_stuck_only_after_several_lines_without_getting_anywhere(self):
        watch = StuckWatch(samples=4, distance=2.0)
        for step in range(3):
            watch.running_at((10.0 + step * 0.3, 5.0))
        self.assertFalse(watch.stuck(), "three lines are too few to tell")
        watch.running_at((10.5, 5.2))
        self.assertTrue(watch.stuck())
        watch.running_at((15.0, 5.0))
        self.assertFalse(watch.stuck(), "he got away")
        watch.reset()
        self.assertFalse(watch.stuck())

    def test_detours_alternate_sides_widen_and_run_out(self):
        detours = Detours()
        offsets = []
        while True:
            detour = detours.next()
            if detour is None:
                break
            offsets.append(detour[0])
        self.assertEqual(offsets[0], -offsets[1], "one side, then the other")
        self.assertGreater(abs(offsets[2]), abs(offsets[0]), "wider the second time round")
        detours.reset()
        self.assertEqual(offsets[0], detours.next()[0])


class LogPatternsTest(unittest.TestCase):
    def test_hero_lines_with_and_without_heading(self):
        log = GameLog()
        log.feed("PlayerScript: hero at (-482.00, 31.31, -60.00) heading -12.5", 7)
        self.assertEqual((-482.0, -60.0), log.hero.ground)
        self.assertEqual(-12.5, log.hero.heading)
        self.assertEqual(7, log.hero.index)
        log.feed("PlayerScript: hero at (1.50, 2.00, -3.25)", 8)
        self.assertIsNone(log.hero.heading, "an older game's line still gives the position")
        self.assertEqual([(-482.0, -60.0), (1.5, -3.25)], log.path)

    def test_fights_health_kills_and_triggers(self):
        log = GameLog()
        for line in ["StandartEnemyScript: spider_01 waits at (120.00, 35.60, -470.00) for 'spider_nest'",
                     "GeometricTrigger: entered 'spider_nest'",
                     "StandartEnemyScript: spider_01 woke", "StandartEnemyScript: spider_02 chasing",
                     "StandartEnemyScript: spider_01 attacking",
                     "StandartEnemyScript: spider_01 strikes the hero, hero health 97.5",
                     "StandartEnemyScript: spider_01 hurt, health 0",
                     "StandartEnemyScript: spider_01 died", "StandartEnemyScript: spider_01 removed",
                     "GeometricTrigger: left 'spider_nest'"]:
            log.feed(line)
        self.assertEqual(97.5, log.health)
        self.assertEqual(["spider_01"], log.killed, "died once, removed after")
        self.assertEqual(["spider_02"], log.awake_enemies())
        self.assertFalse(log.is_attacked())
        self.assertEqual(["spider_nest"], log.entered)
        self.assertNotIn("spider_nest", log.inside)
        log.new_game()
        self.assertEqual((100.0, [], []), (log.health, log.killed, log.awake_enemies()))
        self.assertEqual((120.0, 35.6, -470.0), log.homes["spider_01"], "homes stay for the next game")

    def test_quest_lines_and_play_ends(self):
        log = GameLog()
        log.feed("OldmanScript: talking, stage 1 step 0")
        self.assertTrue(log.talking, "the hero is the old man's while they talk")
        self.assertEqual("quest_step", log.feed("OldmanScript: stage 1 step 3"))
        self.assertEqual(("1", 3), log.quest_step)
        log.feed("OldmanScript: question 2 shown")
        self.assertEqual(2, log.open_question)
        log.feed("OldmanScript: question 2 answered 1, code 5")
        self.assertEqual((None, [(2, 1)]), (log.open_question, log.answered))
        self.assertEqual("subtitle", log.feed("Subtitle: oldman6"))
        self.assertNotEqual("subtitle", log.feed("Subtitle: off"), "the player's switch is no line")
        self.assertEqual(["oldman6"], log.subtitles)
        log.feed("OldmanScript: question 3 shown")
        log.feed("OldmanScript: paused: the hero left, at stage 2 step 0")
        self.assertEqual((False, None), (log.talking, log.open_question), "a question is asked again on return")
        log.feed("OldmanScript: talking, stage 2 step 0")
        log.feed("OldmanScript: stage 4")
        self.assertEqual(("4", 0), log.quest_step)
        log.feed("OldmanScript: conversation over, stage 5")
        self.assertFalse(log.talking)
        log.feed("OldmanScript: gone")
        self.assertTrue(log.oldman_gone)
        log.feed("CameraScript: CutScene1 started")
        self.assertEqual("CutScene1", log.cut_scene)
        log.feed("CameraScript: CutScene1 stopped")
        self.assertEqual((None, ["CutScene1"]), (log.cut_scene, log.cut_scenes_done))
        log.feed("PlayState: game over")
        self.assertTrue(log.game_over)
        self.assertIsNone(parse("PlayerScript: heroes at (1, 2, 3)"), "near misses are not read")
        self.assertIsNone(parse("StandartEnemyScript: spider_01 woke up early"))


class StagesTest(unittest.TestCase):
    def test_goals_read_the_log_and_unknown_stages_are_refused(self):
        stages = {stage.name: stage for stage in route.STAGES}
        log = GameLog()
        self.assertFalse(stages["old man"].goal.reached(log))
        log.feed("GeometricTrigger: entered 'oldman_trigger'")
        self.assertTrue(stages["old man"].goal.reached(log))
        back = route.SURVEY[2]
        self.assertEqual(stages["old man"].goal.describe, back.goal.describe)
        mark = log.mark()
        self.assertFalse(back.goal.reached(log, mark), "entered in an earlier stage")
        log.feed("GeometricTrigger: entered 'oldman_trigger'")
        self.assertTrue(back.goal.reached(log, mark))
        for n in range(1, route.SPIDERS + 1):
            self.assertFalse(stages["spiders"].goal.reached(log))
            log.feed("StandartEnemyScript: spider_%02d died" % n)
        log.feed("StandartEnemyScript: spider_queen_mesh hurt, health 50")
        self.assertTrue(stages["spiders"].goal.reached(log))
        talk = stages["cave open"]
        mark = log.mark()
        log.feed("OldmanScript: stage 2")
        log.feed("OldmanScript: there is no trigger 'spider_eingang_lock' to remove")
        self.assertFalse(talk.goal.reached(log, mark), "the cave opens only with its lock gone")
        log.feed("OldmanScript: removed 'spider_eingang_lock'")
        self.assertTrue(talk.goal.reached(log, mark))
        self.assertFalse(talk.goal.reached(log, log.mark()), "removed before the stage began")
        self.assertFalse(stages["queen"].goal.reached(log), "the queen is no spider_0")
        self.assertEqual([route.SUITE_LAST_STAGE], [s.name for s in route.stages_until(route.SUITE_LAST_STAGE)][-1:])
        with self.assertRaises(ValueError):
            route.stages_until("moon")


class ReportTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="kelvo-bot-report-")
        self.addCleanup(shutil.rmtree, self.folder, ignore_errors=True)

    def test_map_pixels_centre_north_up_and_edges(self):
        self.assertEqual((512.0, 384.0), map_pixel(0.0, 0.0))
        self.assertLess(map_pixel(0.0, -100.0)[1], 384.0, "north is up")
        self.assertGreater(map_pixel(100.0, 0.0)[0], 512.0, "east is right")
        half = (1600.0 - 38.0) * math.tan(math.radians(22.5))
        self.assertAlmostEqual(768.0, map_pixel(0.0, half)[1], places=3)
        self.assertAlmostEqual(1024.0, map_pixel(half * 4 / 3, 0.0)[0], places=3)

    def test_stages_screenshots_games_and_the_drawn_way(self):
        shot = os.path.join(self.folder, "shot.png")
        subprocess.run(["convert", "-size", "8x8", "xc:green", shot], check=True)
        report = Report(os.path.join(self.folder, "report"))
        log = GameLog()
        log.feed("PlayerScript: hero at (-482.00, 31.31, -60.00) heading 0.0")
        report.new_game(1, "first game")
        report.stage("island", log, shot)
        log.feed("StandartEnemyScript: spider_03 strikes the hero, hero health 80")
        log.feed("StandartEnemyScript: spider_03 died")
        # Standing still logs the same place again; then a detour south.
        log.feed("PlayerScript: hero at (-482.00, 31.31, -60.00) heading 0.0")
        log.feed("PlayerScript: hero at (-386.00, 36.00, 40.00) heading 0.0")
        log.feed("PlayerScript: hero at (-290.00, 37.74, -31.00) heading 10.0")
        report.new_game(2, "the hero died in game 1")
        report.stage("old man", log, None, note="no talk yet")
        # Put by the game from the hut to the well: no line between.
        report.finish("finished", log.path + [None, (349.0, 204.0), (338.0, 250.0)], map_source=None)

        with open(os.path.join(report.folder, "report.json")) as saved:
            data = json.load(saved)
        self.assertEqual(["island", "old man"], [s["stage"] for s in data["stages"]])
        self.assertEqual([1, 2], [s["game"] for s in data["stages"]])
        self.assertEqual(([], 100.0), (data["stages"][0]["killed"], data["stages"][0]["health"]))
        self.assertEqual((["spider_03"], 80.0), (data["stages"][1]["killed"], data["stages"][1]["health"]))
        self.assertTrue(os.path.exists(os.path.join(report.folder, data["stages"][0]["screenshot"])))
        self.assertIsNone(data["stages"][1]["screenshot"])
        with open(os.path.join(report.folder, "report.md")) as text:
            markdown = text.read()
        self.assertIn("the hero died in game 1", markdown)
        self.assertIn("old man (no talk yet)", markdown)

        drawn = os.path.join(report.folder, data["map"])
        size = subprocess.run(["identify", "-format", "%w %h", drawn], capture_output=True, text=True).stdout
        self.assertEqual("%d %d" % MAP_SIZE, size)

        def colour(x, z):
            px, py = map_pixel(x, z)
            return subprocess.run(["convert", drawn, "-format", "%%[pixel:p{%d,%d}]" % (round(px), round(py)),
                                   "info:"], capture_output=True, text=True).stdout.replace(" ", "")

        self.assertIn("255,48,32", colour(-434.0, -10.0), "the way is drawn along its legs")
        self.assertNotIn("255,48,32", colour(-386.0, -45.5), "and not back from its end to its start")
        self.assertIn("255,48,32", colour(343.5, 227.0), "walked from the well")
        self.assertNotIn("255,48,32", colour(29.5, 86.5), "not where the game put him")
        self.assertIsNone(data["path"][-3])

if __name__ == "__main__":
    unittest.main()

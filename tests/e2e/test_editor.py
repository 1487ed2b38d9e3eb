"""The level editor as a designer opens it: space in the menu, a right click
into mouse-look mode, the camera flown with W and Q, a camera spline written
with 1, space and 2, and escape back to the menu; a second visit starts the
camera at its place again. Real keys and mouse through X."""

import os
import re
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from kelvo_harness import KelvoGame, Player, screen  # noqa: E402
from kelvo_harness.images import image_difference  # noqa: E402
from kelvo_harness.navigation import STEP_TIMEOUT  # noqa: E402

ENTERED = "LevelEditorState: entered, camera at "
START = (0.0, 200.0, 0.0)
MIDDLE = (512, 384)
NUMBER = r"(-?[\d.]+)"


def position_in(line):
    """The (x, y, z) a log line ends with."""
    match = re.search(r"\(%s, %s, %s\)\s*$" % (NUMBER, NUMBER, NUMBER), line)
    if not match:
        raise AssertionError("no position in %r" % line)
    return tuple(float(value) for value in match.groups())


class EditorTest(unittest.TestCase):
    def setUp(self):
        self.game = KelvoGame("editor")
        self.addCleanup(self.game.cleanup)
        self.player = Player(self.game)
        self.started = time.time()

    def fly(self, key, seconds=1.5):
        """Holds a flight key; returns where the camera stopped."""
        game = self.game
        # log_end() is the last line so far, the last flight's end perhaps.
        after = game.log_end() + 1
        self.player.hold([key], seconds)
        game.wait_for_log(screen.EDITOR_CAMERA_STOPPED, timeout=STEP_TIMEOUT, after=after)
        return position_in(game.matched_line)

    def right_click(self, mode_line):
        game = self.game
        after = game.log_end() + 1
        game.click(*MIDDLE, button=3)
        game.wait_for_log(mode_line, timeout=STEP_TIMEOUT, after=after)

    def test_a_designer_flies_records_a_spline_and_leaves_and_the_next_visit_starts_afresh(self):
        game, player = self.game, self.player
        player.open_menu()
        entered = player.into_editor()
        game.wait_for_log(ENTERED, after=entered)
        self.assertEqual(START, position_in(game.matched_line))

        # The editor starts in edit mode, where keys go to the windows; a
        # right click (the pointer already at the middle: no turn) gives
        # mouse-look mode, in which the keys fly.
        game.mouse_move(*MIDDLE)
        self.right_click(screen.EDITOR_MOUSE_LOOK_MODE)
        before_flight = game.screenshot("before_flight.png")

        forward = self.fly("w")
        self.assertLess(forward[2], START[2] - 20, "W flies along the view, -Z")
        self.assertAlmostEqual(START[0], forward[0], delta=0.5)
        self.assertAlmostEqual(START[1], forward[1], delta=0.5)
        up = self.fly("q")
        self.assertGreater(up[1], forward[1] + 20, "Q flies up")
        self.assertAlmostEqual(forward[2], up[2], delta=0.5)
        after_flight = game.screenshot("after_flight.png")
        self.assertGreater(image_difference(before_flight, after_flight), 0.01, "the view has changed")

        # A spline of one key frame at the camera's place.
        before = game.log_end()
        player.press("1", "space", "2")
        game.wait_for_log("SplineRecorder: recording ended", timeout=STEP_TIMEOUT, after=before)
        splines = game.read_file("cutsecene.log")
        self.assertTrue(splines.startswith("// ------------ KELVO editor run of "), splines)
        lines = splines.splitlines()[1:]
        self.assertEqual("------------ Begin Spline ------------", lines[0])
        self.assertRegex(lines[1], r"^key = track->createNodeKeyFrame\(animDelay\*[\d.e+-]+\+timOffset\);$")
        translate = re.match(r"^key->setTranslate\(Ogre::Vector3\(%s,%s,%s\)\);$" % (NUMBER, NUMBER, NUMBER),
                             lines[2])
        self.assertIsNotNone(translate, lines[2])
        for written, logged in zip(translate.groups(), up):
            self.assertAlmostEqual(logged, float(written), delta=0.01)
        self.assertEqual("key->setRotation(Ogre::Quaternion(1,0,0,0));", lines[3], "the camera was not turned")
        self.assertEqual("------------ End   Spline ------------", lines[4])

        self.right_click(screen.EDITOR_EDIT_MODE)
        menu = player.back_to_menu()
        self.assertLess(game.wait_for_log(screen.EDITOR_EXIT, after=entered), menu)

        second = player.into_editor()
        game.wait_for_log(ENTERED, after=second)
        self.assertEqual(START, position_in(game.matched_line), "a second visit starts at height 200 again")
        player.back_to_menu()
        self.assertEqual(0, player.quit())
        markers = game.markers()
        self.assertEqual(2, markers.count(screen.EDITOR_ENTER))
        self.assertEqual(2, markers.count(screen.EDITOR_EXIT))
        print("editor end-to-end test took %.0f s" % (time.time() - self.started))


if __name__ == "__main__":
    unittest.main()

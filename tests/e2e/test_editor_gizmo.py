"""The gizmo's modes with real keys and mouse through X, on a copy of the
scene folder (the harness copies it): a designer picks the rock, presses R
and turns it by its green ring, presses T and shrinks it by its red scale
bar, presses M, switches snapping on in the toolbar and drags its red arrow, then saves. The
file holds the rock turned about Y only, scaled along X only and moved to a
whole number along X only; every other record is as it was."""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from kelvo_harness import KelvoGame, Player, pause  # noqa: E402
from kelvo_harness import editor_layout as layout  # noqa: E402
from kelvo_harness.images import green_ring_grip, red_arrow_grip  # noqa: E402
from kelvo_harness.navigation import STEP_TIMEOUT  # noqa: E402
from test_editor_scene import ROCK_ON_SCREEN, SCENE, records_of, scene_text  # noqa: E402


class EditorGizmoTest(unittest.TestCase):
    def setUp(self):
        self.game = KelvoGame("editor_gizmo")
        self.addCleanup(self.game.cleanup)
        self.player = Player(self.game)
        self.game.write_scene(SCENE, scene_text())
        self.started = time.time()

    def key_then(self, key, line):
        before = self.game.log_end()
        self.game.key(key)
        self.game.wait_for_log(line, timeout=STEP_TIMEOUT, after=before + 1)
        # The handles of the new mode are drawn in the next frames.
        pause(1.0)

    def drag_until(self, start, end, line):
        before = self.game.log_end()
        self.game.drag(start, end)
        self.game.wait_for_log(line, timeout=STEP_TIMEOUT, after=before + 1)
        return self.game.matched_line

    def test_a_rock_turned_scaled_and_snapped_with_the_handles_is_saved_so(self):
        game, player = self.game, self.player
        original = records_of(game.read_scene(SCENE))
        player.open_menu()
        entered = player.into_editor()
        player.load_scene_in_editor(entered, SCENE)
        player.ok_message()

        before = game.log_end()
        game.click(*ROCK_ON_SCREEN)
        game.wait_for_log("LevelEditWnd: chose 'e2e_rock'", timeout=STEP_TIMEOUT, after=before + 1)
        pause(1.0)
        moving = game.screenshot("move_mode.png")

        # R: the rings; the green one (about Y) dragged a way round toward the
        # viewer.
        self.key_then("r", "RayPickingScript: mode rotate")
        grip = green_ring_grip(moving, game.screenshot("rotate_mode.png"), ROCK_ON_SCREEN[1])
        reach = grip[0] - ROCK_ON_SCREEN[0]
        line = self.drag_until(grip, (grip[0] - reach // 4, grip[1] + reach // 8),
                               "RayPickingScript: rotated 'e2e_rock' about Y by")
        self.assertNotEqual(0.0, float(line.rsplit(" ", 1)[1]))

        # T: the scale handles (along the rock's turned axes); the red bar's
        # box, near the screen's right edge, pushed a third of the way in
        # toward the rock.
        self.key_then("t", "RayPickingScript: mode scale")
        grip = red_arrow_grip(game.screenshot("scale_mode.png"), ROCK_ON_SCREEN[1])
        inward = (grip[0] - (grip[0] - ROCK_ON_SCREEN[0]) // 3, grip[1] - (grip[1] - ROCK_ON_SCREEN[1]) // 3)
        self.drag_until(grip, inward, "RayPickingScript: scaled 'e2e_rock' to")

        # M and the toolbar's "Snap": the arrows, snapping to the grid of 1.
        self.key_then("m", "RayPickingScript: mode move")
        before = game.log_end()
        game.click(*layout.centre("gizmo_snap_cb"))
        game.wait_for_log("RayPickingScript: snapping on", timeout=STEP_TIMEOUT, after=before + 1)
        # The click on the bar took no keyboard and picked nothing.
        pause(1.0)
        grip = red_arrow_grip(game.screenshot("snap_move.png"), ROCK_ON_SCREEN[1])
        self.drag_until(grip, (grip[0] + 90, grip[1] - 20), "RayPickingScript: drag ended on 'e2e_rock' along X")

        player.editor_click("save", "LevelEditWnd: saved '%s'" % SCENE)
        player.ok_message()
        saved = records_of(game.read_scene(SCENE))
        self.assertEqual(set(original), set(saved))
        for name in original:
            if name != "e2e_rock":
                self.assertEqual(original[name], saved[name], name)
        self.assertEqual(original["e2e_rock"][:2], saved["e2e_rock"][:2])
        rock = dict((tag, dict(attrs)) for tag, attrs in saved["e2e_rock"][2])
        was = dict((tag, dict(attrs)) for tag, attrs in original["e2e_rock"][2])
        self.assertEqual(("0", "0", "1"), (rock["rotation"]["x"], rock["rotation"]["z"], rock["rotation"]["w"]))
        self.assertNotEqual("0", rock["rotation"]["y"])
        self.assertEqual(("3", "3"), (rock["scale"]["y"], rock["scale"]["z"]))
        self.assertLess(float(rock["scale"]["x"]), 2.8)
        x = float(rock["position"]["x"])
        self.assertGreater(x, 1.0)
        self.assertEqual(round(x), x, "the snapped move lands on the grid")
        self.assertEqual(("188", "-50"), (rock["position"]["y"], rock["position"]["z"]))
        self.assertEqual(was["material"], rock["material"])
        self.assertEqual(was["type"], rock["type"])
        self.assertEqual(0, player.quit())
        print("saved rock: position %s, rotation %s, scale %s" % (rock["position"], rock["rotation"], rock["scale"]))
        print("editor gizmo end-to-end test took %.0f s" % (time.time() - self.started))


if __name__ == "__main__":
    unittest.main()

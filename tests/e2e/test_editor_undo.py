"""Undo, redo and the backup in the level editor, with real keys and mouse
through X, on a copy of the scene folder (the harness copies it).

A designer drags a rock, types its rotation and deletes it, then undoes
three times (Ctrl+Z) and redoes once (the toolbar's "Redo"), and saves:
the file holds the dragged, unturned rock and every other record as before.

A crash costs at most one backup period: after a drag and a backup the game
is killed (SIGKILL); started again, loading the scene offers the newer
backup, and OK brings the drag back. The editor's period is two minutes of
wall-clock time; KELVO_AUTOSAVE_SECONDS shortens it here so that the test
stays within about three minutes (the period itself is checked by the unit
tests)."""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from kelvo_harness import KelvoGame, Player, pause, screen  # noqa: E402
from kelvo_harness import editor_layout as layout  # noqa: E402
from kelvo_harness.images import red_arrow_grip  # noqa: E402
from kelvo_harness.navigation import STEP_TIMEOUT  # noqa: E402
from test_editor_scene import ROCK_ON_SCREEN, SCENE, position_in, records_of, scene_text  # noqa: E402

# Bare ground right of the rock, below the middle of the view (the scene
# window covers the left edge).
GROUND_ON_SCREEN = (680, 700)
# Short enough for the test, long enough that the editor is loaded and the
# rock dragged within one period on a slow machine.
BACKUP_SECONDS = 20


class EditorUndoTest(unittest.TestCase):
    def setUp(self):
        self.game = KelvoGame("editor_undo")
        self.addCleanup(self.game.cleanup)
        self.player = Player(self.game)
        self.scene_path = self.game.write_scene(SCENE, scene_text())
        self.backup_path = self.scene_path + ".autosave"
        self.started = time.time()

    def read_scene(self):
        return self.game.read_scene(SCENE)

    def ok_message(self):
        self.player.ok_message()

    def open_scene(self, **start_options):
        self.player.open_menu(**start_options)
        entered = self.player.into_editor()
        self.player.load_scene_in_editor(entered, SCENE)
        return entered

    def pick_rock(self):
        game = self.game
        before = game.log_end()
        game.click(*ROCK_ON_SCREEN)
        game.wait_for_log("LevelEditWnd: chose 'e2e_rock'", timeout=STEP_TIMEOUT, after=before + 1)
        pause(1.0)

    def drag_rock(self):
        """Drags the rock's X arrow to the right; returns where it ended."""
        game = self.game
        grip = red_arrow_grip(game.screenshot("picked.png"), ROCK_ON_SCREEN[1])
        before = game.log_end()
        game.drag(grip, (grip[0] + 90, grip[1] - 20))
        game.wait_for_log("RayPickingScript: drag ended on 'e2e_rock' along X", timeout=STEP_TIMEOUT,
                          after=before + 1)
        moved_to = position_in(game.matched_line, "to")
        game.wait_for_log("EditHistory: did 'move e2e_rock'", timeout=STEP_TIMEOUT, after=before + 1)
        self.assertGreater(moved_to[0], 1.0)
        return moved_to

    def history_key(self, keys, line):
        before = self.game.log_end()
        self.game.key(keys)
        return self.game.wait_for_log(line, timeout=STEP_TIMEOUT, after=before + 1)

    def test_three_undos_and_a_redo_leave_the_drag_in_the_saved_file(self):
        game, player = self.game, self.player
        original = records_of(self.read_scene())
        self.open_scene()
        self.ok_message()
        self.pick_rock()
        moved_to = self.drag_rock()

        turned = self.player.type_rotation_y("e2e_rock", "90")
        game.wait_for_log("EditHistory: did 'change e2e_rock'", timeout=STEP_TIMEOUT, after=turned)

        # A click on the ground takes the keyboard from the field (and only
        # moves the locator); Delete then deletes the chosen rock.
        before = game.log_end()
        game.click(*GROUND_ON_SCREEN)
        game.wait_for_log("RayPickingScript: locator at", timeout=STEP_TIMEOUT, after=before + 1)
        self.history_key("Delete", "EditHistory: did 'delete e2e_rock'")
        self.ok_message()

        self.history_key("ctrl+z", "EditHistory: undid 'delete e2e_rock'")
        self.history_key("ctrl+z", "EditHistory: undid 'change e2e_rock'")
        self.history_key("ctrl+z", "EditHistory: undid 'move e2e_rock'")
        before = game.log_end()
        game.click(*layout.centre("redo_bt"))
        game.wait_for_log("EditHistory: redid 'move e2e_rock'", timeout=STEP_TIMEOUT, after=before + 1)

        player.editor_click("save", "LevelEditWnd: saved '%s'" % SCENE)
        self.ok_message()
        saved = records_of(self.read_scene())
        self.assertEqual(set(original), set(saved))
        for name in original:
            if name != "e2e_rock":
                self.assertEqual(original[name], saved[name], name)
        self.assertEqual(original["e2e_rock"][1], saved["e2e_rock"][1])
        rock = dict((tag, dict(attrs)) for tag, attrs in saved["e2e_rock"][2])
        self.assertAlmostEqual(moved_to[0], float(rock["position"]["x"]), delta=0.01)
        self.assertEqual(("188", "-50"), (rock["position"]["y"], rock["position"]["z"]))
        self.assertEqual({"x": "0", "y": "0", "z": "0", "w": "1"}, rock["rotation"])
        self.assertFalse(os.path.exists(self.backup_path))
        self.assertEqual(0, player.quit())
        print("editor undo end-to-end test took %.0f s" % (time.time() - self.started))

    def test_a_drag_before_a_crash_comes_back_from_the_backup(self):
        game, player = self.game, self.player
        original = self.read_scene()
        period = {"KELVO_AUTOSAVE_SECONDS": str(BACKUP_SECONDS)}
        self.open_scene(extra_env=period)
        self.ok_message()
        self.pick_rock()
        moved_to = self.drag_rock()
        game.wait_for_log("Autosave: wrote ../media/xmlScenes/%s.autosave" % SCENE,
                          timeout=2 * BACKUP_SECONDS + STEP_TIMEOUT)
        game.process.kill()
        game.process.wait()
        self.assertEqual(original, self.read_scene(), "the backup went over the scene")
        self.assertTrue(os.path.exists(self.backup_path))

        self.open_scene(extra_env=period)
        game.wait_for_log("Autosave: offered", timeout=STEP_TIMEOUT)
        before = game.log_end()
        game.click(*screen.EDITOR_CONTROLS["question ok"])
        game.wait_for_log("Autosave: restored", timeout=STEP_TIMEOUT, after=before + 1)
        player.editor_click("save", "LevelEditWnd: saved '%s'" % SCENE)
        self.ok_message()
        rock = dict((tag, dict(attrs)) for tag, attrs in records_of(self.read_scene())["e2e_rock"][2])
        self.assertAlmostEqual(moved_to[0], float(rock["position"]["x"]), delta=0.01)
        self.assertFalse(os.path.exists(self.backup_path), "the save removes the backup")
        self.assertEqual(0, player.quit())
        print("editor backup end-to-end test took %.0f s" % (time.time() - self.started))


if __name__ == "__main__":
    unittest.main()

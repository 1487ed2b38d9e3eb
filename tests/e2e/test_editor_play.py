"""Playing from the level editor, with real keys and mouse through X, on a
copy of the scene folder (the harness copies it): a test scene is loaded by
clicks, its rock picked and dragged along X (unsaved), and P starts the game
on a temporary copy without the intro, the hero standing on the ground below
the edit camera (the scene has none: one is added to the copy). After a few
steps escape leads back to the editor with the same scene, the moved rock
still unsaved (escape asks about it), the rock still selected and the camera
where it was; the temporary file is gone, the designer's file untouched until
the designer saves, and the save writes the moved rock into it."""

import math
import os
import re
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from kelvo_harness import KelvoGame, Player, pause, screen  # noqa: E402
from kelvo_harness.images import red_arrow_grip  # noqa: E402
from kelvo_harness.navigation import STEP_TIMEOUT  # noqa: E402
from kelvo_harness.process import SOURCE_DIR  # noqa: E402
from test_editor_scene import ROCK_ON_SCREEN, position_in, records_of, scene_text  # noqa: E402

SCENE = "e2e_play_cove.qormscene"
PLAY_FILE = "playing_from_editor.tmpscene"
POSITION = r"\((-?[\d.]+), (-?[\d.]+), (-?[\d.]+)\)"
CAMERA_POSE = re.compile(r"camera at \(.*?\) heading -?[\d.]+ pitch -?[\d.]+")


def vector_after(line, word):
    match = re.search(word + " " + POSITION, line)
    return tuple(float(value) for value in match.groups())


def tracked_scene_folder():
    folder = os.path.join(SOURCE_DIR, "media", "xmlScenes")
    files = {}
    for name in sorted(os.listdir(folder)):
        with open(os.path.join(folder, name), "rb") as source:
            files[name] = source.read()
    return files


class EditorPlayTest(unittest.TestCase):
    def setUp(self):
        self.tracked_before = tracked_scene_folder()
        self.game = KelvoGame("editor_play")
        self.addCleanup(self.game.cleanup)
        self.player = Player(self.game)
        self.scene_path = self.game.write_scene(SCENE, scene_text())
        self.scene_folder = os.path.dirname(self.scene_path)
        self.started = time.time()

    def read_scene(self):
        return self.game.read_scene(SCENE)

    def ok_message(self):
        self.player.ok_message()

    def test_the_designer_plays_the_unsaved_scene_and_comes_back_to_it(self):
        game, player = self.game, self.player
        original = self.read_scene()
        player.open_menu()
        entered = player.into_editor()
        # Nothing loaded, nothing chosen: P says why it does not play, F leaves the camera.
        before = game.log_end()
        game.key("p")
        game.wait_for_log("LevelEditorState: not playing: No XMLScene is loaded", timeout=STEP_TIMEOUT,
                          after=before + 1)
        self.ok_message()
        game.key("f")
        game.wait_for_log("EditCameraScript: nothing selected to frame", timeout=STEP_TIMEOUT, after=before + 1)
        self.assertFalse([line for line in game.log_lines()[before:] if screen.EDITOR_EXIT in line])
        player.load_scene_in_editor(entered, SCENE)
        self.ok_message()

        # The rock picked and dragged along X: an unsaved change.
        before = game.log_end()
        game.click(*ROCK_ON_SCREEN)
        game.wait_for_log("RayPickingScript: picked 'e2e_rock'", timeout=STEP_TIMEOUT, after=before + 1)
        pause(1.0)
        grip = red_arrow_grip(game.screenshot("picked.png"), ROCK_ON_SCREEN[1])
        before = game.log_end()
        game.drag(grip, (grip[0] + 90, grip[1] - 20))
        game.wait_for_log("RayPickingScript: drag ended on 'e2e_rock' along X", timeout=STEP_TIMEOUT,
                          after=before + 1)
        moved_to = position_in(game.matched_line, "to")
        self.assertGreater(moved_to[0], 1.0)

        # F: the camera flies to frame the moved rock; it plays from there.
        before = game.log_end()
        game.key("f")
        game.wait_for_log("EditCameraScript: framing 'e2e_rock'", timeout=STEP_TIMEOUT, after=before + 1)
        game.wait_for_log("EditCameraScript: framed 'e2e_rock'", timeout=STEP_TIMEOUT, after=before + 1)
        pause(0.5)

        # P: the game on the temporary copy, without the intro.
        before = game.log_end()
        game.key("p")
        game.wait_for_log("LevelEditorState: playing '%s' from '" % SCENE, timeout=STEP_TIMEOUT, after=before + 1)
        playing = game.matched_line
        self.assertIn(PLAY_FILE, playing)
        camera_before = vector_after(playing, "camera at")
        camera_pose = CAMERA_POSE.search(playing).group(0)
        self.assertNotEqual((0.0, 200.0, 0.0), camera_before, "the camera never left its start")
        self.assertIn("pitch -15.00", camera_pose, "framing from level looks down 15 degrees")
        hero_start = vector_after(playing, "hero at")
        self.assertAlmostEqual(camera_before[0], hero_start[0], delta=0.01)
        self.assertAlmostEqual(camera_before[2], hero_start[2], delta=0.01)
        self.assertLess(hero_start[1], camera_before[1])
        play_entered = game.wait_for_log(screen.PLAY_ENTER, timeout=STEP_TIMEOUT, after=before)
        game.wait_for_log("PlayState: playing from the editor", timeout=STEP_TIMEOUT, after=play_entered)
        game.wait_for_log("SceneLoader: scene '%s' loaded" % PLAY_FILE, timeout=STEP_TIMEOUT, after=play_entered)
        game.wait_for_log("PlaySceneCopy: the scene has no hero, 'player' added", timeout=1, after=before)
        game.wait_for_log(screen.INTRO_SKIPPED, timeout=STEP_TIMEOUT, after=play_entered)
        self.assertTrue(os.path.exists(os.path.join(self.scene_folder, PLAY_FILE)))
        self.assertEqual(original, self.read_scene(), "playing changed the designer's file")

        # The hero stands on the ground below the edit camera, then walks.
        here, _ = player.hero_position(game.log_end())
        self.assertLess(math.dist((here[0], here[2]), (hero_start[0], hero_start[2])), 1.0, here)
        self.assertAlmostEqual(hero_start[1], here[1], delta=1.0)
        player.hold(["w"], 3.0)
        walked, _ = player.hero_position(game.log_end())
        self.assertGreater(math.dist((walked[0], walked[2]), (here[0], here[2])), 2.0, (here, walked))
        played = game.log_lines()[play_entered:]
        self.assertFalse([line for line in played if "intro picture" in line or screen.FADED_INTO_SCENE in line],
                         "the intro was shown")

        # Escape: back in the editor, not the menu.
        before = game.log_end()
        game.key("Escape")
        game.wait_for_log(screen.PLAY_EXIT, timeout=STEP_TIMEOUT, after=before)
        back = game.wait_for_log(screen.EDITOR_ENTER, timeout=STEP_TIMEOUT, after=before)
        game.wait_for_log("LevelEditorState: back from playing '%s' (unsaved changes kept)" % SCENE,
                          timeout=STEP_TIMEOUT, after=back)
        back_line = game.matched_line
        self.assertEqual(camera_pose, CAMERA_POSE.search(back_line).group(0))
        self.assertIn("selected 'e2e_rock'", back_line)
        game.wait_for_log("LevelEditWnd: chose 'e2e_rock'", timeout=STEP_TIMEOUT, after=back)
        game.wait_for_log(screen.FADED_IN, timeout=STEP_TIMEOUT, after=back)
        self.assertFalse([line for line in game.log_lines()[before:] if screen.MENU_ENTER in line],
                         "the game went to the menu")
        self.assertFalse(os.path.exists(os.path.join(self.scene_folder, PLAY_FILE)), "the copy was left behind")
        self.assertEqual(original, self.read_scene())

        # The moved rock is still unsaved: escape asks, cancel stays.
        before = game.log_end()
        game.key("Escape")
        game.wait_for_log(screen.EDITOR_ASKED_BEFORE_LEAVING, timeout=STEP_TIMEOUT, after=before + 1)
        player.editor_click("question cancel", "LevelEditWnd: answer: cancel")

        # Saved, it is the designer's file that holds the moved rock.
        player.editor_click("save", "LevelEditWnd: saved '%s'" % SCENE)
        self.ok_message()
        saved = records_of(self.read_scene())
        rock = dict((tag, dict(attrs)) for tag, attrs in saved["e2e_rock"][2])
        self.assertAlmostEqual(moved_to[0], float(rock["position"]["x"]), delta=0.01)
        self.assertEqual(set(records_of(original)), set(saved), "the hero of the copy reached the scene")
        self.assertEqual(sorted(os.listdir(self.scene_folder)), sorted(set(self.tracked_before) | {SCENE}))

        player.back_to_menu()
        self.assertEqual(0, player.quit())
        self.assertEqual(self.tracked_before, tracked_scene_folder(), "the tracked scene folder changed")
        print("editor play end-to-end test took %.0f s" % (time.time() - self.started))

    def test_unsaved_work_survives_when_the_scene_cannot_be_reopened(self):
        """The designer's file vanishes while the game runs: the editor says
        so and keeps the unsaved scene in a file beside it."""
        game, player = self.game, self.player
        player.open_menu()
        entered = player.into_editor()
        player.load_scene_in_editor(entered, SCENE)
        self.ok_message()
        before = game.log_end()
        game.click(*ROCK_ON_SCREEN)
        game.wait_for_log("LevelEditWnd: chose 'e2e_rock'", timeout=STEP_TIMEOUT, after=before + 1)
        player.type_rotation_y("e2e_rock", "45")
        # A click into the view gives the keyboard back to the scene.
        game.click(900, 700)
        pause(1.0)

        before = game.log_end()
        game.key("p")
        play_entered = game.wait_for_log(screen.PLAY_ENTER, timeout=STEP_TIMEOUT, after=before)
        game.wait_for_log("PlayState: intro skipped", timeout=STEP_TIMEOUT, after=play_entered)
        os.remove(self.scene_path)
        before = game.log_end()
        game.key("Escape")
        back = game.wait_for_log(screen.EDITOR_ENTER, timeout=STEP_TIMEOUT, after=before)
        game.wait_for_log("LevelEditorState: the scene '%s' could not be opened again" % SCENE,
                          timeout=STEP_TIMEOUT, after=back)
        kept = self.scene_path + ".unsaved"
        self.assertTrue(os.path.exists(kept))
        with open(kept) as source:
            rock = dict((tag, dict(attrs)) for tag, attrs in records_of(source.read())["e2e_rock"][2])
        self.assertAlmostEqual(45.0, float(rock["rotation"]["y"]), places=3)
        self.assertFalse(os.path.exists(os.path.join(self.scene_folder, PLAY_FILE)))
        self.ok_message()
        player.back_to_menu()
        self.assertEqual(0, player.quit())


if __name__ == "__main__":
    unittest.main()

"""A designer's scene work in the level editor, with real keys and mouse
through X, on a copy of the scene folder (the harness copies it): a test
scene is loaded from the scene list by clicks, an entity picked in the view,
its rotation typed, the scene saved; after leaving to the menu and coming
back the scene loads again with that entity turned and every other record
as it was. Unsaved changes are not lost to a stray key: escape and "new_xml"
ask first, and cancel keeps the editor and the work."""

import os
import re
import sys
import time
import unittest
import xml.etree.ElementTree as ElementTree

sys.path.insert(0, os.path.dirname(__file__))
from kelvo_harness import KelvoGame, Player, pause, screen  # noqa: E402
from kelvo_harness.images import red_arrow_grip  # noqa: E402
from kelvo_harness.navigation import STEP_TIMEOUT  # noqa: E402

SCENE = "e2e_cove.qormscene"
# Where the editor's start camera (0, 200, 0), looking along -Z, sees them.
RECORDS = [
    ("e2e_rock", "rock_large.mesh", (0, 188, -50)),
    ("e2e_bush", "bush.mesh", (40, 190, -80)),
    ("e2e_palm", "palm_tall.mesh", (-45, 185, -90)),
]
# The rock straight below the middle of the view (45 degrees of view: 12 units
# below at 50 units ahead is 0.58 of the half height below the middle).
ROCK_ON_SCREEN = (512, 384 + int(0.58 * 384))

def scene_text():
    records = []
    for name, mesh, (x, y, z) in RECORDS:
        records.append(
            '\t\t<entity name="%s" hidden="false" filename="%s" CastShadows="yes" ReceiveShadows="yes">\n'
            '\t\t\t<position x="%g" y="%g" z="%g" />\n'
            '\t\t\t<rotation x="0" y="0" z="0" w="1" />\n'
            '\t\t\t<scale x="3" y="3" z="3" />\n'
            '\t\t\t<material name="DefaultFromMesh" />\n'
            '\t\t\t<type name="" />\n'
            '\t\t</entity>\n' % (name, mesh, x, y, z))
    # As the editor writes a scene, so that a record changed by saving shows.
    return ('<kelvo_scene>\n\t<shadow type="NONE" />\n\t<entities>\n%s\t</entities>\n</kelvo_scene>\n'
            % "".join(records))


def position_in(line, word):
    match = re.search(r"%s \((-?[\d.]+), (-?[\d.]+), (-?[\d.]+)\)" % word, line)
    return tuple(float(value) for value in match.groups())


def records_of(text):
    """Every record of a scene file: name -> its attributes and children's."""
    found = {}
    for record in ElementTree.fromstring(text).iter():
        if record.get("name") and record.tag in ("entity", "trigger", "light", "sound", "particle"):
            found[record.get("name")] = (record.tag, sorted(record.attrib.items()),
                                         [(child.tag, sorted(child.attrib.items())) for child in record])
    return found


class EditorSceneTest(unittest.TestCase):
    def setUp(self):
        self.game = KelvoGame("editor_scene")
        self.addCleanup(self.game.cleanup)
        self.player = Player(self.game)
        self.scene_path = self.game.write_scene(SCENE, scene_text())
        self.started = time.time()

    def read_scene(self):
        return self.game.read_scene(SCENE)

    def ok_message(self):
        # The rock lies behind the box.
        self.player.ok_message()

    def load_by_clicks(self, entered):
        self.player.load_scene_in_editor(entered, SCENE)
        self.ok_message()

    def test_work_saved_in_the_editor_is_there_after_leaving_and_unsaved_work_is_asked_about(self):
        game, player = self.game, self.player
        original = records_of(self.read_scene())
        player.open_menu()
        entered = player.into_editor()
        self.load_by_clicks(entered)

        # A click on the rock picks it and the scene window follows.
        before = game.log_end()
        game.click(*ROCK_ON_SCREEN)
        game.wait_for_log("RayPickingScript: picked 'e2e_rock'", timeout=STEP_TIMEOUT, after=before + 1)
        game.wait_for_log("LevelEditWnd: chose 'e2e_rock'", timeout=STEP_TIMEOUT, after=before + 1)

        # Its X arrow dragged to the right moves it along X only.
        pause(1.0)
        grip = red_arrow_grip(game.screenshot("picked.png"), ROCK_ON_SCREEN[1])
        before = game.log_end()
        game.drag(grip, (grip[0] + 90, grip[1] - 20))
        game.wait_for_log("RayPickingScript: drag ended on 'e2e_rock' along X", timeout=STEP_TIMEOUT,
                          after=before + 1)
        moved_to = position_in(game.matched_line, "to")
        self.assertEqual((0.0, 188.0, -50.0), position_in(game.matched_line, "from"))
        self.assertGreater(moved_to[0], 1.0)
        self.assertEqual((188.0, -50.0), moved_to[1:])

        player.type_rotation_y("e2e_rock", "90")
        # A Delete typed into the field edits the field, not the scene.
        game.click(*screen.EDITOR_CONTROLS["rotation y"])
        pause(0.5)
        before = game.log_end()
        game.key("Delete")
        game.wait_for_log("LevelEditGUIScript: the key goes to the window", timeout=STEP_TIMEOUT, after=before + 1)

        before = game.log_end()
        player.editor_click("save", "LevelEditWnd: saved '%s'" % SCENE)
        self.ok_message()
        self.assertFalse([line for line in game.log_lines()[before + 1:] if "RayPickingScript: picked" in line],
                         "clicks on the scene window picked through it")

        player.back_to_menu()
        entered = player.into_editor()
        self.load_by_clicks(entered)
        saved = records_of(self.read_scene())
        self.assertEqual(set(original), set(saved))
        rock = dict((tag, dict(attrs)) for tag, attrs in saved["e2e_rock"][2])
        self.assertAlmostEqual(90.0, float(rock["rotation"]["y"]), places=3)
        self.assertAlmostEqual(moved_to[0], float(rock["position"]["x"]), delta=0.01)
        self.assertEqual(("188", "-50"), (rock["position"]["y"], rock["position"]["z"]))
        for name in original:
            if name != "e2e_rock":
                self.assertEqual(original[name], saved[name], name)
        self.assertEqual(original["e2e_rock"][1], saved["e2e_rock"][1])

        # Unsaved work: "new_xml" and escape ask; cancel keeps everything.
        before = game.log_end()
        game.click(*ROCK_ON_SCREEN)
        game.wait_for_log("LevelEditWnd: chose 'e2e_rock'", timeout=STEP_TIMEOUT, after=before + 1)
        player.type_rotation_y("e2e_rock", "45")
        player.editor_click("new", "LevelEditWnd: asked: unsaved changes in '%s' before make a new scene" % SCENE)
        player.editor_click("question cancel", "LevelEditWnd: answer: cancel")
        before = game.log_end()
        game.key("Escape")
        game.wait_for_log("LevelEditWnd: asked: unsaved changes in '%s' before leave the editor" % SCENE,
                          timeout=STEP_TIMEOUT, after=before + 1)
        player.editor_click("question cancel", "LevelEditWnd: answer: cancel")
        pause(2.0)
        self.assertEqual(1, game.markers().count(screen.EDITOR_EXIT), "cancel keeps the editor open")
        self.assertAlmostEqual(90.0, float(dict(dict(
            (tag, attrs) for tag, attrs in records_of(self.read_scene())["e2e_rock"][2])["rotation"])["y"]))

        # Discard leaves without writing.
        before = game.log_end()
        game.key("Escape")
        game.wait_for_log("before leave the editor", timeout=STEP_TIMEOUT, after=before + 1)
        before = game.log_end()
        game.click(*screen.EDITOR_CONTROLS["question discard"])
        game.wait_for_log(screen.MENU_ENTER, timeout=STEP_TIMEOUT, after=before)
        self.assertNotIn('y="45"', self.read_scene())
        self.assertEqual(0, player.quit())
        print("editor scene end-to-end test took %.0f s" % (time.time() - self.started))


if __name__ == "__main__":
    unittest.main()

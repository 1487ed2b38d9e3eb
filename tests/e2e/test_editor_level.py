"""A level designer builds a small level from nothing in the editor, with
real clicks and typing through X, in a copy of the scene folder: a new
scene; a hero (type "Player") and two props from the entity dialog's lists
at clicked terrain points; a trigger on a prop; a blue point light; a looped
3D sound, played from the sound window and found in the captured sound; a
particle system; a shadow technique. The scene is saved; after leaving the
editor and coming back it loads with every record as saved. Then the game
plays it, from a working directory whose "world.qormscene" is the saved file
beside the island's terrain: the hero stands where he was placed, every
record is in the game's scene, and the props make the difference to the same
view played without them. (The island's terrain is lit by the sun alone, so
the point light's colour is not looked for on the screen.)"""

import os
import re
import shutil
import sys
import tempfile
import time
import unittest
import xml.etree.ElementTree as ElementTree

sys.path.insert(0, os.path.dirname(__file__))
from kelvo_harness import KelvoGame, Player, SOURCE_DIR, changed_share, pause  # noqa: E402
from kelvo_harness import editor_layout as layout  # noqa: E402
from kelvo_harness.navigation import STEP_TIMEOUT  # noqa: E402
from kelvo_harness.sound import find_sound, media_file  # noqa: E402

SCENE = "e2e_level.qormscene"
# Terrain points in the editor's start view (camera at 0, 200, 0 looking
# along -Z, some 500 units from the beach; about half a unit a pixel across,
# a unit and a bit down there): the hero on the near beach; the props a dozen
# units ahead of him (he faces +X, and the game's camera looks over his
# shoulder that way), clear of his marker sphere (radius 10); the light, the
# sound and the fire near them.
HERO_AT = (512, 712)
BARREL_AT = (538, 719)
BOX_AT = (542, 703)
LIGHT_AT = (530, 695)
SOUND_AT = (470, 712)
FIRE_AT = (560, 712)
# Where the game's first view shows the props (WxH+X+Y of 1024 x 768).
PROPS_VIEW = "400x560+600+0"
KEYSYMS = {"_": "underscore", ".": "period", "-": "minus", " ": "space"}
QUOTED = re.compile(r"'([^']*)'")


def records_of(text):
    """Every record of a scene file: name -> its tag, attributes and children's."""
    found = {}
    for record in ElementTree.fromstring(text).iter():
        if record.get("name") and record.tag in ("entity", "trigger", "light", "sound", "particle"):
            found[record.get("name")] = (record.tag, sorted(record.attrib.items()),
                                         [(child.tag, sorted(child.attrib.items())) for child in record])
    return found


def vector_in(line, after):
    match = re.search(re.escape(after) + r" \((-?[\d.]+), (-?[\d.]+), (-?[\d.]+)\)", line)
    return tuple(float(value) for value in match.groups())


class Designer:
    """The designer's hands on the editor's windows: clicks by widget name,
    typing, list choices that read back from the log what was chosen."""

    def __init__(self, game):
        self.game = game

    def click(self, widget, pause_after=0.4):
        self.game.click(*layout.centre(widget))
        pause(pause_after)

    def click_and_wait(self, widget, line):
        before = self.game.log_end()
        self.game.click(*layout.centre(widget))
        return self.game.wait_for_log(line, timeout=STEP_TIMEOUT, after=before + 1)

    def type_text(self, text):
        self.game.key(*[KEYSYMS.get(char, char) for char in text])

    def type_into(self, widget, text, clear=12):
        """Clicks into an edit box, empties it, types and presses Enter."""
        self.click(widget)
        self.game.key("End")
        self.game.key(*(["BackSpace"] * clear))
        self.type_text(text)
        self.game.key("Return")

    def answer(self, text, value=None):
        """Fills the open input box and presses its OK."""
        self.click("input_edit")
        self.type_text(text)
        if value is not None:
            self.click("value_edit")
            self.type_text(value)
        self.click("input_ok")

    def choose(self, list_name, names, target, chosen_line):
        """Clicks the item of a list, scrolling it into view first: a click
        on some row says (in the log line chosen_line) which item is there,
        and the rows are counted from it."""
        game = self.game
        left, top, width, height = layout.rect(list_name)
        x = int(left + width / 2) - 10
        first, last = top + 8, top + height - 22
        want = names.index(target)
        y = top + layout.LIST_FIRST_ROW + want * layout.LIST_ROW_HEIGHT
        for _ in range(16):
            if y > last:
                # A page down: a click on the scroll bar's track below its
                # thumb; then ask which item is in the middle.
                game.click(int(left + width - 5), int(top + height - 30))
                pause(0.3)
                y = (first + last) / 2
            elif y < first:
                # Up by the scroll bar's upper arrow.
                for _ in range(int((first - y) / 11) + 1):
                    game.click(int(left + width - 6), int(top + 8))
                    pause(0.2)
                y = (first + last) / 2
            before = game.log_end()
            game.click(x, int(y))
            game.wait_for_log(chosen_line, timeout=STEP_TIMEOUT, after=before + 1)
            at = names.index(QUOTED.findall(game.matched_line)[-1])
            if at == want:
                return
            y += (want - at) * layout.LIST_ROW_HEIGHT
        raise AssertionError("could not choose %s in %s" % (target, list_name))

    def pick_in_combo(self, combo, names, target, line):
        """Drops a combo box's list down and clicks the target entry; the
        list may open scrolled to the entry shown, which the first choice
        (read back from the log line) tells."""
        left, top, width, _ = layout.rect(combo)
        offset = 0
        for _ in range(3):
            self.game.click(int(left + width - 8), int(top + 12))
            pause(1.0)
            row = names.index(target) - offset
            before = self.game.log_end()
            self.game.click(int(left + width / 2), int(top + 42 + row * layout.LIST_ROW_HEIGHT))
            self.game.wait_for_log(line, timeout=STEP_TIMEOUT, after=before + 1)
            chosen = [name for name in names if name in self.game.matched_line]
            chosen = max(chosen, key=len)
            if chosen == target:
                return
            offset += names.index(chosen) - names.index(target)
        raise AssertionError("could not choose %s in %s" % (target, combo))

    def locate(self, point):
        """A click on the terrain: the locator goes there. The pointer comes
        to rest over the view first, so the click is the view's."""
        game = self.game
        game.mouse_move(*point)
        pause(0.8)
        for _ in range(3):
            before = game.log_end()
            game.click(*point)
            try:
                game.wait_for_log("RayPickingScript: locator at", timeout=8, after=before + 1)
                return vector_in(game.matched_line, "locator at")
            except AssertionError:
                pass
        raise AssertionError("a click at %s moved no locator" % (point,))


class EditorLevelTest(unittest.TestCase):
    def setUp(self):
        self.game = KelvoGame("editor_level")
        self.addCleanup(self.game.cleanup)
        self.player = Player(self.game)
        self.hands = Designer(self.game)
        self.scene_path = os.path.join(self.game.media_dir, "xmlScenes", SCENE)
        self.started = time.time()

    def listed(self, prefix, after):
        self.game.wait_for_log(prefix, timeout=STEP_TIMEOUT, after=after)
        return self.game.matched_line.split(prefix, 1)[1].split(", ")

    def make_entity(self, name, at, mesh, kind, lists):
        game, hands = self.game, self.hands
        where = hands.locate(at)
        hands.click_and_wait("add_entity", "AddEntityWnd: open")
        hands.click("create_entity")
        hands.answer(name)
        game.wait_for_log("EntityWnd: open to create '%s'" % name, timeout=STEP_TIMEOUT,
                          after=game.log_end() - 3)
        meshes, materials, types = lists
        hands.choose("meshfile_list", meshes, mesh, "EntityWnd: chose meshfile_list")
        hands.choose("mat_list", materials, "DefaultFromMesh", "EntityWnd: chose mat_list")
        hands.choose("entity_type_list", types, kind, "EntityWnd: chose entity_type_list")
        hands.click_and_wait("create_bt", "EntityWnd: created '%s'" % name)
        placed = vector_in(game.matched_line, "at")
        self.assertAlmostEqual(where[0], placed[0], delta=0.02)
        self.assertAlmostEqual(where[2], placed[2], delta=0.02)
        return placed

    def test_a_level_made_from_nothing_is_saved_loaded_and_played(self):
        game, player, hands = self.game, self.player, self.hands
        player.open_menu()
        entered = player.into_editor()
        lists = (self.listed("EntityWnd: meshes: ", entered), self.listed("EntityWnd: materials: ", entered),
                 self.listed("EntityWnd: types: ", entered))
        sound_files = self.listed("SoundWnd: sound files: ", entered)

        hands.click("new_xml", 1.0)
        hands.answer(SCENE.split(".")[0])
        game.wait_for_log("LevelEditWnd: new scene '%s'" % SCENE, timeout=STEP_TIMEOUT, after=entered)

        # The hero and two props, each from the dialog's lists at a terrain point.
        hero_at = self.make_entity("e2e_hero", HERO_AT, "hero.mesh", "Player", lists)
        hands.click_and_wait("exit_bt", "AddEntityWnd: closed")
        self.make_entity("e2e_barrel", BARREL_AT, "barrel.mesh", "Static", lists)
        hands.click_and_wait("exit_bt", "AddEntityWnd: closed")
        self.make_entity("e2e_box", BOX_AT, "box.mesh", "Static", lists)

        # A trigger on the barrel, with a radius typed into the box.
        entities = sorted(["e2e_barrel", "e2e_box", "e2e_hero"])
        hands.choose("select_entity_list", entities, "e2e_barrel", "AddEntityWnd: chose entity")
        hands.click("attach_trigger")
        hands.answer("e2e_gate", "7.5")
        game.wait_for_log("AddEntityWnd: trigger 'e2e_gate' (radius 7.5) on 'e2e_barrel'", timeout=STEP_TIMEOUT,
                          after=entered)
        hands.click_and_wait("exit_bt", "AddEntityWnd: closed")

        # A blue point light by the props (its colour typed crosswise: the
        # middle field is green, the last blue), shining undimmed.
        hands.locate(LIGHT_AT)
        hands.click_and_wait("show_light_wnd", "LightWnd: open")
        hands.click("light_add")
        hands.answer("e2e_lamp")
        game.wait_for_log("LightWnd: created 'e2e_lamp'", timeout=STEP_TIMEOUT, after=entered)
        hands.pick_in_combo("light_type_cb", ["Dirc_Light", "Spot_Light", "Point_Light"], "Point_Light",
                            "LightWnd: 'e2e_lamp' is a ")
        for field, value in (("diff_r_edit", "0"), ("diff_b_edit", "0"), ("diff_g_edit", "1")):
            hands.type_into(field, value)
        game.wait_for_log("LightWnd: 'e2e_lamp' diffuse (0, 0, 1)", timeout=STEP_TIMEOUT, after=entered)
        for field, value in (("att_range_edit", "400"), ("att_linear", "0")):
            hands.type_into(field, value)
        game.wait_for_log("LightWnd: 'e2e_lamp' linear attenuation 0", timeout=STEP_TIMEOUT, after=entered)
        hands.click_and_wait("show_light_wnd", "LightWnd: closed")

        # A looped 3D sound heard from far: played from the window.
        hands.locate(SOUND_AT)
        hands.click_and_wait("show_sound_wnd", "SoundWnd: open")
        hands.click("create_sound_bt")
        hands.answer("e2e_hum")
        game.wait_for_log("SoundWnd: created 'e2e_hum'", timeout=STEP_TIMEOUT, after=entered)
        hands.choose("sound_file_list", sound_files, "brunnen.wav", "SoundWnd: 'e2e_hum' plays")
        hands.pick_in_combo("soundtype_cb", ["2D_SOUND", "2D_SOUND_LOOPED", "3D_SOUND", "3D_SOUND_LOOPED"],
                            "3D_SOUND_LOOPED", "SoundWnd: 'e2e_hum' is a ")
        hands.type_into("max_3d_edit", "2000")
        game.wait_for_log("SoundWnd: 'e2e_hum' maximum distance 2000", timeout=STEP_TIMEOUT, after=entered)
        hands.click_and_wait("save_sound_bt", "SoundWnd: saved 'e2e_hum' (brunnen.wav, 3D_SOUND_LOOPED")
        self.assertNotIn("could not be loaded", game.matched_line)
        played = hands.click_and_wait("play_sound", "SoundWnd: playing 'e2e_hum'")
        pause(3.0)
        at = game.capture_time(played)
        heard = find_sound(game.audio_file, media_file("brunnen.wav"), at - 0.5, at + 3.0)
        self.assertTrue(heard.found, "the played sound is not in the captured sound: %r" % heard)
        hands.click_and_wait("stop_sound", "SoundWnd: stopped 'e2e_hum'")

        # A fire, and the shadows.
        hands.locate(FIRE_AT)
        hands.click_and_wait("show_particle_wnd", "ParticleWnd: open")
        hands.click("create_par_bt")
        hands.answer("e2e_fire")
        game.wait_for_log("ParticleWnd: created 'e2e_fire'", timeout=STEP_TIMEOUT, after=entered)
        scripts = self.listed("ParticleWnd: particle scripts: ", entered)
        hands.choose("particle_script_list", scripts, "Kelvo/Fire", "ParticleWnd: chose script")
        hands.click_and_wait("save_par_bt", "ParticleWnd: saved 'e2e_fire' (Kelvo/Fire")
        self.assertNotIn("could not be made", game.matched_line)
        hands.click_and_wait("show_shadow_wnd", "ShadowWnd: open")
        hands.pick_in_combo("shadow_cb", ["STENCIL_MODULATIVE", "STENCIL_ADDITIVE", "TEXTURE_MODULATIVE",
                                         "TEXTURE_ADDITIVE", "NONE"], "TEXTURE_MODULATIVE", "ShadowWnd: chose ")
        hands.click_and_wait("shad_apply_bt", "ShadowWnd: applied TEXTURE_MODULATIVE")

        # Saved; the file holds every record.
        hands.click_and_wait("show_main_wnd", "ToolbarWnd: showed 'leveledit_win'")
        hands.click_and_wait("Save XML", "LevelEditWnd: saved '%s'" % SCENE)
        hands.click("msgbox_ok")
        with open(self.scene_path) as saved_file:
            saved_text = saved_file.read()
        saved = records_of(saved_text)
        self.assertEqual({"e2e_hero", "e2e_barrel", "e2e_box", "e2e_gate", "e2e_lamp", "e2e_hum", "e2e_fire"},
                         set(saved))
        self.assertIn('<shadow type="TEXTURE_MODULATIVE" />', saved_text)
        attributes = dict(saved["e2e_hum"][1])
        self.assertEqual(("3D_SOUND_LOOPED", "brunnen.wav", "2000"),
                         (attributes["type"], attributes["file"], attributes["maxDistance"]))
        self.assertEqual("e2e_barrel", dict(saved["e2e_gate"][1])["parent"])

        # Left and entered again: loaded, every record is as saved.
        player.back_to_menu()
        entered = player.into_editor()
        files = self.listed("LevelEditWnd: scene files: ", entered)
        game.click(*layout.list_row("xml_list", files.index(SCENE)))
        pause(0.5)
        hands.click_and_wait("load_xml", "LevelEditWnd: loaded '%s'" % SCENE)
        loaded = [line for line in game.log_lines()[entered:] if "SceneLoader: scene '%s' loaded" % SCENE in line]
        self.assertIn("(3 entities, 1 triggers, 1 lights, 1 sounds, 1 particle systems)", loaded[-1])
        hands.click("msgbox_ok")
        hands.click_and_wait("Save XML", "LevelEditWnd: saved '%s'" % SCENE)
        hands.click("msgbox_ok")
        with open(self.scene_path) as again:
            self.assertEqual(saved, records_of(again.read()))
        player.back_to_menu()
        self.assertEqual(0, player.quit())
        editor_seconds = time.time() - self.started

        # The game on that scene, beside the island's terrain.
        world = tempfile.mkdtemp(prefix="kelvo-e2e-level-world-")
        self.addCleanup(shutil.rmtree, world, True)
        terrain = os.path.join(SOURCE_DIR, "media", "terrain")
        for name in os.listdir(terrain):
            shutil.copy(os.path.join(terrain, name), world)
        shutil.copy(self.scene_path, os.path.join(world, "world.qormscene"))
        game = KelvoGame("editor_level_game", world=world)
        self.addCleanup(game.cleanup)
        player = Player(game)
        player.open_menu()
        entered = player.into_game()
        game.wait_for_log("PlayerScript: hero at", timeout=STEP_TIMEOUT, after=entered)
        stands = vector_in(game.matched_line, "hero at")
        self.assertAlmostEqual(hero_at[0], stands[0], delta=0.5)
        self.assertAlmostEqual(hero_at[2], stands[2], delta=0.5)
        pause(2.0)
        shot = game.screenshot("level.png")
        loaded = [line for line in game.log_lines()[entered:] if "SceneLoader: scene 'world.qormscene' loaded" in line]
        self.assertIn("(3 entities, 1 triggers, 1 lights, 1 sounds, 1 particle systems)", loaded[-1])
        player.back_to_menu()
        self.assertEqual(0, player.quit())

        # The same view without the props: they made the difference.
        without_props = os.path.join(world, "world.qormscene")
        tree = ElementTree.parse(without_props)
        for block in tree.getroot().findall("entities"):
            for record in list(block):
                if record.get("name") in ("e2e_barrel", "e2e_box", "e2e_gate"):
                    block.remove(record)
        tree.write(without_props, encoding="unicode")
        bare = KelvoGame("editor_level_bare", world=world)
        self.addCleanup(bare.cleanup)
        player = Player(bare)
        player.open_menu()
        entered = player.into_game()
        bare.wait_for_log("PlayerScript: hero at", timeout=STEP_TIMEOUT, after=entered)
        pause(2.0)
        bare_shot = bare.screenshot("bare.png")
        # Right of the hero, above the status bar: the barrel stands there;
        # the fire's flicker and the hero's idle sway stay out of the crop.
        props_differ = changed_share(shot, bare_shot, crop=PROPS_VIEW)
        print("\nshare of the props view changed by the props: %.4f" % props_differ, file=sys.stderr)
        # The barrel alone covers about 0.7 % of the crop; the ground is the same.
        self.assertGreater(props_differ, 0.002, "the props show nowhere")
        player.back_to_menu()
        self.assertEqual(0, player.quit())
        print("editor level end-to-end test took %.0f s (editor %.0f s)"
              % (time.time() - self.started, editor_seconds))


if __name__ == "__main__":
    unittest.main()

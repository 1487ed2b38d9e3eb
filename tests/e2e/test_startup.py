"""Start-up and shut-down of the real game: markers, options file, bad input."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from kelvo_harness import KelvoGame, Player, screen  # noqa: E402
from kelvo_harness.screen import MENU_ENTER  # noqa: E402

BOX_CAPTION = "MessageBox [An exception\thas\toccurred!]"


class GameTestCase(unittest.TestCase):
    def new_game(self, name):
        game = KelvoGame(name)
        self.addCleanup(game.cleanup)
        return game

    def play_menu_and_quit(self, game):
        player = Player(game)
        player.open_menu()
        self.assertEqual(0, player.quit())

    def assert_logged(self, game, text):
        lines = game.log_lines()
        if not any(text in line for line in lines):
            self.fail("%r is not in the log; its last lines:\n%s" % (text, "\n".join(lines[-25:])))

    def assert_ends_with_shutdown_markers(self, game):
        markers = game.markers()
        self.assertEqual(screen.SHUTDOWN_MARKERS, markers[-2:], markers)


class StartAndQuitTest(GameTestCase):
    def test_menu_opens_in_a_window_and_escape_quits_with_every_marker(self):
        game = self.new_game("quit")
        player = Player(game)
        player.open_menu()
        self.assertEqual((1024, 768), game.window_geometry())
        self.assertEqual(0, player.quit())
        self.assertEqual([screen.CHANGE_STATE, MENU_ENTER] + screen.SHUTDOWN_MARKERS, game.markers())
        lines = game.log_lines()
        # The engine's own shut-down lines follow the program's last marker.
        self.assertLess(lines.index(screen.SHUTDOWN_COMPLETE), len(lines) - 1)
        with open(game.stdout_path) as out:
            self.assertIn("message.lua: testMsg ran", out.read())
        self.assertNotIn(BOX_CAPTION, "\n".join(lines))

    def test_platform_plugins_are_loaded_and_missing_ones_skipped_once_each(self):
        game = self.new_game("plugins")
        self.play_menu_and_quit(game)
        log = "\n".join(game.log_lines())
        for missing in ("RenderSystem_Direct3D9", "Plugin_CgProgramManager"):
            self.assertEqual(1, log.count("Plugin %s is not available on this platform, skipped" % missing))
        self.assert_logged(game, "Installing plugin: GL RenderSystem")
        self.assert_logged(game, "Installing plugin: ParticleFX")
        self.assert_logged(game, 'Render system offers no option "Rendering Device", skipped')


class FailedSetupTest(GameTestCase):
    def test_without_a_display_the_error_is_shown_the_exit_code_says_so_and_shutdown_still_runs(self):
        game = self.new_game("nodisplay")
        game.start(display=False)
        self.assertEqual(1, game.wait_exit(timeout=30))
        log = "\n".join(game.log_lines())
        self.assertEqual(1, log.count(BOX_CAPTION))
        self.assertIn("An exception\thas\toccurred!", game.stderr())
        # The player is told in plain words what is missing.
        self.assertIn("Main: no display: the DISPLAY variable is not set", game.stderr())
        self.assertNotIn(MENU_ENTER, game.markers())
        self.assertEqual([screen.CHANGE_STATE] + screen.SHUTDOWN_MARKERS, game.markers())


class OptionsFileTest(GameTestCase):
    def test_missing_file_is_created_then_kept_while_usable(self):
        game = self.new_game("options")
        self.play_menu_and_quit(game)
        written = game.read_file("options.cfg").split("\n")
        self.assertEqual("# Author: Orvelt", written[0])
        self.assertRegex(written[1], r"^# \d{0,2}:\d{0,2}:\d{0,2} file created\.\.$")
        self.assertEqual(["fullscreen", "vsync", "resolution", "texturefilter", "deviceName"],
                         [line.split("=")[0] for line in written[2:7]])
        self.assertIn("texturefilter=Bilinear", written)
        self.assertIn("deviceName=", written)
        self.assertEqual("", written[7], "each line ends with a line feed")

        # A usable file with a changed filter survives the next start untouched.
        edited = game.read_file("options.cfg").replace("texturefilter=Bilinear", "texturefilter=Anisotropic 8x")
        edited = edited.replace(written[1], "# a player's own comment")
        game.write_file("options.cfg", edited)
        self.play_menu_and_quit(game)
        self.assertEqual(edited, game.read_file("options.cfg"))
        self.assertNotIn("is missing or unusable", "\n".join(game.log_lines()))

    def test_unusable_files_are_rewritten_from_the_defaults(self):
        game = self.new_game("badoptions")
        cases = {
            "extra empty line": "fullscreen=No\nvsync=No\nresolution=1024 x  768\ntexturefilter=Trilinear\ndeviceName=\n\n",
            "value not offered": "fullscreen=Perhaps\nvsync=No\nresolution=1024 x  768\ntexturefilter=Trilinear\n",
            "binary junk": "\x00\xff\xfe=\x01\n" * 3,
        }
        for label, text in cases.items():
            with self.subTest(label):
                game.write_file("options.cfg", text)
                self.play_menu_and_quit(game)
                rewritten = game.read_file("options.cfg")
                self.assertTrue(rewritten.startswith("# Author: Orvelt\n"), rewritten)
                self.assertEqual(7, rewritten.count("\n"))
                self.assertIn("Options file \"options.cfg\" is missing or unusable, writing it anew",
                              "\n".join(game.log_lines()))


class BadInputTest(GameTestCase):
    def test_missing_resources_cfg_is_reported_once_and_the_game_ends_cleanly(self):
        # Without resources.cfg the engine starts with only its own locations
        # and the menu is entered; its windows then cannot find their files,
        # which is reported too, and the game shuts down in order.
        game = self.new_game("nores")
        game.remove_file("resources.cfg")
        game.start()
        # The exception that ended the menu makes the exit code say so.
        self.assertEqual(1, game.wait_exit(timeout=60))
        log = game.log_lines()
        boxes = [line for line in log if line.startswith(BOX_CAPTION)]
        self.assertIn("resources.cfg", boxes[0])
        self.assertEqual(1, sum("resources.cfg" in box for box in boxes))
        self.assertEqual(2, len(boxes), boxes)
        self.assertIn(MENU_ENTER, game.markers())
        self.assert_ends_with_shutdown_markers(game)

    def test_broken_resource_location_costs_only_its_own_line(self):
        game = self.new_game("badres")
        config = game.read_file("resources.cfg").replace(
            "[General]\n", "[General]\nNoSuchArchiveType=../media/elsewhere\n", 1)
        game.write_file("resources.cfg", config)
        self.play_menu_and_quit(game)
        self.assert_logged(game, 'Resource location "../media/elsewhere" (NoSuchArchiveType) in group "General" skipped')
        self.assert_logged(game, "Added resource location '../media/xmlScenes' of type 'FileSystem' to resource group 'SceneLoader'")
        self.assertIn(MENU_ENTER, game.markers())

    def test_missing_or_failing_start_script_is_logged_and_survived(self):
        game = self.new_game("lua")
        game.remove_file("message.lua")
        self.play_menu_and_quit(game)
        log = "\n".join(game.log_lines())
        self.assert_logged(game, 'Lua: running "message.lua" failed')
        self.assert_logged(game, 'Lua: calling "testMsg" failed')
        self.assert_ends_with_shutdown_markers(game)

        game.write_file("message.lua", "function testMsg()\n  error('the script is broken')\nend\n")
        self.play_menu_and_quit(game)
        log = "\n".join(game.log_lines())
        self.assert_logged(game, "the script is broken")
        self.assertIn(MENU_ENTER, game.markers())

        game.write_file("message.lua", "function testMsg( -- not Lua\n")
        self.play_menu_and_quit(game)
        self.assertIn('Lua: running "message.lua" failed', "\n".join(game.log_lines()))
        self.assertIn(MENU_ENTER, game.markers())


if __name__ == "__main__":
    unittest.main()

"""The game in a hostile environment, as a player or a broken install meets
it: a working directory it may not write into, media files that are missing
or broken, a sound that decodes to garbage. Each is reported by name, and
the game goes on and ends in order. (No display at all: test_startup.py.)"""

import os
import random
import shutil
import struct
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from kelvo_harness import KelvoGame, Player, SMALL_WORLD, screen  # noqa: E402

# Runs a command with its working directory mounted read-only, in a mount
# namespace of its own: permission bits do not stop root (CI runs as root),
# a read-only mount does. (The directory is entered again after the mount:
# the old working directory would still be the writable one underneath.)
READ_ONLY_WRAPPER = ["unshare", "--mount", "sh", "-c", 'mount --bind -o ro "$PWD" "$PWD" && cd "$PWD" && exec "$0"']


def read_only_mounts_work():
    probe = subprocess.run(["unshare", "--mount", "sh", "-c", 'mount --bind -o ro /tmp /tmp && ! touch /tmp/.kelvo-ro'],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return probe.returncode == 0


def garbage(size, seed):
    generator = random.Random(seed)
    return bytes(generator.randrange(256) for _ in range(size))


def wave_with_broken_header(seed):
    """A RIFF/WAVE file whose format chunk claims no channels and whose data
    chunk claims far more bytes than follow."""
    body = garbage(4000, seed)
    fmt = struct.pack("<HHIIHH", 1, 0, 44100, 0, 0, 16)
    return (b"RIFF" + struct.pack("<I", 36 + len(body)) + b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt
            + b"data" + struct.pack("<I", 0x7FFFFFF0) + body)


class ReadOnlyFolderTest(unittest.TestCase):
    @unittest.skipUnless(read_only_mounts_work(), "mount namespaces are not allowed here (unshare --mount failed)")
    def test_a_folder_it_cannot_write_is_reported_and_the_game_plays_on(self):
        game = KelvoGame("readonly", world=SMALL_WORLD)
        self.addCleanup(game.cleanup)
        before = sorted(os.listdir(game.run_dir))
        player = Player(game)
        player.open_menu(wrapper=READ_ONLY_WRAPPER, log_on_stderr=True)
        game.wait_for_log('Main: the log "kelvo.log" cannot be written in this folder')
        game.wait_for_log('Options file "options.cfg" cannot be written in this folder')
        game.wait_for_log('CeGUIManager: "CEGUI.log" cannot be written in this folder')

        # The game plays on: into the world, a screenshot that cannot be
        # saved, back, and an options change that cannot be kept.
        entered = player.into_game()
        player.press("3")
        game.wait_for_log("PlayState: screenshot ", after=entered)
        self.assertIn("cannot be written", game.matched_line)
        player.back_to_menu()
        player.open_options()
        player.choose_texture_filter("anisotropic 8x")
        game.wait_for_log("MenuState: the options file could not be written")
        self.assertEqual(0, player.quit())
        self.assertEqual(screen.SHUTDOWN_MARKERS, game.markers()[-2:])
        # Nothing was written, nor left half-written.
        self.assertEqual(before, sorted(os.listdir(game.run_dir)))


class BrokenMediaTest(unittest.TestCase):
    def test_missing_and_broken_meshes_and_sounds_are_named_and_the_game_goes_on(self):
        game = KelvoGame("brokenmedia", world=SMALL_WORLD)
        self.addCleanup(game.cleanup)
        world = game.world
        with open(os.path.join(world.folder, "broken_rock.mesh"), "wb") as out:
            out.write(garbage(3000, 1))
        with open(os.path.join(world.folder, "noise_garbage.wav"), "wb") as out:
            out.write(garbage(6000, 2))
        with open(os.path.join(world.folder, "noise_badheader.wav"), "wb") as out:
            out.write(wave_with_broken_header(3))
        # A directory where a sound file should be: it exists but cannot be read.
        os.makedirs(os.path.join(world.folder, "noise_folder.ogg"))
        world.add_entity("ghost_rock", "no_such_rock.mesh", "Static", (0, 40, 0))
        world.add_entity("broken_rock", "broken_rock.mesh", "Static", (5, 40, 0))
        for name, file_name in (("noise_missing", "no_such_noise.wav"), ("noise_garbage", "noise_garbage.wav"),
                                ("noise_badheader", "noise_badheader.wav"), ("noise_folder", "noise_folder.ogg")):
            world.add_sound(name, file_name, kind="2D_SOUND_LOOPED")
        # The sounds are looked up where the game's sounds are.
        game.write_file("resources.cfg", game.read_file("resources.cfg").replace(
            "[General]\n", "[General]\nFileSystem=../world\n", 1))

        player = Player(game)
        player.open_menu()
        for visit in range(2):
            entered = player.into_game()
            game.wait_for_log("PlayState: world loaded", after=entered)
            player.hold(["w"], 0.5)
            player.back_to_menu()
        self.assertEqual(0, player.quit())
        self.assertEqual(screen.SHUTDOWN_MARKERS, game.markers()[-2:])

        log = "\n".join(game.log_lines())
        for file_name in ("no_such_rock.mesh", "broken_rock.mesh", "no_such_noise.wav", "noise_garbage.wav",
                          "noise_badheader.wav", "noise_folder.ogg"):
            self.assertIn(file_name, log, "the log names %s" % file_name)
        self.assertNotIn("An exception\thas\toccurred!", log)


if __name__ == "__main__":
    unittest.main()

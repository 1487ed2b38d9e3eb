"""The level generator's promises: it never replaces the level's scene file
unless told to, a dry run writes nothing, and the same description gives
the same file."""

import hashlib
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
GENERATOR = os.path.join(ROOT, "tools", "level", "make_level.py")


def run(*args):
    return subprocess.run(["/usr/bin/python3", GENERATOR] + list(args), stdout=subprocess.PIPE,
                          stderr=subprocess.STDOUT, text=True)


def digest(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


class LevelGeneratorTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="kelvo_level_")
        self.scene = os.path.join(self.folder, "world.qormscene")

    def tearDown(self):
        shutil.rmtree(self.folder, ignore_errors=True)

    def test_keeps_an_edited_scene_unless_forced(self):
        edited = "<kelvo_scene>\n\t<shadow type=\"NONE\" />\n</kelvo_scene>\n"
        with open(self.scene, "w") as f:
            f.write(edited)
        refused = run("--out", self.scene)
        self.assertEqual(1, refused.returncode, refused.stdout)
        self.assertIn("not replaced", refused.stdout)
        dry = run("--out", self.scene, "--dry-run")
        self.assertEqual(0, dry.returncode, dry.stdout)
        self.assertIn("would replace", dry.stdout)
        with open(self.scene) as f:
            self.assertEqual(edited, f.read(), "the scene was changed without --force")
        forced = run("--out", self.scene, "--force")
        self.assertEqual(0, forced.returncode, forced.stdout)
        self.assertIn("replaced", forced.stdout)
        with open(self.scene) as f:
            self.assertIn("<entity name=\"player\"", f.read())
        self.assertEqual([], [n for n in os.listdir(self.folder) if n != "world.qormscene"],
                         "a partial file was left behind")

    def test_same_description_gives_the_same_file(self):
        first = run("--out", self.scene)
        self.assertEqual(0, first.returncode, first.stdout)
        self.assertIn("entities", first.stdout)  # progress and a summary
        once = digest(self.scene)
        again = run("--out", self.scene, "--force")
        self.assertEqual(0, again.returncode, again.stdout)
        self.assertEqual(once, digest(self.scene))


if __name__ == "__main__":
    unittest.main()

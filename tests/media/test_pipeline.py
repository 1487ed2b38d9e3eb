"""Tests of the media pipeline (tools/media/kelvo_media/pipeline.py and
tools/make_media.sh): byte-identical rebuilds, skipping of unchanged work,
and clear failures. Run by ctest as media.pipeline, with Debian's python3."""

import hashlib
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

SOURCE = os.environ.get("KELVO_SOURCE_DIR",
                        os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))))
sys.path.insert(0, os.path.join(SOURCE, "tools", "media"))

from kelvo_media import definitions, pipeline  # noqa: E402

MAKE_MEDIA = os.path.join(SOURCE, "tools", "make_media.sh")


def digests(folder):
    out = {}
    for name in sorted(os.listdir(folder)):
        path = os.path.join(folder, name)
        if os.path.isfile(path) and not name.startswith("."):
            with open(path, "rb") as f:
                out[name] = hashlib.sha256(f.read()).hexdigest()
    return out


# Builders for the synthetic tasks below; the worker processes find them here
# by module name (workers are forked, so __main__ is this file).
def _copy(letter, out_dir):
    root = os.environ["PIPELINE_TEST_ROOT"]
    shutil.copy(os.path.join(root, letter + ".src"), os.path.join(out_dir, letter + ".out"))
    return ["copied %s.src" % letter]


def make_a(out_dir, work_dir):
    return _copy("a", out_dir)


def make_b(out_dir, work_dir):
    return _copy("b", out_dir)


def make_nothing_right(out_dir, work_dir):
    with open(os.path.join(out_dir, "stray.txt"), "w") as f:
        f.write("not declared")
    return []


def make_failure(out_dir, work_dir):
    with open(os.path.join(out_dir, "broken.out"), "w") as f:
        f.write("half")
    raise ValueError("the generator found a bad input value")


class SyntheticTasks(unittest.TestCase):
    """The pipeline's rules on small tasks in a scratch folder, so the test
    never touches the real media or the repository."""

    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="kelvo_pipeline_")
        self.out = os.path.join(self.root, "generated")
        os.makedirs(self.out)
        for name, text in (("a.src", "alpha"), ("b.src", "beta")):
            with open(os.path.join(self.root, name), "w") as f:
                f.write(text)
        os.environ["PIPELINE_TEST_ROOT"] = self.root
        self.lines = []

    def tearDown(self):
        shutil.rmtree(self.root, ignore_errors=True)

    def task(self, name, output, source):
        return pipeline.Task(name, [output], [source], "__main__:make_%s" % name)

    def run_tasks(self, tasks, **kw):
        self.lines = []
        return pipeline.build(self.root, self.out, tasks, jobs=2, log=self.lines.append, **kw)

    def two_tasks(self):
        return [self.task("a", "a.out", "a.src"), self.task("b", "b.out", "b.src")]

    def test_second_run_skips_everything_and_touches_nothing(self):
        self.assertEqual(self.run_tasks(self.two_tasks()), 0)
        before = {n: os.stat(os.path.join(self.out, n)).st_mtime_ns for n in ("a.out", "b.out")}
        self.assertEqual(self.run_tasks(self.two_tasks()), 0)
        self.assertIn("all 2 tasks up to date", "\n".join(self.lines))
        after = {n: os.stat(os.path.join(self.out, n)).st_mtime_ns for n in ("a.out", "b.out")}
        self.assertEqual(before, after)

    def test_changed_source_remakes_only_its_task(self):
        self.run_tasks(self.two_tasks())
        with open(os.path.join(self.root, "b.src"), "w") as f:
            f.write("beta, changed")
        self.assertEqual(self.run_tasks(self.two_tasks()), 0)
        text = "\n".join(self.lines)
        self.assertIn("making 1 of 2 tasks (b)", text)
        with open(os.path.join(self.out, "b.out")) as f:
            self.assertEqual(f.read(), "beta, changed")

    def test_deleted_or_damaged_output_is_remade(self):
        self.run_tasks(self.two_tasks())
        os.remove(os.path.join(self.out, "a.out"))
        with open(os.path.join(self.out, "b.out"), "w") as f:
            f.write("truncated by hand")
        self.assertEqual(self.run_tasks(self.two_tasks()), 0)
        self.assertIn("making 2 of 2 tasks", "\n".join(self.lines))

    def test_failing_task_reports_why_and_leaves_no_output(self):
        tasks = self.two_tasks() + [pipeline.Task("broken", ["broken.out"], ["a.src"], "__main__:make_failure")]
        self.assertEqual(self.run_tasks(tasks), 1)
        text = "\n".join(self.lines)
        self.assertIn("broken FAILED", text)
        self.assertIn("the generator found a bad input value", text)
        self.assertFalse(os.path.exists(os.path.join(self.out, "broken.out")))
        # the others were made, and the broken one is tried again next time
        self.assertTrue(os.path.exists(os.path.join(self.out, "a.out")))
        self.assertEqual(self.run_tasks(tasks), 1)
        self.assertIn("making 1 of 3 tasks (broken)", "\n".join(self.lines))

    def test_undeclared_output_fails_the_task(self):
        tasks = [pipeline.Task("sloppy", ["declared.out"], ["a.src"], "__main__:make_nothing_right")]
        self.assertEqual(self.run_tasks(tasks), 1)
        text = "\n".join(self.lines)
        self.assertIn("missing ['declared.out']", text)
        self.assertIn("undeclared ['stray.txt']", text)
        self.assertFalse(os.path.exists(os.path.join(self.out, "stray.txt")))

    def test_missing_source_is_named(self):
        tasks = [self.task("a", "a.out", "nowhere.src")]
        self.assertEqual(self.run_tasks(tasks), 1)
        self.assertIn("source nowhere.src does not exist", "\n".join(self.lines))

    def test_two_tasks_claiming_one_file_are_refused(self):
        with self.assertRaisesRegex(ValueError, "made by both"):
            self.run_tasks([self.task("a", "a.out", "a.src"), self.task("b", "a.out", "b.src")])

    def test_files_no_task_makes_any_more_are_removed(self):
        self.run_tasks(self.two_tasks())
        with open(os.path.join(self.out, "hand_made.txt"), "w") as f:
            f.write("not ours")
        self.assertEqual(self.run_tasks([self.task("a", "a.out", "a.src")]), 0)
        self.assertFalse(os.path.exists(os.path.join(self.out, "b.out")))
        self.assertIn("removed b.out", "\n".join(self.lines))
        self.assertTrue(os.path.exists(os.path.join(self.out, "hand_made.txt")))

    def test_tracked_files_are_never_overwritten(self):
        git = ["git", "-C", self.root, "-c", "user.name=test", "-c", "user.email=test@example.invalid"]
        subprocess.run(git + ["init", "-q"], check=True)
        with open(os.path.join(self.out, "a.out"), "w") as f:
            f.write("tracked by someone")
        subprocess.run(git + ["add", "generated/a.out"], check=True)
        subprocess.run(git + ["commit", "-q", "-m", "tracked"], check=True)
        self.assertEqual(self.run_tasks(self.two_tasks()), 1)
        self.assertIn("refusing to overwrite tracked files", "\n".join(self.lines))
        with open(os.path.join(self.out, "a.out")) as f:
            self.assertEqual(f.read(), "tracked by someone")


class NamesDefinedTwice(unittest.TestCase):
    """The check the media build runs over the generated media and the
    hand-written scripts together: the engine keeps one name space per kind
    for the whole group, so a second definition would be refused or would
    silently replace the first."""

    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="kelvo_names_")
        self.generated = os.path.join(self.root, "generated")
        self.scripts = os.path.join(self.root, "scripts")
        os.makedirs(self.generated)
        os.makedirs(self.scripts)

    def tearDown(self):
        shutil.rmtree(self.root, ignore_errors=True)

    def write(self, folder, name, text):
        with open(os.path.join(folder, name), "w") as f:
            f.write(text)

    def test_a_clean_pair_of_folders_passes(self):
        self.write(self.generated, "hero.material", "material KELVO/Hero\n{\n}\n")
        self.write(self.scripts, "effects.material",
                   "// material KELVO/Hero in a comment\nmaterial KELVO/Sky : KELVO/Base\n{\n"
                   "    technique { pass { } }\n}\n"
                   "compositor Glow\n{\n    technique { target_output { pass render_quad"
                   " { material KELVO/Hero } } }\n}\n")
        self.assertEqual(definitions.duplicates([self.generated, self.scripts]), [])

    def test_every_kind_defined_twice_is_reported_with_both_places(self):
        self.write(self.generated, "hero.material", "material KELVO/Hero\n{\n}\n")
        self.write(self.scripts, "effects.material", "material \"KELVO/Hero\"\n{\n}\n")
        self.write(self.scripts, "a.program", "fragment_program Post/Blur glsl\n{\n}\n")
        self.write(self.scripts, "b.program", "vertex_program Post/Blur glsl\n{\n}\n")
        self.write(self.scripts, "a.particle", "particle_system Kelvo/Fire\n{\n}\n"
                                               "particle_system Kelvo/Fire\n{\n}\n")
        self.write(self.scripts, "a.overlay", "overlay One\n{\n    overlay_element Core/Panel Panel\n"
                                              "    {\n    }\n}\n"
                                              "overlay Two\n{\n    overlay_element Core/Panel Panel\n"
                                              "    {\n    }\n}\n")
        self.write(self.generated, "post.compositor", "compositor Bloom\n{\n}\n")
        self.write(self.scripts, "post.compositor", "compositor Bloom\n{\n}\n")
        report = "\n".join(definitions.duplicates([self.generated, self.scripts]))
        self.assertIn('material "KELVO/Hero" is defined 2 times: generated/hero.material:1, '
                      'scripts/effects.material:1', report)
        self.assertIn('GPU program "Post/Blur" is defined 2 times', report)
        self.assertIn('particle template "Kelvo/Fire" is defined 2 times: scripts/a.particle:1, '
                      'scripts/a.particle:4', report)
        self.assertIn('overlay element "Core/Panel" is defined 2 times', report)
        self.assertIn('compositor "Bloom" is defined 2 times', report)
        self.assertIn("the file post.compositor is in 2 folders", report)

    def test_the_build_refuses_a_name_defined_twice(self):
        """make_media.sh ends with the check and fails on what it finds."""
        self.write(self.generated, "hero.material", "material KELVO/Hero\n{\n}\n")
        self.write(self.scripts, "copy.material", "material KELVO/Hero\n{\n}\n")
        self.assertEqual(pipeline.main(["--out", self.generated], self.root, lambda: [],
                                       final_check=lambda out: definitions.duplicates([out, self.scripts])), 1)


class RealMedia(unittest.TestCase):
    """The game's own generators, through tools/make_media.sh."""

    def make(self, *args):
        return subprocess.run([MAKE_MEDIA] + list(args), stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                              text=True, timeout=600)

    def test_rebuilds_are_byte_identical(self):
        first = tempfile.mkdtemp(prefix="kelvo_media_a_")
        second = tempfile.mkdtemp(prefix="kelvo_media_b_")
        try:
            for folder in (first, second):
                result = self.make("--force", "--out", folder)
                self.assertEqual(result.returncode, 0, result.stdout)
                # progress: one line per task made, each naming what it made
                self.assertIn("media: [", result.stdout)
            a = digests(first)
            b = digests(second)
            self.assertTrue(a, "nothing was generated")
            self.assertEqual(sorted(a), sorted(b))
            differing = [name for name in a if a[name] != b[name]]
            self.assertEqual(differing, [], "these files differ between two builds")
            listed = set()
            for line in self.make("--list").stdout.splitlines():
                listed.update(line.split(":", 1)[1].split())
            self.assertEqual(set(a), listed, "the generated files are not what the tasks declare")
        finally:
            shutil.rmtree(first, ignore_errors=True)
            shutil.rmtree(second, ignore_errors=True)

    def test_unknown_task_is_a_clear_error(self):
        folder = tempfile.mkdtemp(prefix="kelvo_media_unused_")
        try:
            result = self.make("--out", folder, "no_such_task")
        finally:
            shutil.rmtree(folder, ignore_errors=True)
        self.assertEqual(result.returncode, 1)
        self.assertIn("no such task: no_such_task", result.stdout)

    def test_bad_option_is_a_clear_error(self):
        result = self.make("--jobs", "zero")
        self.assertEqual(result.returncode, 2)
        self.assertIn("invalid int value", result.stdout)


if __name__ == "__main__":
    unittest.main()

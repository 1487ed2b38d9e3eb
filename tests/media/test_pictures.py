"""The picture generators' rules: the caption font must hold every letter of
every caption, captions must fit their band, and a failing ImageMagick run
or a missing tool or font must stop the task with a message that says what
to do (ImageMagick itself quietly falls back to another font when the one
named is missing, and draws a missing letter as nothing)."""

import os
import random
import shutil
import sys
import tempfile
import unittest
from unittest import mock

ROOT = os.environ.get("KELVO_SOURCE_DIR", os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tools", "media"))

from kelvo_media.pictures import magick, style, tasks  # noqa: E402
from kelvo_media.pictures.fontmetrics import Font, FontError  # noqa: E402


class CaptionFont(unittest.TestCase):
    def test_has_every_german_letter_and_says_which_are_missing(self):
        font = style.font()
        self.assertEqual(font.missing("ÄÖÜäöüß „Zurück“ – …"), [])
        self.assertEqual(font.missing("Straße ẞ ☃"), ["ẞ", "☃"])

    def test_widths_follow_the_text(self):
        font = style.font()
        self.assertGreater(font.width("Schiffbruch", 30), font.width("Schiff", 30))
        self.assertAlmostEqual(font.width("Insel", 60), 2 * font.width("Insel", 30))

    def test_two_line_captions_are_balanced(self):
        font = style.font()
        text = "Eine Insel, fern aller Seewege. Kein Segel am Horizont, kein Weg zurück."
        lines = font.balanced(text, style.CAPTION_SIZE, style.CAPTION_WIDTH)
        self.assertEqual(len(lines), 2)
        self.assertEqual(" ".join(lines), text)
        widths = [font.width(line, style.CAPTION_SIZE) for line in lines]
        self.assertLess(max(widths), style.CAPTION_WIDTH)
        self.assertLess(abs(widths[0] - widths[1]), 0.25 * max(widths))

    def test_a_file_that_is_no_font_is_refused_clearly(self):
        with tempfile.NamedTemporaryFile(suffix=".ttf") as f:
            f.write(b"not a font at all, just some bytes" * 4)
            f.flush()
            with self.assertRaisesRegex(FontError, "not a TrueType"):
                Font(f.name)
        with self.assertRaisesRegex(FontError, "cannot be read"):
            Font("/nonexistent/font.ttf")

    def test_a_missing_font_names_the_package_to_install(self):
        with mock.patch.object(style, "FONT_PATH", "/nonexistent/IMFePIrm29P.ttf"), mock.patch.object(style, "_font", None):
            with self.assertRaisesRegex(ValueError, "install the Debian package fonts-cegui"):
                style.font()


class Captions(unittest.TestCase):
    def test_a_letter_the_font_lacks_stops_the_picture(self):
        pic = style.new_picture(1)
        with self.assertRaisesRegex(ValueError, r"'ẞ' \(U\+1E9E\)"):
            style.caption(pic, "Kapitel", "GROẞE WELLEN")

    def test_a_caption_longer_than_the_band_is_refused(self):
        pic = style.new_picture(1)
        long_text = " ".join(["Die Wellen schlagen hoch über das Deck des kleinen Schiffes."] * 3)
        with self.assertRaisesRegex(ValueError, "band holds two"):
            style.caption(pic, "Kapitel", long_text)


class Rendering(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="kelvo_pictures_")

    def tearDown(self):
        shutil.rmtree(self.work, ignore_errors=True)

    def small(self):
        pic = magick.Picture(64, 48, seed=3)
        pic.gradient([(0.0, "#102030"), (1.0, "#a08060")])
        pic.layer().circle(32, 24, 10, "#ffeecc")
        return pic

    def test_same_picture_same_bytes(self):
        a, b = os.path.join(self.work, "a.png"), os.path.join(self.work, "b.png")
        for path in (a, b):
            pic = self.small()
            pic.grain(0.05)
            pic.render(path, self.work)
        with open(a, "rb") as fa, open(b, "rb") as fb:
            self.assertEqual(fa.read(), fb.read())

    def test_imagemagick_complaints_fail_the_picture(self):
        # a gradient strip that never reached the disk: convert cannot open it
        with mock.patch.object(magick.png, "write", lambda *args, **kwargs: None):
            with self.assertRaisesRegex(magick.MagickError, "convert failed on broken.png.*unable to open"):
                self.small().render(os.path.join(self.work, "broken.png"), self.work)

    def test_missing_imagemagick_names_the_package(self):
        with mock.patch.object(shutil, "which", return_value=None):
            with self.assertRaisesRegex(magick.MagickError, "install the Debian package imagemagick"):
                self.small().render(os.path.join(self.work, "x.png"), self.work)

    def test_a_bad_colour_is_refused_before_drawing(self):
        # inside the stack ImageMagick would drop the whole layer silently
        with self.assertRaisesRegex(ValueError, "not #rrggbb"):
            magick.Picture(8, 8).gradient([(0.0, "blue"), (1.0, "#000000")])
        with self.assertRaisesRegex(ValueError, "not #rrggbb"):
            magick.Picture(8, 8).layer().circle(4, 4, 2, "no-such-colour")


class Cards(unittest.TestCase):
    def test_every_card_lays_out_without_running_imagemagick(self):
        # every caption's letters and length are checked while a card is laid
        # out: a card with a bad caption fails here in a fraction of a second
        import importlib
        for card, _, _ in tasks.PICTURES + [(tasks.MENU_BACKGROUND[0], None, None)]:
            with self.subTest(card=card):
                module = importlib.import_module("kelvo_media.pictures.cards." + card)
                pic = style.new_picture(1)
                module.paint(pic, random.Random(card))
                self.assertGreater(len(pic.steps), 5)

    def test_one_material_per_picture_named_as_the_game_asks(self):
        names = [m for _, m, _ in tasks.PICTURES]
        self.assertEqual(len(set(names)), len(names))
        self.assertEqual(names[:2], ["KELVO/PRETITEL", "KELVO/TITEL"])
        self.assertIn("KELVO/GAMEOVER", names)
        out = tempfile.mkdtemp(prefix="kelvo_material_")
        try:
            tasks.build_materials(out, out)
            with open(os.path.join(out, tasks.MATERIAL_FILE)) as f:
                text = f.read()
        finally:
            shutil.rmtree(out)
        self.assertEqual(text.count("scene_blend alpha_blend"), len(names))
        for _, material, texture in tasks.PICTURES:
            self.assertIn("material %s\n" % material, text)
            self.assertIn("texture %s\n" % texture, text)


if __name__ == "__main__":
    unittest.main()

"""What every story picture shares, so the set reads as one book of cards:
the typeface, the caption band at the foot of the picture with its chapter
line, the ornament, the grain and the vignette.

The typeface is IM FELL DW Pica, an old-style book face with every German
letter, from Debian's fonts-cegui."""

import os

from . import magick
from .fontmetrics import Font

FONT_PATH = "/usr/share/fonts/truetype/IMFePIrm29P.ttf"
FONT_PACKAGE = "fonts-cegui"

WIDTH = 1024
HEIGHT = 768

PAPER = "#f4ead3"       # caption text
GOLD = "#d8b56c"        # chapter lines, titles, ornaments
INK = "#06080c"         # shadows and the caption band

CAPTION_SIZE = 30
CAPTION_WIDTH = 840
CAPTION_LEADING = 38
CHAPTER_SIZE = 19

_font = None


def font():
    """The caption font, read once per process; a clear message when the
    font package is not installed."""
    global _font
    if _font is None:
        if not os.path.isfile(FONT_PATH):
            raise ValueError("the picture font %s is missing; install the Debian package %s"
                             % (FONT_PATH, FONT_PACKAGE))
        _font = Font(FONT_PATH)
    return _font


def check_text(text):
    missing = font().missing(text)
    if missing:
        raise ValueError("the text %r uses %s, which %s cannot draw"
                         % (text, ", ".join("%r (U+%04X)" % (c, ord(c)) for c in missing),
                            os.path.basename(FONT_PATH)))


def text_line(pic, layer, x, y, text, size, colour=PAPER, kerning=0.0, shadow=0.75, anchor="middle",
              shadow_blur=3.0, shadow_layer=None):
    """One line of text with a soft shadow under it so it stays readable over
    any part of a picture. The shadow goes into shadow_layer when given (a
    soft layer stacked below `layer`), else into a soft layer of its own,
    which then lies over whatever `layer` holds already: so pass one for
    several lines."""
    check_text(text)
    if shadow > 0:
        soft = shadow_layer if shadow_layer is not None else pic.soft(shadow_blur, opacity=shadow, scale=0.5)
        soft.text(x + 1, y + 2, text, FONT_PATH, size, INK, anchor=anchor, kerning=kerning)
    layer.text(x, y, text, FONT_PATH, size, colour, anchor=anchor, kerning=kerning)


def text_block(pic, shadow=0.75, blur=3.0):
    """A soft shadow layer and a text layer above it, for text_line."""
    return pic.soft(blur, opacity=shadow, scale=0.5), pic.layer()


def spaced(text):
    """Capitals for chapter lines; German writes a capital ß as SS."""
    return text.upper()


def ornament(layer, cx, y, half_width, colour=GOLD, opacity=0.9, gap=0.0):
    """A thin rule with a diamond in the middle; gap leaves room for a word."""
    if gap:
        layer.line([(cx - half_width, y), (cx - gap, y)], colour, 1.2, opacity)
        layer.line([(cx + gap, y), (cx + half_width, y)], colour, 1.2, opacity)
        for side in (-1, 1):
            x = cx + side * (gap - 8)
            layer.poly([(x - 4, y), (x, y - 4), (x + 4, y), (x, y + 4)], colour, opacity)
    else:
        layer.line([(cx - half_width, y), (cx - 9, y)], colour, 1.2, opacity)
        layer.line([(cx + 9, y), (cx + half_width, y)], colour, 1.2, opacity)
        layer.poly([(cx - 6, y), (cx, y - 6), (cx + 6, y), (cx, y + 6)], colour, opacity)


def caption(pic, chapter, text, band=0.82):
    """The caption at the foot of a card: a dark band rising out of the
    picture, a chapter line in gold capitals between rules, then the
    sentence in one or two lines."""
    f = font()
    check_text(chapter + text)
    lines = f.balanced(text, CAPTION_SIZE, CAPTION_WIDTH)
    if len(lines) > 2:
        raise ValueError("caption %r needs %d lines; the band holds two" % (text, len(lines)))
    top = HEIGHT - 60 - CAPTION_LEADING * len(lines) - 44
    pic.gradient([(0.0, INK, 0.0), (0.45, INK, band * 0.7), (1.0, INK, band)], y0=top - 70, y1=HEIGHT)
    shadows, layer = text_block(pic)
    label = spaced(chapter)
    kerning = 4.0
    label_width = f.width(label, CHAPTER_SIZE) + kerning * (len(label) - 1)
    chapter_y = top + 18
    ornament(layer, WIDTH / 2, chapter_y - 6, 230, gap=label_width / 2 + 26)
    text_line(pic, layer, WIDTH / 2, chapter_y, label, CHAPTER_SIZE, GOLD, kerning=kerning, shadow_layer=shadows)
    y = chapter_y + 48
    for line in lines:
        text_line(pic, layer, WIDTH / 2, y, line, CAPTION_SIZE, shadow_layer=shadows)
        y += CAPTION_LEADING


def title(pic, text, y, size, colour=GOLD, glow="#ffcf7a", glow_opacity=0.45, kerning=0.0, x=WIDTH / 2,
          anchor="middle"):
    """A display line: warm glow behind, dark shadow, the letters on top."""
    check_text(text)
    halo = pic.soft(size * 0.35, opacity=glow_opacity, compose="screen")
    halo.text(x, y, text, FONT_PATH, size, glow, anchor=anchor, kerning=kerning)
    shadows, layer = text_block(pic, 0.8, max(3.0, size * 0.06))
    text_line(pic, layer, x, y, text, size, colour, kerning=kerning, anchor=anchor, shadow_layer=shadows)
    return layer


def finish(pic, grain=0.045, vignette=0.5):
    pic.grain(grain)
    pic.vignette(vignette)


def new_picture(seed):
    return magick.Picture(WIDTH, HEIGHT, seed=seed)

"""The end: a quiet night over the home harbour, with thanks and credits.

The credits screen lays this picture over its own little scene, so the sky
is partly see-through: over the credits' scene its stars and motion show
through, over the outro's black background it reads as a deep night."""

from .. import shapes, style
from .pretitel import STUDIO

WITH_ALPHA = True

CREDITS = [
    "Eine Produktion von %s" % STUDIO,
    "Gebaut mit Ogre 3D, CEGUI, OIS, OpenAL Soft, libsndfile, Lua und expat",
    "Schrift: IM FELL DW Pica von Igino Marini",
]


def paint(pic, rng):
    horizon = 470
    pic.gradient([(0.0, "#040812"), (0.55, "#101c3a"), (1.0, "#2c3560")], 0, horizon)
    sky = pic.layer()
    shapes.stars(sky, rng, 150, 0, 0, 1024, 400)
    glow = pic.soft(80, opacity=0.5, compose="screen")
    glow.circle(820, 120, 110, "#9fb2d8")
    moon = pic.layer()
    moon.circle(820, 120, 40, "#eef0f6")
    moon.circle(836, 112, 36, "#0a1226")  # a waxing crescent: the same moon as on the first night, turned
    water = pic.layer()
    water.rect(0, horizon, 1024, 768, "#0d1630")
    shapes.sea(water, rng, horizon, 760, ["#1a2550", "#141e44", "#0e1736"], "#8ea0d0", rows=7,
               amplitude=(1, 6), wavelength=(30, 150), rim_opacity=0.35)
    coast = pic.layer()
    headland = shapes.island_profile(rng, 600, 1064, horizon + 10, [(960, 200, 90, 1.5)], roughness=5)
    shapes.land(coast, headland, horizon + 10, "#060a16")
    shapes.town(coast, rng, -20, 520, horizon + 10, "#060a16", window_layer=None, scale=0.9)
    coast.rect(-20, horizon + 4, 540, horizon + 24, "#060a16")
    shapes.lighthouse(coast, 930, headland[70][1] + 6, 130, "#060a16")
    beam = pic.soft(10, opacity=0.4, compose="screen")
    top = (930, headland[70][1] + 6 - 130 * 0.88)
    beam.poly([top, (640, top[1] - 34), (640, top[1] + 26)], "#ffe2a0", 0.6)
    windows = pic.layer()
    for _ in range(26):
        x = rng.uniform(0, 500)
        y = horizon + 10 - rng.uniform(8, 44)
        windows.rect(x, y, x + 4, y + 5, "#ffd27a", 0.9)
    ship = pic.layer()
    shapes.ship(ship, 600, horizon + 40, 130, "#060a16", sails="none")
    style.title(pic, "Ende", 205, 120, colour="#ecd08e", glow_opacity=0.5, kerning=6)
    shadows, words = style.text_block(pic)
    style.ornament(words, 512, 240, 220)
    style.text_line(pic, words, 512, 290, "Danke fürs Spielen!", 34, style.PAPER, shadow_layer=shadows)
    pic.gradient([(0.0, style.INK, 0.0), (0.4, style.INK, 0.6), (1.0, style.INK, 0.85)], 560, 768)
    shadows, credits = style.text_block(pic)
    y = 650
    for line in CREDITS:
        style.text_line(pic, credits, 512, y, line, 21, style.PAPER if y > 650 else style.GOLD, shadow_layer=shadows)
        y += 32
    style.finish(pic, vignette=0.45)
    # the sky lets the credits' scene through; the town, the sea and the words stay solid
    solid = pic.alpha([(0.0, 0.4), (0.5, 0.75), (0.62, 1.0), (1.0, 1.0)])
    solid.circle(820, 120, 44, "#ffffff")
    for text, y, size in (("Ende", 205, 120), ("Danke fürs Spielen!", 290, 34)):
        solid.text(512, y, text, style.FONT_PATH, size, "#ffffff", kerning=6 if size > 100 else 0)
    solid.rect(292, 238, 732, 242, "#ffffff")

"""The studio card: our lighthouse mark on a night sea."""

from .. import shapes, style

STUDIO = "Leuchtfeuer Spiele"


def paint(pic, rng):
    pic.gradient([(0.0, "#03060c"), (0.6, "#0b1626"), (1.0, "#101d2e")])
    sky = pic.layer()
    shapes.stars(sky, rng, 140, 0, 0, 1024, 520, max_opacity=0.7)
    cx, cy = 512, 300
    beam = pic.soft(14, opacity=0.55, compose="screen")
    for side in (-1, 1):
        for reach in (200, 300, 400):  # overlapping cones: the beam thins out with distance
            beam.poly([(cx, cy - 92), (cx + side * reach, cy - 92 - reach * 0.18), (cx + side * reach, cy - 92 + reach * 0.16)],
                      "#ffe3a0", 0.3)
    halo = pic.soft(40, opacity=0.8, compose="screen")
    halo.circle(cx, cy - 92, 46, "#ffcf7a")
    mark = pic.layer()
    mark.circle(cx, cy, 130, "#0d1a2b")
    mark.line([(cx + 130 * c, cy + 130 * s) for c, s in _circle(72)], style.GOLD, 3.0)
    mark.line([(cx + 118 * c, cy + 118 * s) for c, s in _circle(72)], style.GOLD, 1.2, 0.7)
    shapes.lighthouse(mark, cx, cy + 78, 190, style.GOLD, stripe_colour="#8f6d33")
    waves = shapes.wave_line(rng, cy + 92, 5, 60, x0=cx - 116, x1=cx + 116, step=4)
    mark.line([(x, y) for x, y in waves if abs(x - cx) < 112], style.GOLD, 2.5)
    mark.circle(cx, cy - 92, 7, "#fff4d6")
    style.title(pic, style.spaced(STUDIO), 520, 46, kerning=9, glow_opacity=0.25)
    shadows, words = style.text_block(pic)
    style.ornament(words, 512, 552, 160)
    style.text_line(pic, words, 512, 600, "präsentiert", 28, style.PAPER, shadow_layer=shadows)
    style.finish(pic, grain=0.04, vignette=0.55)


def _circle(steps):
    import math
    return [(math.cos(math.tau * i / steps), math.sin(math.tau * i / steps)) for i in range(steps + 1)]

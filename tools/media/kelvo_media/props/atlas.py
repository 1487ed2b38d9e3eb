"""Paints the two prop atlases and writes their materials.

The palette follows the characters: sun-bleached wood, warm sand, mossy grey
rock, deep but not saturated greens. Each patch is painted from noise fields
of its own size, so a patch repeated across a wall (shapes.panel) tiles
without a seam.
"""

import math
import os
import random

from .. import texkit as tk
from . import layout

WOOD = (0.55, 0.42, 0.29)
WOOD_DARK = (0.22, 0.15, 0.1)
THATCH = (0.72, 0.6, 0.34)
STONE = (0.55, 0.53, 0.49)
ROCK = (0.5, 0.48, 0.44)
MOSS = (0.3, 0.42, 0.16)
BARK = (0.33, 0.25, 0.18)
LEAF = (0.2, 0.38, 0.12)
PINE = (0.12, 0.26, 0.14)
BUSH = (0.24, 0.4, 0.15)
SAND = (0.84, 0.74, 0.52)
IRON = (0.2, 0.2, 0.21)
CLOTH = (0.86, 0.82, 0.7)


def _patch(image, name, painter, seed):
    x0, y0, x1, y1 = layout.props(name).pixel_rect()
    w, h = x1 - x0, y1 - y0
    image.fill(x0, y0, x1, y1, painter(w, h, seed))


def boards(base, count, seed_noise, grain_amount=0.35, seam=0.45, knots=True):
    """Boards running along x; count boards across the patch's height."""
    def painter(w, h, seed):
        grain = tk.noise(w, h, 4, seed, 4)
        streak = tk.noise(w, h, 2, seed + 1, 2)
        rng = random.Random(seed)
        shades = [rng.uniform(0.82, 1.12) for _ in range(count)]
        knot_at = [(rng.uniform(0, w), rng.randrange(count)) for _ in range(count if knots else 0)]
        board_h = h / float(count)

        def fn(x, y):
            k = min(count - 1, int(y / board_h))
            fy = (y + 0.5) / board_h - k
            # fine streaks along the board from a field stretched in x
            g = grain[(y * w + (x * 7) % w) % (w * h)]
            v = shades[k] * (1.0 + (g - 0.5) * grain_amount + (streak[y * w + x] - 0.5) * 0.3)
            if fy < 0.07 or fy > 0.93:
                v *= seam
            for kx, kb in knot_at:
                if kb == k:
                    dx = min(abs(x - kx), w - abs(x - kx))
                    d = math.hypot(dx / 3.0, (fy - 0.5) * board_h / 2.5)
                    if d < 1.0:
                        v *= 0.6 + 0.4 * d
            return tk.scale(base, v)
        return fn
    return painter


def paint_props(path):
    size = layout.PROPS_SIZE
    img = tk.Image(size, size, (0.5, 0.5, 0.5))
    _patch(img, "planks", boards(WOOD, 4, 0), 11)
    _patch(img, "planks_dark", boards(WOOD_DARK, 5, 0, grain_amount=0.5, seam=0.35, knots=False), 12)

    def thatch(w, h, seed):
        n = tk.noise(w, h, 16, seed, 3)
        coarse = tk.noise(w, h, 2, seed + 5, 2)

        def fn(x, y):
            # straw hangs in rows; each row's lower edge is darker
            fy = (y % (h // 4)) / float(h // 4)
            straw = n[y * w + x]
            v = 0.7 + 0.6 * (straw - 0.5) + 0.35 * (1.0 - fy) - 0.15 + (coarse[y * w + x] - 0.5) * 0.3
            return tk.scale(THATCH, v)
        return fn
    _patch(img, "thatch", thatch, 13)

    def cobbles(base, cells, mortar, seed_shift=0):
        def painter(w, h, seed):
            rng = random.Random(seed)
            pts = [(rng.uniform(0, w), rng.uniform(0, h), rng.uniform(0.8, 1.15)) for _ in range(cells)]
            n = tk.noise(w, h, 8, seed, 3)

            def fn(x, y):
                best = 1e9
                second = 1e9
                shade = 1.0
                for px, py, s in pts:
                    dx = min(abs(x - px), w - abs(x - px))
                    dy = min(abs(y - py), h - abs(y - py))
                    d = dx * dx + dy * dy
                    if d < best:
                        second = best
                        best = d
                        shade = s
                    elif d < second:
                        second = d
                edge = math.sqrt(second) - math.sqrt(best)
                v = shade * (0.85 + 0.4 * (n[y * w + x] - 0.5))
                if edge < 2.5:
                    return tk.scale(mortar, 0.9 + 0.2 * n[y * w + x])
                # rounded stones: lighter towards their middle
                return tk.scale(base, v * (0.85 + 0.15 * min(1.0, edge / 9.0)))
            return fn
        return painter
    _patch(img, "stone_wall", cobbles(STONE, 26, (0.4, 0.37, 0.32)), 14)

    def rock(moss):
        def painter(w, h, seed):
            n = tk.stretch(tk.noise(w, h, 4, seed, 5, gain=0.55), 0.0, 1.0)
            cracks = tk.noise(w, h, 6, seed + 9, 2)
            m = tk.noise(w, h, 5, seed + 3, 3)

            def fn(x, y):
                v = n[y * w + x]
                c = tk.scale(ROCK, 0.7 + 0.55 * v)
                c = tk.mix(c, (0.58, 0.52, 0.42), 0.3 * (1.0 - v))
                crack = abs(cracks[y * w + x] - 0.5)
                if crack < 0.012:
                    c = tk.scale(c, 0.72 + 0.28 * crack / 0.012)
                if moss:
                    top = 1.0 - y / float(h)
                    amount = max(0.0, min(1.0, (top - 0.45) * 3.0 + (m[y * w + x] - 0.5) * 2.5))
                    c = tk.mix(c, tk.scale(MOSS, 0.8 + 0.5 * m[y * w + x]), amount)
                return c
            return fn
        return painter
    _patch(img, "rock", rock(False), 15)
    _patch(img, "rock_moss", rock(True), 16)

    def flat_noise(base, amount, cells=6, octaves=3):
        def painter(w, h, seed):
            n = tk.noise(w, h, cells, seed, octaves)
            return lambda x, y: tk.scale(base, 1.0 + (n[y * w + x] - 0.5) * amount)
        return painter
    _patch(img, "cave_dark", flat_noise((0.07, 0.06, 0.055), 0.8), 17)
    _patch(img, "iron", flat_noise(IRON, 0.5, 8), 18)
    _patch(img, "sand", flat_noise(SAND, 0.25, 10), 19)
    _patch(img, "water_dark", flat_noise((0.05, 0.09, 0.1), 0.6), 20)
    _patch(img, "soot", flat_noise((0.12, 0.1, 0.09), 0.6), 21)
    _patch(img, "brass", flat_noise((0.72, 0.56, 0.25), 0.4), 22)

    def rope(w, h, seed):
        def fn(x, y):
            twist = math.sin((x + y * 0.8) / w * math.pi * 10.0)
            return tk.scale((0.62, 0.5, 0.32), 0.8 + 0.25 * twist)
        return fn
    _patch(img, "rope", rope, 23)

    def sail(w, h, seed):
        n = tk.noise(w, h, 8, seed, 3)
        stains = tk.noise(w, h, 3, seed + 1, 3)

        def fn(x, y):
            v = 0.92 + (n[y * w + x] - 0.5) * 0.15
            if x % (w // 4) < 2:
                v *= 0.8  # seams between the cloths
            c = tk.scale(CLOTH, v)
            return tk.mix(c, (0.6, 0.52, 0.38), max(0.0, stains[y * w + x] - 0.55) * 1.5)
        return fn
    _patch(img, "sail", sail, 24)

    def bark(w, h, seed):
        n = tk.noise(w, h, 8, seed, 3)
        furrows = tk.noise(w, h, 6, seed + 1, 2)

        def fn(x, y):
            # furrows run up the trunk (along v)
            f = furrows[((y // 6) * w + x) % (w * h)]
            v = 0.75 + 0.5 * (n[y * w + x] - 0.5) - (0.35 if abs(f - 0.5) < 0.06 else 0.0)
            return tk.scale(BARK, v)
        return fn
    _patch(img, "bark", bark, 25)

    def palm_bark(w, h, seed):
        n = tk.noise(w, h, 8, seed, 3)

        def fn(x, y):
            ring = (y % (h // 8)) / float(h // 8)
            v = 0.7 + 0.4 * ring + 0.3 * (n[y * w + x] - 0.5)
            return tk.mix(tk.scale((0.5, 0.4, 0.28), v), (0.36, 0.3, 0.22), 0.3 if ring < 0.15 else 0.0)
        return fn
    _patch(img, "palm_bark", palm_bark, 26)

    def leafy(base, cells, seed_spots):
        def painter(w, h, seed):
            n = tk.noise(w, h, cells, seed, 3)
            rng = random.Random(seed)
            spots = tk.Image(w, h, (0, 0, 0), 0.0)
            for _ in range(w * h // 40):
                x, y = rng.uniform(0, w), rng.uniform(0, h)
                shade = rng.uniform(0.7, 1.35)
                spots.disc(x, y, rng.uniform(2.0, 4.0), rng.uniform(1.0, 2.0), (shade, shade, shade), 1.0,
                           cover=1.0, angle=rng.uniform(0, math.pi))

            def fn(x, y):
                i = y * w + x
                v = (0.65 + 0.5 * n[i]) * (spots.r[i] if spots.a[i] > 0.5 else 0.7)
                return tk.scale(base, v)
            return fn
        return painter
    _patch(img, "leaves", leafy(LEAF, 6, 0), 27)
    _patch(img, "pine", leafy(PINE, 6, 0), 28)
    _patch(img, "bush", leafy(BUSH, 6, 0), 29)

    def hull_paint(w, h, seed):
        n = tk.noise(w, h, 8, seed, 3)

        def fn(x, y):
            fy = y / float(h)
            base = (0.62, 0.16, 0.1) if 0.3 < fy < 0.7 else (0.85, 0.8, 0.66)
            return tk.scale(base, 0.85 + 0.3 * (n[y * w + x] - 0.5) - (0.3 if abs(fy - 0.3) < 0.03 else 0.0))
        return fn
    _patch(img, "hull_paint", hull_paint, 30)
    _patch(img, "husk", flat_noise((0.36, 0.25, 0.13), 0.6, 8), 31)

    def end_grain(w, h, seed):
        n = tk.noise(w, h, 6, seed, 2)

        def fn(x, y):
            d = math.hypot(x - w / 2.0, y - h / 2.0) / (w / 2.0)
            if d > 0.92:
                return tk.scale(BARK, 0.8)
            ring = 0.5 + 0.5 * math.sin(d * 40.0 + n[y * w + x] * 3.0)
            return tk.scale((0.72, 0.58, 0.4), 0.8 + 0.2 * ring)
        return fn
    _patch(img, "end_grain", end_grain, 32)

    def door(w, h, seed):
        planks = boards(WOOD, 4, 0)(h, w, seed)

        def fn(x, y):
            c = planks(y, x)  # boards standing upright
            fy = y / float(h)
            if abs(fy - 0.22) < 0.03 or abs(fy - 0.78) < 0.03:
                c = tk.scale(IRON, 1.2)  # hinges straps
            if abs(x - w * 0.8) < 3 and abs(fy - 0.5) < 0.02:
                c = (0.15, 0.12, 0.1)
            return c
        return fn
    _patch(img, "door", door, 33)

    def crate(w, h, seed):
        planks = boards((0.62, 0.48, 0.3), 4, 0)(w, h, seed)

        def fn(x, y):
            fx, fy = x / float(w), y / float(h)
            frame = fx < 0.12 or fx > 0.88 or fy < 0.12 or fy > 0.88
            diag = abs(fx - fy) < 0.07
            if frame or diag:
                return tk.scale(planks(x, y), 0.82)
            return tk.scale(planks(x, y), 1.05)
        return fn
    _patch(img, "crate", crate, 34)

    def barrel(w, h, seed):
        staves = boards((0.5, 0.35, 0.2), 6, 0, knots=False)(h, w, seed)

        def fn(x, y):
            fy = y / float(h)
            if abs(fy - 0.12) < 0.035 or abs(fy - 0.88) < 0.035 or abs(fy - 0.4) < 0.025 or abs(fy - 0.6) < 0.025:
                return tk.scale(IRON, 1.1)
            return staves(y, x)
        return fn
    _patch(img, "barrel", barrel, 35)

    def window(w, h, seed):
        def fn(x, y):
            fx, fy = x / float(w), y / float(h)
            if fx < 0.1 or fx > 0.9 or fy < 0.1 or fy > 0.9 or abs(fx - 0.5) < 0.04 or abs(fy - 0.5) < 0.04:
                return tk.scale(WOOD, 0.8)
            return (0.1, 0.09, 0.07)
        return fn
    _patch(img, "window", window, 36)

    def logs(w, h, seed):
        n = tk.noise(w, h, 6, seed, 3)
        return lambda x, y: tk.scale(BARK, 0.7 + 0.5 * n[y * w + x] - (0.25 if (x // 8) % 4 == 0 else 0.0))
    _patch(img, "logs", logs, 37)

    def ember(w, h, seed):
        n = tk.noise(w, h, 6, seed, 3)
        return lambda x, y: tk.mix((0.25, 0.05, 0.02), (1.0, 0.55, 0.15), n[y * w + x] ** 2 * 1.6)
    _patch(img, "ember", ember, 38)

    def cloth_red(w, h, seed):
        n = tk.noise(w, h, 10, seed, 2)
        return lambda x, y: tk.scale((0.55, 0.14, 0.1), 0.85 + 0.3 * n[y * w + x] + 0.08 * math.sin(x * 0.8))
    _patch(img, "cloth_red", cloth_red, 39)
    img.save(path)


def paint_foliage(path):
    size = layout.FOLIAGE_SIZE
    img = tk.Image(size, size, LEAF, 0.0)
    rng = random.Random(51)

    def rect(name):
        return layout.foliage(name).pixel_rect()

    # palm frond: the stem along x, leaflets slanting out to both sides
    x0, y0, x1, y1 = rect("frond")
    cy = (y0 + y1) / 2.0
    half = (y1 - y0) / 2.0 - 2
    img.line([(x0 + 2, cy), (x1 - 4, cy)], 3.0, (0.42, 0.42, 0.18), cover=1.0, clip=(x0, y0, x1, y1),
             taper=(1.3, 0.4))
    steps = 46
    for k in range(steps):
        t = (k + 1.0) / (steps + 1.0)
        x = x0 + 4 + t * (x1 - x0 - 10)
        reach = half * math.sin(math.pi * min(1.0, 0.1 + t)) * rng.uniform(0.85, 1.0)
        for sign in (-1, 1):
            tip = (x + reach * 0.55, cy + sign * reach)
            shade = rng.uniform(0.8, 1.15)
            img.line([(x, cy), ((x + tip[0]) / 2 + 1, (cy + tip[1]) / 2), tip], 3.2,
                     tk.scale((0.24, 0.46, 0.14), shade), cover=1.0, clip=(x0, y0, x1, y1), taper=(1.2, 0.3))
    # grass tuft: blades from the bottom edge
    for name, colour, blades in (("tuft", (0.32, 0.5, 0.18), 26), ("fern", (0.2, 0.42, 0.16), 0)):
        x0, y0, x1, y1 = rect(name)
        for _ in range(blades):
            bx = rng.uniform(x0 + 8, x1 - 8)
            lean = rng.uniform(-22, 22)
            top = y0 + rng.uniform(4, (y1 - y0) * 0.45)
            shade = rng.uniform(0.75, 1.25)
            img.line([(bx, y1 - 1), (bx + lean * 0.4, (y1 + top) / 2), (bx + lean, top)], 3.5,
                     tk.scale(colour, shade), cover=1.0, clip=(x0, y0, x1, y1), taper=(1.0, 0.2))
    # fern: a few fronds fanning from the bottom middle
    x0, y0, x1, y1 = rect("fern")
    base = ((x0 + x1) / 2.0, y1 - 1)
    for k in range(5):
        a = math.radians(-60 + k * 30)
        length = (y1 - y0) * rng.uniform(0.75, 0.95)
        tip = (base[0] + math.sin(a) * length, base[1] - math.cos(a) * length)
        img.line([base, tip], 2.0, (0.2, 0.36, 0.12), cover=1.0, clip=(x0, y0, x1, y1))
        for j in range(1, 12):
            t = j / 12.0
            px = base[0] + (tip[0] - base[0]) * t
            py = base[1] + (tip[1] - base[1]) * t
            leaf = 10.0 * (1.0 - t) + 2
            for sign in (-1, 1):
                img.disc(px + math.cos(a) * sign * leaf * 0.6, py + math.sin(a) * sign * leaf * 0.6, leaf * 0.6, 2.2,
                         tk.scale((0.22, 0.44, 0.15), rng.uniform(0.85, 1.15)), cover=1.0,
                         clip=(x0, y0, x1, y1), angle=a + math.pi / 2)
    # leaf card: a spray of overlapping broad leaves
    x0, y0, x1, y1 = rect("leaf_card")
    for _ in range(70):
        cx = rng.uniform(x0 + 8, x1 - 8)
        cy = rng.uniform(y0 + 8, y1 - 8)
        img.disc(cx, cy, rng.uniform(4, 7), rng.uniform(2.2, 3.5), tk.scale(LEAF, rng.uniform(0.75, 1.4)),
                 cover=1.0, clip=(x0, y0, x1, y1), angle=rng.uniform(0, math.pi))
    # flowers among grass
    x0, y0, x1, y1 = rect("flowers")
    for _ in range(16):
        bx = rng.uniform(x0 + 6, x1 - 6)
        top = y0 + rng.uniform(10, (y1 - y0) * 0.6)
        img.line([(bx, y1 - 1), (bx + rng.uniform(-6, 6), top)], 2.0, (0.3, 0.48, 0.18), cover=1.0,
                 clip=(x0, y0, x1, y1))
        petal = rng.choice([(0.95, 0.85, 0.3), (0.9, 0.9, 0.92), (0.75, 0.45, 0.8)])
        img.disc(bx, top, 4.0, 4.0, petal, cover=1.0, clip=(x0, y0, x1, y1))
    tk.bleed_alpha(img)
    img.save(path, alpha=True)


MATERIALS = """// The island's scenery: one opaque atlas for every prop, and one cut-out
// atlas for fronds, grass and leaf sprays (two-sided, alpha-tested so it
// sorts like solid geometry and casts the same shadows).
material KELVO/Props
{
    technique
    {
        pass
        {
            ambient 0.8 0.8 0.8
            diffuse 1.0 1.0 1.0
            specular 0.0 0.0 0.0 1.0

            texture_unit
            {
                texture props_atlas.png
                filtering trilinear
                tex_address_mode clamp
            }
        }
    }
}

material KELVO/Foliage
{
    technique
    {
        pass
        {
            ambient 0.8 0.8 0.8
            diffuse 1.0 1.0 1.0
            specular 0.0 0.0 0.0 1.0
            cull_hardware none
            cull_software none
            alpha_rejection greater_equal 128

            texture_unit
            {
                texture foliage_atlas.png
                filtering trilinear
                tex_address_mode clamp
            }
        }
    }
}
"""


def build(out_dir, work_dir):
    paint_props(os.path.join(out_dir, layout.PROPS_TEXTURE))
    paint_foliage(os.path.join(out_dir, layout.FOLIAGE_TEXTURE))
    with open(os.path.join(out_dir, "props.material"), "w") as f:
        f.write(MATERIALS)
    return ["%s: %d x %d, %d patches" % (layout.PROPS_TEXTURE, layout.PROPS_SIZE, layout.PROPS_SIZE,
                                          len(layout.PROPS)),
            "%s: %d x %d with alpha, %d patches" % (layout.FOLIAGE_TEXTURE, layout.FOLIAGE_SIZE,
                                                     layout.FOLIAGE_SIZE, len(layout.FOLIAGE)),
            "props.material: KELVO/Props, KELVO/Foliage"]

"""Textures of the visual effects: the sky's day gradients, clouds, sun and
the space box; fader and marker surfaces; the water's ripple map; particle
sprites; the pictures the post effects sample (film grain, raindrops,
hatching); the crosshair and the debug panel.

The materials that use them are hand-written (media/scripts/).
"""

import math
import os
import random

from .. import texkit as tk

DAY = 86400.0


def _gradient(keys, width=256):
    """Colours at the start of each pixel of a day strip, from (time of day
    in hours, colour) keys, wrapping from midnight to midnight."""
    keys = sorted(keys)
    ext = [(h - 24.0, c) for h, c in keys[-1:]] + keys + [(h + 24.0, c) for h, c in keys[:1]]
    out = []
    for i in range(width):
        hour = 24.0 * i / width
        for (h0, c0), (h1, c1) in zip(ext, ext[1:]):
            if h0 <= hour <= h1:
                t = (hour - h0) / (h1 - h0) if h1 > h0 else 0.0
                t = t * t * (3.0 - 2.0 * t)
                out.append(tk.mix(c0, c1, t))
                break
    return out


def _strip(path, colours):
    img = tk.Image(len(colours), 1)
    img.fill(0, 0, len(colours), 1, lambda x, y: colours[x])
    img.save(path)


NIGHT = (0.17, 0.2, 0.34)
# the sky colour lights the dome twice (material ambient times the scene's
# ambient, both set to it), so these are the square roots of what is seen
SKY_KEYS = [(0.0, NIGHT), (4.6, NIGHT), (5.6, (0.5, 0.4, 0.5)), (6.4, (0.85, 0.62, 0.5)),
            (8.0, (0.76, 0.84, 0.95)), (12.0, (0.8, 0.89, 1.0)), (16.5, (0.78, 0.86, 0.96)),
            (17.6, (0.9, 0.66, 0.48)), (18.4, (0.6, 0.38, 0.45)), (19.4, NIGHT)]
HAZE_KEYS = [(0.0, (0.1, 0.12, 0.2)), (4.6, (0.1, 0.12, 0.2)), (6.0, (0.85, 0.6, 0.45)),
             (8.0, (0.78, 0.82, 0.86)), (12.0, (0.82, 0.86, 0.9)), (16.5, (0.8, 0.82, 0.85)),
             (18.0, (0.9, 0.55, 0.35)), (19.4, (0.1, 0.12, 0.2))]
SUN_KEYS = [(0.0, (0.0, 0.0, 0.0)), (5.2, (0.0, 0.0, 0.0)), (6.0, (0.95, 0.45, 0.2)), (7.5, (1.0, 0.82, 0.6)),
            (10.0, (1.0, 0.96, 0.88)), (14.0, (1.0, 0.96, 0.88)), (16.5, (1.0, 0.82, 0.6)),
            (18.0, (0.95, 0.4, 0.16)), (18.8, (0.0, 0.0, 0.0))]


def sky(out):
    _strip(os.path.join(out, "skydome.png"), _gradient(SKY_KEYS))
    _strip(os.path.join(out, "hazeColours.png"), _gradient(HAZE_KEYS))
    _strip(os.path.join(out, "suncolours.png"), _gradient(SUN_KEYS))
    # the dome's own texture: near-white so the day colour tints it, a bright
    # hazy horizon, and soft clouds thinning toward the zenith
    w, h = 256, 128
    clouds = tk.stretch(tk.noise(w, h, 6, 901, 5, gain=0.55), 0.0, 1.0)
    img = tk.Image(w, h)

    def fn(x, y):
        t = y / float(h - 1)  # 0 zenith .. 1 below the horizon (v of the dome)
        horizon = min(1.0, t / 0.9)
        base = tk.mix((0.78, 0.84, 1.0), (1.0, 1.0, 1.0), horizon ** 3)
        c = clouds[y * w + x]
        cover = max(0.0, min(1.0, (c - 0.55) * 3.0)) * (0.4 + 0.6 * math.sin(min(1.0, t * 1.2) * math.pi / 2))
        return tk.mix(base, (1.0, 1.0, 1.0), cover * 0.85)
    img.fill(0, 0, w, h, fn)
    img.save(os.path.join(out, "sky_clouds.png"))
    img = tk.Image(64, 64)

    def sun(x, y):
        d = math.hypot(x + 0.5 - 32, y + 0.5 - 32) / 32.0
        v = max(0.0, 1.0 - d) ** 2.2 + (1.0 if d < 0.22 else max(0.0, 0.3 - d) * 3.0)
        return (min(1.0, v), min(1.0, v * 0.95), min(1.0, v * 0.85))
    img.fill(0, 0, 64, 64, sun)
    img.save(os.path.join(out, "sun.png"))
    return ["skydome.png, hazeColours.png, suncolours.png: 256 x 1 day strips (midnight at the left)",
            "sky_clouds.png, sun.png"]


# cube faces as the GL cube map lays them out: direction of a face pixel
FACES = {
    "rt": lambda s, t: (1.0, -t, -s),
    "lf": lambda s, t: (-1.0, -t, s),
    "up": lambda s, t: (s, 1.0, t),
    "dn": lambda s, t: (s, -1.0, -t),
    "fr": lambda s, t: (s, -t, 1.0),
    "bk": lambda s, t: (-s, -t, -1.0),
}


def space_box(out, size=256):
    """A space sky box for the credits: stars and two faint nebulae, made
    from directions so the six faces meet without seams."""
    rng = random.Random(77)
    waves = []
    for k in range(5):
        d = (rng.uniform(-1, 1), rng.uniform(-1, 1), rng.uniform(-1, 1))
        n = math.sqrt(sum(c * c for c in d))
        waves.append((tuple(c / n for c in d), 1.5 + k * 1.3, rng.uniform(0, 6.28)))
    stars = []
    for _ in range(1400):
        d = (rng.gauss(0, 1), rng.gauss(0, 1), rng.gauss(0, 1))
        n = math.sqrt(sum(c * c for c in d))
        stars.append((tuple(c / n for c in d), rng.uniform(0.3, 1.0) ** 2, rng.random()))
    lines = []
    for face, direction in FACES.items():
        img = tk.Image(size, size, (0.0, 0.0, 0.0))

        def fn(x, y):
            s = 2.0 * (x + 0.5) / size - 1.0
            t = 2.0 * (y + 0.5) / size - 1.0
            d = direction(s, t)
            n = 1.0 / math.sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2])
            d = (d[0] * n, d[1] * n, d[2] * n)
            v = 0.0
            for (wx, wy, wz), f, ph in waves:
                v += math.sin((d[0] * wx + d[1] * wy + d[2] * wz) * f + ph)
            v = max(0.0, v / 3.0)
            violet = max(0.0, d[0] * 0.6 + d[1] * 0.3 + 0.2)
            return (0.01 + v * 0.16 * violet + v * 0.03, 0.012 + v * 0.05, 0.03 + v * 0.14)
        img.fill(0, 0, size, size, fn)
        # stars on this face: project the directions that point through it
        for (dx, dy, dz), bright, hue in stars:
            for fs in range(1):
                # solve for the face coordinates by testing the major axis
                ax = max((abs(dx), 0), (abs(dy), 1), (abs(dz), 2))[1]
                major = (dx, dy, dz)[ax]
                key = {(0, True): "rt", (0, False): "lf", (1, True): "up", (1, False): "dn",
                       (2, True): "fr", (2, False): "bk"}[(ax, major > 0)]
                if key != face:
                    continue
                m = abs(major)
                if face == "rt":
                    s, t = -dz / m, -dy / m
                elif face == "lf":
                    s, t = dz / m, -dy / m
                elif face == "up":
                    s, t = dx / m, dz / m
                elif face == "dn":
                    s, t = dx / m, -dz / m
                elif face == "fr":
                    s, t = dx / m, -dy / m
                else:
                    s, t = -dx / m, -dy / m
                px = (s + 1.0) * 0.5 * size
                py = (t + 1.0) * 0.5 * size
                colour = tk.mix((0.75, 0.85, 1.0), (1.0, 0.9, 0.7), hue)
                r = 0.6 + 1.2 * bright
                img.disc(px, py, r, r, colour, min(1.0, 0.4 + bright), softness=0.8)
        img.save(os.path.join(out, "spacesky_%s.png" % face))
        lines.append("spacesky_%s.png" % face)
    return ["space box faces: " + ", ".join(lines)]


def solid(path, colour, size=8, alpha=None):
    img = tk.Image(size, size, colour, 1.0 if alpha is None else alpha)
    img.save(path, alpha=alpha is not None)


def faders(out):
    """Black surfaces whose alpha the faders scale; the cinema bars soften
    toward the picture so their inner edge is not a hard line."""
    solid(os.path.join(out, "fader_black.png"), (0.0, 0.0, 0.0))
    for name, flip in (("cinebar_top.png", False), ("cinebar_bottom.png", True)):
        img = tk.Image(8, 64, (0.0, 0.0, 0.0), 1.0)

        def fn(x, y, flip=flip):
            t = (63 - y if flip else y) / 63.0  # 0 at the screen edge, 1 at the picture
            return (0.0, 0.0, 0.0, 1.0 if t < 0.7 else 1.0 - (t - 0.7) / 0.3 * 0.85)
        img.fill(0, 0, 8, 64, fn)
        img.save(os.path.join(out, name), alpha=True)
    return ["fader_black.png, cinebar_top.png, cinebar_bottom.png"]


def markers(out):
    """Marker spheres (triggers red-orange, sounds and particles blue) and
    the grass blades' cut-out."""
    for name, colour in (("marker_trigger.png", (1.0, 0.45, 0.15)), ("marker_sound.png", (0.25, 0.6, 1.0))):
        img = tk.Image(64, 64)
        img.fill(0, 0, 64, 64, lambda x, y, c=colour: tk.scale(c, 0.75 + 0.25 * ((x // 8 + y // 8) % 2)))
        img.save(os.path.join(out, name))
    w, h = 256, 256
    img = tk.Image(w, h, (0.3, 0.48, 0.18), 0.0)
    rng = random.Random(303)
    for _ in range(60):
        bx = rng.uniform(4, w - 4)
        lean = rng.uniform(-30, 30)
        top = rng.uniform(10, h * 0.5)
        shade = rng.uniform(0.7, 1.3)
        img.line([(bx, h - 1), (bx + lean * 0.35, (h + top) / 2), (bx + lean, top)], 5.0,
                 tk.scale((0.3, 0.5, 0.17), shade), cover=1.0, taper=(1.0, 0.15))
    # darker toward the roots, as if shaded by the blades around
    for y in range(h):
        k = 0.6 + 0.4 * (1.0 - y / float(h))
        for x in range(w):
            i = y * w + x
            img.r[i] *= k
            img.g[i] *= k
            img.b[i] *= k
    tk.bleed_alpha(img)
    img.save(os.path.join(out, "grassblades.png"), alpha=True)
    return ["marker_trigger.png, marker_sound.png, grassblades.png (blades rooted at v = 1)"]


def water(out):
    """The water's ripple map (tileable; red and green are the slopes of
    the waves around 0.5) and the stand-ins the water material shows until
    the game binds its reflection and refraction targets."""
    w = 128
    n1 = tk.noise(w, w, 8, 501, 4)
    n2 = tk.noise(w, w, 16, 502, 3)
    img = tk.Image(w, w)

    def height(x, y):
        return n1[(y % w) * w + (x % w)] + 0.5 * n2[(y % w) * w + (x % w)]

    def fn(x, y):
        dx = height(x + 1, y) - height(x - 1, y)
        dy = height(x, y + 1) - height(x, y - 1)
        return (0.5 + dx * 2.0, 0.5 + dy * 2.0, 0.5 + 0.5 * n1[y * w + x])
    img.fill(0, 0, w, w, fn)
    img.save(os.path.join(out, "water_ripples.png"))
    solid(os.path.join(out, "water_reflection_standin.png"), (0.62, 0.74, 0.86))
    solid(os.path.join(out, "water_refraction_standin.png"), (0.1, 0.3, 0.32))
    return ["water_ripples.png, water_reflection_standin.png, water_refraction_standin.png"]


def sprite(path, fn, size=64, alpha=True):
    img = tk.Image(size, size, (0.0, 0.0, 0.0), 0.0)
    half = size / 2.0
    img.fill(0, 0, size, size, lambda x, y: fn((x + 0.5 - half) / half, (y + 0.5 - half) / half))
    img.save(path, alpha=alpha)


def particles(out):
    """Particle sprites. Additive ones are plain RGB (black adds nothing);
    blended ones carry their shape in alpha."""
    noise = tk.noise(64, 64, 4, 601, 4)

    def glow(x, y):
        d = min(1.0, math.hypot(x, y))
        v = (1.0 - d) ** 2
        return (v, v, v)
    sprite(os.path.join(out, "particle_glow.png"), glow, alpha=False)

    def spark(x, y):
        d = math.hypot(x, y)
        v = max(0.0, 1.0 - d) ** 3 + max(0.0, 1.0 - abs(x) * 12.0) * max(0.0, 1.0 - abs(y)) * 0.6 \
            + max(0.0, 1.0 - abs(y) * 12.0) * max(0.0, 1.0 - abs(x)) * 0.6
        return (min(1.0, v),) * 3
    sprite(os.path.join(out, "particle_spark.png"), spark, alpha=False)

    def smoke(x, y):
        i = int((y + 1.0) * 31.9) * 64 + int((x + 1.0) * 31.9)
        d = math.hypot(x, y)
        a = max(0.0, 1.0 - d) ** 1.5 * (0.55 + 0.9 * (noise[i] - 0.5))
        return (0.55 + 0.3 * noise[i], 0.53 + 0.3 * noise[i], 0.5 + 0.3 * noise[i], max(0.0, min(1.0, a)))
    sprite(os.path.join(out, "particle_smoke.png"), smoke)

    def flame(x, y):
        i = int((y + 1.0) * 31.9) * 64 + int((x + 1.0) * 31.9)
        # a tongue: wider at the bottom (y > 0), flickering edge from noise
        d = math.hypot(x * (1.4 - 0.4 * y), (y - 0.1) * 0.9)
        v = max(0.0, 1.0 - d - (noise[i] - 0.5) * 0.5) ** 1.3
        return (min(1.0, v * 1.2), min(1.0, v * v * 0.9), v * v * v * 0.4)
    sprite(os.path.join(out, "particle_flame.png"), flame, alpha=False)

    def drop(x, y):
        d = math.hypot(x * 1.6, y)
        a = max(0.0, 1.0 - d) ** 0.8
        return (0.8, 0.9, 1.0, a * 0.9)
    sprite(os.path.join(out, "particle_drop.png"), drop, size=32)

    def mote(x, y):
        d = min(1.0, math.hypot(x, y))
        v = (1.0 - d) ** 3 + (0.8 if d < 0.12 else 0.0)
        return (min(1.0, v * 0.9), min(1.0, v), min(1.0, v * 0.45))
    sprite(os.path.join(out, "particle_mote.png"), mote, size=32, alpha=False)

    def energy(x, y):
        d = math.hypot(x, y)
        a = math.atan2(y, x)
        swirl = 0.5 + 0.5 * math.sin(a * 3.0 + d * 9.0)
        v = max(0.0, 1.0 - d) ** 0.7 * (0.6 + 0.4 * swirl)
        return (min(1.0, v * 0.85), min(1.0, v * 0.95), min(1.0, v * 1.2))
    sprite(os.path.join(out, "energy_core.png"), energy, alpha=False)
    return ["particle sprites: glow, spark, smoke, flame, drop, mote; energy_core.png"]


def post(out):
    """Pictures the post effects sample."""
    rng = random.Random(701)
    w = 128
    img = tk.Image(w, w)
    img.fill(0, 0, w, w, lambda x, y: (rng.random(), rng.random(), rng.random()))
    img.save(os.path.join(out, "film_grain.png"))

    # raindrops on glass: red and green bend the view (0.5 = straight
    # through), alpha is the wet part; drawn as streaks that run down
    size = 256
    drops = tk.Image(size, size, (0.5, 0.5, 0.0), 0.0)
    for _ in range(140):
        cx, cy = rng.uniform(0, size), rng.uniform(0, size)
        r = rng.uniform(2.0, 7.0)
        for oy in (-size, 0, size):
            for ox in (-size, 0, size):
                x0, y0 = cx + ox, cy + oy
                if -10 < x0 < size + 10 and -10 < y0 < size + 10:
                    for yy in range(int(y0 - r - 1), int(y0 + r + 2)):
                        for xx in range(int(x0 - r - 1), int(x0 + r + 2)):
                            if 0 <= xx < size and 0 <= yy < size:
                                dx, dy = (xx + 0.5 - x0) / r, (yy + 0.5 - y0) / r
                                d = dx * dx + dy * dy
                                if d < 1.0:
                                    i = yy * size + xx
                                    drops.r[i] = 0.5 + dx * 0.45
                                    drops.g[i] = 0.5 + dy * 0.45
                                    drops.b[i] = 1.0 - d
                                    drops.a[i] = max(drops.a[i], min(1.0, (1.0 - d) * 3.0))
        # a trail above the drop where it ran down
        trail = rng.uniform(0, 40)
        drops.line([(cx, cy - trail), (cx, cy)], r * 0.5, (0.5, 0.5, 0.3), 0.8, cover=0.5)
    drops.save(os.path.join(out, "rain_drops.png"), alpha=True)

    # hatching: three tone levels in red, green and blue, each a tileable
    # pattern of pen strokes (light: sparse diagonals, then crossed, then dense)
    hatch = tk.Image(w, w, (1.0, 1.0, 1.0))

    def strokes(channel, spacing, angle, weight, seed):
        r2 = random.Random(seed)
        ca, sa = math.cos(angle), math.sin(angle)
        values = getattr(hatch, channel)
        for y in range(w):
            for x in range(w):
                # distance across the strokes, wrapped so the pattern tiles
                u = (x * ca + y * sa) % spacing
                d = min(u, spacing - u)
                if d < weight:
                    values[y * w + x] = min(values[y * w + x], 0.15 + 0.5 * d / weight + 0.1 * r2.random())
    strokes("r", 8.0, math.pi / 4, 1.0, 1)
    strokes("g", 6.0, math.pi / 4, 1.1, 2)
    strokes("g", 8.0, -math.pi / 4, 1.0, 3)
    strokes("b", 4.0, math.pi / 4, 1.2, 4)
    strokes("b", 4.0, -math.pi / 4, 1.2, 5)
    strokes("b", 8.0, 0.0, 1.0, 6)
    hatch.save(os.path.join(out, "hatching.png"))
    return ["film_grain.png, rain_drops.png, hatching.png"]


def interface(out):
    """The aiming crosshair and the debug panel's backing."""
    img = tk.Image(64, 64, (1.0, 1.0, 1.0), 0.0)
    for (a, b) in (((32, 6), (32, 24)), ((32, 40), (32, 58)), ((6, 32), (24, 32)), ((40, 32), (58, 32))):
        img.line([a, b], 5.0, (0.0, 0.0, 0.0), 0.6, cover=0.6)
        img.line([a, b], 2.4, (1.0, 0.95, 0.8), 1.0, cover=1.0)
    img.disc(32, 32, 2.2, 2.2, (1.0, 0.5, 0.2), cover=1.0)
    img.save(os.path.join(out, "crosshair.png"), alpha=True)
    solid(os.path.join(out, "debug_panel.png"), (0.05, 0.07, 0.1), alpha=0.6)
    return ["crosshair.png, debug_panel.png"]


SKY = ["skydome.png", "hazeColours.png", "suncolours.png", "sky_clouds.png", "sun.png"]
SPACE = ["spacesky_%s.png" % f for f in FACES]
OTHER = (["fader_black.png", "cinebar_top.png", "cinebar_bottom.png", "marker_trigger.png", "marker_sound.png",
          "grassblades.png", "water_ripples.png", "water_reflection_standin.png", "water_refraction_standin.png",
          "particle_glow.png", "particle_spark.png", "particle_smoke.png", "particle_flame.png", "particle_drop.png",
          "particle_mote.png", "energy_core.png", "film_grain.png", "rain_drops.png", "hatching.png",
          "crosshair.png", "debug_panel.png"])


def build_sky(out_dir, work_dir):
    return sky(out_dir) + space_box(out_dir)


def build_other(out_dir, work_dir):
    lines = []
    for part in (faders, markers, water, particles, post, interface):
        lines += part(out_dir)
    return lines

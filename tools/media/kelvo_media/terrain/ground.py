"""Tileable ground textures for the terrain's layers, 256 x 256: warm sand
with wind ripples, dead brown earth with pebbles, grass with clumps and dry
patches, grey-brown rock with strata and cracks. Each repeats every Size world units (the terrain
configuration's layer sections), so all detail tiles over the picture."""

import math
import os

from .. import texkit

SIDE = 256


def _clamp(v):
    return 0.0 if v < 0.0 else 1.0 if v > 1.0 else v


def sand():
    broad = texkit.stretch(texkit.noise(SIDE, SIDE, 4, 101, octaves=3), 0.0, 1.0)
    grain = texkit.noise(SIDE, SIDE, 64, 102, octaves=2)
    light = (0.74, 0.65, 0.46)
    dark = (0.58, 0.48, 0.33)
    img = texkit.Image(SIDE, SIDE)
    for y in range(SIDE):
        for x in range(SIDE):
            i = y * SIDE + x
            # ripples across the beach, bent by the broad noise
            ripple = 0.5 + 0.5 * math.sin((x * 2 + y) * 2 * math.pi * 6 / SIDE + broad[i] * 4.0)
            t = 0.45 * broad[i] + 0.25 * ripple + 0.3 * grain[i]
            c = texkit.mix(dark, light, _clamp(t))
            speck = 0.92 + 0.16 * grain[i]
            img.r[i], img.g[i], img.b[i] = c[0] * speck, c[1] * speck, c[2] * speck
    return img


def grass():
    patches = texkit.stretch(texkit.noise(SIDE, SIDE, 4, 201, octaves=3), 0.0, 1.0)
    clumps = texkit.noise(SIDE, SIDE, 32, 202, octaves=3)
    blades = texkit.noise(SIDE, SIDE, 128, 203, octaves=1)
    lush = (0.22, 0.40, 0.13)
    deep = (0.12, 0.27, 0.08)
    dry = (0.46, 0.45, 0.22)
    img = texkit.Image(SIDE, SIDE)
    for i in range(SIDE * SIDE):
        base = texkit.mix(deep, lush, _clamp(clumps[i] * 1.6 - 0.3))
        c = texkit.mix(base, dry, 0.6 * _clamp((patches[i] - 0.6) * 2.0))
        s = 0.8 + 0.4 * blades[i]
        img.r[i], img.g[i], img.b[i] = c[0] * s, c[1] * s, c[2] * s
    return img


def rock():
    broad = texkit.stretch(texkit.noise(SIDE, SIDE, 4, 301, octaves=4), 0.0, 1.0)
    fine = texkit.noise(SIDE, SIDE, 48, 302, octaves=3)
    crack_field = texkit.noise(SIDE, SIDE, 8, 303, octaves=2)
    grey = (0.38, 0.36, 0.34)
    brown = (0.34, 0.28, 0.21)
    img = texkit.Image(SIDE, SIDE)
    for y in range(SIDE):
        for x in range(SIDE):
            i = y * SIDE + x
            strata = 0.5 + 0.5 * math.sin((y + broad[i] * 30.0) * 2 * math.pi * 5 / SIDE)
            c = texkit.mix(grey, brown, _clamp(0.3 * strata + 0.7 * broad[i]))
            crack = 1.0 - 0.2 * max(0.0, 1.0 - abs(crack_field[i] - 0.5) * 60.0)
            s = (0.78 + 0.44 * fine[i]) * crack
            img.r[i], img.g[i], img.b[i] = c[0] * s, c[1] * s, c[2] * s
    return img


def dirt():
    """Dry, dead earth: the spiders' pit and the valley of the dead."""
    broad = texkit.stretch(texkit.noise(SIDE, SIDE, 5, 401, octaves=3), 0.0, 1.0)
    grain = texkit.noise(SIDE, SIDE, 64, 402, octaves=2)
    pebbles = texkit.noise(SIDE, SIDE, 40, 403, octaves=1)
    dark = (0.26, 0.21, 0.16)
    light = (0.42, 0.35, 0.26)
    img = texkit.Image(SIDE, SIDE)
    for i in range(SIDE * SIDE):
        c = texkit.mix(dark, light, _clamp(0.6 * broad[i] + 0.4 * grain[i]))
        stone = 1.0 + 0.35 * max(0.0, (pebbles[i] - 0.72) * 6.0)
        s = (0.85 + 0.3 * grain[i]) * min(1.4, stone)
        img.r[i], img.g[i], img.b[i] = c[0] * s, c[1] * s, c[2] * s
    return img


def build(out_dir, work_dir):
    lines = []
    for name, painter in (("terrain_sand.png", sand), ("terrain_dirt.png", dirt), ("terrain_grass.png", grass),
                          ("terrain_rock.png", rock)):
        img = painter()
        img.save(os.path.join(out_dir, name))
        mean = [sum(ch) / len(ch) for ch in (img.r, img.g, img.b)]
        lines.append("%s: %d x %d, mean colour %.2f %.2f %.2f" % (name, SIDE, SIDE, mean[0], mean[1], mean[2]))
    return lines

"""Fast procedural textures for props and effects.

paint.py samples its noise per pixel, which suits the character atlases but
costs several seconds for a large atlas. Here a noise field is made whole:
each octave's lattice is interpolated a row at a time, so a 256 x 256 field
takes a few hundredths of a second. Fields tile over their own size, so a
patch painted from one repeats without a seam.

Images hold float RGBA channels (0..1) and write 8-bit PNGs through png.py.
"""

import math
import random

from . import png


def _smooth_weights(size, cells):
    """For each pixel column: left lattice index, right index, smooth weight."""
    left = []
    right = []
    weight = []
    for x in range(size):
        f = (x + 0.5) * cells / size
        i = int(math.floor(f))
        t = f - i
        left.append(i % cells)
        right.append((i + 1) % cells)
        weight.append(t * t * (3.0 - 2.0 * t))
    return left, right, weight


def noise(width, height, cells, seed, octaves=3, gain=0.5):
    """Tileable value noise, a flat list of width*height floats in 0..1.
    cells: lattice cells across the width at the first octave (the height
    gets as many cells per pixel)."""
    rng = random.Random(seed)
    total = [0.0] * (width * height)
    norm = 0.0
    amp = 1.0
    cx = max(1, int(cells))
    cy = max(1, int(round(cells * height / float(width))))
    for _ in range(octaves):
        lattice = [[rng.random() for _ in range(cx)] for _ in range(cy)]
        lx, rx, wx = _smooth_weights(width, cx)
        ly, ry, wy = _smooth_weights(height, cy)
        # rows of the lattice interpolated across x once
        across = []
        for row in lattice:
            across.append([row[a] + (row[b] - row[a]) * w for a, b, w in zip(lx, rx, wx)])
        for y in range(height):
            top = across[ly[y]]
            bottom = across[ry[y]]
            t = wy[y]
            base = y * width
            line = [a + (b - a) * t for a, b in zip(top, bottom)]
            for x in range(width):
                total[base + x] += line[x] * amp
        norm += amp
        amp *= gain
        cx *= 2
        cy *= 2
    inv = 1.0 / norm
    return [v * inv for v in total]


def stretch(values, lo, hi):
    """Rescales a field so that its range becomes lo..hi (noise bunches
    around 0.5; painters want its full swing)."""
    a = min(values)
    b = max(values)
    span = (b - a) or 1.0
    k = (hi - lo) / span
    return [lo + (v - a) * k for v in values]


def mix(a, b, t):
    return (a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, a[2] + (b[2] - a[2]) * t)


def scale(c, s):
    return (c[0] * s, c[1] * s, c[2] * s)


class Image:
    """Float RGBA pixels, row 0 at the top (v = 0 in the engine)."""

    def __init__(self, width, height, colour=(0.5, 0.5, 0.5), alpha=1.0):
        self.width = width
        self.height = height
        n = width * height
        self.r = [colour[0]] * n
        self.g = [colour[1]] * n
        self.b = [colour[2]] * n
        self.a = [alpha] * n

    def fill(self, x0, y0, x1, y1, fn):
        """Sets every pixel of the rectangle to fn(x, y) -> (r, g, b) or
        (r, g, b, a), with x, y relative to the rectangle's corner."""
        w = self.width
        r, g, b, a = self.r, self.g, self.b, self.a
        for y in range(y0, y1):
            i = y * w + x0
            for x in range(x0, x1):
                c = fn(x - x0, y - y0)
                r[i] = c[0]
                g[i] = c[1]
                b[i] = c[2]
                if len(c) > 3:
                    a[i] = c[3]
                i += 1

    def blend(self, x, y, colour, alpha, cover_alpha=None):
        """Paints over one pixel; cover_alpha raises the pixel's own alpha
        (for cut-out sprites painted onto a transparent image)."""
        if alpha <= 0.0 or x < 0 or y < 0 or x >= self.width or y >= self.height:
            return
        alpha = min(1.0, alpha)
        i = y * self.width + x
        self.r[i] += (colour[0] - self.r[i]) * alpha
        self.g[i] += (colour[1] - self.g[i]) * alpha
        self.b[i] += (colour[2] - self.b[i]) * alpha
        if cover_alpha is not None:
            self.a[i] = max(self.a[i], min(1.0, alpha * cover_alpha))

    def disc(self, cx, cy, rx, ry, colour, alpha=1.0, softness=0.25, cover=None, clip=None, angle=0.0):
        """An anti-aliased ellipse in pixels, optionally turned by angle
        (radians) and kept inside clip = (x0, y0, x1, y1)."""
        x0, y0, x1, y1 = clip or (0, 0, self.width, self.height)
        reach = max(rx, ry) + 1.5
        ca = math.cos(angle)
        sa = math.sin(angle)
        for y in range(max(y0, int(cy - reach)), min(y1, int(cy + reach) + 1)):
            for x in range(max(x0, int(cx - reach)), min(x1, int(cx + reach) + 1)):
                dx = x + 0.5 - cx
                dy = y + 0.5 - cy
                u = (dx * ca + dy * sa) / max(0.5, rx)
                v = (-dx * sa + dy * ca) / max(0.5, ry)
                d = math.sqrt(u * u + v * v)
                edge = (1.0 - d) / max(1e-6, softness)
                if edge > 0.0:
                    self.blend(x, y, colour, alpha * min(1.0, edge), cover)

    def line(self, points, width, colour, alpha=1.0, cover=None, clip=None, taper=None):
        """An anti-aliased polyline in pixels; taper (start, end) scales the
        width along the line."""
        x0c, y0c, x1c, y1c = clip or (0, 0, self.width, self.height)
        n = len(points) - 1
        for k, ((ax, ay), (bx, by)) in enumerate(zip(points, points[1:])):
            wa = width * (1.0 if taper is None else taper[0] + (taper[1] - taper[0]) * k / n)
            wb = width * (1.0 if taper is None else taper[0] + (taper[1] - taper[0]) * (k + 1) / n)
            half = max(wa, wb) * 0.5 + 1.0
            dx = bx - ax
            dy = by - ay
            seg = dx * dx + dy * dy
            for y in range(max(y0c, int(min(ay, by) - half)), min(y1c, int(max(ay, by) + half) + 1)):
                for x in range(max(x0c, int(min(ax, bx) - half)), min(x1c, int(max(ax, bx) + half) + 1)):
                    qx = x + 0.5 - ax
                    qy = y + 0.5 - ay
                    t = 0.0 if seg < 1e-9 else max(0.0, min(1.0, (qx * dx + qy * dy) / seg))
                    ex = qx - dx * t
                    ey = qy - dy * t
                    h = max(0.35, (wa + (wb - wa) * t) * 0.5)
                    edge = h + 0.5 - math.sqrt(ex * ex + ey * ey)
                    if edge > 0.0:
                        self.blend(x, y, colour, alpha * min(1.0, edge), cover)

    def rows(self, channels):
        w = self.width
        for y in range(self.height):
            s = y * w
            if channels == 4:
                chans = (self.r[s:s + w], self.g[s:s + w], self.b[s:s + w], self.a[s:s + w])
            else:
                chans = (self.r[s:s + w], self.g[s:s + w], self.b[s:s + w])
            out = bytearray(w * channels)
            for c, values in enumerate(chans):
                out[c::channels] = bytes(0 if v <= 0.0 else 255 if v >= 1.0 else int(v * 255.0 + 0.5)
                                         for v in values)
            yield out

    def save(self, path, alpha=False):
        channels = 4 if alpha else 3
        png.write(path, self.width, self.height, self.rows(channels), channels)


def bleed_alpha(image, passes=4):
    """Spreads the colour of opaque pixels into the transparent ones next to
    them, so filtering at a cut-out's edge does not pull in the background
    colour as a dark fringe. Alpha itself is left alone."""
    w, h = image.width, image.height
    known = [a > 0.02 for a in image.a]
    for _ in range(passes):
        new_known = list(known)
        for y in range(h):
            for x in range(w):
                i = y * w + x
                if known[i]:
                    continue
                acc = [0.0, 0.0, 0.0]
                count = 0
                for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                    nx, ny = x + dx, y + dy
                    if 0 <= nx < w and 0 <= ny < h and known[ny * w + nx]:
                        j = ny * w + nx
                        acc[0] += image.r[j]
                        acc[1] += image.g[j]
                        acc[2] += image.b[j]
                        count += 1
                if count:
                    image.r[i] = acc[0] / count
                    image.g[i] = acc[1] / count
                    image.b[i] = acc[2] / count
                    new_known[i] = True
        known = new_known

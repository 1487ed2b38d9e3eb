"""Procedural painting for texture atlases.

A Canvas holds float RGB pixels; painters work in the canvas's own pixel
space or, through Region, in a part's normalised (u, v) space so the same
painter code serves atlases of any resolution. Noise is seeded value noise:
the same seed paints the same pixels on every machine.
"""

import math
import random

from . import png


def mix(a, b, t):
    return (a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, a[2] + (b[2] - a[2]) * t)


def mul(c, s):
    return (c[0] * s, c[1] * s, c[2] * s)


def hex_colour(text):
    text = text.lstrip("#")
    return tuple(int(text[i:i + 2], 16) / 255.0 for i in (0, 2, 4))


class ValueNoise:
    """Tileable 2D value noise: the lattice wraps every `period` cells."""

    def __init__(self, seed, period=64):
        rng = random.Random(seed)
        self.period = period
        self.values = [rng.random() for _ in range(period * period)]

    def sample(self, x, y):
        p = self.period
        xi = math.floor(x)
        yi = math.floor(y)
        fx = x - xi
        fy = y - yi
        fx = fx * fx * (3.0 - 2.0 * fx)
        fy = fy * fy * (3.0 - 2.0 * fy)
        x0 = int(xi) % p
        y0 = int(yi) % p
        x1 = (x0 + 1) % p
        y1 = (y0 + 1) % p
        v = self.values
        a = v[y0 * p + x0]
        b = v[y0 * p + x1]
        c = v[y1 * p + x0]
        d = v[y1 * p + x1]
        top = a + (b - a) * fx
        bottom = c + (d - c) * fx
        return top + (bottom - top) * fy

    def fbm(self, x, y, octaves=3, gain=0.5):
        total = 0.0
        amplitude = 1.0
        norm = 0.0
        frequency = 1.0
        for _ in range(octaves):
            total += self.sample(x * frequency, y * frequency) * amplitude
            norm += amplitude
            amplitude *= gain
            frequency *= 2.0
        return total / norm


class Canvas:
    def __init__(self, width, height, background=(0.5, 0.5, 0.5)):
        self.width = width
        self.height = height
        self.pixels = list(background) * (width * height)

    def get(self, x, y):
        i = (y * self.width + x) * 3
        p = self.pixels
        return (p[i], p[i + 1], p[i + 2])

    def set(self, x, y, colour):
        i = (y * self.width + x) * 3
        p = self.pixels
        p[i] = colour[0]
        p[i + 1] = colour[1]
        p[i + 2] = colour[2]

    def blend(self, x, y, colour, alpha):
        if alpha <= 0.0 or x < 0 or y < 0 or x >= self.width or y >= self.height:
            return
        if alpha > 1.0:
            alpha = 1.0
        i = (y * self.width + x) * 3
        p = self.pixels
        p[i] += (colour[0] - p[i]) * alpha
        p[i + 1] += (colour[1] - p[i + 1]) * alpha
        p[i + 2] += (colour[2] - p[i + 2]) * alpha

    def region(self, u0, v0, u1, v1, margin_px=3):
        return Region(self, u0, v0, u1, v1, margin_px)

    def rows(self):
        w = self.width
        p = self.pixels
        for y in range(self.height):
            start = y * w * 3
            yield bytes(max(0, min(255, int(c * 255.0 + 0.5))) for c in p[start:start + w * 3])

    def save(self, path):
        png.write(path, self.width, self.height, self.rows(), 3)


class Region:
    """A rectangle of the atlas in normalised texture space (v grows downward,
    as the engine maps it). Painting spills `margin_px` pixels past the edges
    so mipmaps do not pull in the neighbouring part's colour."""

    def __init__(self, canvas, u0, v0, u1, v1, margin_px):
        self.canvas = canvas
        self.u0, self.v0, self.u1, self.v1 = u0, v0, u1, v1
        self.margin = margin_px

    def uv(self, s, t):
        """Atlas coordinates of a point given in the region's own 0..1 space,
        kept half a texel inside so bilinear filtering stays in the region."""
        w = self.canvas.width
        h = self.canvas.height
        pad_u = 0.75 / w
        pad_v = 0.75 / h
        s = min(1.0, max(0.0, s))
        t = min(1.0, max(0.0, t))
        return (self.u0 + pad_u + (self.u1 - self.u0 - 2 * pad_u) * s,
                self.v0 + pad_v + (self.v1 - self.v0 - 2 * pad_v) * t)

    def pixel_box(self, with_margin=True):
        c = self.canvas
        m = self.margin if with_margin else 0
        x0 = max(0, int(math.floor(self.u0 * c.width)) - m)
        y0 = max(0, int(math.floor(self.v0 * c.height)) - m)
        x1 = min(c.width, int(math.ceil(self.u1 * c.width)) + m)
        y1 = min(c.height, int(math.ceil(self.v1 * c.height)) + m)
        return x0, y0, x1, y1

    def size_px(self):
        c = self.canvas
        return (self.u1 - self.u0) * c.width, (self.v1 - self.v0) * c.height

    def shade(self, fn):
        """Sets every pixel (margin included) to fn(s, t, x, y): s, t are the
        region's own coordinates (0..1 inside, beyond at the margin)."""
        c = self.canvas
        x0, y0, x1, y1 = self.pixel_box()
        pu0 = self.u0 * c.width
        pv0 = self.v0 * c.height
        su = 1.0 / max(1e-9, (self.u1 - self.u0) * c.width)
        sv = 1.0 / max(1e-9, (self.v1 - self.v0) * c.height)
        p = c.pixels
        w = c.width
        for y in range(y0, y1):
            t = (y + 0.5 - pv0) * sv
            i = (y * w + x0) * 3
            for x in range(x0, x1):
                s = (x + 0.5 - pu0) * su
                col = fn(s, t, x, y)
                p[i] = col[0]
                p[i + 1] = col[1]
                p[i + 2] = col[2]
                i += 3

    def stamp(self, s, t, rs, rt, colour, alpha=1.0, softness=0.15, wrap=False):
        """An anti-aliased filled ellipse centred at (s, t) with radii (rs, rt)
        in region space. With wrap, it also paints across the s = 0/1 seam."""
        c = self.canvas
        rw, rh = self.size_px()
        centres = [s]
        if wrap:
            centres += [s - 1.0, s + 1.0]
        for cs in centres:
            cx = (self.u0 * c.width) + cs * rw
            cy = (self.v0 * c.height) + t * rh
            ax = max(0.5, rs * rw)
            ay = max(0.5, rt * rh)
            x0 = int(math.floor(cx - ax - 1))
            x1 = int(math.ceil(cx + ax + 1))
            y0 = int(math.floor(cy - ay - 1))
            y1 = int(math.ceil(cy + ay + 1))
            bx0, by0, bx1, by1 = self.pixel_box()
            for y in range(max(y0, by0), min(y1, by1)):
                dy = (y + 0.5 - cy) / ay
                for x in range(max(x0, bx0), min(x1, bx1)):
                    dx = (x + 0.5 - cx) / ax
                    d = math.sqrt(dx * dx + dy * dy)
                    edge = 1.0 - (d - (1.0 - softness)) / max(1e-6, softness)
                    if edge > 0.0:
                        c.blend(x, y, colour, alpha * min(1.0, edge))

    def stroke(self, points, width, colour, alpha=1.0, softness=0.3):
        """An anti-aliased polyline through region-space points; width in
        region-space units of s."""
        c = self.canvas
        rw, rh = self.size_px()
        px = [((self.u0 * c.width) + s * rw, (self.v0 * c.height) + t * rh) for s, t in points]
        half = max(0.5, width * rw * 0.5)
        bx0, by0, bx1, by1 = self.pixel_box()
        for (ax, ay), (bx, by) in zip(px, px[1:]):
            x0 = int(math.floor(min(ax, bx) - half - 1))
            x1 = int(math.ceil(max(ax, bx) + half + 1))
            y0 = int(math.floor(min(ay, by) - half - 1))
            y1 = int(math.ceil(max(ay, by) + half + 1))
            dx = bx - ax
            dy = by - ay
            seg = dx * dx + dy * dy
            for y in range(max(y0, by0), min(y1, by1)):
                for x in range(max(x0, bx0), min(x1, bx1)):
                    qx = x + 0.5 - ax
                    qy = y + 0.5 - ay
                    k = 0.0 if seg < 1e-9 else max(0.0, min(1.0, (qx * dx + qy * dy) / seg))
                    ex = qx - dx * k
                    ey = qy - dy * k
                    d = math.sqrt(ex * ex + ey * ey) / half
                    edge = 1.0 - (d - (1.0 - softness)) / softness
                    if edge > 0.0:
                        c.blend(x, y, colour, alpha * min(1.0, edge))


def noisy(base, noise, amount, scale_s, scale_t, octaves=3):
    """A shade function: the base colour brightened and darkened by noise."""
    def fn(s, t, x, y):
        n = noise.fbm(s * scale_s, t * scale_t, octaves) - 0.5
        return mul(base, 1.0 + n * amount * 2.0)
    return fn

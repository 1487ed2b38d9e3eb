"""Drawing full-screen pictures with ImageMagick.

A Picture is a stack of steps that one `convert` run flattens: vertical
gradient strips (sky, sea, fog, the caption band), vector layers written as
MVG files (shapes, silhouettes, text), soft layers that are drawn small,
blurred and scaled up (glows, haze, shadows: a blur at a quarter of the size
costs a sixteenth), and the finish (grain, vignette).

Reproducible output: one ImageMagick thread (its noise would otherwise
depend on how rows are shared out), a fixed noise seed, no time or date
chunks in the PNG, coordinates printed with a fixed precision.
"""

import os
import shutil
import subprocess

from .. import png


class MagickError(RuntimeError):
    pass


def _num(value):
    text = "%.1f" % value
    return "0.0" if text == "-0.0" else text


def _colour(text):
    text = text.lstrip("#")
    if len(text) != 6:
        raise ValueError("colour %r is not #rrggbb" % text)
    return tuple(int(text[i:i + 2], 16) for i in (0, 2, 4))


def _quote(text):
    # MVG strings are single-quoted; a quote inside is escaped with a backslash
    return "'" + text.replace("\\", "\\\\").replace("'", "\\'") + "'"


def mix(a, b, t):
    """Blends two #rrggbb colours; t = 0 gives a."""
    ca, cb = _colour(a), _colour(b)
    return "#%02x%02x%02x" % tuple(int(round(ca[i] + (cb[i] - ca[i]) * t)) for i in range(3))


class Layer:
    """Vector shapes in picture pixels, drawn in the order they are added."""

    def __init__(self, width, height, scale=1.0):
        self.width = width
        self.height = height
        self.scale = scale
        self.commands = []

    def _paint(self, fill, opacity, stroke=None, stroke_width=1.0, stroke_opacity=None):
        # every primitive gets a graphic context of its own: a stroke width or
        # an opacity left over from the shape before would otherwise outline
        # the next text (slowly) or turn "none" into opaque black
        self.commands.append("push graphic-context")
        # ImageMagick drops a whole layer without a word over one unknown
        # colour, so colours are checked here
        for colour in (fill, stroke):
            if colour:
                _colour(colour)
        if fill:
            self.commands.append("fill %s fill-opacity %.3f" % (_quote(fill), opacity))
        else:
            self.commands.append("fill none")
        if stroke:
            self.commands.append("stroke %s stroke-width %s stroke-opacity %.3f stroke-linecap round "
                                 "stroke-linejoin round"
                                 % (_quote(stroke), _num(stroke_width),
                                    opacity if stroke_opacity is None else stroke_opacity))
        else:
            self.commands.append("stroke none stroke-width 0")

    def poly(self, points, fill, opacity=1.0, stroke=None, stroke_width=1.0):
        if len(points) < 3:
            return
        self._paint(fill, opacity, stroke, stroke_width)
        self.commands.append("polygon " + " ".join("%s,%s" % (_num(x), _num(y)) for x, y in points))
        self.commands.append("pop graphic-context")

    def path(self, d, fill, opacity=1.0, stroke=None, stroke_width=1.0):
        self._paint(fill, opacity, stroke, stroke_width)
        self.commands.append("path " + _quote(d))
        self.commands.append("pop graphic-context")

    def circle(self, x, y, r, fill, opacity=1.0):
        self._paint(fill, opacity)
        self.commands.append("circle %s,%s %s,%s" % (_num(x), _num(y), _num(x + r), _num(y)))
        self.commands.append("pop graphic-context")

    def ellipse(self, x, y, rx, ry, fill, opacity=1.0):
        self._paint(fill, opacity)
        self.commands.append("ellipse %s,%s %s,%s 0,360" % (_num(x), _num(y), _num(rx), _num(ry)))
        self.commands.append("pop graphic-context")

    def rect(self, x0, y0, x1, y1, fill, opacity=1.0):
        self._paint(fill, opacity)
        self.commands.append("rectangle %s,%s %s,%s" % (_num(x0), _num(y0), _num(x1), _num(y1)))
        self.commands.append("pop graphic-context")

    def line(self, points, stroke, width=1.0, opacity=1.0):
        if len(points) < 2:
            return
        self._paint(None, 1.0, stroke, width, opacity)
        self.commands.append("polyline " + " ".join("%s,%s" % (_num(x), _num(y)) for x, y in points))
        self.commands.append("pop graphic-context")

    def text(self, x, y, text, font, size, fill, opacity=1.0, anchor="middle", kerning=0.0,
             stroke=None, stroke_width=1.0):
        """y is the baseline. anchor: start, middle or end."""
        if "\n" in text:
            raise ValueError("one line of text at a time: %r" % text)
        self._paint(fill, opacity, stroke, stroke_width)
        self.commands.append("font %s font-size %s text-anchor %s kerning %s"
                             % (_quote(font), _num(size), anchor, _num(kerning)))
        self.commands.append("text %s,%s %s" % (_num(x), _num(y), _quote(text)))
        self.commands.append("pop graphic-context")

    def canvas(self):
        return int(round(self.width * self.scale)), int(round(self.height * self.scale))

    def mvg(self):
        w, h = self.canvas()
        head = ["viewbox 0 0 %d %d" % (w, h), "encoding 'UTF-8'", "stroke-antialias 1 text-antialias 1"]
        if self.scale != 1.0:
            head.append("scale %s,%s" % (repr(self.scale), repr(self.scale)))
        return "\n".join(head + self.commands) + "\n"


class Picture:
    def __init__(self, width=1024, height=768, seed=1, background="#000000"):
        self.width = width
        self.height = height
        self.seed = seed
        self.background = background
        self.steps = []

    # --- gradients ------------------------------------------------------------

    def gradient(self, stops, y0=0, y1=None, compose="over"):
        """A full-width vertical gradient from y0 to y1. stops: (t, colour) or
        (t, colour, opacity) with t from 0 (top) to 1 (bottom)."""
        y1 = self.height if y1 is None else y1
        height = max(1, int(round(y1 - y0)))
        stops = sorted((s[0], _colour(s[1]), s[2] if len(s) > 2 else 1.0) for s in stops)
        row_colours = []
        for row in range(height):
            t = (row + 0.5) / height
            lo = stops[0]
            hi = stops[-1]
            for a, b in zip(stops, stops[1:]):
                if a[0] <= t <= b[0]:
                    lo, hi = a, b
                    break
            if t <= stops[0][0]:
                lo = hi = stops[0]
            elif t >= stops[-1][0]:
                lo = hi = stops[-1]
            span = hi[0] - lo[0]
            k = 0.0 if span <= 0 else (t - lo[0]) / span
            k = k * k * (3 - 2 * k)  # eased, so bands of colour have no hard seams
            rgba = [lo[1][i] + (hi[1][i] - lo[1][i]) * k for i in range(3)] + [lo[2] + (hi[2] - lo[2]) * k]
            row_colours.append(bytes(int(round(min(255, max(0, v if i < 3 else v * 255))))
                                     for i, v in enumerate(rgba)))
        self.steps.append(("strip", row_colours, int(round(y0)), compose))

    # --- layers ---------------------------------------------------------------

    def layer(self, opacity=1.0, compose="over"):
        layer = Layer(self.width, self.height)
        self.steps.append(("layer", layer, opacity, compose, 0.0))
        return layer

    def place(self, layer, opacity=1.0, compose="over"):
        """Stacks a layer that was drawn before its place in the stack was known."""
        self.steps.append(("layer", layer, opacity, compose, 0.0))
        return layer

    def soft(self, blur, opacity=1.0, compose="over", scale=None):
        """A layer drawn small and blurred by `blur` picture pixels: the wider
        the blur, the smaller it is drawn (nobody sees the lost detail)."""
        if scale is None:
            scale = 0.125 if blur >= 40 else 0.25 if blur >= 6 else 0.5
        layer = Layer(self.width, self.height, scale)
        self.steps.append(("layer", layer, opacity, compose, blur))
        return layer

    # --- finish ---------------------------------------------------------------

    def grain(self, amount=0.06):
        self.steps.append(("grain", amount))

    def vignette(self, strength=0.55, colour="#000000"):
        self.steps.append(("vignette", strength, colour))

    def alpha(self, stops, holes=None):
        """Replaces the picture's opacity: a vertical opacity gradient (stops as
        (t, opacity)), made fully opaque under the shapes drawn into the
        returned layer (drawn in white)."""
        mask = Layer(self.width, self.height)
        strip = [(t, "#%02x%02x%02x" % ((int(round(o * 255)),) * 3)) for t, o in stops]
        self.steps.append(("alpha", strip, mask))
        return mask

    # --- rendering ------------------------------------------------------------

    def _merged_steps(self):
        """Neighbouring layers drawn the same way become one: every layer
        costs a full-size canvas and a composite, and a picture stacks dozens."""
        out = []
        for step in self.steps:
            if step[0] == "layer" and out and out[-1][0] == "layer" and out[-1][2:] == step[2:] \
                    and out[-1][1].scale == step[1].scale:
                merged = Layer(self.width, self.height, step[1].scale)
                merged.commands = out[-1][1].commands + step[1].commands
                out[-1] = ("layer", merged) + step[2:]
            else:
                out.append(step)
        return out

    def _arguments(self, work_dir, name):
        args = ["-seed", str(self.seed), "-size", "%dx%d" % (self.width, self.height),
                "xc:" + self.background]
        size = "%dx%d!" % (self.width, self.height)
        for index, step in enumerate(self._merged_steps()):
            kind = step[0]
            if kind == "strip":
                _, rows, y0, compose = step
                path = os.path.join(work_dir, "%s_strip%02d.png" % (name, index))
                png.write(path, 1, len(rows), rows, channels=4)
                args += ["(", path, "-scale", "%dx%d!" % (self.width, len(rows)), ")",
                         "-geometry", "+0+%d" % y0, "-compose", compose, "-composite"]
            elif kind == "layer":
                _, layer, opacity, compose, blur = step
                if not layer.commands:
                    continue
                path = os.path.join(work_dir, "%s_layer%02d.mvg" % (name, index))
                with open(path, "w", encoding="utf-8") as f:
                    f.write(layer.mvg())
                # the canvas size must be the layer's own: a -size still set from
                # the picture would override the MVG's viewbox
                args += ["(", "-size", "%dx%d" % layer.canvas(), "-background", "none", "mvg:" + path]
                if blur > 0:
                    args += ["-blur", "0x%s" % _num(max(0.5, blur * layer.scale))]
                if layer.scale != 1.0:
                    args += ["-filter", "triangle", "-resize", size, "+filter"]
                if opacity < 1.0:
                    args += ["-channel", "A", "-evaluate", "multiply", "%.3f" % opacity, "+channel"]
                args += [")", "-geometry", "+0+0", "-compose", compose, "-composite"]
            elif kind == "grain":
                _, amount = step
                # one grain pattern at half size, scaled up: film-like clumps and half the noise cost
                args += ["(", "-size", "%dx%d" % (self.width // 2, self.height // 2), "xc:gray50",
                         "-attenuate", "%.3f" % amount, "+noise", "Gaussian", "-colorspace", "gray",
                         "-resize", size, ")", "-compose", "soft-light", "-composite"]
            elif kind == "vignette":
                _, strength, colour = step
                w, h = self.width // 8, self.height // 8
                dark = mix("#ffffff", colour, strength)
                args += ["(", "-size", "%dx%d" % (w, h), "xc:" + dark, "-fill", "white", "-draw",
                         "ellipse %d,%d %d,%d 0,360" % (w // 2, h // 2, int(w * 0.42), int(h * 0.40)),
                         "-blur", "0x%d" % (w // 7), "-resize", size, ")", "-compose", "multiply",
                         "-composite"]
            elif kind == "alpha":
                _, strip, mask = step
                rows = []
                tmp = Picture(self.width, self.height)
                tmp.gradient(strip)
                rows = tmp.steps[0][1]
                strip_path = os.path.join(work_dir, "%s_alpha.png" % name)
                png.write(strip_path, 1, len(rows), rows, channels=4)
                mask_path = os.path.join(work_dir, "%s_alpha.mvg" % name)
                with open(mask_path, "w", encoding="utf-8") as f:
                    f.write(mask.mvg())
                args += ["(", strip_path, "-scale", size, "(", "-size", "%dx%d" % mask.canvas(), "-background", "none",
                         "mvg:" + mask_path, ")",
                         "-compose", "over", "-composite", "-alpha", "off", "-colorspace", "gray", ")",
                         "-alpha", "off", "-compose", "copy-opacity", "-composite"]
        return args

    def render(self, out_path, work_dir, with_alpha=False):
        convert = shutil.which("convert")
        if not convert:
            raise MagickError("ImageMagick's convert is missing; install the Debian package imagemagick")
        name = os.path.splitext(os.path.basename(out_path))[0]
        args = [convert] + self._arguments(work_dir, name)
        args += ["-compose", "over", "-strip", "-define", "png:exclude-chunks=date,time",
                 "-define", "png:compression-level=6", "-depth", "8",
                 ("PNG32:" if with_alpha else "PNG24:") + out_path]
        env = dict(os.environ, MAGICK_THREAD_LIMIT="1", MAGICK_THROTTLE="0")
        result = subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=env)
        # anything ImageMagick says is a fault: some complaints (an unknown
        # colour) come with exit status 0 and a picture that lacks the shape.
        # It says nothing at all about a missing font, so style.font() checks it.
        complaint = result.stderr.decode("utf-8", "replace").strip()
        if result.returncode != 0 or complaint:
            raise MagickError("convert failed on %s (exit %d): %s"
                              % (os.path.basename(out_path), result.returncode, complaint or "no message"))
        if not os.path.isfile(out_path):
            raise MagickError("convert wrote no %s" % out_path)

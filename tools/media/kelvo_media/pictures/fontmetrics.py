"""Just enough of a TrueType reader to lay captions out before drawing them:
which characters a font has (ImageMagick draws a missing umlaut as an empty
box without complaint) and how wide a line of text comes out, so a caption
can be wrapped to the card instead of running off its edge."""

import struct


class FontError(ValueError):
    pass


class Font:
    def __init__(self, path):
        self.path = path
        try:
            with open(path, "rb") as f:
                data = f.read()
        except OSError as exc:
            raise FontError("font %s cannot be read (%s)" % (path, exc.strerror)) from None
        try:
            self._parse(data)
        except (struct.error, KeyError, IndexError) as exc:
            raise FontError("font %s is not a TrueType font we can read (%s)" % (path, exc)) from None

    def _parse(self, data):
        (version, count) = struct.unpack_from(">IH", data, 0)
        if version not in (0x00010000, 0x4F54544F):  # TrueType outlines or CFF
            raise FontError("font %s is not a TrueType or OpenType font" % self.path)
        tables = {}
        for i in range(count):
            tag, _, offset, length = struct.unpack_from(">4sIII", data, 12 + 16 * i)
            tables[tag.decode("latin-1")] = (offset, length)
        self.units_per_em = struct.unpack_from(">H", data, tables["head"][0] + 18)[0]
        hhea = tables["hhea"][0]
        self.ascent, self.descent = struct.unpack_from(">hh", data, hhea + 4)
        metrics_count = struct.unpack_from(">H", data, hhea + 34)[0]
        hmtx = tables["hmtx"][0]
        self._advances = [struct.unpack_from(">H", data, hmtx + 4 * i)[0] for i in range(metrics_count)]
        self._cmap = self._read_cmap(data, tables["cmap"][0])

    @staticmethod
    def _read_cmap(data, base):
        count = struct.unpack_from(">H", data, base + 2)[0]
        best = None
        for i in range(count):
            platform, encoding, offset = struct.unpack_from(">HHI", data, base + 4 + 8 * i)
            if (platform, encoding) in ((3, 1), (0, 3), (0, 4), (3, 10)):
                fmt = struct.unpack_from(">H", data, base + offset)[0]
                if fmt in (4, 12) and (best is None or fmt == 12):
                    best = (fmt, base + offset)
        if best is None:
            raise FontError("font has no Unicode character map")
        fmt, at = best
        mapping = {}
        if fmt == 4:
            segments = struct.unpack_from(">H", data, at + 6)[0] // 2
            ends = struct.unpack_from(">%dH" % segments, data, at + 14)
            starts = struct.unpack_from(">%dH" % segments, data, at + 16 + 2 * segments)
            deltas = struct.unpack_from(">%dh" % segments, data, at + 16 + 4 * segments)
            range_at = at + 16 + 6 * segments
            offsets = struct.unpack_from(">%dH" % segments, data, range_at)
            for s in range(segments):
                for code in range(starts[s], ends[s] + 1):
                    if code == 0xFFFF:
                        continue
                    if offsets[s] == 0:
                        glyph = (code + deltas[s]) & 0xFFFF
                    else:
                        where = range_at + 2 * s + offsets[s] + 2 * (code - starts[s])
                        glyph = struct.unpack_from(">H", data, where)[0]
                        if glyph:
                            glyph = (glyph + deltas[s]) & 0xFFFF
                    if glyph:
                        mapping[code] = glyph
        else:
            groups = struct.unpack_from(">I", data, at + 12)[0]
            for g in range(groups):
                start, end, glyph = struct.unpack_from(">III", data, at + 16 + 12 * g)
                for code in range(start, min(end, 0x2FFFF) + 1):
                    mapping[code] = glyph + code - start
        return mapping

    def missing(self, text):
        """Characters of text the font cannot draw (spaces and line breaks aside)."""
        return sorted({c for c in text if c not in " \n" and ord(c) not in self._cmap})

    def width(self, text, size):
        """Advance width in pixels at a font size in pixels (no kerning)."""
        total = 0
        last = self._advances[-1]
        for c in text:
            glyph = self._cmap.get(ord(c), 0)
            total += self._advances[glyph] if glyph < len(self._advances) else last
        return total * size / self.units_per_em

    def balanced(self, text, size, max_width):
        """Two lines of even length when one will not do (a caption with a
        single word on its second line looks like a mistake)."""
        if self.width(text, size) <= max_width:
            return [text]
        words = text.split()
        best = None
        for k in range(1, len(words)):
            a, b = " ".join(words[:k]), " ".join(words[k:])
            widest = max(self.width(a, size), self.width(b, size))
            if best is None or widest < best[0]:
                best = (widest, [a, b])
        if best is None or best[0] > max_width:
            return self.wrap(text, size, max_width)
        return best[1]

    def wrap(self, text, size, max_width):
        """Greedy word wrap; a single word wider than max_width stays whole."""
        lines = []
        for paragraph in text.split("\n"):
            line = ""
            for word in paragraph.split():
                candidate = word if not line else line + " " + word
                if line and self.width(candidate, size) > max_width:
                    lines.append(line)
                    line = word
                else:
                    line = candidate
            lines.append(line)
        return lines

"""A minimal PNG writer with no time chunks, so rebuilds are
byte-identical. Colour type 2 (RGB) or 6 (RGBA), 8 bits per channel: the
engine's codecs load grey PNGs as one channel, which materials do not expect.
"""

import struct
import zlib


def _chunk(kind, payload):
    body = kind + payload
    return struct.pack(">I", len(payload)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def encode(width, height, rows, channels=3):
    """rows: an iterable of `height` bytes-like rows, each width*channels long."""
    if channels not in (3, 4):
        raise ValueError("PNG writer supports 3 (RGB) or 4 (RGBA) channels, got %r" % channels)
    raw = bytearray()
    stride = width * channels
    count = 0
    for row in rows:
        if len(row) != stride:
            raise ValueError("PNG row %d has %d bytes, expected %d" % (count, len(row), stride))
        raw.append(0)
        raw += row
        count += 1
    if count != height:
        raise ValueError("PNG has %d rows, expected %d" % (count, height))
    colour_type = 2 if channels == 3 else 6
    header = struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + _chunk(b"IHDR", header)
            + _chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + _chunk(b"IEND", b""))


def write(path, width, height, rows, channels=3):
    data = encode(width, height, rows, channels)
    with open(path, "wb") as f:
        f.write(data)


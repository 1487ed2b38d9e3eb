"""The island's heightmap: a 16-bit PNG whose red channel is the height.

The heights come from tools/level/island.py, the same description the level
generator places the scenery with; it is run as a program of its own, which
writes the heights for this builder. The picture is RGB rather than grey so
that every generated picture loads with three channels, and 512 pixels a
side (a power of two, like every other texture we make); the terrain
stretches it over its 4 x 128 + 1 vertices, and since pixel i stands for
x = -W/2 + i * W / 511 every vertex lands exactly on its own world place.
"""

import json
import os
import struct
import subprocess
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ISLAND_PROGRAM = os.path.normpath(os.path.join(HERE, "..", "..", "..", "level", "island.py"))


def _chunk(kind, payload):
    body = kind + payload
    return struct.pack(">I", len(payload)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def encode_rgb16(side, values):
    """A side x side PNG, 16 bits per channel, every channel the value
    (0..65535). No time chunks: rebuilds are byte-identical."""
    if len(values) != side * side:
        raise ValueError("heightmap has %d values, expected %d" % (len(values), side * side))
    raw = bytearray()
    for row in range(side):
        raw.append(0)
        for v in values[row * side:(row + 1) * side]:
            if not 0 <= v <= 65535:
                raise ValueError("height value %r out of 16 bits" % v)
            raw += struct.pack(">HHH", v, v, v)
    header = struct.pack(">IIBBBBB", side, side, 16, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + _chunk(b"IHDR", header)
            + _chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + _chunk(b"IEND", b""))


def build(out_dir, work_dir):
    heights_file = os.path.join(work_dir, "island_heights.json")
    subprocess.run([sys.executable, ISLAND_PROGRAM, "--heights", heights_file], check=True)
    with open(heights_file) as f:
        island = json.load(f)
    side = island["side"]
    with open(os.path.join(out_dir, "island_height.png"), "wb") as f:
        f.write(encode_rgb16(side, island["values"]))
    return ["island_height.png: %d x %d, 16 bit, heights %.1f to %.1f (%.0f%% above the sea at %.0f)"
            % (side, side, island["low"], island["high"], island["land_percent"], island["sea_level"])]

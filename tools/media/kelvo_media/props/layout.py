"""Where each surface lies in the two shared prop atlases.

Every static prop is textured from "props_atlas.png" (opaque surfaces,
material "KELVO/Props") and "foliage_atlas.png" (cut-out leaves and grass,
material "KELVO/Foliage"), so the whole island draws from two textures and
its scenery shares one look. The painter (atlas.py) and the mesh builders
both read this table; changing it remakes every prop.

Rectangles are (u0, v0, u1, v1) in texture space, v growing downward.
"""

PROPS_TEXTURE = "props_atlas.png"
PROPS_SIZE = 512
PROPS_MATERIAL = "KELVO/Props"

FOLIAGE_TEXTURE = "foliage_atlas.png"
FOLIAGE_SIZE = 256
FOLIAGE_MATERIAL = "KELVO/Foliage"

PROPS = {
    # weathered boards running along u
    "planks": (0.0, 0.0, 0.25, 0.25),
    # tarred hull boards of the ships
    "planks_dark": (0.25, 0.0, 0.5, 0.25),
    "thatch": (0.5, 0.0, 0.75, 0.25),
    # rounded field stones in mortar (well, hut footing)
    "stone_wall": (0.75, 0.0, 1.0, 0.25),
    "rock": (0.0, 0.25, 0.25, 0.5),
    # rock whose upper half (small v) is grown over with moss
    "rock_moss": (0.25, 0.25, 0.5, 0.5),
    "cave_dark": (0.5, 0.25, 0.625, 0.375),
    "iron": (0.625, 0.25, 0.75, 0.375),
    "rope": (0.5, 0.375, 0.625, 0.5),
    "sand": (0.625, 0.375, 0.75, 0.5),
    "sail": (0.75, 0.25, 1.0, 0.5),
    # bark with streaks along v (up the trunk)
    "bark": (0.0, 0.5, 0.125, 0.75),
    # palm trunk: rings across v
    "palm_bark": (0.125, 0.5, 0.25, 0.75),
    "leaves": (0.25, 0.5, 0.5, 0.75),
    "pine": (0.5, 0.5, 0.625, 0.75),
    "bush": (0.625, 0.5, 0.75, 0.75),
    "hull_paint": (0.75, 0.5, 1.0, 0.625),
    "husk": (0.75, 0.625, 0.875, 0.75),
    "water_dark": (0.875, 0.625, 1.0, 0.75),
    # tree rings of sawn logs and barrel heads
    "end_grain": (0.0, 0.75, 0.125, 0.875),
    "door": (0.125, 0.75, 0.25, 1.0),
    "crate": (0.25, 0.75, 0.375, 0.875),
    # barrel staves along v with two dark hoops
    "barrel": (0.375, 0.75, 0.5, 1.0),
    "window": (0.0, 0.875, 0.125, 1.0),
    "logs": (0.25, 0.875, 0.375, 1.0),
    "ember": (0.5, 0.75, 0.625, 0.875),
    "brass": (0.5, 0.875, 0.625, 1.0),
    "cloth_red": (0.625, 0.75, 0.75, 1.0),
    "soot": (0.75, 0.75, 1.0, 1.0),
}

FOLIAGE = {
    # one palm frond: stem along u from the crown (u = 0) to the tip
    "frond": (0.0, 0.0, 1.0, 0.375),
    # grass blades rooted at the bottom edge (v = 1)
    "tuft": (0.0, 0.375, 0.5, 0.75),
    "fern": (0.5, 0.375, 1.0, 0.75),
    # a spray of broad leaves for the edges of tree crowns
    "leaf_card": (0.0, 0.75, 0.5, 1.0),
    "flowers": (0.5, 0.75, 1.0, 1.0),
}


class AtlasRegion:
    """Maps a surface's own (s, t) in 0..1 into the atlas, kept a little
    inside the rectangle so filtering and mipmaps stay in it. Has the same
    uv() as paint.Region, so meshkit's lofts accept it."""

    def __init__(self, rect, size, pad_px=1.5):
        self.rect = rect
        self.size = size
        self.pad = pad_px / float(size)

    def uv(self, s, t):
        u0, v0, u1, v1 = self.rect
        s = min(1.0, max(0.0, s))
        t = min(1.0, max(0.0, t))
        return (u0 + self.pad + (u1 - u0 - 2 * self.pad) * s,
                v0 + self.pad + (v1 - v0 - 2 * self.pad) * t)

    def pixel_rect(self):
        u0, v0, u1, v1 = self.rect
        n = self.size
        return int(round(u0 * n)), int(round(v0 * n)), int(round(u1 * n)), int(round(v1 * n))


def props(name):
    return AtlasRegion(PROPS[name], PROPS_SIZE)


def foliage(name):
    return AtlasRegion(FOLIAGE[name], FOLIAGE_SIZE)

"""The island of KELVO as data: its coast, mountains, the places where
people walk, the paths between them, and the height of the ground.

Two programs read this module: the media task that paints the heightmap
(tools/media/kelvo_media/terrain/) and the level generator that writes the
first world.qormscene (tools/level/make_level.py). Both take every height
from height_grid(), so the scenery stands exactly on the terrain the engine
builds from the heightmap.

Coordinates are world units, x to the east, z to the south (the heightmap's
top row is z = -WORLD_SIZE / 2), y up. The hero is 4 units tall.

Standard library only.
"""

import math
import random

# --- the terrain's frame (paginglandscape2.cfg must say the same) ----------

WORLD_SIZE = 1536.0
HEIGHTMAP_SIDE = 512          # pixels a side; stretched over the 513 vertices
MIN_HEIGHT = 0.0              # height of a black pixel
MAX_HEIGHT = 200.0            # height of a white pixel
SEA_LEVEL = 30.0              # the "FresnelPlane" water
SEABED = 8.0
PLATEAU = 38.0                # where people walk
SEED = 20261208

# --- fixed points the game's scripts use ------------------------------------

FIRST_TALK_HERO = (-289.995, 37.7396, -35.1636)
FIRST_TALK_CAMERA = (-281.389, 44.0376, -30.2306)
FINAL_TALK_HERO = (349.303, 37.7061, 203.717)
FINAL_TALK_OLDMAN = (350.803, 37.8363, 209.602)
FINAL_TALK_CAMERA = (360.178, 44.6534, 214.641)

# The first cut-scene's camera (position only), after its start pose.
CUTSCENE1 = [
    (-82.2338, 99.2625, -302.653), (81.2668, 52.5762, -505.015), (270.626, 51.4394, -548.605),
    (424.544, 54.7272, -551.054), (481.649, 42.9606, -482.462), (492.295, 41.6679, -431.587),
    (463.867, 57.3758, -352.644), (410.396, 67.2734, -329.342), (268.066, 54.5929, -302.415),
    (177.373, 51.3524, -262.275), (157.266, 47.4296, -230.458), (139.799, 45.7179, -213.518),
    (143.418, 45.7179, -163.523), (187.795, 45.7179, -162.662), (211.026, 45.7179, -186.781),
    (226.033, 42.3885, -253.829), (336.395, 45.0426, -340.673), (389.449, 50.5677, -330.633),
    (504.554, 47.5032, -436.118), (254.58, 54.1853, -511.3), (100.049, 55.0867, -484.803),
    (-34.004, 50.6631, -349.308),
]
# The outro's camera.
OUTRO = [
    (-403.918, 45.4738, 486.573), (-450.573, 44.3665, 502.998), (-504.994, 44.0873, 520.136),
    (-544.47, 49.1589, 505.163), (-574.101, 54.3333, 540.701), (-602.067, 60.5315, 562.215),
    (-592.342, 75.7872, 603.493),
]

# --- places -------------------------------------------------------------------

PLACES = {
    # the hero wakes on the sand of the west cove, the wreck beside him
    "start": (-482.0, -60.0),
    "wreck": (-459.0, -68.0),
    # the old man's clearing; he waits a few steps south of where the
    # first talk puts the hero, his hut behind him in the talk's shot
    "oldman": (-290.0, -30.0),
    "hut": (-318.0, -58.0),
    "campfire": (-296.0, -17.0),
    # the pass into the spiders' hollow and the queen's cave at its far end
    "spider_lock": (-112.0, -226.0),
    "spider_gate": (-85.0, -279.0),
    "queen": (494.0, -462.0),
    "queen_cave": (533.0, -478.0),
    # the well on the eastern meadow; the ravine behind it leads down into
    # the valley of the dead
    "well": (334.0, 197.0),
    "well_lock": (338.0, 250.0),
    "well_gate": (340.0, 272.0),
    # the ship's shore in the south-west
    "jetty_foot": (-436.0, 508.0),
    "ship": (-525.0, 536.0),
    "abspann": (-428.0, 504.0),
    # a pond in the forest
    "pond": (30.0, 10.0),
}

# --- the coast ----------------------------------------------------------------

# Clockwise from the north-west. The west cove (the hero's beach) lies
# between two headlands around z = -60; the ship's bay is in the south-west.
COAST = [
    (-470, -330), (-390, -470), (-240, -560), (-80, -640), (110, -675), (300, -680), (470, -660),
    (600, -570), (640, -430), (625, -280), (585, -150), (545, -20), (580, 120), (560, 260),
    (500, 390), (430, 500), (300, 580), (150, 615), (0, 625), (-150, 615), (-280, 595),
    (-360, 570), (-415, 545), (-445, 520), (-452, 492), (-478, 462), (-530, 430), (-570, 340),
    (-575, 200), (-560, 80), (-555, 28), (-515, 8), (-497, -20), (-494, -60), (-497, -100),
    (-515, -122), (-555, -142), (-548, -210), (-515, -275),
]

# Where the shore is a wide beach instead of a short slope: (x, z, radius).
BEACHES = [(-465.0, -58.0, 95.0), (-448.0, 505.0, 45.0)]

# --- mountains: (x0, z0, x1, z1, radius, height above the plateau) --------------

RIDGES = [
    # the rim round the spiders' hollow
    (-215, -235, -190, -470, 80, 85),
    (-190, -470, 40, -630, 85, 95),
    (40, -630, 300, -655, 80, 100),
    (300, -655, 540, -620, 75, 95),
    (585, -560, 600, -380, 70, 90),
    (600, -380, 560, -250, 70, 80),
    (530, -235, 330, -225, 70, 85),
    (330, -215, 250, -105, 65, 75),
    (250, -105, 90, -95, 65, 70),
    (90, -100, -30, -200, 65, 70),
    (-30, -200, -60, -215, 45, 60),
    # the north-west heights above the cove
    (-470, -300, -330, -330, 80, 70),
    (-330, -330, -240, -230, 60, 55),
    # the range between the north and the valley of the dead
    (-520, 250, -300, 265, 90, 95),
    (-300, 265, -60, 255, 95, 110),
    (-60, 255, 180, 260, 95, 105),
    (180, 260, 285, 255, 70, 85),
    # the eastern heights beside the ravine
    (425, 170, 470, 300, 70, 80),
    (470, 300, 420, 430, 75, 75),
    (520, 40, 440, 120, 60, 45),
    # the ravine's walls behind the well
    (392, 222, 405, 330, 45, 60),
    (292, 232, 282, 320, 40, 55),
    (311, 232, 314, 300, 18, 42),
    (366, 232, 371, 300, 18, 42),
    # the rocky headlands round the cove
    (-470, -132, -548, -150, 26, 22),
    (-470, 18, -552, 34, 26, 22),
    # the walls of the pass into the hollow
    (-150, -225, -128, -330, 50, 70),
    (-121, -238, -86, -330, 20, 62),
    # the narrows where the cave's lock stands
    (-140, -223, -115, -254, 14, 40),
    (-109, -198, -84, -229, 14, 40),
    (-73, -232, -40, -308, 20, 62),
    # the southern cliffs above the open sea
    (-300, 600, -60, 610, 70, 55),
    (-60, 610, 200, 595, 70, 60),
    (200, 595, 360, 540, 65, 55),
    # low hills in the forest and the meadow
    (-150, 120, -40, 160, 55, 18),
    (60, 150, 170, 170, 50, 16),
    (-420, 120, -300, 150, 70, 30),
]

# --- where people walk ----------------------------------------------------------

# Walkways: polylines of (x, z, ground height) carved into the terrain with
# a flat half-width and a fade. Paths are listed beach-outward: they are
# also what the island test walks.
PATHS = {
    "beach_to_hut": [(-474, -46, 31.5), (-450, -38, 34.6), (-420, -42, 36.9), (-395, -48, 37.8), (-350, -42, 37.9),
                     (-315, -38, 37.8), (-290, -33, 37.74)],
    "hut_to_cave": [(-290, -33, 37.74), (-255, -70, 38.2), (-215, -120, 38.6), (-170, -170, 38.8),
                    (-130, -205, 38.6), (-105, -235, 38.2), (-92, -262, 37.8), (-80, -290, 37.3),
                    (-62, -320, 36.4), (-38, -352, 35.7)],
    "hut_to_well": [(-290, -33, 37.74), (-240, 5, 38.2), (-170, 35, 38.8), (-90, 60, 39.0),
                    (-10, 75, 38.8), (80, 85, 38.5), (170, 110, 38.3), (250, 145, 38.0),
                    (300, 160, 37.85), (335, 175, 37.78), (349, 196, 37.75)],
    "well_to_ship": [(349, 196, 37.75), (345, 222, 37.6), (338, 250, 37.3), (345, 285, 36.7),
                     (325, 330, 36.0), (270, 370, 35.8), (200, 400, 35.8), (120, 420, 35.8),
                     (30, 440, 35.8), (-70, 455, 35.9), (-170, 465, 36.0), (-260, 475, 36.6),
                     (-340, 488, 37.0), (-400, 500, 36.6), (-424, 503, 36.0)],
}
PATH_HALF_WIDTH = {"beach_to_hut": 9.0, "hut_to_cave": 8.0, "hut_to_well": 9.0, "well_to_ship": 11.0}
# Where a path runs through a pass its fade is short, so the pass keeps its walls.
PATH_FADE = {"beach_to_hut": 26.0, "hut_to_cave": 12.0, "hut_to_well": 26.0, "well_to_ship": 14.0}

# Open ground: (x, z, radius, fade, height).
CLEARINGS = [
    (-295.0, -35.0, 30.0, 25.0, 37.8),     # the old man's clearing
    (-200.0, -40.0, 70.0, 40.0, 38.6),     # the forest floor
    (-40.0, -40.0, 80.0, 40.0, 39.0),
    (120.0, 20.0, 80.0, 40.0, 38.8),
    (260.0, 110.0, 70.0, 35.0, 38.3),
    (345.0, 198.0, 20.0, 16.0, 37.75),     # the well's meadow
    (150.0, 405.0, 60.0, 40.0, 35.8),      # the valley of the dead: bare earth
    (-120.0, 455.0, 50.0, 40.0, 36.0),
    (-400.0, 495.0, 30.0, 20.0, 36.8),     # the ship's shore
]

# The spiders' hollow: the first cut-scene flies through it, so its floor
# follows the camera's flight with room to every side. It lies a little
# lower than the meadows, below the grass's height band: a bare, sandy pit.
HOLLOW_FLOOR = 35.6
HOLLOW_RADIUS = 48.0
HOLLOW_FADE = 30.0
HOLLOW_EXTRA = [  # rooms of the hollow off the flight: (x, z, radius)
    (250.0, -420.0, 110.0), (400.0, -440.0, 90.0), (120.0, -420.0, 80.0), (500.0, -470.0, 40.0),
]
# The pass from the forest into the hollow (x, z) and its flat half-width.
HOLLOW_PASS = [(-97, -240), (-85, -280), (-62, -320), (-34, -349)]
HOLLOW_PASS_HALF_WIDTH = 9.0
HOLLOW_PASS_FADE = 14.0

# The pond: a dip below the sea's level, which the water plane fills.
POND_RADIUS = 16.0
POND_FADE = 14.0
POND_BOTTOM = 24.0

# Exact heights at the fixed points: (x, z, radius, fade, height).
FLATS = [
    (FIRST_TALK_HERO[0], FIRST_TALK_HERO[2], 7.0, 12.0, FIRST_TALK_HERO[1]),
    (PLACES["oldman"][0], PLACES["oldman"][1], 4.0, 8.0, 37.74),
    (349.6, 206.5, 6.5, 12.0, 37.77),
]


# --- geometry helpers -------------------------------------------------------------

def smoothstep(t):
    if t <= 0.0:
        return 0.0
    if t >= 1.0:
        return 1.0
    return t * t * (3.0 - 2.0 * t)


def segment_distance(px, pz, ax, az, bx, bz):
    """Distance from a point to a segment and where along it (0..1)."""
    dx = bx - ax
    dz = bz - az
    length2 = dx * dx + dz * dz
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - ax) * dx + (pz - az) * dz) / length2))
    qx = ax + dx * t - px
    qz = az + dz * t - pz
    return math.sqrt(qx * qx + qz * qz), t


def coast_distance(x, z):
    """Signed distance to the coast polygon: positive on land."""
    best = 1e9
    inside = False
    n = len(COAST)
    for i in range(n):
        ax, az = COAST[i]
        bx, bz = COAST[(i + 1) % n]
        d, _ = segment_distance(x, z, ax, az, bx, bz)
        best = min(best, d)
        if (az > z) != (bz > z):
            cross = ax + (z - az) * (bx - ax) / (bz - az)
            if x < cross:
                inside = not inside
    return best if inside else -best


def polyline_distance(x, z, points):
    """Distance to a polyline of (x, z, h) points and the height there."""
    best = 1e9
    height = points[0][2]
    for a, b in zip(points, points[1:]):
        d, t = segment_distance(x, z, a[0], a[1], b[0], b[1])
        if d < best:
            best = d
            height = a[2] + (b[2] - a[2]) * t
    return best, height


def world_x(column):
    return -WORLD_SIZE / 2 + column * WORLD_SIZE / (HEIGHTMAP_SIDE - 1)


def world_z(row):
    return -WORLD_SIZE / 2 + row * WORLD_SIZE / (HEIGHTMAP_SIDE - 1)


def _value_noise(side, cells, seed, octaves):
    """Smooth value noise on the heightmap's grid, 0..1, not tiled."""
    rng = random.Random(seed)
    total = [0.0] * (side * side)
    amp = 1.0
    norm = 0.0
    for _ in range(octaves):
        lattice = [[rng.random() for _ in range(cells + 2)] for _ in range(cells + 2)]
        scale = cells / float(side - 1)
        cols = []
        for c in range(side):
            f = c * scale
            i = int(f)
            t = f - i
            cols.append((i, smoothstep(t)))
        rows_across = [[row[i] + (row[i + 1] - row[i]) * w for i, w in cols] for row in lattice]
        for r in range(side):
            i, w = cols[r]
            top = rows_across[i]
            bottom = rows_across[i + 1]
            base = r * side
            for c in range(side):
                total[base + c] += (top[c] + (bottom[c] - top[c]) * w) * amp
        norm += amp
        amp *= 0.5
        cells *= 2
    return [v / norm for v in total]


def _box(side, x0, z0, x1, z1):
    """Pixel columns and rows that can lie within a world rectangle."""
    step = WORLD_SIZE / (side - 1)
    c0 = max(0, int((x0 + WORLD_SIZE / 2) / step))
    c1 = min(side - 1, int((x1 + WORLD_SIZE / 2) / step) + 1)
    r0 = max(0, int((z0 + WORLD_SIZE / 2) / step))
    r1 = min(side - 1, int((z1 + WORLD_SIZE / 2) / step) + 1)
    return range(c0, c1 + 1), range(r0, r1 + 1)


def _carve(h, side, weight_and_height, bounds):
    """Blends the ground toward a target inside a zone. weight_and_height(x,
    z) answers (weight 0..1, target height)."""
    cols, rows = _box(side, *bounds)
    for r in rows:
        z = world_z(r)
        base = r * side
        for c in cols:
            w, target = weight_and_height(world_x(c), z)
            if w > 0.0:
                i = base + c
                h[i] += (target - h[i]) * w


def height_grid(progress=None):
    """Heights of every heightmap pixel, row by row (z), west to east (x).
    Deterministic: the same module gives the same numbers."""
    side = HEIGHTMAP_SIDE
    say = progress or (lambda line: None)

    # coast distance on a coarse grid, then bilinear (it is smooth)
    coarse = 129
    cstep = (side - 1) / float(coarse - 1)
    cgrid = []
    for cr in range(coarse):
        z = world_z(cr * cstep)
        cgrid.append([coast_distance(world_x(cc * cstep), z) for cc in range(coarse)])
    say("coast distances on a %d x %d grid" % (coarse, coarse))

    rolling = _value_noise(side, 6, SEED, 4)
    rough = _value_noise(side, 24, SEED + 1, 3)
    crags = _value_noise(side, 12, SEED + 2, 3)
    say("noise fields")

    h = [0.0] * (side * side)
    land = [0.0] * (side * side)
    for r in range(side):
        z = world_z(r)
        fr = r / cstep
        r0 = min(int(fr), coarse - 2)
        tr = fr - r0
        top = cgrid[r0]
        bottom = cgrid[r0 + 1]
        for c in range(side):
            x = world_x(c)
            fc = c / cstep
            c0 = min(int(fc), coarse - 2)
            tc = fc - c0
            d = ((top[c0] * (1 - tc) + top[c0 + 1] * tc) * (1 - tr)
                 + (bottom[c0] * (1 - tc) + bottom[c0 + 1] * tc) * tr)
            beach = 0.0
            for bx, bz, br in BEACHES:
                dd = math.sqrt((x - bx) ** 2 + (z - bz) ** 2)
                beach = max(beach, 1.0 - smoothstep((dd - br * 0.6) / (br * 0.4)))
            i = r * side + c
            if d >= 0:
                width = 24.0 + 56.0 * beach
                ground = SEA_LEVEL + (PLATEAU - SEA_LEVEL) * smoothstep(d / width)
                lf = smoothstep((d - 10.0) / 50.0) * (1.0 - beach)
                ground += (rolling[i] - 0.5) * 7.0 * lf + (rough[i] - 0.5) * 1.2 * lf
            else:
                reach = 70.0 + 80.0 * beach
                ground = SEA_LEVEL - (SEA_LEVEL - SEABED) * smoothstep(-d / reach)
            h[i] = ground
            land[i] = d
    say("coast and plateau")

    # mountains: the highest ridge wins, so crossings do not pile up
    bump = [0.0] * (side * side)
    for x0, z0, x1, z1, radius, height in RIDGES:
        cols, rows = _box(side, min(x0, x1) - radius, min(z0, z1) - radius,
                          max(x0, x1) + radius, max(z0, z1) + radius)
        for r in rows:
            z = world_z(r)
            for c in cols:
                x = world_x(c)
                d, _ = segment_distance(x, z, x0, z0, x1, z1)
                if d >= radius:
                    continue
                i = r * side + c
                # a crest rather than a loaf: sharper near the top, its
                # height wandering along the ridge, crags on its flanks
                shape = (0.5 + 0.5 * math.cos(math.pi * d / radius)) ** 1.4
                value = (height * shape * (0.55 + 0.9 * rolling[i]) + (crags[i] - 0.5) * 0.6 * height * shape
                         + (rough[i] - 0.5) * 10.0 * shape)
                coast = smoothstep((land[i] + 15.0) / 45.0)
                bump[i] = max(bump[i], value * coast)
    for i in range(side * side):
        h[i] += bump[i]
    say("%d ridges" % len(RIDGES))

    # the spiders' hollow under the cut-scene's flight
    flight = [(p[0], p[2], HOLLOW_FLOOR) for p in CUTSCENE1]

    def hollow(x, z):
        d, _ = polyline_distance(x, z, flight)
        d = d - HOLLOW_RADIUS
        for hx, hz, hr in HOLLOW_EXTRA:
            d = min(d, math.sqrt((x - hx) ** 2 + (z - hz) ** 2) - hr)
        dp, _ = polyline_distance(x, z, [(p[0], p[1], 0) for p in HOLLOW_PASS])
        w = 1.0 - smoothstep(d / HOLLOW_FADE)
        return max(w, 1.0 - smoothstep((dp - HOLLOW_PASS_HALF_WIDTH) / HOLLOW_PASS_FADE)), HOLLOW_FLOOR

    _carve(h, side, hollow, (-200, -620, 600, -100))
    say("the spiders' hollow")

    # walkways and open ground
    for x, z, radius, fade, level in CLEARINGS:
        _carve(h, side, lambda px, pz, x=x, z=z, radius=radius, fade=fade, level=level:
               (1.0 - smoothstep((math.sqrt((px - x) ** 2 + (pz - z) ** 2) - radius) / fade), level),
               (x - radius - fade, z - radius - fade, x + radius + fade, z + radius + fade))
    for name, points in PATHS.items():
        half = PATH_HALF_WIDTH[name]
        fade = PATH_FADE[name]

        def walkway(px, pz, points=points, half=half, fade=fade):
            d, level = polyline_distance(px, pz, points)
            return 1.0 - smoothstep((d - half) / fade), level

        xs = [p[0] for p in points]
        zs = [p[1] for p in points]
        reach = half + fade
        _carve(h, side, walkway, (min(xs) - reach, min(zs) - reach, max(xs) + reach, max(zs) + reach))
    say("%d clearings and %d paths" % (len(CLEARINGS), len(PATHS)))

    px, pz = PLACES["pond"]
    _carve(h, side, lambda x, z: (1.0 - smoothstep((math.sqrt((x - px) ** 2 + (z - pz) ** 2) - POND_RADIUS)
                                                   / POND_FADE), POND_BOTTOM),
           (px - 40, pz - 40, px + 40, pz + 40))

    for x, z, radius, fade, level in FLATS:
        _carve(h, side, lambda px, pz, x=x, z=z, radius=radius, fade=fade, level=level:
               (1.0 - smoothstep((math.sqrt((px - x) ** 2 + (pz - z) ** 2) - radius) / fade), level),
               (x - radius - fade, z - radius - fade, x + radius + fade, z + radius + fade))
    say("the pond and the fixed points")

    span = MAX_HEIGHT - MIN_HEIGHT
    return [min(MAX_HEIGHT, max(MIN_HEIGHT, v)) for v in h] if span > 0 else h


def quantise(grid):
    """The 16-bit values the heightmap stores."""
    span = MAX_HEIGHT - MIN_HEIGHT
    return [int(round((v - MIN_HEIGHT) / span * 65535.0)) for v in grid]


def stored_heights(grid):
    """Heights as the engine reads them back from the 16-bit heightmap."""
    span = MAX_HEIGHT - MIN_HEIGHT
    return [MIN_HEIGHT + q * span / 65535.0 for q in quantise(grid)]


class Ground:
    """Bilinear heights between the pixels, the way the terrain's vertices
    and triangles lie (close enough for placing scenery)."""

    def __init__(self, grid):
        self.grid = grid
        self.side = HEIGHTMAP_SIDE
        self.step = WORLD_SIZE / (HEIGHTMAP_SIDE - 1)

    def height(self, x, z):
        fc = (x + WORLD_SIZE / 2) / self.step
        fr = (z + WORLD_SIZE / 2) / self.step
        c0 = max(0, min(self.side - 2, int(math.floor(fc))))
        r0 = max(0, min(self.side - 2, int(math.floor(fr))))
        tc = max(0.0, min(1.0, fc - c0))
        tr = max(0.0, min(1.0, fr - r0))
        g = self.grid
        s = self.side
        a = g[r0 * s + c0]
        b = g[r0 * s + c0 + 1]
        c = g[(r0 + 1) * s + c0]
        d = g[(r0 + 1) * s + c0 + 1]
        return (a * (1 - tc) + b * tc) * (1 - tr) + (c * (1 - tc) + d * tc) * tr

    def slope(self, x, z, reach=3.0):
        """Steepest rise over the reach, in degrees."""
        h = self.height(x, z)
        rise = max(abs(self.height(x + reach, z) - h), abs(self.height(x, z + reach) - h),
                   abs(self.height(x - reach, z) - h), abs(self.height(x, z - reach) - h))
        return math.degrees(math.atan2(rise, reach))


def write_heights(path):
    """Writes the heightmap's 16-bit values and a few figures about them as
    JSON, for the media tools, which make the heightmap picture from them."""
    import json
    grid = height_grid()
    figures = {
        "side": HEIGHTMAP_SIDE,
        "values": quantise(grid),
        "low": min(grid),
        "high": max(grid),
        "land_percent": sum(1 for v in grid if v > SEA_LEVEL) * 100.0 / len(grid),
        "sea_level": SEA_LEVEL,
    }
    with open(path, "w") as f:
        json.dump(figures, f)


if __name__ == "__main__":
    import sys
    if len(sys.argv) != 3 or sys.argv[1] != "--heights":
        sys.exit("usage: island.py --heights FILE")
    write_heights(sys.argv[2])

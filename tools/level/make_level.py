#!/usr/bin/python3
"""Writes the first media/xmlScenes/world.qormscene from the island's
description (island.py): the hero, the old man, the enemies and birds, the
story's triggers, the scenery scattered by rules, lights, sounds and
particle systems.

Once written, the scene file is the level's source: the level editor loads,
changes and saves it. So this program never replaces an existing file
unless told to with --force, and says what it would do instead.

    tools/level/make_level.py             write the scene if there is none
    tools/level/make_level.py --force     replace it
    tools/level/make_level.py --out FILE  write somewhere else
    tools/level/make_level.py --dry-run   only report what it would place

Standard library only; deterministic (seeded).
"""

import argparse
import math
import os
import random
import struct
import sys

import island
import mesh_bounds

HERE = os.path.dirname(os.path.abspath(__file__))

ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
DEFAULT_OUT = os.path.join(ROOT, "media", "xmlScenes", "world.qormscene")

GENERATED = os.path.join(ROOT, "media", "generated")

# The scenery kept off the paths; each one's footprint comes from the bounds
# its generated mesh records (media/generated, made by tools/make_media.sh).
FOOTPRINT_MESHES = (
    "palm.mesh", "palm_tall.mesh", "tree_broadleaf.mesh", "tree_fir.mesh", "bush.mesh", "grass_tuft.mesh",
    "fern.mesh", "flowers.mesh", "rock_large.mesh", "rock_small.mesh", "rock_tall.mesh", "rock_pile.mesh",
    "cave_entrance.mesh", "hut.mesh", "well.mesh", "fence.mesh", "jetty.mesh", "barrel.mesh", "crate.mesh",
    "campfire.mesh", "ship.mesh", "shipwreck.mesh",
)


class MediaMissing(Exception):
    pass


def read_footprints(media_dir):
    """{mesh: (x0, x1, z0, z1)} at scale 1, from the generated meshes."""
    footprints = {}
    missing = []
    for mesh in FOOTPRINT_MESHES:
        path = os.path.join(media_dir, mesh)
        if not os.path.exists(path):
            missing.append(mesh)
            continue
        low, high = mesh_bounds.read_bounds(path)
        footprints[mesh] = (low[0], high[0], low[2], high[2])
    if missing:
        raise MediaMissing("%s does not hold %s; run tools/make_media.sh first"
                           % (media_dir, ", ".join(missing)))
    return footprints


SMALL = {"grass_tuft.mesh", "fern.mesh", "flowers.mesh", "bush.mesh"}
HERO_CLEARANCE = 3.5   # the hero's half width plus the collision probe's reach


def fmt(v):
    """The scene writer's number form: six significant digits of the value
    as the engine holds it (a float), so that an editor save writes the
    same text back."""
    text = "%.6g" % struct.unpack("f", struct.pack("f", v))[0]
    return "0" if text in ("-0", "0") else text


def yaw_quaternion(deg):
    a = math.radians(deg) / 2
    return (math.cos(a), 0.0, math.sin(a), 0.0)


def quat_mul(a, b):
    aw, ax, ay, az = a
    bw, bx, by, bz = b
    return (aw * bw - ax * bx - ay * by - az * bz, aw * bx + ax * bw + ay * bz - az * by,
            aw * by - ax * bz + ay * bw + az * bx, aw * bz + ax * by - ay * bx + az * bw)


def euler_zyx(q):
    """Degrees about X, Y, Z with R = Rz * Ry * Rx (the scene file's order)."""
    w, x, y, z = q
    r00 = 1 - 2 * (y * y + z * z)
    r10 = 2 * (x * y + w * z)
    r20 = 2 * (x * z - w * y)
    r21 = 2 * (y * z + w * x)
    r22 = 1 - 2 * (x * x + y * y)
    ry = math.asin(max(-1.0, min(1.0, -r20)))
    rx = math.atan2(r21, r22)
    rz = math.atan2(r10, r00)
    return math.degrees(rx), math.degrees(ry), math.degrees(rz)


def enemy_rotation(heading):
    """The enemies' models stand on +Z and face +Y; the game turns them
    upright with -90 degrees about X times 180 about Z after the heading.
    The file gets the same pose, so they stand right before they move."""
    a = math.radians(-90) / 2
    rx = (math.cos(a), math.sin(a), 0.0, 0.0)
    b = math.radians(180) / 2
    rz = (math.cos(b), 0.0, 0.0, math.sin(b))
    return euler_zyx(quat_mul(quat_mul(yaw_quaternion(heading), rx), rz))


def heading_towards(frm, to):
    """Yaw (degrees) that turns +Z toward the point."""
    return math.degrees(math.atan2(to[0] - frm[0], to[1] - frm[1]))


class Thing:
    def __init__(self, kind, name, **fields):
        self.kind = kind
        self.name = name
        self.__dict__.update(fields)


class Level:
    def __init__(self, ground, footprints):
        self.ground = ground
        # {mesh: (x0, x1, z0, z1)} at scale 1
        self.footprints_at_scale_one = footprints
        self.blocks = []          # (title, [things])
        self.names = set()
        self.rng = random.Random(island.SEED)
        self.footprints = []      # (x0, x1, z0, z1, name) of solid scenery
        self.skipped = {}

    def block(self, title):
        things = []
        self.blocks.append((title, things))
        return things

    def take(self, name):
        if name in self.names:
            raise ValueError("name %s is used twice" % name)
        self.names.add(name)

    # --- entities ---------------------------------------------------------------

    def entity(self, things, name, mesh, x, z, kind, y=None, yaw=0.0, scale=1.0, tilt=(0.0, 0.0),
               rotation=None, material="DefaultFromMesh", cast=True, receive=True, sink=0.0):
        self.take(name)
        if y is None:
            y = self.ground.height(x, z) - sink
        if rotation is None:
            rotation = (tilt[0], yaw, tilt[1])
        sc = scale if isinstance(scale, tuple) else (scale, scale, scale)
        things.append(Thing("entity", name, mesh=mesh, pos=(x, y, z), rotation=rotation, scale=sc,
                            material=material, type=kind, cast=cast, receive=receive))
        if mesh in self.footprints_at_scale_one:
            box = self.footprint(mesh, x, z, yaw, sc)
            if kind.startswith("Static") and not self.clear_of_paths(box, HERO_CLEARANCE + 1.0, corridor=False):
                print("level: warning: %s (%s) stands in the way of a path" % (name, mesh))
            self.footprints.append(box + (name,))

    def footprint(self, mesh, x, z, yaw, scale):
        x0, x1, z0, z1 = self.footprints_at_scale_one[mesh]
        a = math.radians(yaw)
        c, s = math.cos(a), math.sin(a)
        xs, zs = [], []
        for px in (x0 * scale[0], x1 * scale[0]):
            for pz in (z0 * scale[2], z1 * scale[2]):
                # rotation about Y: x' = x cos + z sin, z' = -x sin + z cos
                xs.append(x + px * c + pz * s)
                zs.append(z - px * s + pz * c)
        return (min(xs), max(xs), min(zs), max(zs))

    def clear_of_paths(self, box, margin, corridor=True):
        """True when the box keeps the margin from every path: from its edge
        (corridor) or from its middle line, where the hero walks."""
        x0, x1, z0, z1 = box
        for name, points in island.PATHS.items():
            reach = (island.PATH_HALF_WIDTH[name] if corridor else 0.0) + margin
            for a, b in zip(points, points[1:]):
                # distance from the segment to the box, sampled along the segment
                steps = max(1, int(math.hypot(b[0] - a[0], b[1] - a[1]) / 2.0))
                for k in range(steps + 1):
                    t = k / float(steps)
                    px = a[0] + (b[0] - a[0]) * t
                    pz = a[1] + (b[1] - a[1]) * t
                    dx = max(x0 - px, 0.0, px - x1)
                    dz = max(z0 - pz, 0.0, pz - z1)
                    if math.hypot(dx, dz) < reach:
                        return False
        return True

    def overlaps(self, box, gap):
        x0, x1, z0, z1 = box
        for f in self.footprints:
            if x0 - gap < f[1] and f[0] < x1 + gap and z0 - gap < f[3] and f[2] < z1 + gap:
                return True
        return False

    def scatter(self, things, prefix, meshes, count, area, kind, scale=(0.9, 1.3), heights=(35.5, 70.0),
                max_slope=25.0, gap=1.0, avoid=(), tries=40, cast=True, tilt=0.0, sink=0.0):
        """Places up to count meshes at random spots of the area (a function
        answering a random (x, z)), on ground of the given height band and
        slope, off the paths and not into each other."""
        placed = 0
        for n in range(count * tries):
            if placed == count:
                break
            x, z = area(self.rng)
            mesh = self.rng.choice(meshes)
            s = self.rng.uniform(*scale)
            yaw = self.rng.uniform(0, 360)
            h = self.ground.height(x, z)
            if not heights[0] <= h <= heights[1] or self.ground.slope(x, z) > max_slope:
                continue
            if any(math.hypot(x - ax, z - az) < ar for ax, az, ar in avoid):
                continue
            box = self.footprint(mesh, x, z, yaw, (s, s, s))
            if not self.clear_of_paths(box, HERO_CLEARANCE + 1.0):
                continue
            if self.overlaps(box, gap):
                continue
            t = (self.rng.uniform(-tilt, tilt), self.rng.uniform(-tilt, tilt)) if tilt else (0.0, 0.0)
            self.entity(things, "%s_%02d" % (prefix, placed + 1), mesh, x, z, kind, yaw=yaw, scale=s, tilt=t,
                        cast=cast, receive=not cast or mesh not in SMALL, sink=sink)
            placed += 1
        if placed < count:
            self.skipped[prefix] = count - placed
        return placed

    # --- other records --------------------------------------------------------

    def trigger(self, things, name, x, z, radius, attached="", y=None):
        self.take(name)
        if y is None:
            y = self.ground.height(x, z) + 1.0
        things.append(Thing("trigger", name, pos=(x, y, z), radius=radius, attached=attached))

    def light(self, things, name, kind, pos, diffuse, specular=(0, 0, 0), attenuation=(10000, 1, 0, 0),
              shadows=False):
        self.take(name)
        things.append(Thing("light", name, pos=pos, light_type=kind, diffuse=diffuse, specular=specular,
                            attenuation=attenuation, shadows=shadows))

    def sound(self, things, name, kind, file, pos=(0.0, 0.0, 0.0), volume=1.0, min_d=1.0, max_d=100.0,
              parent=""):
        self.take(name)
        things.append(Thing("sound", name, pos=pos, sound_type=kind, file=file, volume=volume, min_d=min_d,
                            max_d=max_d, parent=parent))

    def particle(self, things, name, template, pos, scale=(1.0, 1.0, 1.0)):
        self.take(name)
        things.append(Thing("particle", name, pos=pos, template=template, scale=scale))

    # --- writing ------------------------------------------------------------------

    def text(self, shadow):
        out = ["<kelvo_scene>", '\t<shadow type="%s" />' % shadow]
        order = {"entity": 0, "trigger": 1, "light": 2, "sound": 3, "particle": 4}
        for _, things in self.blocks:
            if not things:
                continue
            out.append("\t<entities>")
            for t in sorted(things, key=lambda t: (order[t.kind], t.name.encode())):
                out.extend(self.element(t))
            out.append("\t</entities>")
        out.append("</kelvo_scene>")
        return "\n".join(out) + "\n"

    @staticmethod
    def xyz(p):
        return 'x="%s" y="%s" z="%s"' % (fmt(p[0]), fmt(p[1]), fmt(p[2]))

    def element(self, t):
        if t.kind == "entity":
            return ['\t\t<entity name="%s" hidden="false" filename="%s" CastShadows="%s" ReceiveShadows="%s">'
                    % (t.name, t.mesh, "yes" if t.cast else "no", "yes" if t.receive else "no"),
                    "\t\t\t<position %s />" % self.xyz(t.pos),
                    '\t\t\t<rotation %s w="1" />' % self.xyz(t.rotation),
                    "\t\t\t<scale %s />" % self.xyz(t.scale),
                    '\t\t\t<material name="%s" />' % t.material,
                    '\t\t\t<type name="%s" />' % t.type,
                    "\t\t</entity>"]
        if t.kind == "trigger":
            return ['\t\t<trigger name="%s" radius="%s" parent="" attachedType="%s">' % (t.name, fmt(t.radius),
                                                                                       t.attached),
                    "\t\t\t<position %s />" % self.xyz(t.pos),
                    "\t\t</trigger>"]
        if t.kind == "light":
            d, s, a = t.diffuse, t.specular, t.attenuation
            return ['\t\t<light name="%s" type="%s" shadowcaster="%s" parent="" >'
                    % (t.name, t.light_type, "1" if t.shadows else "0"),
                    "\t\t\t<position %s />" % self.xyz(t.pos),
                    '\t\t\t<diffuse r="%s" b="%s" g="%s" />' % (fmt(d[0]), fmt(d[2]), fmt(d[1])),
                    '\t\t\t<specular r="%s" b="%s" g="%s" />' % (fmt(s[0]), fmt(s[2]), fmt(s[1])),
                    '\t\t\t<attenuation range="%s" constant="%s" linear="%s" quadtric="%s"/>'
                    % tuple(fmt(v) for v in a),
                    "\t\t</light>"]
        if t.kind == "sound":
            return ['\t\t<sound name="%s" type="%s" file="%s" volume="%s" maxDistance="%s" minDistance="%s" '
                    'parent="%s">' % (t.name, t.sound_type, t.file, fmt(t.volume), fmt(t.max_d), fmt(t.min_d),
                                      t.parent),
                    "\t\t\t<position %s />" % self.xyz(t.pos),
                    "\t\t</sound>"]
        return ['\t\t<particle name="%s" file="%s" parent="">' % (t.name, t.template),
                "\t\t\t<position %s />" % self.xyz(t.pos),
                "\t\t\t<scale %s />" % self.xyz(t.scale),
                "\t\t</particle>"]


# --- the level ---------------------------------------------------------------------

def circle_area(x, z, r):
    def pick(rng):
        a = rng.uniform(0, 2 * math.pi)
        d = r * math.sqrt(rng.random())
        return x + d * math.cos(a), z + d * math.sin(a)
    return pick


def rect_area(x0, z0, x1, z1):
    return lambda rng: (rng.uniform(x0, x1), rng.uniform(z0, z1))


def build(level):
    g = level.ground
    P = island.PLACES

    # The hero alone in his block: the game moves the block's node as his body.
    hero = level.block("hero")
    sx, sz = P["start"]
    level.entity(hero, "player", "hero.mesh", sx, sz, "Player", cast=True, receive=True)

    # The water: the game hides the block's node and builds the reflecting
    # water at this height, so it too stands alone.
    sea = level.block("sea")
    level.entity(sea, "sea", "water_plane.mesh", 0.0, 0.0, "FresnelPlane", y=island.SEA_LEVEL, scale=30.0,
                 cast=False, receive=False)

    # The old man, facing the spot where the first talk puts the hero.
    people = level.block("old man")
    ox, oz = P["oldman"]
    level.entity(people, "oldman", "oldman.mesh", ox, oz, "NPC", y=37.74, yaw=180.0)

    # Spiders in the hollow, facing the pass they expect the hero from.
    spiders = level.block("spiders")
    homes = [(120, -470), (200, -438), (282, -500), (300, -392), (362, -452), (410, -505), (420, -385),
             (250, -335)]
    for k, (x, z) in enumerate(homes, 1):
        name = "spider_%02d" % k
        yaw = heading_towards((x, z), (-34, -349)) + level.rng.uniform(-30, 30)
        level.entity(spiders, name, "spider.mesh", x, z, "Spider", rotation=enemy_rotation(yaw), scale=1.3)
        level.sound(spiders, name + "_cry", "3D_SOUND", "spider_cry.wav", volume=1.0, min_d=10, max_d=160,
                    parent=name)
    level.trigger(spiders, "spider_nest", 255.0, -420.0, 190.0, attached="Spider")

    queen = level.block("spider queen")
    qx, qz = P["queen"]
    level.entity(queen, "spider_queen_mesh", "spider_queen.mesh", qx, qz, "SpiderQueen",
                 rotation=enemy_rotation(heading_towards((qx, qz), (300, -420))), scale=1.4)
    level.sound(queen, "spider_queen_mesh_cry", "3D_SOUND", "spider_queen_cry.wav", volume=1.0, min_d=15,
                max_d=220, parent="spider_queen_mesh")
    level.trigger(queen, "spider_queen_lair", 492.0, -462.0, 45.0, attached="SpiderQueen")

    # The dead in the valley, facing the ravine they came out of.
    zombies = level.block("zombies")
    homes = [(300, 346), (246, 381), (182, 404), (112, 421), (42, 433), (-28, 446)]
    for k, (x, z) in enumerate(homes, 1):
        name = "zombie_%02d" % k
        yaw = heading_towards((x, z), (338, 262)) + level.rng.uniform(-25, 25)
        level.entity(zombies, name, "zombie.mesh", x, z, "Zombie", rotation=enemy_rotation(yaw), scale=1.1,
                     material="KELVO/ZombieSailor" if k % 2 == 0 else "DefaultFromMesh")
        level.sound(zombies, name + "_cry", "3D_SOUND", "zombie_cry.wav", volume=1.0, min_d=10, max_d=160,
                    parent=name)
    # entering the valley wakes the dead; leaving it fades their music
    level.trigger(zombies, "zombie_1", 140.0, 400.0, 190.0, attached="Zombie")

    # Birds circle 100 units round where they start: over the cove, the
    # forest, the meadow and the ship's bay, well above every hill.
    birds = level.block("birds")
    for k, (x, z) in enumerate([(-440, -40), (-110, 10), (200, 120), (-470, 515)], 1):
        top = max(g.height(x + 100 * math.cos(a / 8.0), z + 100 * math.sin(a / 8.0)) for a in range(51))
        top = max(top, g.height(x, z), island.SEA_LEVEL)
        level.entity(birds, "bird_%d" % k, "bird.mesh", x, z, "Bird", y=top + 30.0 + 6 * k,
                     yaw=level.rng.uniform(0, 360), scale=1.5, cast=False, receive=False)

    # The story's triggers.
    story = level.block("story")
    level.trigger(story, "oldman_trigger", ox, oz - 1.0, 7.0)
    lx, lz = P["spider_lock"]
    level.trigger(story, "spider_eingang_lock", lx, lz, 12.0)
    gx, gz = P["spider_gate"]
    level.trigger(story, "spider_eingang", gx, gz, 9.0)
    lx, lz = P["well_lock"]
    level.trigger(story, "brunnen_eingang_lock", lx, lz, 12.0)
    gx, gz = P["well_gate"]
    level.trigger(story, "brunnen_eingang", gx, gz, 8.0)
    # the cove's water line from headland to headland
    level.trigger(story, "meerzugang_1_1", -540.0, -88.0, 58.0, y=island.SEA_LEVEL)
    level.trigger(story, "meerzugang_1_2", -540.0, -30.0, 58.0, y=island.SEA_LEVEL)
    # the ship's shore from rock to rock: stepping onto it ends the game
    ax, az = P["abspann"]
    level.trigger(story, "abspann", ax, az, 16.0)

    # Voices and music: heard everywhere, played by the scripts.
    voices = level.block("voices")
    here = (ox, 40.0, oz)
    for k in range(17):
        level.sound(voices, "oldman%d" % k, "2D_SOUND", "oldman%d.wav" % k, here)
    for k in range(21):
        level.sound(voices, "player%d" % k, "2D_SOUND", "player%d.wav" % k, here)
    for k in range(1, 5):
        level.sound(voices, "StopSoundMeer%d" % k, "2D_SOUND", "StopSoundMeer%d.wav" % k, here)
        level.sound(voices, "StopSoundTal%d" % k, "2D_SOUND", "StopSoundTal%d.wav" % k, here)
    for k in (1, 2):
        level.sound(voices, "StopSoundNein%d" % k, "2D_SOUND", "StopSoundNein%d.wav" % k, here)
    for name in ("intro_sound", "heartbeat", "CutSceneSound1", "outro_sound"):
        level.sound(voices, name, "2D_SOUND", name + ".wav", here, volume=0.9)
    # The energy ball's sounds and effects: the projectiles copy them. The
    # effects' own copies stand still (speed factor 0) and emit nothing.
    level.sound(voices, "bullet1FlyS", "3D_SOUND_LOOPED", "bullet1FlyS.wav", here, volume=0.8, min_d=4,
                max_d=90)
    level.sound(voices, "bullet1HitS", "3D_SOUND", "bullet1HitS.wav", here, volume=1.0, min_d=10, max_d=220)
    under = (ox, 20.0, oz)
    for name, template in (("bullet1Fly", "Kelvo/Bullet1Fly"), ("bullet1Hit", "Kelvo/Bullet1Hit"),
                           ("bullet2Fly", "Kelvo/Bullet2Fly"), ("bullet2Hit", "Kelvo/Bullet2Hit")):
        level.particle(voices, name, template, under, (1.0, 1.0, 0.0))

    # --- places -------------------------------------------------------------------

    # The cove: the wreck on the sand, driftwood, palms, the sea.
    cove = level.block("cove")
    wx, wz = P["wreck"]
    level.entity(cove, "wreck", "shipwreck.mesh", wx, wz, "Static", yaw=-15.0, scale=1.35, tilt=(4.0, -7.0),
                 sink=0.8)
    level.entity(cove, "wreck_crate_1", "crate.mesh", wx + 14, wz + 2, "Static", yaw=20, tilt=(0, 12), sink=0.2)
    level.entity(cove, "wreck_barrel_1", "barrel.mesh", wx - 4, wz + 15, "Static", yaw=0, tilt=(85, 30),
                 sink=-0.5)
    level.entity(cove, "wreck_barrel_2", "barrel.mesh", -470.0, -30.0, "Static", yaw=0, tilt=(80, 110),
                 sink=-0.5)
    for k, (x, z) in enumerate([(-505, -128), (-512, -140), (-522, 16), (-508, 22), (-530, 30), (-495, -120)], 1):
        level.entity(cove, "cove_rock_%02d" % k, level.rng.choice(["rock_large.mesh", "rock_tall.mesh"]), x, z,
                     "Static", yaw=level.rng.uniform(0, 360), scale=level.rng.uniform(2.0, 3.2),
                     tilt=(level.rng.uniform(-8, 8), level.rng.uniform(-8, 8)), sink=0.5)
    level.scatter(cove, "cove_palm", ["palm.mesh", "palm_tall.mesh"], 16, rect_area(-450, -150, -385, 40),
                  "Static", scale=(1.0, 1.4), heights=(32.0, 45.0), avoid=[(wx, wz, 18), (sx, sz, 14)])
    level.scatter(cove, "cove_grass", ["grass_tuft.mesh", "bush.mesh"], 14, rect_area(-440, -140, -380, 30),
                  "StaticNonCollide", scale=(1.2, 1.8), heights=(35.0, 45.0), cast=False)
    level.sound(cove, "meer_bucht", "3D_SOUND_LOOPED", "meer.wav", (-492.0, 32.0, -58.0), volume=1.0,
                min_d=25, max_d=240)
    level.sound(cove, "vogel_strand", "3D_SOUND_LOOPED", "vogel.wav", (-420.0, 50.0, -20.0), volume=0.6,
                min_d=15, max_d=120)
    level.particle(cove, "wreck_smoke", "Kelvo/Smoke", (wx + 3, g.height(wx, wz) + 2.0, wz), (1.6, 1.6, 0.8))

    # The old man's clearing: hut, campfire, fences, his things.
    hut = level.block("hut")
    hx, hz = P["hut"]
    level.entity(hut, "hut", "hut.mesh", hx, hz, "Static", yaw=90.0, scale=1.3)
    cx, cz = P["campfire"]
    level.entity(hut, "campfire", "campfire.mesh", cx, cz, "Static", scale=1.4)
    for k, (x, z, yaw) in enumerate([(-330, -72, 0), (-325.7, -72, 0), (-334.3, -69, 90), (-334.3, -64.7, 90),
                                     (-334.3, -60.4, 90), (-321.4, -72, 0)], 1):
        level.entity(hut, "hut_fence_%d" % k, "fence.mesh", x, z, "Static", yaw=yaw)
    for k, (mesh, x, z) in enumerate([("barrel.mesh", -309, -66), ("barrel.mesh", -310.5, -68),
                                      ("crate.mesh", -326, -48), ("crate.mesh", -326, -46.5)], 1):
        level.entity(hut, "hut_%s_%d" % (mesh.split(".")[0], k), mesh, x, z, "Static", yaw=level.rng.uniform(0, 90))
    level.entity(hut, "hut_log_1", "rock_small.mesh", cx + 4, cz + 2, "Static", scale=1.2)
    level.entity(hut, "hut_log_2", "rock_small.mesh", cx - 4, cz + 3, "Static", scale=1.1)
    level.scatter(hut, "hut_tree", ["tree_broadleaf.mesh", "palm_tall.mesh"], 9, circle_area(-300, -40, 60),
                  "Static", scale=(1.0, 1.3), avoid=[(-296, -30, 26), (hx, hz, 14)])
    level.scatter(hut, "hut_plant", ["flowers.mesh", "fern.mesh", "bush.mesh", "grass_tuft.mesh"], 16,
                  circle_area(-300, -35, 40), "StaticNonCollide", scale=(1.2, 1.8), avoid=[(-292, -32, 9)],
                  cast=False)
    level.light(hut, "campfire_light", "Point_Light", (cx, g.height(cx, cz) + 2.0, cz), (1.0, 0.55, 0.2),
                attenuation=(45, 1, 0.04, 0.002))
    level.particle(hut, "campfire_fire", "Kelvo/Fire", (cx, g.height(cx, cz) + 0.3, cz), (0.9, 1.2, 1.0))
    level.particle(hut, "campfire_smoke", "Kelvo/Smoke", (cx, g.height(cx, cz) + 1.5, cz), (1.2, 1.2, 1.0))
    level.sound(hut, "vogel_huette", "3D_SOUND_LOOPED", "vogel.wav", (-300.0, 50.0, -70.0), volume=0.7,
                min_d=15, max_d=130)

    # The forest between the clearing, the pass and the meadow; the pond.
    forest = level.block("forest")
    px, pz = P["pond"]
    level.scatter(forest, "forest_tree", ["tree_broadleaf.mesh", "tree_broadleaf.mesh", "tree_fir.mesh"], 60,
                  rect_area(-260, -230, 200, 170), "Static", scale=(1.0, 1.5), heights=(36.0, 60.0),
                  avoid=[(px, pz, 34), (-295, -35, 40)], gap=2.0)
    level.scatter(forest, "forest_bush", ["bush.mesh", "fern.mesh", "grass_tuft.mesh", "flowers.mesh"], 40,
                  rect_area(-250, -220, 200, 160), "StaticNonCollide", scale=(1.2, 2.0), heights=(36.0, 55.0),
                  avoid=[(px, pz, 22)], cast=False)
    level.scatter(forest, "forest_rock", ["rock_large.mesh", "rock_pile.mesh", "rock_small.mesh"], 12,
                  rect_area(-250, -230, 200, 170), "Static", scale=(1.2, 2.2), heights=(36.0, 70.0),
                  max_slope=35, avoid=[(px, pz, 22)], tilt=8, sink=0.3)
    level.sound(forest, "vogel_wald", "3D_SOUND_LOOPED", "vogel.wav", (-90.0, 55.0, -60.0), volume=0.9,
                min_d=20, max_d=160)
    level.sound(forest, "teich_wald", "3D_SOUND_LOOPED", "teich.wav", (px, 32.0, pz), volume=0.8, min_d=6,
                max_d=70)
    level.particle(forest, "pond_fireflies", "Kelvo/Fireflies", (px, 33.0, pz), (0.25, 0.25, 1.0))
    # the gate of the pass: two tall rocks either side of the way
    for k, (x, z) in enumerate([(-113, -266), (-70, -257)], 1):
        level.entity(forest, "pass_rock_%d" % k, "rock_tall.mesh", x, z, "Static", yaw=level.rng.uniform(0, 360),
                     scale=2.2, sink=0.5)

    # The spiders' hollow: rocks, dead firs, the queen's cave.
    hollow = level.block("hollow")
    level.entity(hollow, "queen_cave", "cave_entrance.mesh", P["queen_cave"][0], P["queen_cave"][1], "Static",
                 yaw=-75.0, scale=1.6, sink=0.5)
    flight = [(p[0], p[2]) for p in island.CUTSCENE1]
    avoid_flight = [(x, z, 14) for x, z in flight]
    level.scatter(hollow, "hollow_rock", ["rock_large.mesh", "rock_tall.mesh", "rock_pile.mesh"], 26,
                  rect_area(-60, -600, 560, -150), "Static", scale=(1.5, 3.0), heights=(36.0, 48.0),
                  max_slope=40, avoid=avoid_flight + [(P["queen"][0], P["queen"][1], 16)], tilt=10, sink=0.6)
    level.scatter(hollow, "hollow_fir", ["tree_fir.mesh"], 10, rect_area(-60, -600, 560, -150), "Static",
                  scale=(0.9, 1.3), heights=(36.0, 42.0), avoid=avoid_flight, tilt=6)
    level.light(hollow, "queen_light", "Point_Light", (P["queen"][0] + 10, 46.0, P["queen"][1] - 6),
                (0.45, 0.8, 0.35), attenuation=(70, 1, 0.02, 0.0008))
    level.particle(hollow, "queen_cave_dust", "Kelvo/CaveDust", (P["queen_cave"][0] - 8, 40.0,
                                                                   P["queen_cave"][1] + 2))
    level.sound(hollow, "spi_sound_nest", "3D_SOUND_LOOPED", "spi_sound.wav", (250.0, 42.0, -420.0), volume=1.0,
                min_d=25, max_d=210)
    level.sound(hollow, "spi_sound_hoehle", "3D_SOUND_LOOPED", "spi_sound.wav", (515.0, 42.0, -472.0),
                volume=1.0, min_d=12, max_d=110)
    level.sound(hollow, "krah_klippen", "3D_SOUND_LOOPED", "krah.wav", (-250.0, 80.0, -330.0), volume=0.6,
                min_d=20, max_d=150)

    # The meadow with the well; the ravine behind it.
    meadow = level.block("well")
    wx, wz = P["well"]
    level.entity(meadow, "well", "well.mesh", wx, wz, "Static", yaw=30.0, scale=1.6)
    for k, (x, z, yaw) in enumerate([(325, 193, 90), (325, 197.3, 90), (325, 201.6, 90)], 1):
        level.entity(meadow, "well_fence_%d" % k, "fence.mesh", x, z, "Static", yaw=yaw)
    level.entity(meadow, "well_bucket", "barrel.mesh", wx - 4, wz + 4, "Static", scale=0.8)
    level.scatter(meadow, "meadow_tree", ["tree_broadleaf.mesh", "palm_tall.mesh"], 8,
                  circle_area(330, 170, 70), "Static", scale=(1.0, 1.3), avoid=[(349, 205, 28), (wx, wz, 12)])
    level.scatter(meadow, "meadow_plant", ["flowers.mesh", "grass_tuft.mesh", "bush.mesh"], 14,
                  circle_area(335, 190, 45), "StaticNonCollide", scale=(1.2, 1.8), avoid=[(349.5, 206, 9)],
                  cast=False)
    level.scatter(meadow, "ravine_rock", ["rock_large.mesh", "rock_tall.mesh"], 8,
                  rect_area(305, 230, 380, 330), "Static", scale=(1.5, 2.5), heights=(37.0, 70.0), max_slope=45,
                  tilt=8, sink=0.5)
    level.sound(meadow, "brunnen", "3D_SOUND_LOOPED", "brunnen.wav", (wx, g.height(wx, wz) + 1.0, wz),
                volume=0.9, min_d=4, max_d=45)
    level.sound(meadow, "vogel_wiese", "3D_SOUND_LOOPED", "vogel.wav", (280.0, 55.0, 130.0), volume=0.7,
                min_d=15, max_d=130)

    # The valley of the dead: dead firs, rocks, what the sea left of sailors.
    valley = level.block("valley")
    level.scatter(valley, "valley_fir", ["tree_fir.mesh"], 14, rect_area(-330, 330, 330, 530), "Static",
                  scale=(0.9, 1.4), heights=(36.0, 50.0), tilt=10)
    level.scatter(valley, "valley_rock", ["rock_large.mesh", "rock_pile.mesh", "rock_tall.mesh"], 14,
                  rect_area(-330, 330, 330, 530), "Static", scale=(1.4, 2.6), heights=(36.0, 60.0), max_slope=40,
                  tilt=10, sink=0.5)
    level.scatter(valley, "valley_wreckage", ["crate.mesh", "barrel.mesh", "fence.mesh"], 8,
                  rect_area(-200, 380, 320, 480), "Static", scale=(1.0, 1.2), heights=(36.0, 42.0), tilt=25)
    level.sound(valley, "krah_tal", "3D_SOUND_LOOPED", "krah.wav", (140.0, 60.0, 410.0), volume=0.9, min_d=20,
                max_d=190)

    # The ship's shore: the jetty, the ship, palms.
    shore = level.block("shore")
    for k in range(4):
        level.entity(shore, "jetty_%d" % (k + 1), "jetty.mesh", -436.0 - 20.25 * k, 508.0, "Static",
                     y=island.SEA_LEVEL + 1.0, yaw=-90.0, scale=1.25)
    shx, shz = P["ship"]
    level.entity(shore, "ship", "ship.mesh", shx - 5.0, shz + 4.0, "Static", y=island.SEA_LEVEL - 0.4, yaw=180.0,
                 scale=1.4, tilt=(0.0, 2.0))
    level.entity(shore, "shore_crate_1", "crate.mesh", -418.0, 518.0, "Static", yaw=15)
    level.entity(shore, "shore_crate_2", "crate.mesh", -416.5, 519.5, "Static", yaw=40, y=None)
    level.entity(shore, "shore_barrel_1", "barrel.mesh", -420.0, 522.0, "Static")
    # rocks close the shore on either side of the landing, so the way to the
    # water leads over the landing
    for k, (x, z) in enumerate([(-392, 556), (-408, 549), (-424, 541), (-440, 530), (-452, 478), (-463, 467),
                                (-476, 457)], 1):
        level.entity(shore, "shore_rock_%02d" % k, "rock_large.mesh", x, z, "Static",
                     yaw=level.rng.uniform(0, 360), scale=level.rng.uniform(2.8, 3.4),
                     tilt=(level.rng.uniform(-6, 6), level.rng.uniform(-6, 6)), sink=0.8)
    level.scatter(shore, "shore_palm", ["palm.mesh", "palm_tall.mesh"], 10, rect_area(-440, 440, -330, 560),
                  "Static", scale=(1.0, 1.4), heights=(32.0, 45.0))
    level.light(shore, "ship_lantern", "Point_Light", (-511.0, 37.0, 508.0), (1.0, 0.8, 0.45),
                attenuation=(35, 1, 0.05, 0.003))
    level.sound(shore, "meer_schiff", "3D_SOUND_LOOPED", "meer.wav", (-455.0, 32.0, 505.0), volume=1.0,
                min_d=25, max_d=240)
    level.sound(shore, "meer_klippen", "3D_SOUND_LOOPED", "meer.wav", (120.0, 32.0, 640.0), volume=0.8,
                min_d=30, max_d=260)

    # The sky's sun lights the island; a faint light from above fills the
    # shade under the cliffs.
    sky = level.block("light")
    level.light(sky, "fill_light", "Dirc_Light", (0.0, 300.0, 0.0), (0.28, 0.27, 0.25),
                attenuation=(10000, 1, 0, 0))


def check_media(level, media_dir):
    """Warns about meshes, sound files and particle templates the scene names
    that the media tools have not made (run tools/make_media.sh first)."""
    if not os.path.isdir(media_dir):
        print("level: %s does not exist; the scene's files are not checked (run tools/make_media.sh)" % media_dir)
        return 0
    templates = set()
    particles = os.path.join(media_dir, "particles.particle")
    if os.path.exists(particles):
        with open(particles) as f:
            templates = {line.split()[1] for line in f if line.startswith("particle_system ")}
    missing = 0
    for _, things in level.blocks:
        for t in things:
            wanted = getattr(t, "mesh", None) or getattr(t, "file", None)
            if wanted and not os.path.exists(os.path.join(media_dir, wanted)):
                print("level: warning: %s names %s, which %s does not hold" % (t.name, wanted, media_dir))
                missing += 1
            template = getattr(t, "template", None)
            if template and template not in templates:
                print("level: warning: %s uses the particle template %s, which no script defines"
                      % (t.name, template))
                missing += 1
    return missing


def main(argv):
    parser = argparse.ArgumentParser(description="Writes the island's first world.qormscene.")
    parser.add_argument("--out", default=DEFAULT_OUT, help="scene file (default: media/xmlScenes/world.qormscene)")
    parser.add_argument("--force", action="store_true", help="replace an existing scene file")
    parser.add_argument("--dry-run", action="store_true", help="report what would be placed, write nothing")
    parser.add_argument("--shadow", default="NONE",
                        choices=["NONE", "STENCIL_MODULATIVE", "STENCIL_ADDITIVE", "TEXTURE_MODULATIVE",
                                 "TEXTURE_ADDITIVE"])
    args = parser.parse_args(argv)

    exists = os.path.exists(args.out)
    refused = exists and not args.force and not args.dry_run
    if refused:
        print("level: %s exists and is the level's source now (the editor saves into it);" % args.out)
        print("level: it stays as it is. This is what --force would write over it:")

    try:
        footprints = read_footprints(GENERATED)
    except (MediaMissing, mesh_bounds.MeshFileError) as e:
        print("level: %s" % e)
        return 2

    print("level: computing the island's heights (%d x %d)" % (island.HEIGHTMAP_SIDE, island.HEIGHTMAP_SIDE))
    grid = island.stored_heights(island.height_grid(lambda line: print("level:   " + line, flush=True)))
    level = Level(island.Ground(grid), footprints)
    build(level)
    counts = {}
    for title, things in level.blocks:
        for t in things:
            counts[t.kind] = counts.get(t.kind, 0) + 1
        print("level: block %-13s %3d records" % (title, len(things)))
    print("level: %d entities, %d triggers, %d lights, %d sounds, %d particle systems"
          % (counts.get("entity", 0), counts.get("trigger", 0), counts.get("light", 0), counts.get("sound", 0),
             counts.get("particle", 0)))
    check_media(level, GENERATED)
    for prefix, missing in sorted(level.skipped.items()):
        print("level: %s: %d fewer than asked (no free ground left by the rules)" % (prefix, missing))
    text = level.text(args.shadow)
    if refused:
        print("level: not replaced %s; run with --force to replace it (%d bytes)" % (args.out, len(text)))
        return 1
    if args.dry_run:
        print("level: dry run, %s %s (%d bytes)" % ("would replace" if exists else "would write", args.out,
                                                   len(text)))
        return 0
    tmp = args.out + ".partial"
    with open(tmp, "w", newline="\n") as f:
        f.write(text)
    os.replace(tmp, args.out)
    print("level: %s %s" % ("replaced" if exists else "wrote", args.out))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

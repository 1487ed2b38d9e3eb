"""The zombies of the valley behind the well: hunched, grey-green, in a torn
shirt and ragged trousers, one leg dragging, with pale glowing eyes.
A second skin, "KELVO/ZombieSailor" (a drowned sailor in a striped shirt),
fits the same mesh: a level gives it to some zombies for variety.

Held like every enemy (+Z up, facing +Y): the enemy walker's model
correction stands them up facing their heading.
"""

import math

from .. import anim, materials, meshkit as mk, paint, rig
from .. import vecmath as vm
from ..anim import ch
from . import humanoid as hu
from . import moves

NAME = "zombie"
MATERIAL = "KELVO/Zombie"
TEXTURE = "zombie_atlas.png"
ATLAS = 512

SKIN = (0.55, 0.62, 0.47)

class Palette:
    def __init__(self, material, texture, shirt, trousers, hair, stripes=None, seed=3101):
        self.material = material
        self.texture = texture
        self.shirt = shirt
        self.trousers = trousers
        self.hair = hair
        self.stripes = stripes
        self.seed = seed


PEASANT = Palette(MATERIAL, TEXTURE, shirt=(0.62, 0.6, 0.52), trousers=(0.3, 0.27, 0.24), hair=(0.16, 0.14, 0.12))
SAILOR = Palette("KELVO/ZombieSailor", "zombie_sailor_atlas.png", shirt=(0.8, 0.78, 0.72),
                 trousers=(0.18, 0.2, 0.28), hair=(0.35, 0.28, 0.18), stripes=(0.16, 0.2, 0.38), seed=3201)
BLOOD = (0.35, 0.06, 0.05)
GLOW = (0.95, 0.92, 0.55)

TORN_LEG = "R"  # the right trouser leg is torn off below the knee


def figure():
    return hu.Figure(
        hips=(0.0, 1.96, -0.02),
        spine=(0.0, 2.32, 0.0),
        chest=(0.0, 2.72, 0.12),
        neck=(0.0, 3.12, 0.3),
        head=(0.0, 3.22, 0.36),
        shoulder=(0.44, 3.02, 0.14),
        elbow=(0.53, 2.42, 0.16),
        wrist=(0.56, 1.86, 0.22),
        head_radii=(0.2, 0.26, 0.23),
        head_offset=(0.0, 0.22, 0.04),
        arm_radius=(0.11, 0.085, 0.08, 0.06),
        thigh_radius=(0.17, 0.14, 0.11),
        calf_radius=(0.12, 0.085),
        torso=[(0.0, 0.1, 0.1, 0.0), (0.27, 0.29, 0.2, 0.0), (0.87, 0.33, 0.22, 0.0), (1.45, 0.29, 0.19, 0.01),
               (1.95, 0.28, 0.18, 0.015), (2.52, 0.32, 0.21, 0.02), (3.08, 0.36, 0.23, 0.02),
               (3.48, 0.37, 0.21, 0.0), (3.78, 0.29, 0.17, -0.01), (3.96, 0.13, 0.1, 0.0)],
    )


def regions(canvas):
    r = canvas.region
    return {
        "head": r(0.0, 0.0, 0.5, 0.25),
        "hair": r(0.5, 0.0, 0.75, 0.125),
        "skin": r(0.75, 0.0, 1.0, 0.125),
        "mouth": r(0.5, 0.125, 0.75, 0.25),
        "torso": r(0.0, 0.25, 0.5, 0.625),
        "leg": r(0.5, 0.25, 0.75, 0.875),
        "legtorn": r(0.75, 0.5, 1.0, 0.875),
        "arm": r(0.75, 0.125, 1.0, 0.5),
        "foot": r(0.5, 0.875, 0.75, 1.0),
        "rag": r(0.0, 0.625, 0.25, 0.8125),
    }


def build_mesh(fig, reg):
    mesh = mk.Mesh(MATERIAL)
    hu.torso(mesh, fig, reg["torso"])
    hu.neck(mesh, fig, reg["skin"])
    hu.head(mesh, fig, reg["head"], chin=0.8)
    hu.nose(mesh, fig, reg["skin"], size=0.8)
    hu.ears(mesh, fig, reg["skin"], size=0.9)
    # patchy hair: a cap pushed back, leaving a high brow
    hc = fig.head_centre()
    mk.ellipsoid(mesh, vm.add(hc, (0.02, 0.05, -0.07)), (0.212, 0.24, 0.22), [("Head", 1.0)], reg["hair"],
                 rings=6, segments=12)
    # the jaw hangs open: a dark mouth with teeth, moving with the jaw
    mouth = hu.head_point(fig, -0.45, 0.0, 0.93)
    mk.ellipsoid(mesh, mouth, (0.075, 0.045, 0.03), [("Jaw", 1.0)], reg["mouth"], rings=4, segments=8)
    for side, sx in hu.SIDES:
        hu.leg(mesh, fig, side, reg["legtorn"] if side == TORN_LEG else reg["leg"])
        hu.foot(mesh, fig, side, reg["foot"])
        hu.arm(mesh, fig, side, reg["arm"])
        hu.hand(mesh, fig, side, reg["skin"])
    # a rag of shirt hanging from the belt line at the back
    back = vm.add(hu.chain_point(fig, 1.3), (-0.1, 0.0, -0.2))
    mk.tube(mesh, [back, vm.add(back, (0.02, -0.35, -0.05)), vm.add(back, (0.0, -0.55, -0.06))],
            [0.12, 0.1, 0.0], vm.UNIT_X, [[("Hips", 1.0)], [("Hips", 1.0)], [("Hips", 1.0)]], reg["rag"],
            segments=6, front_radii=[0.03, 0.025, 0.0])
    return mesh


def paint_atlas(canvas, reg, fig, palette):
    noise = paint.ValueNoise(palette.seed)
    fine = paint.ValueNoise(palette.seed + 1)
    skin = hu.skin_shader(SKIN, noise, amount=0.15)

    def rotten(s, t, x, y):
        c = skin(s, t, x, y)
        v = noise.fbm(s * 18.0, t * 9.0, 3)
        if v > 0.62:
            c = paint.mix(c, (0.42, 0.3, 0.35), (v - 0.62) * 3.0)
        if fine.sample(s * 70.0, t * 35.0) > 0.86:
            c = paint.mul(c, 0.7)
        return c

    def hair_cover(s, t):
        front = math.cos(2.0 * math.pi * (s - 0.5))
        line = 0.22 + 0.3 * (0.5 - 0.5 * front)
        patchy = noise.fbm(s * 14.0, t * 10.0, 2) > 0.38
        return vm.smoothstep(line + 0.02, line - 0.02, t) * (1.0 if patchy else 0.25)

    hu.paint_head(reg["head"], fig, SKIN, noise, hair=(hair_cover, lambda s, t: paint.mul(palette.hair, 0.8 + 0.5 * fine.fbm(s * 50, t * 4, 2))),
                  eye_colour=GLOW, brow_colour=paint.mul(SKIN, 0.5), lip_colour=(0.3, 0.2, 0.22), age=0.8,
                  eye_phi=0.36, eye_size=0.8, mouth_lat=-0.45, glow=GLOW)
    region = reg["head"]
    for side in (1.0, -1.0):
        # sunken, dark sockets round the glowing eyes
        theta = math.acos(0.06)
        region.stamp(0.5 + side * 0.36 / (2 * math.pi), theta / math.pi, 0.05, 0.06, (0.12, 0.1, 0.1), 0.45, 0.9)
    # a scar across the cheek
    region.stroke([(0.42, 0.55), (0.47, 0.62), (0.5, 0.66)], 0.006, BLOOD, 0.8)

    reg["skin"].shade(rotten)
    reg["hair"].shade(lambda s, t, x, y: paint.mul(palette.hair, 0.7 + 0.6 * fine.fbm(s * 40, t * 4, 2)))

    def mouth_fn(s, t, x, y):
        c = (0.12, 0.03, 0.03)
        # two rows of crooked teeth
        if abs(t - 0.38) < 0.08 or abs(t - 0.68) < 0.07:
            tooth = (int(s * 14.0 + noise.sample(s * 5, t) * 0.6)) % 2
            if tooth == 0:
                c = (0.78, 0.74, 0.55)
        return c
    reg["mouth"].shade(mouth_fn)

    plain = hu.cloth(palette.shirt, noise, weave=0.06, folds=0.5)

    def shirt(s, t, x, y):
        c = plain(s, t, x, y)
        if palette.stripes is not None and math.sin(t * 2.0 * math.pi * 9.0) > 0.2:
            c = paint.mix(c, palette.stripes, 0.85)
        return c
    belt_t = 0.55

    def torso_fn(s, t, x, y):
        if t > belt_t:
            c = hu.cloth(palette.trousers, noise, weave=0.05)(s, t, x, y)
        else:
            c = shirt(s, t, x, y)
            # grime, heavier towards the hem, and mould-green stains
            c = paint.mul(c, 1.0 - 0.35 * noise.fbm(s * 6, t * 6, 2) * (0.5 + t))
            stain = noise.fbm(s * 5.0 + 20.0, t * 4.0, 2)
            if stain > 0.6:
                c = paint.mix(c, (0.32, 0.36, 0.22), (stain - 0.6) * 2.0)
        # rips showing the rotten skin, ribs on the chest
        rip = noise.fbm(s * 7.0 + 3.0, t * 5.0, 3)
        if rip > 0.64 and t < belt_t + 0.1:
            c = rotten(s, t, x, y)
            if math.sin(t * 90.0) > 0.6 and abs(s - 0.5) < 0.2:
                c = paint.mul(c, 0.65)
            if rip < 0.67:
                c = paint.mul(c, 0.45)
        # dried blood down the front
        if abs(s - 0.45) < 0.05 * (1.0 - t) and t < 0.5 and noise.sample(s * 20, t * 3) > 0.4:
            c = paint.mix(c, BLOOD, 0.8)
        return c
    reg["torso"].shade(torso_fn)

    leg_pts = hu.leg_path(fig, "L")
    knee_t = hu.path_fraction(leg_pts, fig.knee[1] - 0.1)
    trousers = hu.cloth(palette.trousers, noise, weave=0.05, folds=0.4)

    def leg_fn(torn):
        def fn(s, t, x, y):
            hem = knee_t + 0.06 * math.sin(s * 2 * math.pi * 5.0) + 0.04 * noise.sample(s * 30, 0.5)
            if torn and t > hem:
                return rotten(s, t, x, y)
            c = trousers(s, t, x, y)
            if torn and t > hem - 0.03:
                c = paint.mul(c, 0.55)
            if noise.fbm(s * 9 + 11, t * 9, 2) > 0.7:
                c = paint.mul(c, 0.6)
            return c
        return fn
    reg["leg"].shade(leg_fn(False))
    reg["legtorn"].shade(leg_fn(True))

    def arm_fn(s, t, x, y):
        sleeve = 0.42 + 0.05 * math.sin(s * 2 * math.pi * 4.0)
        if t < sleeve:
            c = shirt(s, t, x, y)
            if t > sleeve - 0.03:
                c = paint.mul(c, 0.6)
            return c
        return rotten(s, t, x, y)
    reg["arm"].shade(arm_fn)

    def foot_fn(s, t, x, y):
        c = rotten(s, t, x, y)
        # toes, and dirt on the soles
        if abs(s - 0.5) > 0.3:
            c = paint.mul(c, 0.55)
        if t > 0.8 and (int(s * 10) % 2 == 0):
            c = paint.mul(c, 0.8)
        return c
    reg["foot"].shade(foot_fn)
    reg["rag"].shade(lambda s, t, x, y: paint.mul(shirt(s, t, x, y), 0.7 - 0.3 * t))


# --- animations --------------------------------------------------------------

PAUSE_LENGTH = 3.0
WALK_LENGTH = 1.8
RUN_LENGTH = 0.9
STAB_LENGTH = 1.2
SLASH_LENGTH = 1.1


def pause(t):
    L = PAUSE_LENGTH
    q = 2.0 * math.pi * t / L
    arms = 6.0 * math.sin(q + 0.7)
    return anim.add(moves.breathe(t, L, breaths=2, depth=2.0, sway=0.05, look=6.0, arm_rest=14.0), {
        "Hips": ch(0.0, 0.0, 3.0 * math.sin(q)),
        "Spine": ch(6.0, 0.0, -2.0 * math.sin(q)),
        "Neck": ch(-4.0, 0.0, 0.0),
        "Head": ch(-12.0 + 4.0 * math.sin(2 * q), 0.0, 14.0 * math.sin(q + 0.4)),
        "UpperArmL": ch(-10.0 + arms, 0.0, 0.0),
        "UpperArmR": ch(-10.0 - arms, 0.0, 0.0),
        "Jaw": ch(8.0 + 6.0 * math.sin(q * 2.0), 0.0, 0.0),
        "ShinL": ch(6.0), "ShinR": ch(6.0), "ThighL": ch(-4.0), "ThighR": ch(-4.0),
    })


def walk(t):
    L = WALK_LENGTH
    q = 2.0 * math.pi * t / L
    g = moves.gait(t, L, stride=20.0, knee_lift=30.0, arm_swing=8.0, bob=0.06, lean=10.0, hip_sway=8.0,
                   elbow=20.0, elbow_swing=6.0, drag="R", arms_forward=35.0, arm_spread=8.0, crouch=6.0)
    return anim.add(g, {
        "Hips": ch(0.0, 0.0, 5.0 * math.sin(q)),
        "Chest": ch(4.0, 0.0, -4.0 * math.sin(q)),
        "Head": ch(-12.0, 0.0, 10.0 * math.sin(q + 0.5)),
        "Jaw": ch(10.0 + 5.0 * math.sin(2 * q), 0.0, 0.0),
    })


def run(t):
    L = RUN_LENGTH
    q = 2.0 * math.pi * t / L
    g = moves.gait(t, L, stride=34.0, knee_lift=60.0, arm_swing=14.0, bob=0.09, lean=20.0, hip_sway=10.0,
                   elbow=10.0, elbow_swing=5.0, arms_forward=80.0, arm_spread=6.0, crouch=10.0, toe_off=25.0)
    return anim.add(g, {
        "Hips": ch(0.0, 0.0, 4.0 * math.sin(q)),
        "Head": ch(-22.0, 0.0, 8.0 * math.sin(q)),
        "Jaw": ch(18.0 + 4.0 * math.sin(2 * q), 0.0, 0.0),
    })


def stab_keys():
    """Both hands drawn back, then a lunge that drives them forward: the
    strike passes its middle at half the length, when the game deals damage."""
    L = STAB_LENGTH
    ready = {"UpperArmL": ch(-25, 0, 6), "UpperArmR": ch(-25, 0, -6), "ForearmL": ch(-20), "ForearmR": ch(-20),
             "Spine": ch(6), "Jaw": ch(10)}
    drawn = {"UpperArmL": ch(25, 0, 20), "UpperArmR": ch(25, 0, -20), "ForearmL": ch(-100), "ForearmR": ch(-100),
             "Spine": ch(-8), "Chest": ch(-8), "Head": ch(-10), "Jaw": ch(22),
             "ThighL": ch(-10), "ShinL": ch(15), "ThighR": ch(10), "Hips": ch(0, 0, 0, 0, -0.06, -0.12)}
    thrust = {"UpperArmL": ch(-95, 0, -6), "UpperArmR": ch(-95, 0, 6), "ForearmL": ch(-4), "ForearmR": ch(-4),
              "HandL": ch(-20), "HandR": ch(-20),
              "Spine": ch(14), "Chest": ch(16), "Head": ch(-18), "Jaw": ch(26),
              "ThighL": ch(-34), "ShinL": ch(30), "FootL": ch(6), "ThighR": ch(22), "FootR": ch(20),
              "Hips": ch(6, 0, 0, 0, -0.14, 0.45)}
    return anim.Keyed(L, [(0.0, ready), (0.3 * L, drawn), (0.5 * L, thrust), (0.62 * L, thrust),
                          (0.9 * L, ready), (L, ready)], loop=False)


def slash_right_keys():
    """The right arm lifted high out to his right, then raked down across the
    front to his left, the body turning with it; it crosses the front at
    half the length."""
    L = SLASH_LENGTH
    ready = {"UpperArmL": ch(-25, 0, 6), "UpperArmR": ch(-25, 0, -6), "ForearmL": ch(-20), "ForearmR": ch(-20),
             "Spine": ch(6), "Jaw": ch(10)}
    raised = {"UpperArmR": ch(-120, 0, -55), "ForearmR": ch(-50), "HandR": ch(0, 0, -20),
              "UpperArmL": ch(-30, 0, 10), "ForearmL": ch(-40),
              "Chest": ch(-6, -28, 0), "Spine": ch(0, -12, 0), "Head": ch(0, 20, 0), "Jaw": ch(20),
              "ThighR": ch(10), "ThighL": ch(-10), "Hips": ch(0, -10, 0, 0, -0.04, 0)}
    across = {"UpperArmR": ch(-85, 0, 10), "ForearmR": ch(-15), "HandR": ch(0, 0, 20),
              "UpperArmL": ch(-10, 0, 14), "ForearmL": ch(-50),
              "Chest": ch(14, 22, 0), "Spine": ch(8, 10, 0), "Head": ch(-10, -10, 0), "Jaw": ch(24),
              "ThighR": ch(-20), "ShinR": ch(20), "ThighL": ch(14), "Hips": ch(4, 10, 0, 0, -0.1, 0.25)}
    through = {"UpperArmR": ch(-40, 0, 40), "ForearmR": ch(-40), "HandR": ch(0, 0, 30),
               "UpperArmL": ch(0, 0, 16), "ForearmL": ch(-40),
               "Chest": ch(18, 34, 0), "Spine": ch(10, 14, 0), "Head": ch(-8, -20, 0), "Jaw": ch(14),
               "ThighR": ch(-20), "ShinR": ch(24), "ThighL": ch(14), "Hips": ch(4, 14, 0, 0, -0.1, 0.25)}
    return [(0.0, ready), (0.32 * L, raised), (0.5 * L, across), (0.64 * L, through), (0.9 * L, ready), (L, ready)]


def animations():
    stab = stab_keys()
    right = slash_right_keys()
    slash_r = anim.Keyed(SLASH_LENGTH, right, loop=False)
    slash_l = anim.Keyed(SLASH_LENGTH, [(t, anim.mirror(p)) for t, p in right], loop=False)
    return [
        anim.animation("cpause1", PAUSE_LENGTH, pause),
        anim.animation("cwalk", WALK_LENGTH, walk),
        anim.animation("crun", RUN_LENGTH, run),
        anim.animation("ca1stab", STAB_LENGTH, stab, loop=False),
        anim.animation("ca1slashr", SLASH_LENGTH, slash_r, loop=False),
        anim.animation("ca1slashl", SLASH_LENGTH, slash_l, loop=False),
    ]


def skin(palette, out_dir, fig, reg, canvas):
    paint_atlas(canvas, reg, fig, palette)
    canvas.save(out_dir + "/" + palette.texture)
    return materials.textured(palette.material, palette.texture, specular=(0.12, 0.14, 0.1), shininess=20.0,
                              comment="A zombie skin: held like every enemy, +Z up and facing +Y.")


def build(out_dir, work_dir):
    fig = figure()
    canvas = paint.Canvas(ATLAS, ATLAS, (0.35, 0.36, 0.32))
    reg = regions(canvas)
    mesh = build_mesh(fig, reg)
    skeleton = hu.make_skeleton(fig, rig.ENEMY)
    summary = rig.export_character(work_dir, out_dir, NAME, [mesh], skeleton, animations())
    materials.write(out_dir + "/" + NAME + ".material", skin(PEASANT, out_dir, fig, reg, canvas))
    return [summary, "%s %dx%d, %s" % (TEXTURE, ATLAS, ATLAS, MATERIAL)]


def build_sailor(out_dir, work_dir):
    """Only the second skin: the mesh comes from the zombie task."""
    fig = figure()
    canvas = paint.Canvas(ATLAS, ATLAS, (0.35, 0.36, 0.32))
    reg = regions(canvas)
    materials.write(out_dir + "/zombie_sailor.material", skin(SAILOR, out_dir, fig, reg, canvas))
    return ["%s %dx%d, %s for zombie.mesh" % (SAILOR.texture, ATLAS, ATLAS, SAILOR.material)]

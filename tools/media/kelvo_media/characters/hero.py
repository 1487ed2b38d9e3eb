"""The hero (entity type "Player"): a young castaway in a linen shirt, an
open vest, rolled trousers and knee boots, with a satchel on the hip.

About four units tall (the player camera sits at head height 4.0), +Y up and
facing +Z: the player script's 180-degree turn of the entity node then makes
him face the direction he walks.
"""

import math

from .. import anim, materials, meshkit as mk, paint, rig
from .. import vecmath as vm
from ..anim import ch
from . import humanoid as hu
from . import moves

NAME = "hero"
MATERIAL = "KELVO/Hero"
TEXTURE = "hero_atlas.png"
ATLAS = 512
ANIMATIONS = ("all_idle", "all_walk", "all_run", "all_throw_ball", "all_talk")

SKIN = (0.86, 0.64, 0.5)
HAIR = (0.32, 0.2, 0.1)
SHIRT = (0.88, 0.85, 0.76)
VEST = (0.15, 0.34, 0.38)
TROUSERS = (0.47, 0.35, 0.23)
BOOTS = (0.3, 0.18, 0.1)
BELT = (0.2, 0.12, 0.06)
BRASS = (0.82, 0.66, 0.3)
SCARF = (0.72, 0.16, 0.12)
EYES = (0.28, 0.45, 0.62)

BOOT_TOP = 0.95


def figure():
    return hu.Figure()


def regions(canvas):
    r = canvas.region
    return {
        "head": r(0.0, 0.0, 0.5, 0.25),
        "hair": r(0.5, 0.0, 0.75, 0.25),
        "skin": r(0.75, 0.0, 0.875, 0.125),
        "belt": r(0.875, 0.0, 1.0, 0.0625),
        "scarf": r(0.875, 0.0625, 1.0, 0.125),
        "brass": r(0.75, 0.125, 0.875, 0.1875),
        "cuff": r(0.875, 0.125, 1.0, 0.25),
        "torso": r(0.0, 0.25, 0.5, 0.625),
        "leg": r(0.5, 0.25, 0.75, 0.875),
        "arm": r(0.75, 0.25, 1.0, 0.75),
        "hand": r(0.75, 0.75, 1.0, 0.875),
        "foot": r(0.5, 0.875, 0.75, 1.0),
        "bag": r(0.0, 0.625, 0.25, 0.8125),
        "bootcuff": r(0.75, 0.875, 1.0, 1.0),
    }


def build_mesh(fig, reg):
    mesh = mk.Mesh(MATERIAL)
    hu.torso(mesh, fig, reg["torso"])
    hu.neck(mesh, fig, reg["skin"])
    hu.head(mesh, fig, reg["head"])
    hu.nose(mesh, fig, reg["skin"], size=0.85)
    hu.ears(mesh, fig, reg["skin"])
    # hair: a cap that sinks into the head at the brow and the nape
    hc = fig.head_centre()
    mk.ellipsoid(mesh, vm.add(hc, (0.0, 0.07, -0.035)), (0.222, 0.245, 0.25), [("Head", 1.0)], reg["hair"],
                 rings=7, segments=14, squash=lambda lat: (1.0 + 0.06 * max(0.0, -lat), 1.0))
    for side, sx in hu.SIDES:
        hu.leg(mesh, fig, side, reg["leg"], trouser_flare=0.01)
        hu.boot_cuff(mesh, fig, side, reg["bootcuff"], BOOT_TOP, 0.15)
        hu.foot(mesh, fig, side, reg["foot"])
        hu.arm(mesh, fig, side, reg["arm"])
        hu.hand(mesh, fig, side, reg["hand"])
        # rolled sleeve just below the elbow
        shoulder, elbow, wrist = fig.arm(side)
        a = vm.lerp(elbow, wrist, 0.12)
        b = vm.lerp(elbow, wrist, 0.3)
        mk.tube(mesh, [a, b], [0.108, 0.1], vm.UNIT_Z, [("Forearm" + side, 1.0)], reg["cuff"], segments=8)
    # belt and buckle
    hu.band(mesh, fig, 1.55, 0.12, 0.335, 0.215, reg["belt"])
    belt_front = hu.chain_point(fig, 1.55)
    mk.box(mesh, vm.add(belt_front, (0.0, 0.0, 0.222)), (0.07, 0.055, 0.012), [("Hips", 1.0)], reg["brass"])
    # neckerchief round the collar and its knot
    neck_base = vm.add(fig.neck, (0.0, -0.02, 0.0))
    mk.tube(mesh, [vm.add(neck_base, (0.0, -0.06, 0.0)), vm.add(neck_base, (0.0, 0.07, 0.01))],
            [0.15, 0.125], vm.UNIT_X, [("Neck", 0.6), ("Chest", 0.4)], reg["scarf"], segments=10)
    mk.ellipsoid(mesh, vm.add(neck_base, (0.0, -0.06, 0.15)), (0.06, 0.05, 0.04), [("Chest", 1.0)],
                 reg["scarf"], rings=4, segments=6)
    # satchel on the left hip, its strap painted across the chest
    mk.box(mesh, (0.38, 1.72, -0.02), (0.07, 0.17, 0.2), [("Hips", 1.0)], reg["bag"])
    mk.box(mesh, (0.395, 1.84, -0.02), (0.072, 0.07, 0.205), [("Hips", 1.0)], reg["belt"])
    return mesh


def paint_atlas(canvas, reg, fig):
    noise = paint.ValueNoise(1101)
    fine = paint.ValueNoise(1102)

    hair = hu.hair_on_head(HAIR, fine, line_front=0.2, line_back=0.55, side_drop=0.35)
    hu.paint_head(reg["head"], fig, SKIN, noise, hair=hair, eye_colour=EYES, brow_colour=paint.mul(HAIR, 0.8),
                  lip_colour=(0.72, 0.42, 0.36), eye_phi=0.36, eye_size=0.85)
    reg["hair"].shade(lambda s, t, x, y: paint.mul(HAIR, 0.7 + 0.6 * fine.fbm(s * 40.0, t * 4.0, 2)
                                                   - 0.25 * vm.smoothstep(0.6, 1.0, t)))
    reg["skin"].shade(hu.skin_shader(SKIN, noise))
    reg["hand"].shade(hu.skin_shader(SKIN, noise))
    reg["belt"].shade(hu.leather(BELT, noise))
    reg["brass"].shade(lambda s, t, x, y: paint.mul(BRASS, 0.8 + 0.4 * (1.0 - abs(s - 0.4)) * (1.0 - abs(t - 0.4))))
    reg["scarf"].shade(hu.cloth(SCARF, fine, weave=0.06, folds=0.4))
    for k in range(6):
        reg["scarf"].stamp((k + 0.5) / 6.0, 0.5, 0.04, 0.18, (0.95, 0.85, 0.6), 0.8)
    reg["cuff"].shade(lambda s, t, x, y: paint.mul(SHIRT, 0.85 + 0.15 * math.sin(t * math.pi * 3.0)
                                                   + 0.1 * (noise.fbm(s * 10, t * 3, 2) - 0.5)))
    reg["bag"].shade(hu.leather((0.42, 0.27, 0.14), noise, wear=0.4))
    reg["bag"].stroke([(0.1, 0.15), (0.9, 0.15)], 0.03, (0.2, 0.12, 0.06), 0.8)
    reg["bootcuff"].shade(hu.leather(paint.mul(BOOTS, 1.15), noise, wear=0.3))

    # torso: shirt, the open vest, the satchel strap, and the trousers below the belt
    torso_rings = fig.torso
    belt_t = torso_t(torso_rings, 1.55)
    shirt = hu.cloth(SHIRT, fine, weave=0.04, folds=0.3)
    vest = hu.cloth(VEST, noise, weave=0.07, grain=1.5)
    trousers = hu.cloth(TROUSERS, noise, weave=0.06, folds=0.3)

    def torso_fn(s, t, x, y):
        if t > belt_t:
            c = trousers(s, t, x, y)
            if abs(s - 0.5) < 0.004 and t > belt_t + 0.05:
                c = paint.mul(c, 0.7)
            return c
        opening = 0.045 + 0.16 * max(0.0, 0.42 - t)
        front = abs(s - 0.5)
        if front < opening or t < 0.05:
            c = shirt(s, t, x, y)
            if front < opening and abs(front - opening) < 0.012:
                c = paint.mul(c, 0.8)
        else:
            c = vest(s, t, x, y)
            if abs(front - opening) < 0.01:
                c = paint.mul(c, 1.35)
        # the strap runs from the right shoulder to the left hip, front and back
        for a, b in (((0.36, 0.0), (0.74, belt_t)), ((0.14, 0.0), (-0.24, belt_t))):
            k = t / belt_t
            centre = a[0] + (b[0] - a[0]) * k
            if abs(s - centre) < 0.022 or abs(s - 1.0 - centre) < 0.022:
                c = paint.mul((0.4, 0.26, 0.13), 0.85 + 0.3 * noise.fbm(s * 30, t * 30, 2))
        return c
    reg["torso"].shade(torso_fn)
    for k in range(3):
        reg["torso"].stamp(0.5 + 0.055, 0.2 + k * 0.09, 0.008, 0.01, BRASS, 1.0)

    leg_pts = hu.leg_path(fig, "L")
    boot_t = hu.path_fraction(leg_pts, BOOT_TOP)
    boots = hu.leather(BOOTS, noise)

    def leg_fn(s, t, x, y):
        if t > boot_t:
            c = boots(s, t, x, y)
            if abs((s % 0.5) - 0.25) < 0.01:
                c = paint.mul(c, 0.75)
            return c
        c = trousers(s, t, x, y)
        if abs(s - 0.25) < 0.006 or abs(s - 0.75) < 0.006:
            c = paint.mul(c, 0.72)
        # a sewn patch on the knee
        if abs(s - 0.5) < 0.09 and abs(t - 0.43) < 0.05:
            c = paint.mul(paint.mix(c, (0.55, 0.48, 0.3), 0.6), 1.0)
            if abs(abs(s - 0.5) - 0.09) < 0.01 or abs(abs(t - 0.43) - 0.05) < 0.006:
                c = paint.mul(c, 0.7)
        return c
    reg["leg"].shade(leg_fn)

    sleeve_end = hu.arm_fraction(fig, "L", 1.15)
    skin = hu.skin_shader(SKIN, noise)

    def arm_fn(s, t, x, y):
        if t < sleeve_end:
            c = shirt(s, t, x, y)
            if abs(s - 0.0) < 0.02 or abs(s - 1.0) < 0.02:
                c = paint.mul(c, 0.8)
            return c
        return skin(s, t, x, y)
    reg["arm"].shade(arm_fn)

    def foot_fn(s, t, x, y):
        c = boots(s, t, x, y)
        if abs(s - 0.5) > 0.33:
            c = paint.mul((0.12, 0.08, 0.05), 1.0)
        return c
    reg["foot"].shade(foot_fn)
    # laces over the instep
    for k in range(4):
        tt = 0.15 + k * 0.08
        reg["foot"].stroke([(0.43, tt), (0.57, tt + 0.06)], 0.012, (0.65, 0.55, 0.4), 0.9)
        reg["foot"].stroke([(0.57, tt), (0.43, tt + 0.06)], 0.012, (0.65, 0.55, 0.4), 0.9)


def torso_t(rings, s):
    """The texture t of the torso at chain parameter s (rings map t by index)."""
    n = len(rings) - 1
    for k in range(n):
        a, b = rings[k][0], rings[k + 1][0]
        if a <= s <= b:
            return 1.0 - (k + (s - a) / (b - a)) / n
    return 0.0 if s > rings[-1][0] else 1.0


# --- animations --------------------------------------------------------------

IDLE_LENGTH = 4.0
WALK_LENGTH = 1.0
RUN_LENGTH = 0.64
THROW_LENGTH = 2.0
TALK_LENGTH = 10.0 / 3.0


def idle(t):
    return moves.breathe(t, IDLE_LENGTH, breaths=2, look=10.0)


def walk(t):
    return moves.gait(t, WALK_LENGTH, stride=27.0, knee_lift=38.0, arm_swing=24.0, bob=0.045,
                      lean=3.0, hip_sway=6.0)


def run(t):
    return moves.gait(t, RUN_LENGTH, stride=40.0, knee_lift=95.0, arm_swing=45.0, bob=0.1, lean=16.0,
                      hip_sway=8.0, elbow=80.0, elbow_swing=15.0, thigh_bias=14.0, crouch=8.0, toe_off=30.0)


def throw_keys():
    """An overhand throw with the right arm: the ball goes up over the head,
    is thrown forward at 0.22 of the length (when the game launches it) and
    the arm follows through; the rest of the time the hero recovers."""
    rest = {"ForearmL": ch(-10), "ForearmR": ch(-10), "UpperArmL": ch(0, 0, 4), "UpperArmR": ch(0, 0, -4)}
    lift = {
        "UpperArmR": ch(-95, 0, -25), "ForearmR": ch(-70), "HandR": ch(-20),
        "Chest": ch(-4, -18, 0), "Spine": ch(0, -8, 0), "Head": ch(0, 18, 0),
        "UpperArmL": ch(-30, 0, 12), "ForearmL": ch(-30),
        "Hips": ch(0, -6, 0, 0, -0.02, 0),
    }
    cocked = {
        "UpperArmR": ch(-165, 0, -18), "ForearmR": ch(-100), "HandR": ch(-35),
        "Chest": ch(-10, -30, 0), "Spine": ch(-4, -12, 0), "Neck": ch(0, 10, 0), "Head": ch(4, 24, 0),
        "UpperArmL": ch(-80, 0, 14), "ForearmL": ch(-20),
        "ThighL": ch(-26), "ShinL": ch(14), "FootL": ch(10),
        "ThighR": ch(14), "ShinR": ch(6), "FootR": ch(-8),
        "Hips": ch(0, -12, 0, 0, -0.05, -0.05),
    }
    release = {
        "UpperArmR": ch(-80, 0, -8), "ForearmR": ch(-12), "HandR": ch(25),
        "Chest": ch(16, 24, 0), "Spine": ch(8, 10, 0), "Neck": ch(-8, -10, 0), "Head": ch(-8, -18, 0),
        "UpperArmL": ch(15, 0, 18), "ForearmL": ch(-65),
        "ThighL": ch(-30), "ShinL": ch(30), "FootL": ch(2),
        "ThighR": ch(22), "ShinR": ch(10), "FootR": ch(22),
        "Hips": ch(4, 12, 0, 0, -0.11, 0.16),
    }
    follow = {
        "UpperArmR": ch(-25, 0, 25), "ForearmR": ch(-25), "HandR": ch(10),
        "Chest": ch(22, 32, 0), "Spine": ch(10, 12, 0), "Neck": ch(-10, -14, 0), "Head": ch(-8, -22, 0),
        "UpperArmL": ch(25, 0, 16), "ForearmL": ch(-50),
        "ThighL": ch(-30), "ShinL": ch(34), "FootL": ch(0),
        "ThighR": ch(24), "ShinR": ch(16), "FootR": ch(26),
        "Hips": ch(6, 14, 0, 0, -0.13, 0.2),
    }
    settle = anim.add(anim.scaled(follow, 0.25), anim.scaled(rest, 0.75))
    L = THROW_LENGTH
    return anim.Keyed(L, [(0.0, rest), (0.1 * L, lift), (0.15 * L, cocked), (0.22 * L, release),
                          (0.34 * L, follow), (0.6 * L, settle), (L, rest)], loop=False)


def talk_keys():
    L = TALK_LENGTH
    relaxed = {"ForearmL": ch(-12), "ForearmR": ch(-12)}
    right_up = {"UpperArmR": ch(-28, 0, -14), "ForearmR": ch(-85, -20, 0), "HandR": ch(-10, 0, 25),
                "Chest": ch(0, -6, 0), "Head": ch(-3, 6, 0)}
    right_beat = {"UpperArmR": ch(-34, 0, -18), "ForearmR": ch(-70, -30, 0), "HandR": ch(15, 0, 30),
                  "Chest": ch(3, -8, 0), "Head": ch(5, 4, 0)}
    left_up = {"UpperArmR": ch(-8, 0, -6), "ForearmR": ch(-35), "UpperArmL": ch(-26, 0, 16),
               "ForearmL": ch(-88, 20, 0), "HandL": ch(-10, 0, -25), "Chest": ch(0, 8, 0), "Head": ch(-2, -8, 0)}
    open_out = {"UpperArmL": ch(-22, 0, 28), "ForearmL": ch(-70, 25, 0), "HandL": ch(0, 0, -35),
                "UpperArmR": ch(-22, 0, -28), "ForearmR": ch(-70, -25, 0), "HandR": ch(0, 0, 35),
                "Chest": ch(-4, 0, 0), "Head": ch(-6, 0, 0), "Neck": ch(-2, 0, 0)}
    return anim.Keyed(L, [(0.0, relaxed), (0.2 * L, right_up), (0.32 * L, right_beat), (0.46 * L, right_up),
                          (0.6 * L, left_up), (0.78 * L, open_out), (0.9 * L, relaxed)], loop=True)


def animations():
    throw = throw_keys()
    gestures = talk_keys()

    def talk(t):
        nod = {"Head": ch(4.0 * math.sin(2.0 * math.pi * 4.0 * t / TALK_LENGTH), 0.0, 0.0)}
        return anim.add(moves.breathe(t, TALK_LENGTH, breaths=2, look=4.0, arm_rest=0.0), gestures(t),
                        moves.jaw_talk(t, TALK_LENGTH), nod)

    return [
        anim.animation("all_idle", IDLE_LENGTH, idle),
        anim.animation("all_walk", WALK_LENGTH, walk),
        anim.animation("all_run", RUN_LENGTH, run),
        anim.animation("all_throw_ball", THROW_LENGTH, throw, loop=False),
        anim.animation("all_talk", TALK_LENGTH, talk),
    ]


def build(out_dir, work_dir):
    fig = figure()
    canvas = paint.Canvas(ATLAS, ATLAS, (0.45, 0.4, 0.35))
    reg = regions(canvas)
    mesh = build_mesh(fig, reg)
    skeleton = hu.make_skeleton(fig, rig.HERO)
    summary = rig.export_character(work_dir, out_dir, NAME, [mesh], skeleton, animations())
    paint_atlas(canvas, reg, fig)
    canvas.save(out_dir + "/" + TEXTURE)
    materials.write(out_dir + "/" + NAME + ".material",
                    materials.textured(MATERIAL, TEXTURE, specular=(0.08, 0.08, 0.08), shininess=12.0,
                                       comment="The hero: one atlas for the whole figure."))
    return [summary, "%s %dx%d, %s" % (TEXTURE, ATLAS, ATLAS, MATERIAL)]

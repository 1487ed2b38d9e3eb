"""The old man of the island (entity type "NPC", entity "oldman"): stooped,
bald with a white fringe and a long beard, in a patched hooded robe with a
rope belt, leaning on a gnarled staff in his right hand.

+Y up, facing +Z, like the hero: his scripts never turn him, the level
places him. When he talks the beard moves with his jaw.
"""

import math

from .. import anim, materials, meshkit as mk, paint, rig
from .. import vecmath as vm
from ..anim import ch
from . import humanoid as hu
from . import moves

NAME = "oldman"
MATERIAL = "KELVO/OldMan"
TEXTURE = "oldman_atlas.png"
ATLAS = 512
ANIMATIONS = ("all_idle", "all_talk")

SKIN = (0.84, 0.67, 0.57)
BEARD = (0.9, 0.9, 0.87)
ROBE = (0.44, 0.38, 0.27)
PATCH = (0.36, 0.34, 0.24)
ROPE = (0.72, 0.62, 0.42)
WOOD = (0.45, 0.32, 0.18)
LEGGINGS = (0.5, 0.46, 0.4)
EYES = (0.36, 0.38, 0.32)

STAFF_X = -0.5
STAFF_Z = 0.62
STAFF_TOP = 4.0
HEM = 0.42


def figure():
    return hu.Figure(
        hips=(0.0, 1.86, -0.05),
        spine=(0.0, 2.22, -0.07),
        chest=(0.0, 2.6, 0.04),
        neck=(0.0, 2.95, 0.2),
        head=(0.0, 3.05, 0.3),
        hip=(0.19, 1.82, -0.05),
        knee=(0.2, 1.02, 0.02),
        ankle=(0.21, 0.2, 0.06),
        shoulder=(0.42, 2.8, 0.1),
        elbow=(0.56, 2.26, 0.16),
        wrist=(0.6, 1.76, 0.26),
        right_arm=((-0.42, 2.8, 0.1), (-0.56, 2.3, 0.26), (STAFF_X - 0.02, 2.12, STAFF_Z - 0.08)),
        head_radii=(0.2, 0.255, 0.23),
        head_offset=(0.0, 0.22, 0.06),
        thigh_radius=(0.16, 0.13, 0.1),
        calf_radius=(0.1, 0.075),
        arm_radius=(0.11, 0.1, 0.11, 0.125),
        foot=(0.1, 0.075, 0.44, 0.12),
    )


def regions(canvas):
    r = canvas.region
    return {
        "head": r(0.0, 0.0, 0.5, 0.25),
        "hair": r(0.5, 0.0, 0.75, 0.125),
        "brows": r(0.5, 0.125, 0.75, 0.25),
        "beard": r(0.75, 0.0, 1.0, 0.25),
        "robe": r(0.0, 0.25, 0.5, 0.75),
        "sleeve": r(0.5, 0.25, 0.75, 0.625),
        "hood": r(0.0, 0.75, 0.25, 0.9375),
        "skin": r(0.75, 0.25, 0.875, 0.375),
        "rope": r(0.75, 0.375, 0.875, 0.5),
        "knob": r(0.75, 0.5, 0.875, 0.625),
        "staff": r(0.875, 0.25, 1.0, 1.0),
        "feet": r(0.5, 0.625, 0.75, 0.75),
        "legs": r(0.5, 0.75, 0.75, 0.9375),
    }


def robe(mesh, fig, region):
    """One loft from the collar to the hem: the torso part follows the
    stooped spine, the skirt falls straight and widens to the ground."""
    rings = []
    upper = [(3.96, 0.17, 0.14), (3.75, 0.33, 0.21), (3.4, 0.43, 0.27), (3.0, 0.43, 0.29),
             (2.5, 0.38, 0.28), (2.0, 0.36, 0.27), (1.5, 0.38, 0.29), (1.0, 0.41, 0.31)]
    for s, rs, rf in upper:
        c = hu.chain_point(fig, s)
        d = vm.normalize(vm.sub(hu.chain_point(fig, s + 0.05), hu.chain_point(fig, s - 0.05)))
        front = vm.normalize(vm.cross(vm.UNIT_X, d))
        rings.append((c, front, rs, rf, hu.chain_weights(s)))
    hips = fig.hips
    for y, rs, rf in ((hips[1] - 0.35, 0.43, 0.34), (1.1, 0.46, 0.37), (0.7, 0.5, 0.41), (HEM, 0.53, 0.44)):
        rings.append(((0.0, y, hips[2] + 0.04), vm.UNIT_Z, rs, rf, [("Hips", 1.0)]))
    total = len(rings) - 1
    out = [mk.Ring(c, vm.UNIT_X, front, rs, rf, w, k / total, power=2.2)
           for k, (c, front, rs, rf, w) in enumerate(rings)]
    mk.loft(mesh, out, 14, region)
    # the hem turns inward so the inside of the skirt never shows
    hem = out[-1]
    inner = mk.Ring(vm.add(hem.centre, (0.0, 0.03, 0.0)), hem.side, hem.front, hem.r_side * 0.75,
                    hem.r_front * 0.75, hem.weights, 1.0, hem.power)
    mk.loft(mesh, [hem, inner], 14, region, cap_end=True, cap_uv=region.uv(0.5, 0.99))
    return out


def hood(mesh, fig, region):
    """The hood lies folded on his shoulders behind the neck."""
    base = hu.chain_point(fig, 3.8)
    back = vm.add(base, (0.0, 0.02, -0.2))
    mk.ellipsoid(mesh, back, (0.3, 0.16, 0.14), [("Chest", 0.7), ("Neck", 0.3)], region, rings=6, segments=12,
                 up=(0.0, 1.0, -0.5), squash=lambda lat: (1.0 - 0.3 * max(0.0, lat), 1.0))


def beard(mesh, fig, region):
    chin = hu.head_point(fig, -0.62, 0.0, 0.8)
    pts = [vm.add(chin, (0.0, 0.08, -0.05)), vm.add(chin, (0.0, -0.05, 0.04)), vm.add(chin, (0.0, -0.24, 0.07)),
           vm.add(chin, (0.0, -0.45, 0.06)), vm.add(chin, (0.0, -0.62, 0.02))]
    rs = [0.175, 0.175, 0.14, 0.08, 0.0]
    rf = [0.1, 0.1, 0.08, 0.05, 0.0]
    w = [[("Jaw", 0.6), ("Head", 0.4)], [("Jaw", 1.0)], [("Jaw", 1.0)], [("Jaw", 1.0)], [("Jaw", 1.0)]]
    mk.tube(mesh, pts, rs, vm.UNIT_X, w, region, segments=12, front_radii=rf)
    # moustache: two drooping strands from under the nose
    for _, sx in hu.SIDES:
        a = hu.head_point(fig, -0.3, sx * 0.08, 1.0)
        b = hu.head_point(fig, -0.45, sx * 0.35, 1.02)
        c = hu.head_point(fig, -0.62, sx * 0.4, 0.98)
        mk.tube(mesh, [a, b, c], [0.03, 0.028, 0.012], vm.UNIT_Y, [("Head", 1.0)], region, segments=6)
    # bushy brows
    for _, sx in hu.SIDES:
        a = hu.head_point(fig, 0.3, sx * 0.14, 1.0)
        b = hu.head_point(fig, 0.32, sx * 0.52, 1.02)
        mk.tube(mesh, [a, b], [0.028, 0.02], vm.UNIT_Y, [("Head", 1.0)], region, segments=6,
                front_radii=[0.018, 0.014])


def staff(mesh, region, knob_region):
    x, z = STAFF_X, STAFF_Z
    pts = [(x, 0.0, z), (x + 0.02, 0.8, z - 0.01), (x - 0.015, 1.7, z + 0.01), (x + 0.01, 2.6, z),
           (x - 0.01, 3.4, z + 0.015), (x, STAFF_TOP - 0.12, z)]
    radii = [0.045, 0.05, 0.048, 0.052, 0.05, 0.06]
    mk.tube(mesh, pts, radii, vm.UNIT_X, [("HandR", 1.0)], region, segments=7, cap_start=True)
    # a gnarled knob, and the stub of a cut branch
    mk.ellipsoid(mesh, (x, STAFF_TOP - 0.06, z), (0.1, 0.13, 0.09), [("HandR", 1.0)], knob_region,
                 rings=5, segments=8, up=(0.2, 1.0, 0.1))
    mk.tube(mesh, [(x, 3.1, z), (x + 0.14, 3.28, z + 0.03)], [0.035, 0.02], vm.UNIT_Z, [("HandR", 1.0)],
            region, segments=5, cap_end=True)


def build_mesh(fig, reg):
    mesh = mk.Mesh(MATERIAL)
    robe(mesh, fig, reg["robe"])
    hood(mesh, fig, reg["hood"])
    hu.neck(mesh, fig, reg["skin"])
    hu.head(mesh, fig, reg["head"], chin=0.8)
    hu.nose(mesh, fig, reg["skin"], size=1.15, lat=-0.14)
    hu.ears(mesh, fig, reg["skin"], size=1.15)
    # the white fringe round the back of the bald head
    hc = fig.head_centre()
    mk.ellipsoid(mesh, vm.add(hc, (0.0, -0.02, -0.05)), (0.215, 0.2, 0.22), [("Head", 1.0)], reg["hair"],
                 rings=6, segments=14, squash=lambda lat: (1.0, 1.0))
    beard(mesh, fig, reg["beard"])
    for side, sx in hu.SIDES:
        hu.leg(mesh, fig, side, reg["legs"])
        hu.foot(mesh, fig, side, reg["feet"])
        hu.arm(mesh, fig, side, reg["sleeve"], segments=9)
        hu.hand(mesh, fig, side, reg["skin"], fist=(side == "R"))
    hu.band(mesh, fig, 1.45, 0.06, 0.4, 0.3, reg["rope"])
    # the rope's knot and its hanging ends on his left
    knot = vm.add(hu.chain_point(fig, 1.45), (0.2, 0.0, 0.26))
    mk.ellipsoid(mesh, knot, (0.06, 0.05, 0.05), [("Hips", 1.0)], reg["rope"], rings=4, segments=6)
    for k, dx in enumerate((0.0, 0.05)):
        mk.tube(mesh, [knot, vm.add(knot, (dx, -0.35 - 0.1 * k, 0.04)), vm.add(knot, (dx + 0.02, -0.55 - 0.1 * k, 0.03))],
                [0.022, 0.02, 0.03], vm.UNIT_X, [("Hips", 1.0)], reg["rope"], segments=5, cap_end=True)
    staff(mesh, reg["staff"], reg["knob"])
    return mesh


def paint_atlas(canvas, reg, fig):
    noise = paint.ValueNoise(2101)
    fine = paint.ValueNoise(2102)
    def fringe(s, t):
        # bald on top: only a band round the back and the sides
        front = math.cos(2.0 * math.pi * (s - 0.5))
        band_top = 0.32 + 0.1 * front
        return vm.smoothstep(band_top - 0.03, band_top + 0.03, t) * vm.smoothstep(0.2, -0.3, front)

    def beard_on_face(s, t):
        # the lower face under the beard is white too, up to the cheekbones
        front = math.cos(2.0 * math.pi * (s - 0.5))
        return vm.smoothstep(0.66, 0.72, t) * vm.smoothstep(0.1, 0.45, front)

    def cover(s, t):
        return max(fringe(s, t), beard_on_face(s, t))

    hu.paint_head(reg["head"], fig, SKIN, noise, hair=(cover, lambda s, t: paint.mul(BEARD, 0.8 + 0.3 * fine.fbm(s * 60.0, t * 3.0, 2))),
                  eye_colour=EYES, brow_colour=BEARD, lip_colour=(0.66, 0.45, 0.42), age=1.0,
                  eye_phi=0.36, eye_size=0.75, mouth_lat=-0.42)
    # age spots on the scalp
    rng = paint.ValueNoise(2103)
    for k in range(9):
        s = 0.35 + 0.3 * rng.values[k]
        t = 0.08 + 0.15 * rng.values[k + 20]
        reg["head"].stamp(s, t, 0.012, 0.02, paint.mul(SKIN, 0.78), 0.6, 0.8)
    white_hair = lambda s, t, x, y: paint.mul(BEARD, 0.72 + 0.35 * fine.fbm(s * 50.0, t * 4.0, 2))
    reg["hair"].shade(white_hair)
    reg["brows"].shade(white_hair)
    reg["beard"].shade(lambda s, t, x, y: paint.mul(BEARD, 0.7 + 0.4 * fine.fbm(s * 45.0, t * 2.5, 2)
                                                    - 0.15 * vm.smoothstep(0.6, 1.0, t)))
    reg["skin"].shade(hu.skin_shader(SKIN, noise))
    reg["legs"].shade(hu.cloth(LEGGINGS, noise, weave=0.05))

    def feet_fn(s, t, x, y):
        c = hu.skin_shader(SKIN, noise)(s, t, x, y)
        # sandals: a sole and two straps
        if abs(s - 0.5) > 0.3 or abs(t - 0.3) < 0.05 or abs(t - 0.6) < 0.05:
            c = paint.mul((0.4, 0.27, 0.15), 0.8 + 0.3 * noise.fbm(s * 20, t * 20, 2))
        return c
    reg["feet"].shade(feet_fn)
    reg["rope"].shade(lambda s, t, x, y: paint.mul(ROPE, 0.75 + 0.3 * (0.5 + 0.5 * math.sin((s * 3.0 + t * 14.0) * 2.0 * math.pi))))
    reg["staff"].shade(hu.wood(WOOD, noise, rings=3.0))
    reg["knob"].shade(hu.wood(paint.mul(WOOD, 0.85), noise, rings=6.0))

    robe_cloth = hu.cloth(ROBE, noise, weave=0.06, folds=0.6, fold_scale=9.0)
    patch_cloth = hu.cloth(PATCH, fine, weave=0.08)

    def robe_fn(s, t, x, y):
        c = robe_cloth(s, t, x, y)
        # long vertical folds of the skirt
        if t > 0.55:
            c = paint.mul(c, 1.0 + 0.12 * math.sin(s * 2.0 * math.pi * 9.0 + noise.sample(s * 6, t * 2) * 2.0))
        # two patches, stitched
        for ps, pt, hw, hh in ((0.6, 0.8, 0.035, 0.04), (0.12, 0.42, 0.03, 0.035)):
            if abs(s - ps) < hw and abs(t - pt) < hh:
                c = patch_cloth(s, t, x, y)
                if abs(abs(s - ps) - hw) < 0.006 or abs(abs(t - pt) - hh) < 0.006:
                    c = paint.mul(c, 0.65)
        # frayed, darker hem and a worn collar
        c = paint.mul(c, 1.0 - 0.35 * vm.smoothstep(0.93, 1.0, t) - 0.2 * vm.smoothstep(0.04, 0.0, t))
        # the robe is open in a narrow V at the throat
        if t < 0.12 and abs(s - 0.5) < 0.06 * (1.0 - t / 0.12):
            c = paint.mul(SKIN, 0.85)
        return c
    reg["robe"].shade(robe_fn)
    sleeve_cloth = hu.cloth(ROBE, noise, weave=0.06, folds=0.5)
    reg["sleeve"].shade(lambda s, t, x, y: paint.mul(sleeve_cloth(s, t, x, y),
                                                     1.0 - 0.3 * vm.smoothstep(0.9, 1.0, t)))
    reg["hood"].shade(lambda s, t, x, y: paint.mul(robe_cloth(s, t, x, y), 0.85 + 0.15 * math.sin(t * 12.0)))


# --- animations --------------------------------------------------------------

IDLE_LENGTH = 5.0
TALK_LENGTH = 4.0


def leaning(t, length, breaths=2, look=10.0):
    """Leaning on the staff: the right hand stays where the staff stands."""
    b = moves.breathe(t, length, breaths=breaths, depth=1.0, sway=0.01, look=look, arm_rest=4.0)
    for bone in ("UpperArmR", "ForearmR", "ThighL", "ThighR"):
        b.pop(bone, None)
    q = 2.0 * math.pi * t / length
    # the hand follows the chest a little less than the chest moves: undo its breath
    b["UpperArmR"] = ch(0.5 * math.sin(q * breaths), 0.0, 0.0)
    return b


def talk_keys():
    L = TALK_LENGTH
    down = {"UpperArmL": ch(0, 0, 2), "ForearmL": ch(-15)}
    explain = {"UpperArmL": ch(-30, 0, 14), "ForearmL": ch(-80, 25, 0), "HandL": ch(-15, 0, -30),
               "Head": ch(4, -6, 0), "Chest": ch(0, 5, 0)}
    point_up = {"UpperArmL": ch(-55, 0, 10), "ForearmL": ch(-95, 10, 0), "HandL": ch(-40, 0, 0),
                "Head": ch(-6, -10, 0), "Neck": ch(-3, 0, 0), "Chest": ch(-2, 8, 0)}
    wave_off = {"UpperArmL": ch(-25, 0, 35), "ForearmL": ch(-60, 40, 0), "HandL": ch(0, 0, -45),
                "Head": ch(6, 8, -4), "Chest": ch(2, -4, 0)}
    tap = {"UpperArmR": ch(-6, 0, 0), "ForearmR": ch(-4, 0, 0)}
    return anim.Keyed(L, [(0.0, down), (0.15 * L, explain), (0.35 * L, anim.add(explain, {"HandL": ch(15, 0, -10)})),
                          (0.5 * L, point_up), (0.62 * L, point_up), (0.72 * L, anim.add(wave_off, tap)),
                          (0.85 * L, explain), (0.95 * L, down)], loop=True)


def animations():
    gestures = talk_keys()

    def idle(t):
        return leaning(t, IDLE_LENGTH)

    def talk(t):
        nod = {"Head": ch(5.0 * math.sin(2.0 * math.pi * 3.0 * t / TALK_LENGTH), 0.0, 0.0)}
        return anim.add(leaning(t, TALK_LENGTH, look=3.0), gestures(t), moves.jaw_talk(t, TALK_LENGTH, syllables=10, amount=14.0), nod)

    return [anim.animation("all_idle", IDLE_LENGTH, idle), anim.animation("all_talk", TALK_LENGTH, talk)]


def build(out_dir, work_dir):
    fig = figure()
    canvas = paint.Canvas(ATLAS, ATLAS, (0.4, 0.36, 0.28))
    reg = regions(canvas)
    mesh = build_mesh(fig, reg)
    skeleton = hu.make_skeleton(fig, rig.HERO)
    summary = rig.export_character(work_dir, out_dir, NAME, [mesh], skeleton, animations())
    paint_atlas(canvas, reg, fig)
    canvas.save(out_dir + "/" + TEXTURE)
    materials.write(out_dir + "/" + NAME + ".material",
                    materials.textured(MATERIAL, TEXTURE, specular=(0.05, 0.05, 0.05), shininess=8.0,
                                       comment="The old man: one atlas for the whole figure and his staff."))
    return [summary, "%s %dx%d, %s" % (TEXTURE, ATLAS, ATLAS, MATERIAL)]

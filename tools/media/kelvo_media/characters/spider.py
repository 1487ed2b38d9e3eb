"""The cave spiders (entity type "Spider") and their queen: eight jointed
legs walking in alternating fours, fangs, palps and a cluster of red eyes.
The queen is twice the size, darker, with a crown of spikes, gold markings
and slower, heavier moves.

Held like every enemy (+Z up, facing +Y). Each leg's bones bind with their
own Z pointing out along the leg, so a turn about the leg's X lifts it and a
turn about its Y sweeps it forward or back, whatever its direction.
"""

import math

from .. import anim, materials, meshkit as mk, paint, rig
from .. import vecmath as vm
from ..anim import ch

LEGS = 4  # per side
# direction of each leg from the body, degrees away from straight ahead
LEG_ANGLES = (32.0, 68.0, 108.0, 145.0)
# where each leg leaves the body, along the body's length
LEG_ATTACH_Z = (0.3, 0.12, -0.06, -0.22)


class Kind:
    def __init__(self, name, material, size, body, abdomen, leg_colour, markings, eyes, crown, slow, seed,
                 atlas):
        self.name = name
        self.material = material
        self.texture = name + "_atlas.png"
        self.size = size
        self.body = body
        self.abdomen = abdomen
        self.leg_colour = leg_colour
        self.markings = markings
        self.eyes = eyes
        self.crown = crown
        self.slow = slow
        self.seed = seed
        self.atlas = atlas


SPIDER = Kind("spider", "KELVO/Spider", 1.0, (0.24, 0.17, 0.11), (0.3, 0.2, 0.12), (0.28, 0.19, 0.12),
              (0.78, 0.6, 0.3), (0.85, 0.1, 0.05), crown=False, slow=1.0, seed=4101, atlas=256)
QUEEN = Kind("spider_queen", "KELVO/SpiderQueen", 2.1, (0.15, 0.09, 0.16), (0.2, 0.1, 0.2), (0.13, 0.08, 0.13),
             (0.95, 0.72, 0.2), (0.7, 1.0, 0.25), crown=True, slow=1.3, seed=4201, atlas=512)


def leg_frame(side_sign, k):
    """Orientation whose +Z points out along leg k of a side (+1 left, -1 right)."""
    a = math.radians(LEG_ANGLES[k])
    yaw = side_sign * a  # about +Y: +Z turns toward +X (the left)
    return vm.quat_axis_angle(vm.UNIT_Y, yaw)


def leg_points(kind, side_sign, k):
    """attach, knee, ankle and tip of leg k in canonical space."""
    s = kind.size
    a = math.radians(LEG_ANGLES[k])
    out = (side_sign * math.sin(a), 0.0, math.cos(a))
    attach = (side_sign * 0.3 * s, 0.82 * s, LEG_ATTACH_Z[k] * s + 0.35 * s)
    reach = (0.95, 1.05, 1.0, 0.95)[k]

    def along(d, h):
        return vm.add(attach, (out[0] * d * s * reach, h * s, out[2] * d * s * reach))
    return attach, along(0.6, 0.55), along(1.15, 0.2), along(1.5, -0.82)


def sided(side_sign):
    return "L" if side_sign > 0 else "R"


def make_skeleton(kind):
    s = kind.size
    sk = rig.Skeleton(rig.ENEMY)
    sk.add("Body", "Root", (0.0, 0.85 * s, 0.35 * s))
    sk.add("Abdomen", "Body", (0.0, 0.95 * s, -0.15 * s))
    sk.add("Head", "Body", (0.0, 0.85 * s, 0.8 * s))
    for side_sign in (1.0, -1.0):
        side = sided(side_sign)
        sk.add("Fang" + side, "Head", (side_sign * 0.11 * s, 0.72 * s, 0.98 * s))
        sk.add("Palp" + side, "Head", (side_sign * 0.2 * s, 0.78 * s, 0.92 * s))
        for k in range(LEGS):
            attach, knee, ankle, _ = leg_points(kind, side_sign, k)
            frame = leg_frame(side_sign, k)
            n = k + 1
            sk.add("Leg%dUpper%s" % (n, side), "Body", attach, frame)
            sk.add("Leg%dLower%s" % (n, side), "Leg%dUpper%s" % (n, side), knee, frame)
            sk.add("Leg%dFoot%s" % (n, side), "Leg%dLower%s" % (n, side), ankle, frame)
    return sk


def regions(canvas):
    r = canvas.region
    return {
        "body": r(0.0, 0.0, 0.5, 0.5),
        "abdomen": r(0.5, 0.0, 1.0, 0.5),
        "leg": r(0.0, 0.5, 0.5, 1.0),
        "eye": r(0.5, 0.5, 0.625, 0.625),
        "fang": r(0.625, 0.5, 0.75, 0.625),
        "spike": r(0.75, 0.5, 0.875, 0.625),
        "head": r(0.5, 0.625, 0.75, 0.875),
        "joint": r(0.875, 0.5, 1.0, 0.625),
    }


def build_mesh(kind, reg):
    s = kind.size
    mesh = mk.Mesh(kind.material)
    w_body = [("Body", 1.0)]
    # cephalothorax: a flattened egg, the head end narrower
    mk.ellipsoid(mesh, (0.0, 0.85 * s, 0.38 * s), (0.42 * s, 0.27 * s, 0.5 * s), w_body, reg["body"],
                 rings=8, segments=14, squash=lambda lat: (1.0, 1.0 - 0.1 * max(0.0, lat)))
    # head bulge at the front, carrying the eyes
    mk.ellipsoid(mesh, (0.0, 0.9 * s, 0.78 * s), (0.27 * s, 0.22 * s, 0.22 * s), [("Head", 1.0)], reg["head"],
                 rings=6, segments=12)
    # abdomen: a large egg behind, on a narrow waist
    ab = 1.3 if kind.crown else 1.0
    mk.ellipsoid(mesh, (0.0, 1.05 * s, -0.72 * s * ab), (0.58 * s * ab, 0.5 * s * ab, 0.75 * s * ab),
                 [("Abdomen", 1.0)], reg["abdomen"], rings=9, segments=16,
                 squash=lambda lat: (1.0 - 0.15 * max(0.0, -lat), 1.0))
    mk.tube(mesh, [(0.0, 0.88 * s, 0.02 * s), (0.0, 0.95 * s, -0.2 * s)], [0.16 * s, 0.2 * s], vm.UNIT_X,
            [[("Body", 1.0)], [("Abdomen", 1.0)]], reg["joint"], segments=8)
    # eight eyes: two big ones in front, six smaller round them
    eyes = [(0.07, 1.02, 0.98, 0.055), (-0.07, 1.02, 0.98, 0.055), (0.16, 1.0, 0.93, 0.035),
            (-0.16, 1.0, 0.93, 0.035), (0.1, 1.08, 0.9, 0.03), (-0.1, 1.08, 0.9, 0.03),
            (0.2, 1.06, 0.84, 0.028), (-0.2, 1.06, 0.84, 0.028)]
    for x, y, z, r in eyes:
        mk.ellipsoid(mesh, (x * s, y * s, z * s), (r * s, r * s, r * s), [("Head", 1.0)], reg["eye"],
                     rings=4, segments=6)
    for side_sign in (1.0, -1.0):
        side = sided(side_sign)
        # fangs: thick bases curving down to points
        f0 = (side_sign * 0.11 * s, 0.78 * s, 0.96 * s)
        mk.tube(mesh, [f0, (side_sign * 0.1 * s, 0.62 * s, 1.06 * s), (side_sign * 0.06 * s, 0.48 * s, 1.05 * s)],
                [0.07 * s, 0.05 * s, 0.0], vm.UNIT_X, [("Fang" + side, 1.0)], reg["fang"], segments=6)
        # palps: two short feelers beside the fangs
        p0 = (side_sign * 0.2 * s, 0.8 * s, 0.9 * s)
        mk.tube(mesh, [p0, (side_sign * 0.27 * s, 0.86 * s, 1.1 * s), (side_sign * 0.26 * s, 0.62 * s, 1.22 * s)],
                [0.045 * s, 0.04 * s, 0.02 * s], vm.UNIT_Y, [("Palp" + side, 1.0)], reg["leg"], segments=6)
        for k in range(LEGS):
            n = k + 1
            attach, knee, ankle, tip = leg_points(kind, side_sign, k)
            u, lo, ft = "Leg%dUpper%s" % (n, side), "Leg%dLower%s" % (n, side), "Leg%dFoot%s" % (n, side)
            inner = vm.lerp(attach, (0.0, attach[1], attach[2]), 0.4)
            pts = [inner, attach, vm.lerp(attach, knee, 0.55), knee, vm.lerp(knee, ankle, 0.5), ankle,
                   vm.lerp(ankle, tip, 0.6), tip]
            radii = [0.1, 0.1, 0.095, 0.085, 0.07, 0.06, 0.04, 0.012]
            w = [[(u, 1.0)], [(u, 1.0)], [(u, 1.0)], [(u, 0.5), (lo, 0.5)], [(lo, 1.0)], [(lo, 0.5), (ft, 0.5)],
                 [(ft, 1.0)], [(ft, 1.0)]]
            mk.tube(mesh, pts, [r * s for r in radii], vm.UNIT_Y, w, reg["leg"], segments=6)
            # knobbly knee
            mk.ellipsoid(mesh, knee, (0.095 * s, 0.095 * s, 0.095 * s), [(u, 0.5), (lo, 0.5)], reg["joint"],
                         rings=4, segments=6)
    if kind.crown:
        # a crown of spikes along the back of the queen's body and abdomen
        for k, (z, y, h) in enumerate(((0.55, 1.05, 0.3), (0.35, 1.1, 0.38), (0.15, 1.1, 0.32),
                                       (-0.4, 1.5, 0.35), (-0.7, 1.6, 0.45), (-1.0, 1.5, 0.38))):
            bone = "Body" if z > 0 else "Abdomen"
            for side_sign in ((1.0, -1.0) if k % 3 != 1 else (0.0,)):
                base = (side_sign * 0.12 * s, y * s * (0.92 if z > 0 else 1.0), z * s)
                top = vm.add(base, (side_sign * 0.08 * s, h * s, -0.08 * s))
                mk.tube(mesh, [vm.add(base, (0.0, -0.05 * s, 0.0)), top], [0.07 * s, 0.0], vm.UNIT_X,
                        [(bone, 1.0)], reg["spike"], segments=6)
    return mesh


def paint_atlas(kind, canvas, reg):
    fine = paint.ValueNoise(kind.seed + 1)

    def hairy(base, stripes=0.0, stripe_colour=None):
        def fn(s, t, x, y):
            h = fine.fbm(s * 70.0, t * 12.0, 2)
            c = paint.mul(base, 0.6 + 0.8 * h)
            if stripes > 0.0 and stripe_colour is not None:
                band = math.sin(t * math.pi * stripes)
                if band > 0.75:
                    c = paint.mix(c, stripe_colour, 0.55 * (band - 0.75) * 4.0 * (0.6 + 0.4 * h))
            return c
        return fn

    reg["leg"].shade(hairy(kind.leg_colour, stripes=7.0, stripe_colour=paint.mul(kind.markings, 0.6)))
    reg["body"].shade(hairy(kind.body))
    head_fn = hairy(paint.mul(kind.body, 0.9))
    reg["head"].shade(head_fn)
    markings = kind.markings

    def abdomen_fn(s, t, x, y):
        c = hairy(kind.abdomen)(s, t, x, y)
        # chevrons pointing to the rear over the top of the abdomen (its
        # u = 0.5 column faces the body, t runs from the top pole down)
        facing_body = math.cos(2.0 * math.pi * (s - 0.5))
        if t < 0.62 and facing_body < 0.3:
            flank = abs(math.sin(2.0 * math.pi * (s - 0.5)))
            for k in range(4):
                d = abs(t - (0.1 + k * 0.12) - 0.1 * flank)
                if d < 0.022:
                    c = paint.mix(c, markings, 0.85 * (1.0 - d / 0.022) ** 0.5)
        if t > 0.72 and kind.crown:
            c = paint.mix(c, (0.5, 0.05, 0.08), 0.6)
        return c
    reg["abdomen"].shade(abdomen_fn)
    eye_colour = kind.eyes
    reg["eye"].shade(lambda s, t, x, y: paint.mix((0.02, 0.01, 0.01), eye_colour, 0.5 + 0.5 * math.cos(t * math.pi)))
    reg["eye"].stamp(0.6, 0.25, 0.12, 0.12, (1.0, 1.0, 1.0), 0.9)
    reg["fang"].shade(lambda s, t, x, y: paint.mix((0.15, 0.08, 0.05), (0.85, 0.8, 0.65), t))
    reg["spike"].shade(lambda s, t, x, y: paint.mix(kind.markings, (0.1, 0.05, 0.08), t))
    reg["joint"].shade(hairy(paint.mul(kind.leg_colour, 0.7)))


# --- animations --------------------------------------------------------------

def leg_names(n, side):
    return "Leg%dUpper%s" % (n, side), "Leg%dLower%s" % (n, side), "Leg%dFoot%s" % (n, side)


def leg_pose(n, side, sweep=0.0, lift=0.0, curl=0.0):
    """sweep > 0 moves the leg forward, lift > 0 raises it, curl > 0 folds
    the lower leg in under the knee, all in degrees."""
    side_sign = 1.0 if side == "L" else -1.0
    u, lo, ft = leg_names(n, side)
    # a turn about the leg's own +Y carries its +Z toward its +X; for a left
    # leg that is backward, for a right leg forward
    return {u: ch(-lift, -side_sign * sweep, 0.0), lo: ch(curl + lift * 0.6, 0.0, 0.0),
            ft: ch(curl * 0.5 - lift * 0.3, 0.0, 0.0)}


TETRAPOD = {("L", 1): 0.0, ("R", 2): 0.0, ("L", 3): 0.0, ("R", 4): 0.0,
            ("R", 1): 0.5, ("L", 2): 0.5, ("R", 3): 0.5, ("L", 4): 0.5}


def gait(t, period, sweep=16.0, lift=22.0, bob=0.04, crouch=0.0, size=1.0):
    p = t / period
    out = {}
    for (side, n), phase in TETRAPOD.items():
        q = 2.0 * math.pi * (p + phase)
        out = anim.add(out, leg_pose(n, side, sweep=sweep * math.sin(q), lift=lift * max(0.0, math.cos(q)) ** 1.5,
                                     curl=crouch))
    q = 4.0 * math.pi * p
    out = anim.add(out, {
        "Body": ch(1.5 * math.sin(q), 2.0 * math.sin(2.0 * math.pi * p), 0.0, 0.0,
                   (bob * math.sin(q) - crouch * 0.006) * size, 0.0),
        "Abdomen": ch(-3.0 * math.sin(q + 0.8), -4.0 * math.sin(2.0 * math.pi * p + 0.5), 0.0),
        "FangL": ch(6.0 * math.sin(q), 0.0, 0.0), "FangR": ch(6.0 * math.sin(q + 1.0), 0.0, 0.0),
        "PalpL": ch(10.0 * math.sin(2.0 * math.pi * p), 0.0, 0.0),
        "PalpR": ch(-10.0 * math.sin(2.0 * math.pi * p), 0.0, 0.0),
    })
    return out


def pause(t, length, size):
    q = 2.0 * math.pi * t / length
    # breathing, twitching fangs and palps, and one front leg that taps twice
    tap = max(0.0, math.sin(2.0 * q)) ** 4 if math.sin(q) > 0.0 else 0.0
    out = {
        "Body": ch(2.0 * math.sin(q), 3.0 * math.sin(q + 0.3), 0.0, 0.0, 0.02 * size * math.sin(2.0 * q), 0.0),
        "Abdomen": ch(4.0 * math.sin(2.0 * q), 5.0 * math.sin(q), 0.0),
        "FangL": ch(10.0 * max(0.0, math.sin(3.0 * q)), 0.0, 0.0),
        "FangR": ch(10.0 * max(0.0, math.sin(3.0 * q + 0.5)), 0.0, 0.0),
        "PalpL": ch(15.0 * math.sin(2.0 * q), 0.0, 0.0), "PalpR": ch(-15.0 * math.sin(2.0 * q + 0.4), 0.0, 0.0),
    }
    out = anim.add(out, leg_pose(1, "L", sweep=6.0 * tap, lift=30.0 * tap))
    for n in range(1, LEGS + 1):
        for side in ("L", "R"):
            out = anim.add(out, leg_pose(n, side, curl=3.0 * math.sin(q + n)))
    return out


def stab_keys(length):
    """Rears up with the front legs raised and fangs spread, then lunges:
    body and fangs drive forward through the middle of the length."""
    L = length
    ready = {}
    rear = anim.add({"Body": ch(-22, 0, 0, 0, 0.25, -0.2), "Abdomen": ch(18), "FangL": ch(-30, 0, 20),
                     "FangR": ch(-30, 0, -20), "PalpL": ch(-25), "PalpR": ch(-25), "Head": ch(-8)},
                    leg_pose(1, "L", sweep=20, lift=55, curl=-20), leg_pose(1, "R", sweep=20, lift=55, curl=-20),
                    leg_pose(2, "L", sweep=10, lift=25), leg_pose(2, "R", sweep=10, lift=25),
                    leg_pose(3, "L", curl=10), leg_pose(3, "R", curl=10),
                    leg_pose(4, "L", sweep=-10, curl=15), leg_pose(4, "R", sweep=-10, curl=15))
    lunge = anim.add({"Body": ch(16, 0, 0, 0, -0.12, 0.75), "Abdomen": ch(-10), "FangL": ch(40, 0, -5),
                      "FangR": ch(40, 0, 5), "PalpL": ch(30), "PalpR": ch(30), "Head": ch(10)},
                     leg_pose(1, "L", sweep=35, lift=10, curl=25), leg_pose(1, "R", sweep=35, lift=10, curl=25),
                     leg_pose(2, "L", sweep=-10), leg_pose(2, "R", sweep=-10),
                     leg_pose(3, "L", sweep=-20), leg_pose(3, "R", sweep=-20),
                     leg_pose(4, "L", sweep=-25, curl=-10), leg_pose(4, "R", sweep=-25, curl=-10))
    return anim.Keyed(L, [(0.0, ready), (0.3 * L, rear), (0.5 * L, lunge), (0.62 * L, lunge), (0.88 * L, ready),
                          (L, ready)], loop=False)


def slash_keys(length, side):
    """A front leg raised high on one side and raked across the front to
    the other, crossing the middle at half the length. side "R" swings the
    right leg from the spider's right to its left."""
    L = length
    sign = 1.0 if side == "R" else -1.0
    other = "L" if side == "R" else "R"
    ready = {}
    # body yaw: positive turns the front toward the left (+X)
    raised = anim.add({"Body": ch(-12, -16 * sign, 6 * sign, 0, 0.12, 0), "Abdomen": ch(8, 10 * sign, 0),
                       "Fang" + side: ch(-25), "Fang" + other: ch(-15), "Head": ch(0, -10 * sign, 0)},
                      leg_pose(1, side, sweep=-25, lift=70, curl=-15), leg_pose(1, other, lift=15),
                      leg_pose(2, side, lift=10))
    across = anim.add({"Body": ch(6, 22 * sign, -4 * sign, 0, 0.0, 0.3), "Abdomen": ch(-4, -14 * sign, 0),
                       "Fang" + side: ch(30), "Fang" + other: ch(30), "Head": ch(6, 12 * sign, 0)},
                      leg_pose(1, side, sweep=70, lift=20, curl=10), leg_pose(1, other, sweep=-15, lift=10),
                      leg_pose(2, side, sweep=15))
    through = anim.add({"Body": ch(8, 28 * sign, -2 * sign, 0, -0.04, 0.3), "Abdomen": ch(-4, -16 * sign, 0),
                        "Head": ch(4, 14 * sign, 0)},
                       leg_pose(1, side, sweep=95, lift=0, curl=20), leg_pose(1, other, sweep=-20, lift=20),
                       leg_pose(2, side, sweep=20))
    return anim.Keyed(L, [(0.0, ready), (0.32 * L, raised), (0.5 * L, across), (0.62 * L, through),
                          (0.9 * L, ready), (L, ready)], loop=False)


def animations(kind):
    slow = kind.slow
    size = kind.size
    pause_len = 3.0 * slow
    walk_len = 1.2 * slow
    run_len = 0.5 * slow
    stab_len = 1.1 * slow
    slash_len = 1.0 * slow
    stab = stab_keys(stab_len)
    slash_r = slash_keys(slash_len, "R")
    slash_l = slash_keys(slash_len, "L")

    def scaled(fn):
        # lunges and hops grow with the body
        def g(t):
            pose = fn(t)
            for c in pose.values():
                c[3] *= size
                c[4] *= size
                c[5] *= size
            return pose
        return g

    return [
        anim.animation("cpause1", pause_len, lambda t: pause(t, pause_len, size)),
        anim.animation("cwalk", walk_len, lambda t: gait(t, walk_len, sweep=16.0, lift=22.0, bob=0.035, size=size)),
        anim.animation("crun", run_len, lambda t: gait(t, run_len, sweep=26.0, lift=32.0, bob=0.06, crouch=12.0,
                                                       size=size)),
        anim.animation("ca1stab", stab_len, scaled(stab), loop=False),
        anim.animation("ca1slashr", slash_len, scaled(slash_r), loop=False),
        anim.animation("ca1slashl", slash_len, scaled(slash_l), loop=False),
    ]


def build_kind(kind, out_dir, work_dir):
    canvas = paint.Canvas(kind.atlas, kind.atlas, paint.mul(kind.body, 0.8))
    reg = regions(canvas)
    mesh = build_mesh(kind, reg)
    skeleton = make_skeleton(kind)
    summary = rig.export_character(work_dir, out_dir, kind.name, [mesh], skeleton, animations(kind))
    paint_atlas(kind, canvas, reg)
    canvas.save(out_dir + "/" + kind.texture)
    materials.write(out_dir + "/" + kind.name + ".material",
                    materials.textured(kind.material, kind.texture, specular=(0.3, 0.3, 0.3), shininess=30.0,
                                       comment="Held like every enemy: +Z up, facing +Y."))
    return [summary, "%s %dx%d, %s" % (kind.texture, kind.atlas, kind.atlas, kind.material)]


def build(out_dir, work_dir):
    return build_kind(SPIDER, out_dir, work_dir)


def build_queen(out_dir, work_dir):
    return build_kind(QUEEN, out_dir, work_dir)

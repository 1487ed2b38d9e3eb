"""A sea bird (entity type "Bird") that circles over the island: white body,
grey wings with black tips, yellow beak. Its "flying" loop beats the wings
with the outer wing trailing the inner one, and bobs the body against each
downstroke.

+Y up, facing +Z, origin at the middle of the body: the bird script moves
the node round a circle and leaves its orientation to the level.
"""

import math

from .. import anim, materials, meshkit as mk, paint, rig
from .. import vecmath as vm
from ..anim import ch

NAME = "bird"
MATERIAL = "KELVO/Bird"
TEXTURE = "bird_atlas.png"
ATLAS = 256
FLY_LENGTH = 0.9

WHITE = (0.93, 0.93, 0.9)
GREY = (0.58, 0.61, 0.66)
BLACK = (0.1, 0.1, 0.11)
BEAK = (0.95, 0.75, 0.2)

SPAN = 1.7  # half the wingspan


def make_skeleton():
    sk = rig.Skeleton(rig.HERO)
    sk.add("Body", "Root", (0.0, 0.0, 0.0))
    sk.add("Head", "Body", (0.0, 0.08, 0.38))
    sk.add("Tail", "Body", (0.0, 0.02, -0.38))
    for side, sx in (("L", 1.0), ("R", -1.0)):
        sk.add("Wing" + side, "Body", (sx * 0.14, 0.07, 0.05))
        sk.add("WingTip" + side, "Wing" + side, (sx * 0.95, 0.07, -0.02))
    return sk


def regions(canvas):
    r = canvas.region
    return {
        "body": r(0.0, 0.0, 0.5, 0.5),
        "head": r(0.5, 0.0, 0.75, 0.25),
        "beak": r(0.75, 0.0, 1.0, 0.125),
        "eye": r(0.75, 0.125, 1.0, 0.25),
        "wing": r(0.0, 0.5, 0.5, 0.75),
        "tip": r(0.0, 0.75, 0.5, 1.0),
        "tail": r(0.5, 0.5, 1.0, 0.75),
        "feet": r(0.5, 0.25, 0.75, 0.375),
    }


def build_mesh(reg):
    mesh = mk.Mesh(MATERIAL)
    mk.ellipsoid(mesh, (0.0, 0.0, 0.0), (0.19, 0.19, 0.46), [("Body", 1.0)], reg["body"], rings=8, segments=12,
                 up=vm.UNIT_Y, front=vm.UNIT_Z, squash=lambda lat: (1.0, 1.0))
    # head on a short neck, and the hooked beak
    mk.tube(mesh, [(0.0, 0.02, 0.3), (0.0, 0.1, 0.44)], [0.13, 0.11], vm.UNIT_X,
            [[("Body", 0.5), ("Head", 0.5)], [("Head", 1.0)]], reg["head"], segments=10)
    mk.ellipsoid(mesh, (0.0, 0.13, 0.52), (0.12, 0.12, 0.14), [("Head", 1.0)], reg["head"], rings=6, segments=10)
    mk.tube(mesh, [(0.0, 0.11, 0.6), (0.0, 0.1, 0.74), (0.0, 0.07, 0.82)], [0.045, 0.03, 0.0], vm.UNIT_X,
            [("Head", 1.0)], reg["beak"], segments=6, front_radii=[0.05, 0.035, 0.0])
    for sx in (1.0, -1.0):
        mk.ellipsoid(mesh, (sx * 0.1, 0.17, 0.57), (0.022, 0.022, 0.022), [("Head", 1.0)], reg["eye"],
                     rings=3, segments=6)
    # tail fan
    mk.tube(mesh, [(0.0, 0.02, -0.32), (0.0, 0.03, -0.55), (0.0, 0.04, -0.72)], [0.09, 0.16, 0.2], vm.UNIT_X,
            [[("Body", 0.5), ("Tail", 0.5)], [("Tail", 1.0)], [("Tail", 1.0)]], reg["tail"], segments=8,
            front_radii=[0.05, 0.025, 0.015], cap_end=True)
    # tucked feet
    for sx in (1.0, -1.0):
        mk.ellipsoid(mesh, (sx * 0.07, -0.16, -0.22), (0.035, 0.03, 0.09), [("Body", 1.0)], reg["feet"],
                     rings=3, segments=6)
    for side, sx in (("L", 1.0), ("R", -1.0)):
        w, tip = "Wing" + side, "WingTip" + side
        hint = (0.0, 0.0, sx)  # keeps every wing's u = 0.5 on its underside
        # inner wing: broad chord, leading edge forward
        pts = [(sx * 0.05, 0.07, 0.02), (sx * 0.3, 0.07, 0.0), (sx * 0.65, 0.07, -0.03), (sx * 0.95, 0.07, -0.05)]
        mk.tube(mesh, pts, [0.27, 0.3, 0.28, 0.24], hint,
                [[("Body", 0.6), (w, 0.4)], [(w, 1.0)], [(w, 1.0)], [(w, 0.5), (tip, 0.5)]],
                reg["wing"], segments=8, front_radii=[0.05, 0.04, 0.035, 0.03])
        # outer wing: swept back to a pointed tip
        pts = [(sx * 0.95, 0.07, -0.05), (sx * 1.25, 0.07, -0.1), (sx * 1.5, 0.07, -0.18), (sx * SPAN, 0.07, -0.28)]
        mk.tube(mesh, pts, [0.24, 0.2, 0.13, 0.02], hint,
                [[(w, 0.5), (tip, 0.5)], [(tip, 1.0)], [(tip, 1.0)], [(tip, 1.0)]],
                reg["tip"], segments=8, front_radii=[0.03, 0.025, 0.02, 0.005])
    return mesh


def paint_atlas(canvas, reg):
    noise = paint.ValueNoise(5101)

    def feathers(base, streak=30.0, amount=0.12):
        def fn(s, t, x, y):
            n = noise.fbm(s * streak, t * 4.0, 2) - 0.5
            return paint.mul(base, 1.0 + n * amount * 2.0)
        return fn

    def body_fn(s, t, x, y):
        # a grey mantle over the back between the wings, white elsewhere
        c = feathers(WHITE)(s, t, x, y)
        towards_head = math.cos(2.0 * math.pi * (s - 0.5))
        if t < 0.3 and towards_head < 0.5:
            c = paint.mix(c, GREY, 0.6 * vm.smoothstep(0.3, 0.22, t))
        return c
    reg["body"].shade(body_fn)
    reg["head"].shade(feathers(WHITE, amount=0.06))
    reg["beak"].shade(lambda s, t, x, y: BEAK if t < 0.8 else (0.85, 0.2, 0.1))
    reg["eye"].shade(lambda s, t, x, y: BLACK)
    reg["feet"].shade(lambda s, t, x, y: (0.85, 0.55, 0.3))

    def wing_fn(s, t, x, y):
        under = math.cos(2.0 * math.pi * (s - 0.5))  # 1 on the underside
        base = paint.mix(GREY, WHITE, max(0.0, under) * 0.8)
        c = feathers(base, streak=8.0, amount=0.15)(s, t, x, y)
        # feather rows along the trailing edge
        if abs(math.sin(2.0 * math.pi * (s - 0.25))) < 0.3 and math.sin(t * 40.0) > 0.7:
            c = paint.mul(c, 0.9)
        return c
    reg["wing"].shade(wing_fn)

    def tip_fn(s, t, x, y):
        c = wing_fn(s, t, x, y)
        black = vm.smoothstep(0.35, 0.5, t)
        c = paint.mix(c, BLACK, black)
        # white mirrors near the very tip
        if t > 0.7 and abs(t - 0.8) < 0.05 and abs(math.sin(2.0 * math.pi * s)) < 0.5:
            c = WHITE
        return c
    reg["tip"].shade(tip_fn)
    reg["tail"].shade(lambda s, t, x, y: paint.mix(feathers(WHITE)(s, t, x, y), BLACK, vm.smoothstep(0.75, 0.9, t) * 0.7))


def fly(t):
    q = 2.0 * math.pi * t / FLY_LENGTH
    beat = math.sin(q)
    lag = math.sin(q - 0.9)
    pose = {
        "Body": ch(3.0 * math.cos(q), 0.0, 0.0, 0.0, -0.07 * beat, 0.0),
        "Head": ch(-3.0 * math.cos(q), 0.0, 0.0),
        "Tail": ch(6.0 * math.sin(q + 1.0), 0.0, 0.0),
    }
    for side, sx in (("L", 1.0), ("R", -1.0)):
        # +Z about a left wing lifts it; the right wing mirrors
        pose["Wing" + side] = ch(0.0, 0.0, sx * (8.0 + 38.0 * beat))
        pose["WingTip" + side] = ch(0.0, sx * 4.0 * math.cos(q), sx * (6.0 + 28.0 * lag))
    return pose


def build(out_dir, work_dir):
    canvas = paint.Canvas(ATLAS, ATLAS, WHITE)
    reg = regions(canvas)
    mesh = build_mesh(reg)
    skeleton = make_skeleton()
    summary = rig.export_character(work_dir, out_dir, NAME, [mesh], skeleton,
                                   [anim.animation("flying", FLY_LENGTH, fly)])
    paint_atlas(canvas, reg)
    canvas.save(out_dir + "/" + TEXTURE)
    materials.write(out_dir + "/" + NAME + ".material",
                    materials.textured(MATERIAL, TEXTURE, ambient=(0.85, 0.85, 0.85),
                                       comment="The sea bird: seen from below as often as from above."))
    return [summary, "%s %dx%d, %s" % (TEXTURE, ATLAS, ATLAS, MATERIAL)]

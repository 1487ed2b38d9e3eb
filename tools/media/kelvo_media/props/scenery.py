"""The island's growing and lying things: three kinds of tree, bushes,
grass and fern tufts, rocks and the cave entrance.

Sizes are the hero's world (he is 4 units tall): palms about 12 high, the
broadleaf tree 13, the fir 16, bushes reach his chest, the cave mouth lets
him walk in upright.
"""

import math
import random

from .. import meshkit as mk
from .. import vecmath as vm
from . import layout, shapes
from .shapes import STATIC

P = layout.props
F = layout.foliage


def palm(name="palm.mesh", seed=1):
    """A coconut palm leaning over the beach (toward +X), fronds hanging
    from a crown of nuts."""
    m = shapes.Model(name)
    rng = random.Random(seed)
    pts = []
    radii = []
    for k in range(9):
        t = k / 8.0
        # a trunk that leans more toward its top
        pts.append((2.6 * t ** 1.7, 11.5 * t, 0.25 * math.sin(t * 2.5)))
        radii.append(0.46 - 0.2 * t + (0.06 if k == 0 else 0.0))
    mk.tube(m.props, pts, radii, vm.UNIT_Z, STATIC, P("palm_bark"), segments=9, cap_end=True)
    crown = pts[-1]
    for k in range(4):
        a = k * math.pi / 2 + 0.4
        shapes.blob(m.props, vm.add(crown, (0.42 * math.cos(a), -0.35, 0.42 * math.sin(a))), (0.32, 0.34, 0.32),
                    P("husk"), seed + k, roughness=0.05, rings=5, segments=7)
    fronds = 9
    for k in range(fronds):
        a = 2.0 * math.pi * k / fronds + rng.uniform(-0.2, 0.2)
        lift = rng.uniform(0.1, 0.55)
        d = (math.cos(a), lift, math.sin(a))
        shapes.card(m.foliage, vm.add(crown, (0.0, 0.15, 0.0)), d, vm.UNIT_Y, rng.uniform(4.6, 5.6),
                    rng.uniform(2.0, 2.4), F("frond"), bend=rng.uniform(2.0, 3.2), segments=5, fold=0.3)
    return m


def broadleaf(name="tree_broadleaf.mesh", seed=7):
    """A spreading leafy tree: a stout trunk forking into three limbs, each
    carrying a cluster of lumpy crowns."""
    m = shapes.Model(name)
    rng = random.Random(seed)
    trunk = [(0.0, 0.0, 0.0), (0.05, 2.0, 0.0), (0.0, 4.2, 0.1)]
    mk.tube(m.props, trunk, [0.75, 0.55, 0.48], vm.UNIT_X, STATIC, P("bark"), segments=10)
    # root flare
    for k in range(5):
        a = k * 2 * math.pi / 5 + 0.3
        shapes.cylinder(m.props, (0.0, 0.9, 0.0), (1.25 * math.cos(a), 0.0, 1.25 * math.sin(a)), 0.32, 0.12,
                        P("bark"), segments=6)
    shapes.clamp_to_ground(m.props)
    crowns = []
    for k in range(3):
        a = k * 2 * math.pi / 3 + 0.5
        tip = (2.6 * math.cos(a), 8.0 + rng.uniform(-0.6, 0.6), 2.6 * math.sin(a))
        mid = vm.lerp(trunk[-1], tip, 0.5)
        mid = (mid[0], mid[1] + 0.4, mid[2])
        mk.tube(m.props, [trunk[-1], mid, tip], [0.45, 0.3, 0.18], vm.UNIT_X, STATIC, P("bark"), segments=7)
        crowns.append(tip)
    crowns.append((0.0, 10.0, 0.0))
    for k, c in enumerate(crowns):
        r = 3.0 if k < 3 else 3.4
        shapes.blob(m.props, c, (r, r * 0.72, r), P("leaves"), seed * 10 + k, roughness=0.22, rings=8, segments=12)
    # a few leaf sprays so the crown's edge is not a smooth curve
    for k in range(10):
        c = crowns[k % len(crowns)]
        a = rng.uniform(0, 2 * math.pi)
        base = vm.add(c, (2.2 * math.cos(a), rng.uniform(-1.0, 1.0), 2.2 * math.sin(a)))
        shapes.card(m.foliage, base, (math.cos(a), rng.uniform(-0.3, 0.3), math.sin(a)), vm.UNIT_Y, 2.0, 2.0,
                    F("leaf_card"), bend=0.4, segments=2)
    return m


def fir(name="tree_fir.mesh", seed=13):
    """A dark fir of five hanging skirts on a straight trunk."""
    m = shapes.Model(name)
    shapes.cylinder(m.props, (0.0, 0.0, 0.0), (0.0, 14.0, 0.0), 0.5, 0.12, P("bark"), segments=8)
    layers = [(2.2, 6.4, 4.2), (4.8, 8.8, 3.5), (7.2, 11.0, 2.7), (9.6, 13.2, 1.9), (11.8, 16.0, 1.2)]
    for k, (bottom, top, r) in enumerate(layers):
        shapes.cone_skirt(m.props, bottom, top, r, P("pine"), seed + k, segments=12, droop=0.5)
    return m


def bush(name="bush.mesh", seed=21):
    """A low, round bush about as high as the hero's chest."""
    m = shapes.Model(name)
    rng = random.Random(seed)
    for k in range(5):
        a = k * 2 * math.pi / 5
        r = rng.uniform(0.8, 1.15)
        c = (0.9 * math.cos(a) * (k > 0), 0.9 + rng.uniform(-0.1, 0.3) + (0.5 if k == 0 else 0.0),
             0.9 * math.sin(a) * (k > 0))
        shapes.blob(m.props, c, (r * 1.1, r * 0.85, r * 1.1), P("bush"), seed + k, roughness=0.25, rings=6,
                    segments=10, flat_bottom=0.0)
    for k in range(4):
        a = k * math.pi / 2 + 0.7
        shapes.card(m.foliage, (1.1 * math.cos(a), 0.8, 1.1 * math.sin(a)), (math.cos(a), 0.5, math.sin(a)),
                    vm.UNIT_Y, 1.2, 1.2, F("leaf_card"), bend=0.3, segments=2)
    return m


def tuft(name, region, height, width, count, seed):
    """Crossed cut-out cards standing on the ground."""
    m = shapes.Model(name)
    rng = random.Random(seed)
    for k in range(count):
        a = math.pi * k / count + rng.uniform(-0.2, 0.2)
        d = (math.cos(a) * width * 0.5, 0.0, math.sin(a) * width * 0.5)
        lean = (rng.uniform(-0.1, 0.1) * height, 0.0, rng.uniform(-0.1, 0.1) * height)
        bl = vm.scale(d, -1.0)
        br = d
        tr = vm.add(vm.add(d, (0.0, height, 0.0)), lean)
        tl = vm.add(vm.add(vm.scale(d, -1.0), (0.0, height, 0.0)), lean)
        shapes.quad(m.foliage, [bl, br, tr, tl], region)
    return m


def rock(name, radii, seed, moss=True, sink=0.25):
    """A weathered boulder resting on the ground, moss on its crown."""
    m = shapes.Model(name)
    centre = (0.0, radii[1] * (1.0 - sink), 0.0)
    shapes.blob(m.props, centre, radii, P("rock_moss" if moss else "rock"), seed, roughness=0.28, rings=9,
                segments=14, flat_bottom=0.0, frequency=1.6)
    return m


def rock_pile(name="rock_pile.mesh", seed=41):
    m = shapes.Model(name)
    rng = random.Random(seed)
    for k in range(5):
        a = k * 2 * math.pi / 5 + rng.uniform(-0.3, 0.3)
        r = rng.uniform(0.5, 1.0)
        c = (1.1 * math.cos(a), r * 0.6, 1.1 * math.sin(a))
        shapes.blob(m.props, c, (r * 1.2, r * 0.8, r), P("rock"), seed + k, roughness=0.3, rings=6, segments=9,
                    flat_bottom=0.0)
    return m


def cave_entrance(name="cave_entrance.mesh", seed=61):
    """A mouth in a rock face: an arch of boulders around a dark passage
    that runs back into the hill (toward -Z). The opening, 7 wide and 6
    high, faces +Z; its floor is y = 0."""
    m = shapes.Model(name)
    rng = random.Random(seed)
    # the arch: boulders along a half ellipse
    for k in range(11):
        t = k / 10.0
        a = math.pi * t
        c = (-4.6 * math.cos(a), 6.2 * math.sin(a) + 0.6, rng.uniform(-0.4, 0.4))
        r = rng.uniform(1.9, 2.5) if 2 < k < 8 else rng.uniform(2.3, 2.9)
        shapes.blob(m.props, c, (r, r * 0.9, r * 1.4), P("rock_moss" if c[1] > 3.0 else "rock"), seed + k,
                    roughness=0.3, rings=7, segments=10, flat_bottom=0.0)
    # the hill behind, closing the arch's back and top
    shapes.blob(m.props, (0.0, 4.0, -5.5), (9.0, 6.5, 6.0), P("rock_moss"), seed + 50, roughness=0.22, rings=9,
                segments=16, flat_bottom=0.0)
    # the passage: a dark half tube from the mouth into the hill, closed at its end
    rings = []
    for k, z in enumerate((0.8, -2.0, -6.0, -9.5)):
        rings.append(mk.Ring((0.0, 0.0, z), vm.UNIT_X, vm.UNIT_Y, 3.6 - k * 0.25, 5.6 - k * 0.3, STATIC, k / 3.0))
    inner = shapes.Model("passage").props
    mk.loft(inner, rings, 14, P("cave_dark"), cap_end=True)
    # keep the upper half only and turn it inside out, so it is seen from within
    for a, b, c in inner.triangles:
        pa, pb, pc = inner.positions[a], inner.positions[b], inner.positions[c]
        if min(pa[1], pb[1], pc[1]) < -0.01:
            continue
        base = len(m.props.positions)
        for i in (a, b, c):
            m.props.add_vertex(inner.positions[i], inner.uvs[i], STATIC, ("passage", inner.smooth_keys[i]))
        m.props.triangles.append((base, base + 2, base + 1))
    # floor of the passage
    shapes.panel(m.props, (-3.6, 0.02, 0.8), vm.UNIT_X, (0.0, 0.0, -1.0), 7.2, 10.3, P("cave_dark"), tile=(3.6, 3.6))
    return m


def builders():
    return [
        lambda: palm("palm.mesh", 1),
        lambda: palm("palm_tall.mesh", 3),
        broadleaf,
        fir,
        bush,
        lambda: tuft("grass_tuft.mesh", F("tuft"), 1.1, 1.4, 3, 71),
        lambda: tuft("fern.mesh", F("fern"), 1.3, 1.8, 3, 73),
        lambda: tuft("flowers.mesh", F("flowers"), 0.9, 1.3, 2, 75),
        lambda: rock("rock_large.mesh", (3.2, 2.4, 2.6), 31),
        lambda: rock("rock_small.mesh", (1.1, 0.8, 0.9), 33),
        lambda: rock("rock_tall.mesh", (2.0, 4.2, 1.8), 35, sink=0.1),
        rock_pile,
        cave_entrance,
    ]


def build(out_dir, work_dir):
    return shapes.build_models(builders(), out_dir, work_dir)

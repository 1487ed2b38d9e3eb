"""Things people made on the island: the old man's hut, the well, fences,
the jetty, barrels, crates and a campfire ring.

The hut's door is 3 units high, so the 4-unit hero would stoop: the old man
is small, and the hut is his.
"""

import math

from .. import meshkit as mk
from .. import vecmath as vm
from . import layout, shapes
from .shapes import STATIC

P = layout.props
X, Y, Z = vm.UNIT_X, vm.UNIT_Y, vm.UNIT_Z
NX, NY, NZ = (-1.0, 0.0, 0.0), (0.0, -1.0, 0.0), (0.0, 0.0, -1.0)


def hut(name="hut.mesh"):
    """A plank hut 9 wide (X) and 7 deep (Z) on a stone footing, a thatched
    gable roof along X, the door in the front (+Z) wall, a window in each
    gable end, a stone chimney on the right."""
    m = shapes.Model(name)
    mesh = m.props
    w, d, wall, ridge = 4.5, 3.5, 3.8, 6.6
    foot = 0.5
    # footing
    shapes.block(mesh, (0.0, foot * 0.5, 0.0), (w + 0.25, foot * 0.5, d + 0.25), P("stone_wall"), tile=(1.6, 1.0),
                 faces="xXYzZ")
    # walls: boards run horizontally; the front leaves a gap for the door
    door_w, door_h = 1.6, 3.0
    plank = (2.0, 1.2)
    shapes.panel(mesh, (-w, foot, d), X, Y, w - door_w / 2, wall - foot, P("planks"), plank)
    shapes.panel(mesh, (door_w / 2, foot, d), X, Y, w - door_w / 2, wall - foot, P("planks"), plank)
    shapes.panel(mesh, (-door_w / 2, door_h + foot, d), X, Y, door_w, wall - door_h - foot, P("planks"), plank)
    shapes.panel(mesh, (w, foot, -d), NX, Y, 2 * w, wall - foot, P("planks"), plank)
    for sx, u in ((1, NZ), (-1, Z)):
        x = sx * w
        z0 = d if sx > 0 else -d
        shapes.panel(mesh, (x, foot, z0), u, Y, 2 * d, wall - foot, P("planks"), plank)
        # the gable triangle above the wall
        gable = [(x, wall, z0), (x, wall, -z0), (x, ridge, 0.0)]
        base = len(mesh.positions)
        key = (mesh.new_shape_id(), "flat")
        for p, uv in zip(gable, ((0.0, 1.0), (1.0, 1.0), (0.5, 0.0))):
            mesh.add_vertex(p, P("planks").uv(*uv), STATIC, key)
        mesh.add_triangle(base, base + 1, base + 2, (0.0, wall, 0.0))
        # window in the gable end's wall
        shapes.panel(mesh, (x + sx * 0.04, 1.9, z0 * 0.25 if sx > 0 else -z0 * 0.25),
                     u, Y, 1.75, 1.3, P("window"), (1.75, 1.3))
    # door, set a little into the wall
    shapes.panel(mesh, (-door_w / 2, foot, d - 0.05), X, Y, door_w, door_h, P("door"), (door_w, door_h))
    # corner posts and a door frame
    for sx in (-1, 1):
        for sz in (-1, 1):
            shapes.block(mesh, (sx * w, wall / 2, sz * d), (0.22, wall / 2, 0.22), P("logs"), tile=(0.5, 2.0))
        shapes.block(mesh, (sx * (door_w / 2 + 0.1), (door_h + foot) / 2, d + 0.05), (0.1, (door_h + foot) / 2, 0.1),
                     P("logs"), tile=(0.3, 2.0))
    # floor inside, a step in front
    shapes.panel(mesh, (-w, foot - 0.01, d), X, NZ, 2 * w, 2 * d, P("planks"), (2.0, 1.2))
    shapes.block(mesh, (0.0, 0.2, d + 0.75), (1.2, 0.2, 0.5), P("planks"), tile=(1.2, 0.6))
    # roof: two thatched slopes with overhang, and their thickness at the eaves
    over = 0.9
    slope = vm.normalize((0.0, ridge - wall, d))
    eave_y = wall - over * (ridge - wall) / d
    for sz in (-1, 1):
        eave = (0.0, eave_y, sz * (d + over))
        up = vm.normalize((0.0, ridge + 0.25 - eave_y, -sz * (d + over)))
        length = vm.length((0.0, ridge + 0.25 - eave_y, d + over))
        origin = vm.add(eave, (-(w + over) * sz, 0.0, 0.0))
        u = X if sz > 0 else NX
        shapes.panel(mesh, origin, u, up, 2 * (w + over), length, P("thatch"), (2.2, 1.9))
        # underside, seen from below the eaves
        shapes.panel(mesh, vm.add(origin, (2 * (w + over) * sz, -0.3, 0.0)), vm.scale(u, -1.0), up, 2 * (w + over),
                     length, P("thatch"), (2.2, 1.9))
        # eave edge
        shapes.panel(mesh, vm.add(origin, (0.0, -0.3, 0.0)), u, Y, 2 * (w + over), 0.3, P("thatch"), (2.2, 0.3))
    for sx in (-1, 1):
        # roof ends close the thickness of the thatch
        shapes.panel(mesh, (sx * (w + over), eave_y - 0.3, sx * (d + over)), (0.0, 0.0, -sx), Y, 0.001 + 0.0, 0.3,
                     P("thatch"), (1.0, 1.0))
    shapes.beam(mesh, (-(w + over + 0.1), ridge + 0.25, 0.0), (w + over + 0.1, ridge + 0.25, 0.0), 0.45, P("logs"),
                end_region=P("end_grain"))
    # chimney through the right slope
    shapes.block(mesh, (w - 1.4, 4.6, -1.0), (0.55, 3.2, 0.55), P("stone_wall"), tile=(1.1, 1.2), faces="xXYzZ")
    return m


def well(name="well.mesh"):
    """A round stone well 3.2 across, knee high, with two posts, a small
    roof, a winch beam, a rope and a bucket. The shaft is open and dark."""
    m = shapes.Model(name)
    mesh = m.props
    outer, inner, height = 1.6, 1.15, 1.1
    seg = 16
    rings = [mk.Ring((0.0, y, 0.0), X, Z, outer, outer, STATIC, t) for y, t in ((height, 0.0), (0.0, 1.0))]
    mk.loft(mesh, rings, seg, P("stone_wall"))
    rings = [mk.Ring((0.0, y, 0.0), X, Z, inner, inner, STATIC, t) for y, t in ((height, 0.0), (-3.0, 1.0))]
    shaft = shapes.Model("shaft").props
    mk.loft(shaft, rings, seg, P("stone_wall"))
    for a, b, c in shaft.triangles:
        base = len(mesh.positions)
        for i in (a, b, c):
            mesh.add_vertex(shaft.positions[i], shaft.uvs[i], STATIC, ("shaft", shaft.smooth_keys[i]))
        mesh.triangles.append((base, base + 2, base + 1))
    # the rim between the two walls
    key = (mesh.new_shape_id(), "flat")
    for k in range(seg):
        a0 = 2 * math.pi * k / seg
        a1 = 2 * math.pi * (k + 1) / seg
        pts = [(r * math.sin(a), height, r * math.cos(a)) for r, a in ((outer, a0), (outer, a1), (inner, a1), (inner, a0))]
        shapes.quad(mesh, [pts[1], pts[0], pts[3], pts[2]], P("stone_wall"), smooth=key)
    # darkness down the shaft
    shapes.panel(mesh, (-inner, -2.0, inner), X, NZ, 2 * inner, 2 * inner, P("water_dark"), (2 * inner, 2 * inner))
    # posts, roof and winch
    top = 3.7
    for sx in (-1, 1):
        shapes.block(mesh, (sx * (outer - 0.1), (top + height) / 2, 0.0), (0.14, (top - height) / 2 + 0.05, 0.14),
                     P("logs"), tile=(0.3, 1.5))
    shapes.beam(mesh, (-outer - 0.1, 2.6, 0.0), (outer + 0.1, 2.6, 0.0), 0.22, P("logs"), end_region=P("end_grain"))
    shapes.cylinder(mesh, (0.0, 2.6, 0.0), (0.0, 1.5, 0.0), 0.03, 0.03, P("rope"), segments=4)
    shapes.cylinder(mesh, (0.0, 1.5, 0.0), (0.0, 1.05, 0.0), 0.28, 0.24, P("barrel"), segments=10, cap_end=True)
    for sz in (-1, 1):
        up = vm.normalize((0.0, 0.8, -sz * 1.3))
        origin = (-(outer + 0.5) * sz, top - 0.15, sz * 1.3)
        u = X if sz > 0 else NX
        length = vm.length((0.0, 0.8, 1.3))
        shapes.panel(mesh, origin, u, up, 2 * (outer + 0.5), length, P("planks"), (1.0, 1.6))
        shapes.panel(mesh, vm.add(origin, (2 * (outer + 0.5) * sz, -0.12, 0.0)), vm.scale(u, -1.0), up,
                     2 * (outer + 0.5), length, P("planks"), (1.0, 1.6))
    return m


def fence(name="fence.mesh"):
    """One 4-unit length of rail fence along X: posts at both ends."""
    m = shapes.Model(name)
    for x in (-2.0, 2.0):
        shapes.block(m.props, (x, 0.7, 0.0), (0.12, 0.7, 0.12), P("logs"), tile=(0.25, 1.4))
        shapes.cylinder(m.props, (x, 1.4, 0.0), (x, 1.55, 0.0), 0.12, 0.02, P("logs"), segments=5)
    for y, tilt in ((0.55, 0.04), (1.1, -0.03)):
        shapes.beam(m.props, (-2.15, y, 0.0), (2.15, y + tilt, 0.0), 0.12, P("logs"), tile=2.2,
                    end_region=P("end_grain"))
    return m


def jetty(name="jetty.mesh"):
    """A plank jetty 16 long (out along +Z), 3 wide, its deck 1.5 above its
    foot; the piles reach 3 units below to stand in the water."""
    m = shapes.Model(name)
    deck = 1.5
    length, half = 16.0, 1.5
    shapes.panel(m.props, (-half, deck, 0.0), X, Z, 2 * half, length, P("planks"), (1.0, 1.5))
    shapes.panel(m.props, (half, deck - 0.2, 0.0), NX, Z, 2 * half, length, P("planks_dark"), (1.0, 1.5))
    for sx in (-1, 1):
        shapes.beam(m.props, (sx * (half - 0.1), deck - 0.2, 0.0), (sx * (half - 0.1), deck - 0.2, length), 0.3,
                    P("logs"), tile=3.0, end_region=P("end_grain"))
    for z in range(0, 17, 4):
        for sx in (-1, 1):
            zz = min(float(z), length - 0.2) + 0.2
            shapes.cylinder(m.props, (sx * (half - 0.1), -3.0, zz), (sx * (half - 0.1), deck + 0.45, zz), 0.2, 0.18,
                            P("logs"), segments=7, cap_end=True)
    # a mooring post with a coil of rope at the end
    shapes.cylinder(m.props, (0.8, deck, length - 0.6), (0.8, deck + 0.9, length - 0.6), 0.16, 0.15, P("logs"),
                    segments=7, cap_end=True)
    mk.tube(m.props, [(0.8 + 0.28 * math.cos(a), deck + 0.35 + 0.02 * a, length - 0.6 + 0.28 * math.sin(a))
                      for a in [k * 0.5 for k in range(26)]], [0.05] * 26, Y, STATIC, P("rope"), segments=5)
    return m


def barrel(name="barrel.mesh"):
    """A hooped barrel 1.3 high, standing."""
    m = shapes.Model(name)
    pts = [(0.0, 0.0, 0.0), (0.0, 0.35, 0.0), (0.0, 0.65, 0.0), (0.0, 0.95, 0.0), (0.0, 1.3, 0.0)]
    rings = [mk.Ring(p, X, Z, r, r, STATIC, 1.0 - p[1] / 1.3) for p, r in zip(pts, (0.45, 0.53, 0.56, 0.53, 0.45))]
    mk.loft(m.props, rings, 14, P("barrel"))
    for y, sign in ((1.26, 1), (0.04, -1)):
        key = (m.props.new_shape_id(), "flat")
        centre = m.props.add_vertex((0.0, y, 0.0), P("end_grain").uv(0.5, 0.5), STATIC, key)
        rim = []
        for k in range(14):
            a = 2 * math.pi * k / 14
            rim.append(m.props.add_vertex((0.43 * math.sin(a), y, 0.43 * math.cos(a)),
                                          P("end_grain").uv(0.5 + 0.48 * math.sin(a), 0.5 + 0.48 * math.cos(a)),
                                          STATIC, key))
        for k in range(14):
            m.props.add_triangle(centre, rim[k], rim[(k + 1) % 14], (0.0, y - sign, 0.0))
    return m


def crate(name="crate.mesh"):
    """A 1.2-unit crate with a braced face on every side."""
    m = shapes.Model(name)
    shapes.block(m.props, (0.0, 0.6, 0.0), (0.6, 0.6, 0.6), P("crate"), tile=(1.2, 1.2))
    return m


def campfire(name="campfire.mesh"):
    """A ring of stones round charred logs and embers (the fire itself is a
    particle system on top)."""
    m = shapes.Model(name)
    for k in range(9):
        a = 2 * math.pi * k / 9
        shapes.blob(m.props, (1.0 * math.cos(a), 0.12, 1.0 * math.sin(a)), (0.32, 0.24, 0.28), P("rock"), 80 + k,
                    roughness=0.2, rings=5, segments=7, flat_bottom=0.0)
    shapes.panel(m.props, (-0.75, 0.03, 0.75), X, NZ, 1.5, 1.5, P("ember"), (1.5, 1.5))
    for k in range(4):
        a = k * math.pi / 2 + 0.3
        shapes.cylinder(m.props, (0.85 * math.cos(a), 0.1, 0.85 * math.sin(a)), (0.1 * math.cos(a), 0.5, 0.1 * math.sin(a)),
                        0.11, 0.09, P("logs"), segments=6)
    return m


def builders():
    return [hut, well, fence, jetty, barrel, crate, campfire]


def build(out_dir, work_dir):
    return shapes.build_models(builders(), out_dir, work_dir)

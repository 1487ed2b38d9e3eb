"""Meshes the engine code places by name: the editor's gizmo (arrow shaft
and head, scale ring, locator arrow), the energy ball's core, the sky dome
and the flat stand-in for the water plane.

The gizmo is built at unit size along +X: the editor scales the shaft to
the selected object's extent along X and the head and rings uniformly, and
turns copies onto Y and Z. Their materials live in the hand-written effect
scripts (media/scripts/).
"""

import math

from .. import meshkit as mk
from .. import vecmath as vm
from . import layout, shapes
from .shapes import STATIC


class Flat:
    """A one-texel "region" for untextured surfaces."""

    def uv(self, s, t):
        return (min(1.0, max(0.0, s)), min(1.0, max(0.0, t)))


FLAT = Flat()

# the shaft is one unit long and thin: the editor stretches its length only
SHAFT_RADIUS = 0.018
HEAD_LENGTH = 0.16
HEAD_RADIUS = 0.05


def shaft():
    m = shapes.Model("pfeil_schaft.mesh")
    mesh = m.mesh("KELVO/XAxe")
    shapes.cylinder(mesh, (0.0, 0.0, 0.0), (1.0, 0.0, 0.0), SHAFT_RADIUS, SHAFT_RADIUS, FLAT, segments=10,
                    cap_start=True, cap_end=True, side_hint=vm.UNIT_Y)
    return m


def head():
    """The arrow head: its base on the origin (where the editor puts the
    shaft's end), its point at +X."""
    m = shapes.Model("pfeil_spitze.mesh")
    mesh = m.mesh("KELVO/XAxe")
    mk.tube(mesh, [(0.0, 0.0, 0.0), (HEAD_LENGTH, 0.0, 0.0)], [HEAD_RADIUS, 0.0], vm.UNIT_Y, STATIC, FLAT,
            segments=14, cap_start=True)
    return m


def torus():
    """A ring of radius 1 around the X axis (in the YZ plane)."""
    m = shapes.Model("torus.mesh")
    mesh = m.mesh("KELVO/XAxe")
    major, minor = 1.0, 0.025
    seg = 48
    pts = [(0.0, major * math.cos(2 * math.pi * k / seg), major * math.sin(2 * math.pi * k / seg)) for k in range(seg + 1)]
    mk.tube(mesh, pts, [minor] * len(pts), vm.UNIT_X, STATIC, FLAT, segments=8)
    return m


def locator():
    """The terrain locator: an arrow from its tail at the origin to its
    point at +X (x = 1). The editor turns it to point down and lifts it by
    its length, so the point touches the picked ground."""
    m = shapes.Model("arrow.mesh")
    mesh = m.mesh("KELVO/Locator")
    shapes.cylinder(mesh, (0.0, 0.0, 0.0), (0.7, 0.0, 0.0), 0.05, 0.05, FLAT, segments=10, cap_start=True,
                    side_hint=vm.UNIT_Y)
    mk.tube(mesh, [(0.7, 0.0, 0.0), (1.0, 0.0, 0.0)], [0.13, 0.0], vm.UNIT_Y, STATIC, FLAT, segments=14,
            cap_start=True)
    return m


def energy_ball():
    """The glowing core of a thrown energy ball, 0.8 across, centred on
    its node; the particle systems around it make the rest of the glow."""
    m = shapes.Model("box.mesh")
    mesh = m.mesh("KELVO/EnergyBall")
    mk.ellipsoid(mesh, (0.0, 0.0, 0.0), (0.4, 0.4, 0.4), STATIC, FLAT, rings=10, segments=16)
    return m


def sky_dome():
    """A unit dome seen from inside: radius 1, the zenith at y = 1, and a
    skirt to y = -0.15 so that no gap shows under the horizon. The game
    scales it by (3000, 600, 3000). Texture v runs from the zenith (0) to
    the skirt (1), u once around."""
    m = shapes.Model("SkyDome.mesh")
    mesh = m.mesh("KELVO/SkyDome")
    rings = []
    steps = 12
    for k in range(steps + 1):
        t = k / float(steps)
        lat = math.pi / 2 * (1.0 - t * 1.1)
        y = math.sin(lat)
        r = math.cos(lat)
        rings.append(mk.Ring((0.0, y, 0.0), vm.UNIT_X, vm.UNIT_Z, r, r, STATIC, t))
    outside = shapes.Model("outside").props
    mk.loft(outside, rings, 32, FLAT)
    for a, b, c in outside.triangles:
        base = len(mesh.positions)
        for i in (a, b, c):
            p = outside.positions[i]
            # smooth normals pointing in, toward the viewer at the centre
            mesh.add_vertex(p, outside.uvs[i], STATIC, ("dome", round(p[0], 4), round(p[1], 4), round(p[2], 4)))
        mesh.triangles.append((base, base + 2, base + 1))
    return m


def water_plane():
    """The stand-in the level places as its "FresnelPlane" entity: a flat
    100 x 100 square at y = 0 (the game hides it and builds the real water
    at its height; the editor shows it)."""
    m = shapes.Model("water_plane.mesh")
    mesh = m.mesh("KELVO/WaterPlane")
    shapes.panel(mesh, (-50.0, 0.0, 50.0), vm.UNIT_X, (0.0, 0.0, -1.0), 100.0, 100.0, FLAT, tile=(10.0, 10.0))
    return m


def builders():
    return [shaft, head, torus, locator, energy_ball, sky_dome, water_plane]


def build(out_dir, work_dir):
    return shapes.build_models(builders(), out_dir, work_dir)

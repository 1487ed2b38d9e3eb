"""Static meshes for props: flat panels that repeat their atlas patch,
planked boxes, lumpy blobs, and the export through OgreXMLConverter.

Props use meshkit's Mesh and lofts (one submesh per material) with a single
dummy bone weight that the static export ignores. Space: +Y up, the front
of a prop faces +Z, its foot on y = 0 at the origin unless said otherwise.
"""

import math
import os

from .. import meshkit as mk
from .. import rig
from .. import vecmath as vm
from . import layout

STATIC = [("Root", 1.0)]


class Model:
    """The submeshes of one prop, keyed by material."""

    def __init__(self, name):
        self.name = name
        self.meshes = {}

    def mesh(self, material=layout.PROPS_MATERIAL):
        if material not in self.meshes:
            self.meshes[material] = mk.Mesh(material)
        return self.meshes[material]

    @property
    def props(self):
        return self.mesh(layout.PROPS_MATERIAL)

    @property
    def foliage(self):
        return self.mesh(layout.FOLIAGE_MATERIAL)


def quad(mesh, corners, region, uvs=((0.0, 1.0), (1.0, 1.0), (1.0, 0.0), (0.0, 0.0)), smooth=None):
    """A quad wound counter-clockwise as seen from its front; corners in the
    order bottom-left, bottom-right, top-right, top-left of the patch.
    Vertices with one smoothing key share one normal: a flat panel passes
    one key for all its pieces."""
    key = smooth if smooth is not None else (mesh.new_shape_id(), "flat")
    a, b, c, d = [mesh.add_vertex(p, region.uv(*uv), STATIC, key) for p, uv in zip(corners, uvs)]
    mesh.triangles.append((a, b, c))
    mesh.triangles.append((a, c, d))


def panel(mesh, origin, u_axis, v_axis, u_len, v_len, region, tile=(1.0, 1.0), offset=(0.0, 0.0)):
    """A flat rectangle from origin along u_axis and v_axis (its front faces
    cross(u, v)), cut into pieces of tile world units, each showing the whole
    atlas patch: boards keep their width however large the wall."""
    u_axis = vm.normalize(u_axis)
    v_axis = vm.normalize(v_axis)
    nu = max(1, int(math.ceil(u_len / tile[0] - 1e-6)))
    nv = max(1, int(math.ceil(v_len / tile[1] - 1e-6)))
    key = (mesh.new_shape_id(), "flat")
    for i in range(nu):
        for j in range(nv):
            a0 = i * tile[0]
            a1 = min(u_len, (i + 1) * tile[0])
            b0 = j * tile[1]
            b1 = min(v_len, (j + 1) * tile[1])
            s0 = (a0 - i * tile[0]) / tile[0] + offset[0]
            s1 = (a1 - i * tile[0]) / tile[0] + offset[0]
            t0 = 1.0 - (b0 - j * tile[1]) / tile[1] - offset[1]
            t1 = 1.0 - (b1 - j * tile[1]) / tile[1] - offset[1]
            pts = []
            for a, b in ((a0, b0), (a1, b0), (a1, b1), (a0, b1)):
                pts.append(vm.add(origin, vm.add(vm.scale(u_axis, a), vm.scale(v_axis, b))))
            quad(mesh, pts, region, ((s0, t0), (s1, t0), (s1, t1), (s0, t1)), smooth=key)


def block(mesh, centre, half, region, tile=(1.0, 1.0), axes=(vm.UNIT_X, vm.UNIT_Y, vm.UNIT_Z), faces="xXyYzZ",
          end_region=None):
    """A box of six panels; faces lists which sides to make (x = -X side,
    X = +X side, ...). end_region textures the +-X ends (log ends)."""
    ax, ay, az = (vm.normalize(a) for a in axes)
    hx, hy, hz = half

    def at(sx, sy, sz):
        return vm.add(centre, vm.add(vm.scale(ax, sx * hx), vm.add(vm.scale(ay, sy * hy), vm.scale(az, sz * hz))))
    neg = lambda v: vm.scale(v, -1.0)
    sides = {
        "X": (at(1, -1, 1), neg(az), ay, 2 * hz, 2 * hy, end_region or region),
        "x": (at(-1, -1, -1), az, ay, 2 * hz, 2 * hy, end_region or region),
        "Y": (at(-1, 1, 1), ax, neg(az), 2 * hx, 2 * hz, region),
        "y": (at(-1, -1, -1), ax, az, 2 * hx, 2 * hz, region),
        "Z": (at(-1, -1, 1), ax, ay, 2 * hx, 2 * hy, region),
        "z": (at(1, -1, -1), neg(ax), ay, 2 * hx, 2 * hy, region),
    }
    for f in faces:
        origin, u, v, ul, vl, reg = sides[f]
        panel(mesh, origin, u, v, ul, vl, reg, tile)


def beam(mesh, a, b, thickness, region, up=vm.UNIT_Y, tile=2.0, end_region=None):
    """A square timber from point a to point b; boards run along it."""
    d = vm.sub(b, a)
    length = vm.length(d)
    ax = vm.normalize(d)
    side = vm.cross(up, ax)
    if vm.length(side) < 1e-6:
        side = vm.any_perpendicular(ax)
    side = vm.normalize(side)
    ay = vm.normalize(vm.cross(ax, side))
    block(mesh, vm.lerp(a, b, 0.5), (length * 0.5, thickness * 0.5, thickness * 0.5), region,
          tile=(tile, thickness * 2.0), axes=(ax, ay, side), end_region=end_region)


def cylinder(mesh, a, b, r0, r1, region, segments=8, cap_start=False, cap_end=False, side_hint=vm.UNIT_X):
    mk.tube(mesh, [a, b], [r0, r1], side_hint, STATIC, region, segments=segments,
            cap_start=cap_start, cap_end=cap_end)


def displace(mesh, first_vertex, fn):
    """Moves the vertices from first_vertex on by fn(position) -> offset.
    fn must depend on the position only, so vertices that share a place (a
    seam) stay together."""
    for i in range(first_vertex, len(mesh.positions)):
        p = mesh.positions[i]
        mesh.positions[i] = vm.add(p, fn(p))


def clamp_to_ground(mesh, first_vertex=0):
    """Flattens whatever dips below y = 0 onto it (roots, rims of lofts)."""
    for i in range(first_vertex, len(mesh.positions)):
        x, y, z = mesh.positions[i]
        if y < 0.0:
            mesh.positions[i] = (x, 0.0, z)


def hash_noise(seed):
    """A smooth 3D noise of positions: sums of a few seeded sine waves,
    cheap and the same at seams."""
    import random
    rng = random.Random(seed)
    waves = []
    for k in range(6):
        d = vm.normalize((rng.uniform(-1, 1), rng.uniform(-1, 1), rng.uniform(-1, 1)))
        waves.append((d, rng.uniform(0.7, 1.6) * (1.6 ** (k // 2)), rng.uniform(0, 6.283), 1.0 / (1.0 + k * 0.7)))
    norm = sum(w[3] for w in waves)

    def fn(p, frequency=1.0):
        return sum(math.sin(vm.dot(d, p) * f * frequency + ph) * a for d, f, ph, a in waves) / norm
    return fn


def blob(mesh, centre, radii, region, seed, roughness=0.18, rings=7, segments=10, flat_bottom=None,
         frequency=1.2):
    """A lumpy ellipsoid (canopies, bushes, rocks): displaced along the
    direction from its centre by smooth noise; flat_bottom cuts it at a
    height (rocks sit on the ground)."""
    first = len(mesh.positions)
    mk.ellipsoid(mesh, centre, radii, STATIC, region, rings=rings, segments=segments)
    n = hash_noise(seed)
    size = (radii[0] + radii[1] + radii[2]) / 3.0

    def push(p):
        d = vm.sub(p, centre)
        length = vm.length(d)
        if length < 1e-6:
            return (0.0, 0.0, 0.0)
        k = n(vm.scale(p, 1.0 / size), frequency) * roughness
        return vm.scale(d, k)
    displace(mesh, first, push)
    if flat_bottom is not None:
        for i in range(first, len(mesh.positions)):
            x, y, z = mesh.positions[i]
            if y < flat_bottom:
                mesh.positions[i] = (x, flat_bottom, z)


def cone_skirt(mesh, centre_y, top_y, radius, region, seed, segments=12, droop=0.25):
    """One layer of a fir: a cone whose rim hangs down a little and wavers."""
    n = hash_noise(seed)
    rings = []
    for k, (t, r) in enumerate(((0.0, radius), (0.5, radius * 0.55), (1.0, 0.0))):
        y = centre_y + (top_y - centre_y) * t - (droop if k == 0 else 0.0)
        rings.append(mk.Ring((0.0, y, 0.0), vm.UNIT_X, vm.UNIT_Z, r, r, STATIC, 1.0 - t))
    first = len(mesh.positions)
    mk.loft(mesh, rings, segments, region, cap_start=True)
    displace(mesh, first, lambda p: (p[0] * 0.12 * n(p), 0.15 * n(vm.scale(p, 2.0)), p[2] * 0.12 * n(p)))


def card(mesh, base, direction, up, length, width, region, bend=0.0, segments=4, fold=0.0):
    """A leaf or frond strip from base along direction, spread across
    width on both sides of its rib; bend droops it (units at the tip), fold
    lifts the rib so the strip has a V section."""
    direction = vm.normalize(direction)
    side = vm.normalize(vm.cross(up, direction))
    upn = vm.normalize(vm.cross(direction, side))
    rows = []
    for k in range(segments + 1):
        t = k / segments
        centre = vm.add(base, vm.add(vm.scale(direction, length * t), vm.scale(upn, -bend * t * t)))
        w = width * 0.5 * math.sin(math.pi * min(1.0, 0.15 + t * 0.95))
        rib = vm.add(centre, vm.scale(upn, fold * w))
        rows.append((vm.sub(centre, vm.scale(side, w)), rib, vm.add(centre, vm.scale(side, w)), t))
    key = (mesh.new_shape_id(), "card")
    for (l0, m0, r0, t0), (l1, m1, r1, t1) in zip(rows, rows[1:]):
        for (a0, b0, s0, s1) in ((l0, m0, 1.0, 0.5), (m0, r0, 0.5, 0.0)):
            a1 = l1 if a0 is l0 else m1
            b1 = m1 if b0 is m0 else r1
            quad(mesh, [a0, b0, b1, a1], region, ((t0, s0), (t0, s1), (t1, s1), (t1, s0)), smooth=key)


def static_mesh_xml(meshes):
    out = ['<mesh>', '  <submeshes>']
    for mesh in meshes:
        normals = mesh.normals()
        out.append('    <submesh material="%s" usesharedvertices="false" use32bitindexes="%s" '
                   'operationtype="triangle_list">' % (mesh.material,
                                                       "true" if len(mesh.positions) > 65535 else "false"))
        out.append('      <faces count="%d">' % len(mesh.triangles))
        for a, b, c in mesh.triangles:
            out.append('        <face v1="%d" v2="%d" v3="%d"/>' % (a, b, c))
        out.append('      </faces>')
        out.append('      <geometry vertexcount="%d">' % len(mesh.positions))
        out.append('        <vertexbuffer positions="true" normals="true" texture_coords="1" '
                   'texture_coord_dimensions_0="2">')
        f = rig._f
        for p, n, uv in zip(mesh.positions, normals, mesh.uvs):
            out.append('          <vertex><position x="%s" y="%s" z="%s"/><normal x="%s" y="%s" z="%s"/>'
                       '<texcoord u="%s" v="%s"/></vertex>'
                       % (tuple(f(c) for c in p) + tuple(f(c) for c in n) + (f(uv[0]), f(uv[1]))))
        out.append('        </vertexbuffer>')
        out.append('      </geometry>')
        out.append('    </submesh>')
    out.append('  </submeshes>')
    out.append('</mesh>')
    return "\n".join(out) + "\n"


def export(work_dir, out_dir, file_name, meshes, note=""):
    """Writes file_name (a .mesh) into out_dir; returns a summary line."""
    meshes = [m for m in meshes if m.triangles]
    if not meshes:
        raise ValueError("%s has no triangles" % file_name)
    xml_path = os.path.join(work_dir, file_name + ".xml")
    with open(xml_path, "w") as f:
        f.write(static_mesh_xml(meshes))
    rig.convert(xml_path, os.path.join(out_dir, file_name), work_dir)
    lo = [min(m.bounds()[0][k] for m in meshes) for k in range(3)]
    hi = [max(m.bounds()[1][k] for m in meshes) for k in range(3)]
    return "%s: %d triangles, %.1f x %.1f x %.1f%s" % (
        file_name, sum(len(m.triangles) for m in meshes), hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2],
        (", " + note) if note else "")


def export_model(work_dir, out_dir, model, note=""):
    return export(work_dir, out_dir, model.name, list(model.meshes.values()), note)


def build_models(builders, out_dir, work_dir):
    """Builds and exports every model of a module; returns summary lines."""
    lines = []
    for make in builders:
        model = make()
        lines.append(export_model(work_dir, out_dir, model))
    return lines

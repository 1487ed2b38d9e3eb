"""Building skinned low-poly meshes from lofted shapes.

A shape is a stack of rings (ellipses or rounded rectangles) swept along a
path: limbs, torsos, heads, robes, wings and legs are all lofts. Every ring
carries its own bone weights, so a limb that runs across a joint bends
smoothly instead of splitting. Normals are smoothed within a shape only,
which keeps a sharp crease where a boot meets a trouser leg.

Coordinates are the canonical character space: +Y up, +Z forward, +X the
character's left. The exporter turns them into whatever space the game's
scripts expect (see rig.Convention).
"""

import math

from . import vecmath as vm


class Ring:
    """One cross-section of a loft.

    side, front: unit vectors spanning the ring's plane; the texture's
    u = 0.5 lies on +front, u = 0.75 on +side, the seam on -front.
    weights: [(bone name, weight), ...] or a function of the angle phi
    (radians, 0 at +front) returning such a list.
    power: 2 gives an ellipse, larger values a rounded rectangle.
    """

    def __init__(self, centre, side, front, r_side, r_front, weights, v, power=2.0):
        self.centre = centre
        self.side = vm.normalize(side)
        self.front = vm.normalize(front)
        self.r_side = r_side
        self.r_front = r_front
        self.weights = weights
        self.v = v
        self.power = power

    def point(self, phi):
        c = math.cos(phi)
        s = math.sin(phi)
        if self.power != 2.0:
            e = 2.0 / self.power
            c = math.copysign(abs(c) ** e, c)
            s = math.copysign(abs(s) ** e, s)
        return vm.add(self.centre, vm.add(vm.scale(self.front, c * self.r_front),
                                          vm.scale(self.side, s * self.r_side)))

    def weights_at(self, phi):
        return self.weights(phi) if callable(self.weights) else self.weights


class Mesh:
    """Vertices and triangles of one submesh (one material)."""

    def __init__(self, material):
        self.material = material
        self.positions = []
        self.uvs = []
        self.weights = []
        self.smooth_keys = []
        self.triangles = []
        self._shape_counter = 0

    def new_shape_id(self):
        self._shape_counter += 1
        return self._shape_counter

    def add_vertex(self, position, uv, weights, smooth_key):
        self.positions.append(position)
        self.uvs.append(uv)
        self.weights.append(normalise_weights(weights))
        self.smooth_keys.append(smooth_key)
        return len(self.positions) - 1

    def add_triangle(self, a, b, c, outward_hint=None):
        """Adds the triangle wound counter-clockwise as seen from outside;
        outward_hint is a point inside the shape (the ring centre)."""
        pa, pb, pc = self.positions[a], self.positions[b], self.positions[c]
        n = vm.cross(vm.sub(pb, pa), vm.sub(pc, pa))
        if vm.length(n) < 1e-12:
            return
        if outward_hint is not None:
            centroid = vm.scale(vm.add(vm.add(pa, pb), pc), 1.0 / 3.0)
            if vm.dot(n, vm.sub(centroid, outward_hint)) < 0.0:
                b, c = c, b
        self.triangles.append((a, b, c))

    def normals(self):
        sums = {}
        for a, b, c in self.triangles:
            pa, pb, pc = self.positions[a], self.positions[b], self.positions[c]
            n = vm.cross(vm.sub(pb, pa), vm.sub(pc, pa))
            for i in (a, b, c):
                key = self.smooth_keys[i]
                s = sums.get(key, (0.0, 0.0, 0.0))
                sums[key] = vm.add(s, n)
        result = []
        for i, key in enumerate(self.smooth_keys):
            n = vm.normalize(sums.get(key, (0.0, 1.0, 0.0)))
            result.append(n if n != (0.0, 0.0, 0.0) else (0.0, 1.0, 0.0))
        return result

    def bounds(self):
        xs = [p[0] for p in self.positions]
        ys = [p[1] for p in self.positions]
        zs = [p[2] for p in self.positions]
        return (min(xs), min(ys), min(zs)), (max(xs), max(ys), max(zs))


def normalise_weights(weights):
    merged = {}
    for bone, w in weights:
        if w > 1e-4:
            merged[bone] = merged.get(bone, 0.0) + w
    best = sorted(merged.items(), key=lambda item: (-item[1], item[0]))[:4]
    total = sum(w for _, w in best)
    if total <= 0.0:
        raise ValueError("a vertex has no bone weight: %r" % (weights,))
    return [(bone, w / total) for bone, w in best]


def _key(shape_id, p):
    return (shape_id, round(p[0], 4), round(p[1], 4), round(p[2], 4))


def loft(mesh, rings, segments, region, cap_start=False, cap_end=False, cap_uv=None):
    """Sweeps `segments` quads around between consecutive rings. The region
    (a paint.Region) maps u around and the rings' v along. Caps close the
    ends with a flat fan (hard edge); a ring of zero radius closes it round."""
    if len(rings) < 2:
        raise ValueError("a loft needs at least two rings")
    shape = mesh.new_shape_id()
    grid = []
    for ring in rings:
        row = []
        for k in range(segments + 1):
            u = k / segments
            phi = 2.0 * math.pi * (u - 0.5)
            p = ring.point(phi)
            row.append(mesh.add_vertex(p, region.uv(u, ring.v), ring.weights_at(phi), _key(shape, p)))
        grid.append(row)
    for r in range(len(rings) - 1):
        hint = vm.scale(vm.add(rings[r].centre, rings[r + 1].centre), 0.5)
        for k in range(segments):
            a = grid[r][k]
            b = grid[r][k + 1]
            c = grid[r + 1][k + 1]
            d = grid[r + 1][k]
            mesh.add_triangle(a, b, c, hint)
            mesh.add_triangle(a, c, d, hint)
    for flag, ring, inner in ((cap_start, rings[0], rings[1]), (cap_end, rings[-1], rings[-2])):
        if not flag:
            continue
        cap_shape = mesh.new_shape_id()
        uv = cap_uv if cap_uv is not None else region.uv(0.5, ring.v)
        centre = mesh.add_vertex(ring.centre, uv, ring.weights_at(0.0), (cap_shape, "centre"))
        inside = vm.lerp(ring.centre, inner.centre, 0.5)
        rim = []
        for k in range(segments):
            phi = 2.0 * math.pi * (k / segments - 0.5)
            rim.append(mesh.add_vertex(ring.point(phi), uv, ring.weights_at(phi), (cap_shape, "centre")))
        for k in range(segments):
            mesh.add_triangle(centre, rim[k], rim[(k + 1) % segments], inside)


def tube(mesh, points, radii, side_hint, weights, region, segments=8, power=2.0,
         front_radii=None, cap_start=False, cap_end=False, v_range=(0.0, 1.0)):
    """A loft along a polyline. radii per point (side radius), front_radii
    optionally different; weights a list per point (or one list for all).
    side_hint orients the rings: the ring's side axis is side_hint made
    perpendicular to the path."""
    n = len(points)
    if front_radii is None:
        front_radii = radii
    rings = []
    total = sum(vm.length(vm.sub(points[i + 1], points[i])) for i in range(n - 1))
    run = 0.0
    for i, p in enumerate(points):
        if i == 0:
            d = vm.sub(points[1], points[0])
        elif i == n - 1:
            d = vm.sub(points[-1], points[-2])
        else:
            d = vm.add(vm.normalize(vm.sub(points[i], points[i - 1])),
                       vm.normalize(vm.sub(points[i + 1], points[i])))
        d = vm.normalize(d)
        side = vm.sub(side_hint, vm.scale(d, vm.dot(side_hint, d)))
        if vm.length(side) < 1e-6:
            side = vm.any_perpendicular(d)
        side = vm.normalize(side)
        front = vm.normalize(vm.cross(d, side))
        if i > 0:
            run += vm.length(vm.sub(points[i], points[i - 1]))
        v = v_range[0] + (v_range[1] - v_range[0]) * (run / total if total > 0 else 0.0)
        w = weights[i] if isinstance(weights[0], list) else weights
        rings.append(Ring(p, side, front, radii[i], front_radii[i], w, v, power))
    loft(mesh, rings, segments, region, cap_start=cap_start, cap_end=cap_end)
    return rings


def ellipsoid(mesh, centre, radii, weights, region, rings=7, segments=10,
              up=vm.UNIT_Y, front=vm.UNIT_Z, squash=None, power=2.0):
    """A closed ellipsoid whose texture's u = 0.5 column faces `front` and
    whose v runs from top (0) to bottom (1). squash(lat) may scale a ring's
    radii by latitude (-1 bottom .. 1 top) to shape heads and bodies.
    weights: a list, or a function (lat, phi) -> list for jaws and beaks."""
    up = vm.normalize(up)
    front = vm.normalize(front)
    side = vm.normalize(vm.cross(up, front))
    ring_list = []
    for i in range(rings + 1):
        t = i / rings
        theta = math.pi * t
        lat = math.cos(theta)
        r = math.sin(theta)
        sx, sz = 1.0, 1.0
        if squash is not None:
            sx, sz = squash(lat)
        c = vm.add(centre, vm.scale(up, lat * radii[1]))
        if callable(weights):
            w = (lambda phi, lat=lat: weights(lat, phi))
        else:
            w = weights
        ring_list.append(Ring(c, side, front, max(r, 0.0) * radii[0] * sx,
                              max(r, 0.0) * radii[2] * sz, w, t, power))
    loft(mesh, ring_list, segments, region)
    return ring_list


def box(mesh, centre, half, weights, region, axes=(vm.UNIT_X, vm.UNIT_Y, vm.UNIT_Z)):
    """A hard-edged box (six flat faces) for buckles, planks and soles."""
    ax, ay, az = axes
    corners = {}
    for sx in (-1, 1):
        for sy in (-1, 1):
            for sz in (-1, 1):
                corners[(sx, sy, sz)] = vm.add(centre, vm.add(vm.scale(ax, sx * half[0]),
                                                              vm.add(vm.scale(ay, sy * half[1]),
                                                                     vm.scale(az, sz * half[2]))))
    faces = [
        [(1, -1, -1), (1, 1, -1), (1, 1, 1), (1, -1, 1)],
        [(-1, -1, 1), (-1, 1, 1), (-1, 1, -1), (-1, -1, -1)],
        [(-1, 1, -1), (-1, 1, 1), (1, 1, 1), (1, 1, -1)],
        [(-1, -1, 1), (-1, -1, -1), (1, -1, -1), (1, -1, 1)],
        [(-1, -1, 1), (1, -1, 1), (1, 1, 1), (-1, 1, 1)],
        [(1, -1, -1), (-1, -1, -1), (-1, 1, -1), (1, 1, -1)],
    ]
    uvs = [(0, 1), (0, 0), (1, 0), (1, 1)]
    for face in faces:
        shape = mesh.new_shape_id()
        idx = [mesh.add_vertex(corners[c], region.uv(*uv), weights, (shape, "flat"))
               for c, uv in zip(face, uvs)]
        mesh.add_triangle(idx[0], idx[1], idx[2], centre)
        mesh.add_triangle(idx[0], idx[2], idx[3], centre)


def blend_weights(bone_a, bone_b, t):
    """Weights that hand a vertex from bone_a (t = 0) to bone_b (t = 1)."""
    t = vm.clamp(t, 0.0, 1.0)
    if t <= 0.0:
        return [(bone_a, 1.0)]
    if t >= 1.0:
        return [(bone_b, 1.0)]
    return [(bone_a, 1.0 - t), (bone_b, t)]

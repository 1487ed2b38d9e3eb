"""The two ships: the sailing ship waiting at the shore where the game ends,
and the wreck the hero was cast ashore with.

Both run along Z with the bow at +Z; y = 0 is the waterline of the whole
ship (the wreck's sand line). The hull is lofted from U-shaped frames.
"""

import math

from .. import meshkit as mk
from .. import vecmath as vm
from . import layout, shapes
from .shapes import STATIC

P = layout.props
X, Y, Z = vm.UNIT_X, vm.UNIT_Y, vm.UNIT_Z


def hull_frames(length, beam, depth, sheer, count=11):
    """(z, half beam, keel depth, deck height) along the hull from stern to
    bow: full amidships, narrowing to a pointed bow and a square stern."""
    frames = []
    for k in range(count):
        t = k / (count - 1.0)
        z = -length / 2 + length * t
        # the bow narrows fast; the stern keeps most of its beam
        width = beam * (math.sin(math.pi * min(1.0, 0.25 + 0.75 * t)) ** 0.7 if t < 0.98 else 0.05)
        keel = depth * (0.65 + 0.35 * math.sin(math.pi * t))
        deck = sheer * (1.0 + 0.9 * (abs(t - 0.45) * 2.0) ** 2)
        frames.append((z, max(0.05, width), keel, deck))
    return frames


def hull_section(z, half, keel, deck, n=9):
    """Points of one side of a frame from the deck edge down to the keel."""
    pts = []
    for k in range(n):
        t = k / (n - 1.0)
        # round bilge: from (half, deck) down to (0, -keel)
        a = t * math.pi / 2
        x = half * math.cos(a) ** 0.8
        y = deck - (deck + keel) * (1.0 - math.cos(a * 1.0)) if t < 1.0 else -keel
        y = deck - (deck + keel) * t ** 1.4
        pts.append((x, y, z))
    return pts


def hull(mesh, frames, region, upto=1.0, side_tile=2.0):
    """Both sides of the hull between the first frame and the frame at
    fraction upto; the planks run along the hull."""
    sections = [hull_section(*f) for f in frames]
    last = max(1, int(round((len(frames) - 1) * upto)))
    for side in (1.0, -1.0):
        key = (mesh.new_shape_id(), "hull", side)
        for i in range(last):
            a = sections[i]
            b = sections[i + 1]
            for j in range(len(a) - 1):
                p00 = (side * a[j][0], a[j][1], a[j][2])
                p01 = (side * a[j + 1][0], a[j + 1][1], a[j + 1][2])
                p10 = (side * b[j][0], b[j][1], b[j][2])
                p11 = (side * b[j + 1][0], b[j + 1][1], b[j + 1][2])
                s0 = (i % 2) * 0.5
                t0 = j / (len(a) - 1.0)
                t1 = (j + 1) / (len(a) - 1.0)
                idx = [mesh.add_vertex(p, region.uv(s, t), STATIC, (key, round(p[0], 3), round(p[1], 3), round(p[2], 3)))
                       for p, s, t in ((p00, s0, t0), (p10, s0 + 0.5, t0), (p11, s0 + 0.5, t1), (p01, s0, t1))]
                centre = (0.0, -0.2, (a[j][2] + b[j][2]) / 2)
                mesh.add_triangle(idx[0], idx[1], idx[2], centre)
                mesh.add_triangle(idx[0], idx[2], idx[3], centre)
    return sections


def deck(mesh, frames, region, upto=1.0, lower=0.35):
    """The deck planking between the two sides, a little below the rail."""
    last = max(1, int(round((len(frames) - 1) * upto)))
    key = (mesh.new_shape_id(), "deck")
    for i in range(last):
        z0, h0, _, d0 = frames[i]
        z1, h1, _, d1 = frames[i + 1]
        y0 = d0 - lower
        y1 = d1 - lower
        shapes.quad(mesh, [(-h0 * 0.97, y0, z0), (h0 * 0.97, y0, z0), (h1 * 0.97, y1, z1), (-h1 * 0.97, y1, z1)],
                    region, ((0.0, 1.0), (1.0, 1.0), (1.0, 0.0), (0.0, 0.0)), smooth=key)


def transom(mesh, frame, region):
    """The flat stern closing the hull."""
    z, half, keel, top = frame
    sec = hull_section(z, half, keel, top)
    key = (mesh.new_shape_id(), "transom")
    for j in range(len(sec) - 1):
        a, b = sec[j], sec[j + 1]
        shapes.quad(mesh, [(-a[0], a[1], z), (a[0], a[1], z), (b[0], b[1], z), (-b[0], b[1], z)][::-1], region,
                    smooth=key)


def ship(name="ship.mesh"):
    """A two-masted trading ship, 30 long and 8 in the beam, sails furled
    but for the foresail, a cabin aft, a bowsprit and a rowing boat's
    davits; the waterline at y = 0."""
    m = shapes.Model(name)
    mesh = m.props
    frames = hull_frames(30.0, 4.0, 2.6, 2.2, count=13)
    hull(mesh, frames, P("planks_dark"))
    # a painted band along the upper hull: a second, slightly larger skin there
    band = [(z, h + 0.03, -d + 0.9, d + 0.01) for z, h, k, d in frames]
    key = (mesh.new_shape_id(), "band")
    for side in (1.0, -1.0):
        for i in range(len(band) - 1):
            z0, h0, b0, d0 = band[i]
            z1, h1, b1, d1 = band[i + 1]
            pts = [(side * h0, b0, z0), (side * h1, b1, z1), (side * h1, d1, z1), (side * h0, d0, z0)]
            if side < 0:
                pts = [pts[1], pts[0], pts[3], pts[2]]
            shapes.quad(mesh, pts, P("hull_paint"), ((0.0, 0.8), (1.0, 0.8), (1.0, 0.05), (0.0, 0.05)),
                        smooth=(key, side))
    deck(mesh, frames, P("planks"))
    transom(mesh, frames[0], P("planks_dark"))
    # rails
    for side in (1.0, -1.0):
        for i in range(len(frames) - 1):
            z0, h0, _, d0 = frames[i]
            z1, h1, _, d1 = frames[i + 1]
            shapes.beam(mesh, (side * h0 * 0.97, d0 + 0.15, z0), (side * h1 * 0.97, d1 + 0.15, z1), 0.18, P("logs"),
                        tile=3.0)
    # cabin aft
    deck_y = frames[2][3] - 0.35
    shapes.block(mesh, (0.0, deck_y + 1.3, -11.0), (2.6, 1.3, 2.4), P("planks"), tile=(1.6, 1.2), faces="xXzZ")
    shapes.block(mesh, (0.0, deck_y + 2.7, -11.0), (2.9, 0.12, 2.7), P("planks_dark"), tile=(2.0, 2.0))
    shapes.panel(mesh, (-0.6, deck_y, -8.58), X, Y, 1.2, 2.1, P("door"), (1.2, 2.1))
    # masts, yards, furled and set sails
    for z, height, sail in ((5.0, 19.0, True), (-4.0, 21.0, False)):
        base_y = frames[6][3] - 0.35
        shapes.cylinder(mesh, (0.0, base_y - 0.2, z), (0.0, base_y + height, z), 0.32, 0.16, P("logs"), segments=8,
                        cap_end=True)
        for y_frac, span in ((0.45, 7.5), (0.75, 5.5)):
            y = base_y + height * y_frac
            shapes.cylinder(mesh, (-span / 2, y, z + 0.25), (span / 2, y, z + 0.25), 0.12, 0.12, P("logs"),
                            segments=6, side_hint=Y)
            if sail and y_frac < 0.7:
                # a square sail bellied forward by the breeze
                cols, rows = 6, 5
                drop = height * 0.28
                grid = []
                for r in range(rows + 1):
                    row = []
                    for c in range(cols + 1):
                        u = c / float(cols)
                        v = r / float(rows)
                        belly = 1.2 * math.sin(math.pi * u) * math.sin(math.pi * (0.2 + 0.8 * v))
                        row.append(((u - 0.5) * span * (1.0 + 0.1 * v), y - drop * v, z + 0.35 + belly))
                    grid.append(row)
                skey = (mesh.new_shape_id(), "sail")
                for r in range(rows):
                    for c in range(cols):
                        p00, p01, p10, p11 = grid[r][c], grid[r][c + 1], grid[r + 1][c], grid[r + 1][c + 1]
                        uv = ((c / cols, (r + 1) / rows), ((c + 1) / cols, (r + 1) / rows),
                              ((c + 1) / cols, r / rows), (c / cols, r / rows))
                        shapes.quad(mesh, [p10, p11, p01, p00], P("sail"), uv,
                                    smooth=(skey, "front"))
                        shapes.quad(mesh, [p11, p10, p00, p01], P("sail"), (uv[1], uv[0], uv[3], uv[2]),
                                    smooth=(skey, "back"))
            elif not sail:
                # furled: a roll of canvas along the yard
                shapes.cylinder(mesh, (-span / 2 + 0.3, y - 0.25, z + 0.25), (span / 2 - 0.3, y - 0.25, z + 0.25),
                                0.3, 0.3, P("sail"), segments=7, side_hint=Y)
    # bowsprit and stays
    bow = frames[-1]
    shapes.cylinder(mesh, (0.0, bow[3] - 0.2, bow[0] - 2.0), (0.0, bow[3] + 2.0, bow[0] + 7.0), 0.22, 0.1, P("logs"),
                    segments=7)
    top_fore = (0.0, frames[6][3] + 18.5, 5.0)
    for a, b in (((0.0, bow[3] + 2.0, bow[0] + 7.0), top_fore),
                 (top_fore, (0.0, frames[6][3] + 20.5, -4.0)),
                 ((0.0, frames[6][3] + 20.5, -4.0), (0.0, frames[0][3] + 0.3, frames[0][0] + 0.2))):
        shapes.cylinder(mesh, a, b, 0.04, 0.04, P("rope"), segments=4)
    for side in (1.0, -1.0):
        for z in (5.0, -4.0):
            shapes.cylinder(mesh, (side * 3.9, frames[6][3] + 0.2, z - 1.0), (0.0, frames[6][3] + 12.0, z), 0.04, 0.04,
                            P("rope"), segments=4)
    return m


def wreck(name="shipwreck.mesh"):
    """The wreck on the beach: the stern half of a smaller hull lying on
    its side in the sand, its bow broken away to bare ribs, a snapped mast
    beside it. y = 0 is the sand; the hull sinks a unit into it."""
    m = shapes.Model(name)
    mesh = m.props
    frames = hull_frames(20.0, 3.2, 2.0, 1.6, count=11)
    first = len(mesh.positions)
    hull(mesh, frames, P("planks_dark"), upto=0.55)
    deck(mesh, frames, P("planks_dark"), upto=0.45)
    transom(mesh, frames[0], P("planks_dark"))
    # bare ribs of the broken front half
    for i in range(6, 11):
        z, half, keel, top = frames[i]
        if i == 10:
            break
        sec = hull_section(z, half, keel, top)
        pts = [(-p[0], p[1], p[2]) for p in reversed(sec)] + [(p[0], p[1], p[2]) for p in sec[1:]]
        # ribs stand broken at uneven heights
        cut = 2 + (i * 3) % 5
        mk.tube(mesh, pts[cut:len(pts) - (i % 3)], [0.13] * len(pts[cut:len(pts) - (i % 3)]), Z, STATIC,
                P("planks_dark"), segments=5)
    # keel
    shapes.beam(mesh, (0.0, -frames[0][2], frames[0][0]), (0.0, -frames[-1][2] + 0.5, frames[-2][0]), 0.3,
                P("planks_dark"), tile=3.0)
    # roll it onto its side and sink it
    roll = math.radians(28.0)
    c, s = math.cos(roll), math.sin(roll)
    yaw = math.radians(-12.0)
    cy, sy = math.cos(yaw), math.sin(yaw)

    def place(p):
        x, y, z = p
        x, y = x * c - y * s, x * s + y * c
        x, z = x * cy + z * sy, -x * sy + z * cy
        return (x, y + 0.6, z)
    for i in range(first, len(mesh.positions)):
        mesh.positions[i] = place(mesh.positions[i])
    # the snapped mast lying in the sand, with its torn sail
    shapes.cylinder(mesh, (3.5, 0.25, -3.0), (5.5, 0.3, 8.0), 0.3, 0.24, P("logs"), segments=7, cap_start=True,
                    cap_end=True)
    shapes.panel(mesh, (4.6, 0.05, 1.0), (0.25, 0.02, 1.0), (1.0, 0.12, -0.1), 4.0, 2.5, P("sail"), (4.0, 2.5))
    # flotsam
    shapes.block(mesh, (-4.0, 0.5, 5.0), (0.55, 0.55, 0.55), P("crate"), tile=(1.1, 1.1),
                 axes=(vm.normalize((1.0, 0.0, 0.4)), Y, vm.normalize((-0.4, 0.0, 1.0))))
    return m


def builders():
    return [ship, wreck]


def build(out_dir, work_dir):
    return shapes.build_models(builders(), out_dir, work_dir)

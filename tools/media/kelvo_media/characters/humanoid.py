"""The two-legged body shared by the hero, the old man and the zombies.

A Figure holds the joint layout (left side; the right mirrors it unless a
character overrides it) and the body's thickness. build_body() makes the
skeleton and the skinned body in canonical space; the character modules add
their clothes and props and paint the atlas.

Bones: Root > Hips > Spine > Chest > Neck > Head > Jaw; Chest > UpperArm >
Forearm > Hand; Hips > Thigh > Shin > Foot (L and R).
"""

import math

from .. import meshkit as mk
from .. import paint
from .. import rig
from .. import vecmath as vm

SIDES = (("L", 1.0), ("R", -1.0))


def mirror_x(p):
    return (-p[0], p[1], p[2])


class Figure:
    def __init__(self, **kw):
        # joints (left side where sided), canonical space, feet on y = 0
        self.hips = (0.0, 2.02, 0.0)
        self.spine = (0.0, 2.42, -0.01)
        self.chest = (0.0, 2.86, 0.0)
        self.neck = (0.0, 3.36, -0.01)
        self.head = (0.0, 3.5, 0.01)
        self.hip = (0.2, 1.98, 0.0)
        self.knee = (0.21, 1.1, 0.04)
        self.ankle = (0.22, 0.22, -0.03)
        self.shoulder = (0.45, 3.2, -0.02)
        self.elbow = (0.56, 2.6, -0.07)
        self.wrist = (0.61, 2.02, -0.02)
        self.right_arm = None  # (shoulder, elbow, wrist) when not a mirror of the left
        # body thickness
        self.head_radii = (0.205, 0.27, 0.235)
        self.head_offset = (0.0, 0.25, 0.03)
        self.neck_radius = 0.11
        # torso rings: (chain parameter, side radius, front radius, forward
        # shift); the chain runs 0 crotch, 1 hips, 2 spine, 3 chest, 4 neck
        self.torso = [
            (0.0, 0.1, 0.1, 0.0),
            (0.27, 0.3, 0.21, 0.0),
            (0.87, 0.35, 0.23, 0.0),
            (1.45, 0.32, 0.2, 0.01),
            (1.95, 0.31, 0.195, 0.015),
            (2.52, 0.36, 0.23, 0.025),
            (3.08, 0.4, 0.25, 0.02),
            (3.48, 0.41, 0.23, 0.0),
            (3.78, 0.33, 0.18, -0.01),
            (3.96, 0.14, 0.11, 0.0),
        ]
        self.thigh_radius = (0.19, 0.15, 0.12)  # top, mid, knee
        self.calf_radius = (0.14, 0.1)  # calf, ankle
        self.arm_radius = (0.12, 0.095, 0.09, 0.065)  # shoulder, mid upper arm, elbow, wrist
        self.hand_size = (0.085, 0.042, 0.24)  # half width, half thickness, length
        self.foot = (0.11, 0.085, 0.5, 0.13)  # half width, half height, length, heel behind ankle
        self.boot_top = None  # height of a boot cuff, or None for trousers to the shoe
        self.segments = 10
        for k, v in kw.items():
            if not hasattr(self, k):
                raise AttributeError("Figure has no setting %s" % k)
            setattr(self, k, v)

    def arm(self, side):
        if side == "L":
            return self.shoulder, self.elbow, self.wrist
        if self.right_arm is not None:
            return self.right_arm
        return mirror_x(self.shoulder), mirror_x(self.elbow), mirror_x(self.wrist)

    def leg(self, side):
        s = 1.0 if side == "L" else -1.0
        return tuple((p[0] * s, p[1], p[2]) for p in (self.hip, self.knee, self.ankle))

    def head_centre(self):
        return vm.add(self.head, self.head_offset)


def make_skeleton(fig, convention):
    sk = rig.Skeleton(convention)
    sk.add("Hips", "Root", fig.hips)
    sk.add("Spine", "Hips", fig.spine)
    sk.add("Chest", "Spine", fig.chest)
    sk.add("Neck", "Chest", fig.neck)
    sk.add("Head", "Neck", fig.head)
    hc = fig.head_centre()
    sk.add("Jaw", "Head", (0.0, hc[1] - 0.05, hc[2] - 0.05))
    for side, _ in SIDES:
        shoulder, elbow, wrist = fig.arm(side)
        sk.add("UpperArm" + side, "Chest", shoulder)
        sk.add("Forearm" + side, "UpperArm" + side, elbow)
        sk.add("Hand" + side, "Forearm" + side, wrist)
        hip, knee, ankle = fig.leg(side)
        sk.add("Thigh" + side, "Hips", hip)
        sk.add("Shin" + side, "Thigh" + side, knee)
        sk.add("Foot" + side, "Shin" + side, ankle)
    return sk


def chain_point(fig, s):
    """A point on the crotch-hips-spine-chest-neck-head chain: s = 0 at the
    crotch, 1 hips, 2 spine, 3 chest, 4 neck, 5 head joint. Beyond the ends
    it continues straight on."""
    crotch = vm.add(fig.hips, (0.0, -0.3, 0.0))
    chain = [crotch, fig.hips, fig.spine, fig.chest, fig.neck, fig.head]
    i = min(max(int(math.floor(s)), 0), len(chain) - 2)
    return vm.lerp(chain[i], chain[i + 1], s - i)


def chain_weights(s):
    """Weights along the torso chain: each segment follows the bone at its
    lower joint, shared half and half at the joint itself."""
    bones = ["Hips", "Hips", "Spine", "Chest", "Neck", "Head"]
    s = vm.clamp(s, 0.0, 4.999)
    i = int(s)
    own = bones[i]
    d_next = (i + 1) - s
    d_prev = s - i
    weights = [(own, 1.0)]
    if d_next < 0.3 and bones[i + 1] != own:
        w = 0.5 * (1.0 - d_next / 0.3)
        weights = [(own, 1.0 - w), (bones[i + 1], w)]
    elif d_prev < 0.3 and i > 0 and bones[i - 1] != own:
        w = 0.5 * (1.0 - d_prev / 0.3)
        weights = [(own, 1.0 - w), (bones[i - 1], w)]
    return weights


def torso(mesh, fig, region, rings=None, segments=12):
    rings = rings or fig.torso
    out = []
    for k, (s, rs, rf, shift) in enumerate(rings):
        c = chain_point(fig, s)
        c = vm.add(c, (0.0, 0.0, shift))
        # the chain leans (the old man's stoop): tilt the rings with it
        d = vm.normalize(vm.sub(chain_point(fig, s + 0.05), chain_point(fig, s - 0.05)))
        side = vm.UNIT_X
        front = vm.normalize(vm.cross(side, d))
        v = k / (len(rings) - 1)
        out.append(mk.Ring(c, side, front, rs, rf, chain_weights(s), 1.0 - v, power=2.3))
    mk.loft(mesh, out, segments, region)
    return out


def limb(mesh, points, radii_side, radii_front, weights, region, side_hint, segments=8, power=2.0):
    return mk.tube(mesh, points, radii_side, side_hint, weights, region, segments=segments,
                   front_radii=radii_front, power=power)


def path_fraction(points, y):
    """How far along a downward polyline (0..1 of its length) it reaches height y."""
    total = sum(vm.length(vm.sub(b, a)) for a, b in zip(points, points[1:]))
    run = 0.0
    for a, b in zip(points, points[1:]):
        seg = vm.length(vm.sub(b, a))
        if (a[1] - y) * (b[1] - y) <= 0.0 and a[1] != b[1]:
            return (run + seg * (a[1] - y) / (a[1] - b[1])) / total
        run += seg
    return 1.0 if y < points[-1][1] else 0.0


def leg_path(fig, side):
    hip, knee, ankle = fig.leg(side)
    top = vm.add(hip, (-0.04 if side == "L" else 0.04, 0.14, 0.0))
    mid_thigh = vm.lerp(hip, knee, 0.5)
    calf = vm.add(vm.lerp(knee, ankle, 0.3), (0.0, 0.0, -0.02))
    low = vm.lerp(knee, ankle, 0.8)
    foot_in = vm.add(ankle, (0.0, -0.08, 0.02))
    return [top, hip, mid_thigh, vm.add(knee, (0.0, 0.08, 0.0)), knee, vm.add(knee, (0.0, -0.1, 0.0)),
            calf, low, ankle, foot_in]


def leg(mesh, fig, side, region, segments=9, trouser_flare=0.0):
    t, s, f = "Thigh" + side, "Shin" + side, "Foot" + side
    pts = leg_path(fig, side)
    rt, rm, rk = fig.thigh_radius
    rc, ra = fig.calf_radius
    rs = [rt * 0.9, rt, rm, rk * 1.05, rk, rk * 0.98, rc, ra * 1.1 + trouser_flare, ra + trouser_flare,
          ra * 0.85]
    rf = [r * 0.97 for r in rs]
    w = [[("Hips", 0.55), (t, 0.45)], [(t, 0.8), ("Hips", 0.2)], [(t, 1.0)], [(t, 0.8), (s, 0.2)],
         [(t, 0.5), (s, 0.5)], [(s, 0.85), (t, 0.15)], [(s, 1.0)], [(s, 1.0)], [(s, 0.7), (f, 0.3)],
         [(f, 0.6), (s, 0.4)]]
    limb(mesh, pts, rs, rf, w, region, vm.UNIT_X, segments)


def boot_cuff(mesh, fig, side, region, height, radius, segments=9):
    """A short open band round the shin: the top of a boot."""
    _, knee, ankle = fig.leg(side)
    y0 = height - 0.08
    a = vm.lerp(ankle, knee, (y0 - ankle[1]) / (knee[1] - ankle[1]))
    b = vm.lerp(ankle, knee, (height - ankle[1]) / (knee[1] - ankle[1]))
    s = "Shin" + side
    mk.tube(mesh, [a, b], [radius, radius * 1.04], vm.UNIT_X, [(s, 1.0)], region, segments=segments)


def foot(mesh, fig, side, region, segments=8):
    ankle = fig.leg(side)[2]
    hw, hh, length, heel = fig.foot
    x = ankle[0]
    z0 = ankle[2] - heel
    pts = [(x, hh, z0), (x, hh * 1.05, z0 + 0.05), (x, hh * 1.1, z0 + length * 0.45),
           (x, hh * 0.95, z0 + length * 0.8), (x, hh * 0.7, z0 + length * 0.97), (x, hh * 0.6, z0 + length)]
    rs = [hw * 0.6, hw * 0.85, hw * 0.95, hw * 1.02, hw * 0.8, 0.0]
    rf = [hh * 0.7, hh * 0.95, hh * 1.05, hh * 0.75, hh * 0.55, 0.0]
    f = "Foot" + side
    limb(mesh, pts, rs, rf, [(f, 1.0)], region, vm.UNIT_X, segments, power=2.6)


def arm_path(fig, side):
    shoulder, elbow, wrist = fig.arm(side)
    sx = 1.0 if side == "L" else -1.0
    top = vm.add(shoulder, (-0.1 * sx, 0.08, 0.0))
    return [top, shoulder, vm.lerp(shoulder, elbow, 0.5), elbow, vm.lerp(elbow, wrist, 0.45), wrist,
            vm.add(wrist, vm.scale(vm.normalize(vm.sub(wrist, elbow)), 0.06))]


def arm_fraction(fig, side, along):
    """Fraction of the arm loft's length at `along` (0 shoulder, 1 elbow, 2 wrist)."""
    pts = arm_path(fig, side)
    seg = [vm.length(vm.sub(b, a)) for a, b in zip(pts, pts[1:])]
    total = sum(seg)
    # path points: 0 top, 1 shoulder, 2 mid upper, 3 elbow, 4 mid fore, 5 wrist
    marks = [sum(seg[:1]), sum(seg[:3]), sum(seg[:5])]
    if along <= 1.0:
        return (marks[0] + (marks[1] - marks[0]) * along) / total
    return (marks[1] + (marks[2] - marks[1]) * (along - 1.0)) / total


def arm(mesh, fig, side, region, segments=8, sleeve_flare=0.0):
    u, f, h = "UpperArm" + side, "Forearm" + side, "Hand" + side
    pts = arm_path(fig, side)
    r0, r1, r2, r3 = fig.arm_radius
    rs = [r0 * 0.7, r0, r1 + sleeve_flare, r2, (r2 + r3) * 0.55, r3, r3 * 0.8]
    w = [[("Chest", 0.6), (u, 0.4)], [(u, 0.75), ("Chest", 0.25)], [(u, 1.0)], [(u, 0.5), (f, 0.5)],
         [(f, 1.0)], [(f, 0.7), (h, 0.3)], [(h, 0.6), (f, 0.4)]]
    limb(mesh, pts, rs, rs, w, region, vm.UNIT_Z, segments)


def hand(mesh, fig, side, region, fist=False):
    _, elbow, wrist = fig.arm(side)
    sx = 1.0 if side == "L" else -1.0
    d = vm.normalize(vm.sub(wrist, elbow))
    hw, ht, length = fig.hand_size
    h = "Hand" + side
    if fist:
        pts = [vm.add(wrist, vm.scale(d, k * length * 0.6)) for k in (0.0, 0.25, 0.7, 1.0)]
        rs = [hw * 0.75, hw * 1.05, hw * 1.05, 0.0]
        rf = [ht * 1.2, ht * 1.7, ht * 1.8, 0.0]
    else:
        pts = [vm.add(wrist, vm.scale(d, k * length)) for k in (0.0, 0.2, 0.5, 0.8, 1.0)]
        rs = [hw * 0.7, hw * 1.0, hw * 1.05, hw * 0.9, 0.0]
        rf = [ht * 1.1, ht * 1.2, ht * 1.1, ht * 0.8, 0.0]
    # palm faces the body: the flat side looks along X
    side_axis = vm.normalize(vm.cross(d, vm.UNIT_X)) if abs(d[0]) < 0.9 else vm.UNIT_Z
    limb(mesh, pts, rs, rf, [(h, 1.0)], region, side_axis, 8, power=2.4)
    # thumb, on the forward side of the hand
    fwd = vm.normalize(vm.sub(vm.UNIT_Z, vm.scale(d, vm.dot(vm.UNIT_Z, d))))
    base = vm.add(wrist, vm.add(vm.scale(d, length * 0.2), vm.scale(fwd, hw * 0.6)))
    tip = vm.add(base, vm.add(vm.scale(d, length * 0.35), vm.add(vm.scale(fwd, hw * 0.5),
                                                                 (-sx * ht * 0.5, 0.0, 0.0))))
    mk.tube(mesh, [base, vm.lerp(base, tip, 0.6), tip], [ht * 0.8, ht * 0.75, 0.0], vm.UNIT_X,
            [(h, 1.0)], region, segments=6)


def neck(mesh, fig, region):
    a = vm.add(fig.neck, (0.0, -0.12, 0.0))
    b = vm.add(fig.head, (0.0, 0.16, 0.0))
    r = fig.neck_radius
    mk.tube(mesh, [a, fig.neck, fig.head, b], [r * 1.1, r, r * 0.95, r * 0.9], vm.UNIT_X,
            [[("Neck", 0.7), ("Chest", 0.3)], [("Neck", 1.0)], [("Neck", 0.5), ("Head", 0.5)], [("Head", 1.0)]],
            region, segments=8)


def head_weights(jaw_from=-0.25):
    """The front of the lower face follows the jaw."""
    def fn(lat, phi):
        front = math.cos(phi)
        j = vm.smoothstep(jaw_from, jaw_from - 0.3, lat) * vm.smoothstep(0.1, 0.6, front)
        return mk.blend_weights("Head", "Jaw", j)
    return fn


def head(mesh, fig, region, rings=10, segments=16, chin=0.85):
    rx, ry, rz = fig.head_radii

    def squash(lat):
        if lat >= 0.0:
            return 1.0, 1.0
        # narrower jaw, the chin a little forward
        return 1.0 - (1.0 - chin) * (-lat), 1.0 - 0.08 * (-lat)

    return mk.ellipsoid(mesh, fig.head_centre(), (rx, ry, rz), head_weights(), region, rings=rings,
                        segments=segments, squash=squash)


def head_uv(fig, region, lat, phi):
    """Where a point of the head (latitude -1..1, azimuth from the front,
    positive toward the character's left) lies in the head region."""
    theta = math.acos(vm.clamp(lat, -1.0, 1.0))
    return region.uv(0.5 + phi / (2.0 * math.pi), theta / math.pi)


def head_point(fig, lat, phi, out=1.0):
    rx, ry, rz = fig.head_radii
    c = fig.head_centre()
    r = math.sqrt(max(0.0, 1.0 - lat * lat))
    return vm.add(c, (math.sin(phi) * r * rx * out, lat * ry * out, math.cos(phi) * r * rz * out))


def nose(mesh, fig, region, size=1.0, lat=-0.12):
    p = head_point(fig, lat, 0.0, 0.97)
    mk.ellipsoid(mesh, vm.add(p, (0.0, 0.0, 0.02 * size)), (0.035 * size, 0.06 * size, 0.045 * size),
                 [("Head", 1.0)], region, rings=4, segments=6, up=(0.0, 1.0, 0.35))


def ears(mesh, fig, region, size=1.0):
    for _, sx in SIDES:
        p = head_point(fig, 0.0, sx * math.pi * 0.5, 0.97)
        mk.ellipsoid(mesh, vm.add(p, (sx * 0.015, -0.02, -0.03)), (0.025 * size, 0.065 * size, 0.045 * size),
                     [("Head", 1.0)], region, rings=4, segments=6)


def band(mesh, fig, s, height, r_side, r_front, region, segments=12, weights=None):
    """An open ring of cloth or leather round the torso at chain parameter s."""
    c0 = chain_point(fig, s - height)
    c1 = chain_point(fig, s + height)
    w = weights or chain_weights(s)
    rings = [mk.Ring(c0, vm.UNIT_X, vm.UNIT_Z, r_side, r_front, w, 1.0),
             mk.Ring(c1, vm.UNIT_X, vm.UNIT_Z, r_side, r_front, w, 0.0)]
    mk.loft(mesh, rings, segments, region)


# --- painting ----------------------------------------------------------------

def paint_face(canvas_region, fig, skin, eye_colour, brow_colour, lip_colour, age=0.0,
               eye_lat=0.06, eye_phi=0.3, eye_size=1.0, mouth_lat=-0.38, glow=None):
    """Eyes, brows, mouth and shading on the head region (which the head's
    ellipsoid maps with the face at the region's centre column)."""
    r = canvas_region

    def at(lat, phi):
        theta = math.acos(vm.clamp(lat, -1.0, 1.0))
        return 0.5 + phi / (2.0 * math.pi), theta / math.pi

    dark = paint.mul(skin, 0.55)
    for side in (1.0, -1.0):
        es, et = at(eye_lat, side * eye_phi)
        # eye socket shade, then the white, iris, pupil and a glint
        r.stamp(es, et + 0.01, 0.06 * eye_size, 0.075 * eye_size, paint.mul(skin, 0.8), 0.7, 0.6)
        if glow:
            r.stamp(es, et, 0.036 * eye_size, 0.03 * eye_size, glow, 1.0, 0.4)
            r.stamp(es, et, 0.016 * eye_size, 0.014 * eye_size, (1.0, 1.0, 0.85), 1.0, 0.5)
        else:
            r.stamp(es, et, 0.036 * eye_size, 0.032 * eye_size, (0.95, 0.94, 0.9), 1.0, 0.3)
            r.stamp(es - side * 0.004, et + 0.002, 0.018 * eye_size, 0.026 * eye_size, eye_colour, 1.0, 0.3)
            r.stamp(es - side * 0.004, et + 0.002, 0.009 * eye_size, 0.013 * eye_size, (0.05, 0.04, 0.04), 1.0, 0.3)
            r.stamp(es - side * 0.004 + 0.005, et - 0.008, 0.004, 0.006, (1.0, 1.0, 1.0), 0.9, 0.5)
        # upper lid line
        r.stroke([(es - 0.04 * eye_size, et - 0.002), (es, et - 0.03 * eye_size), (es + 0.04 * eye_size, et - 0.002)],
                 0.007, dark, 0.9)
        # brow
        bs, bt = at(eye_lat + 0.2, side * (eye_phi + 0.02))
        lift = 0.015 if age > 0.5 else 0.0
        r.stroke([(bs - side * 0.05, bt + 0.01), (bs, bt - 0.008 - lift), (bs + side * 0.045, bt + 0.004)],
                 0.011 + 0.012 * age, brow_colour, 0.9)
        if age > 0.3:
            # crow's feet and a furrow under the eye
            r.stroke([(es + side * 0.05, et - 0.01), (es + side * 0.07, et - 0.02)], 0.004, dark, 0.5 * age)
            r.stroke([(es + side * 0.05, et + 0.01), (es + side * 0.07, et + 0.02)], 0.004, dark, 0.5 * age)
            r.stroke([(es - 0.03, et + 0.05), (es + 0.03, et + 0.05)], 0.005, dark, 0.4 * age)
        # cheek
        cs, ct = at(mouth_lat + 0.15, side * 0.42)
        r.stamp(cs, ct, 0.05, 0.06, paint.mix(skin, (0.85, 0.45, 0.4), 0.5), 0.25 * (1.0 - age), 1.0)
    ms, mt = at(mouth_lat, 0.0)
    r.stamp(ms, mt + 0.012, 0.04, 0.018, lip_colour, 0.8, 0.6)
    r.stroke([(ms - 0.045, mt + 0.004), (ms - 0.015, mt + 0.008), (ms + 0.015, mt + 0.008), (ms + 0.045, mt + 0.004)],
             0.007, paint.mul(lip_colour, 0.45), 0.95)
    # the nose's shadow below its tip
    ns, nt = at(-0.2, 0.0)
    r.stamp(ns, nt, 0.03, 0.012, dark, 0.35, 1.0)
    if age > 0.3:
        for side in (1.0, -1.0):
            r.stroke([(ms + side * 0.05, mt - 0.06), (ms + side * 0.06, mt + 0.02)], 0.005, dark, 0.45 * age)
        fs, ft = at(eye_lat + 0.38, 0.0)
        for k in range(3):
            r.stroke([(fs - 0.06, ft + k * 0.018), (fs + 0.06, ft + k * 0.018)], 0.004, dark, 0.35 * age)


def skin_shader(colour, noise, amount=0.06):
    def fn(s, t, x, y):
        n = noise.fbm(s * 12.0, t * 6.0, 2) - 0.5
        return paint.mul(colour, 1.0 + n * amount * 2.0)
    return fn


def hair_on_head(colour, noise, line_front=0.16, line_back=0.58, side_drop=0.36, streaks=40.0):
    """A shade function for the head region that paints skin below the
    hairline and hair above it: the hairline is lower at the back."""
    def coverage(s, t):
        # s = 0.5 front, 0/1 back; t = 0 top
        front = math.cos(2.0 * math.pi * (s - 0.5))  # 1 front, -1 back
        side = abs(math.sin(2.0 * math.pi * (s - 0.5)))
        line = line_front + (line_back - line_front) * (0.5 - 0.5 * front) + side_drop * side * 0.25
        return vm.smoothstep(line + 0.02, line - 0.02, t)

    def hair_colour(s, t):
        n = noise.fbm(s * streaks, t * 3.0, 2)
        return paint.mul(colour, 0.75 + 0.5 * n)
    return coverage, hair_colour


def paint_head(region, fig, skin, skin_noise, hair=None, **face):
    coverage = hair_colour = None
    if hair is not None:
        coverage, hair_colour = hair
    skin_fn = skin_shader(skin, skin_noise)

    def fn(s, t, x, y):
        c = skin_fn(s, t, x, y)
        # a little shade under the chin and at the back of the head
        c = paint.mul(c, 1.0 - 0.25 * vm.smoothstep(0.75, 1.0, t))
        if coverage is not None:
            k = coverage(s % 1.0, t)
            if k > 0.0:
                c = paint.mix(c, hair_colour(s, t), k)
        return c
    region.shade(fn)
    paint_face(region, fig, skin, **face)


def cloth(colour, noise, weave=0.05, grain=1.0, folds=0.0, fold_scale=6.0):
    """Woven cloth: fine cross-hatch, noise, and optional soft folds along t."""
    def fn(s, t, x, y):
        n = noise.fbm(s * 8.0 * grain, t * 8.0 * grain, 3) - 0.5
        w = ((x + y) % 3 == 0) * weave - ((x - y) % 3 == 0) * weave * 0.5
        f = 0.0
        if folds > 0.0:
            f = folds * (noise.fbm(s * fold_scale, t * 1.5 + 7.0, 2) - 0.5)
        return paint.mul(colour, 1.0 + n * 0.25 + w + f)
    return fn


def leather(colour, noise, wear=0.2):
    def fn(s, t, x, y):
        n = noise.fbm(s * 10.0, t * 10.0, 3)
        scratch = noise.sample(s * 60.0, t * 6.0)
        c = paint.mul(colour, 0.8 + 0.4 * n)
        if scratch > 0.8:
            c = paint.mix(c, paint.mul(colour, 1.5), wear)
        return c
    return fn


def wood(colour, noise, rings=18.0):
    def fn(s, t, x, y):
        g = noise.fbm(s * 2.0, t * 40.0, 2)
        band = 0.5 + 0.5 * math.sin((s + g * 0.6) * rings * 2.0 * math.pi)
        return paint.mul(colour, 0.75 + 0.3 * band + 0.2 * (noise.fbm(s * 30.0, t * 4.0, 2) - 0.5))
    return fn

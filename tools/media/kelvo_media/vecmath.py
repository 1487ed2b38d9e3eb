"""Vectors as 3-tuples and quaternions as (w, x, y, z) tuples.

Plain tuples keep the generators free of third-party packages and make every
value hashable, which the normal smoothing relies on.
"""

import math

UNIT_X = (1.0, 0.0, 0.0)
UNIT_Y = (0.0, 1.0, 0.0)
UNIT_Z = (0.0, 0.0, 1.0)
IDENTITY = (1.0, 0.0, 0.0, 0.0)


def add(a, b):
    return (a[0] + b[0], a[1] + b[1], a[2] + b[2])


def sub(a, b):
    return (a[0] - b[0], a[1] - b[1], a[2] - b[2])


def scale(a, s):
    return (a[0] * s, a[1] * s, a[2] * s)


def dot(a, b):
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]


def cross(a, b):
    return (a[1] * b[2] - a[2] * b[1],
            a[2] * b[0] - a[0] * b[2],
            a[0] * b[1] - a[1] * b[0])


def length(a):
    return math.sqrt(dot(a, a))


def normalize(a):
    n = length(a)
    if n < 1e-12:
        return (0.0, 0.0, 0.0)
    return (a[0] / n, a[1] / n, a[2] / n)


def lerp(a, b, t):
    return (a[0] + (b[0] - a[0]) * t,
            a[1] + (b[1] - a[1]) * t,
            a[2] + (b[2] - a[2]) * t)


def any_perpendicular(d):
    """A unit vector at right angles to d, stable for a given d."""
    d = normalize(d)
    helper = UNIT_X if abs(d[0]) < 0.9 else UNIT_Y
    return normalize(cross(d, helper))


def quat_axis_angle(axis, radians):
    axis = normalize(axis)
    h = radians * 0.5
    s = math.sin(h)
    return (math.cos(h), axis[0] * s, axis[1] * s, axis[2] * s)


def quat_mul(a, b):
    aw, ax, ay, az = a
    bw, bx, by, bz = b
    return (aw * bw - ax * bx - ay * by - az * bz,
            aw * bx + ax * bw + ay * bz - az * by,
            aw * by - ax * bz + ay * bw + az * bx,
            aw * bz + ax * by - ay * bx + az * bw)


def quat_conj(q):
    return (q[0], -q[1], -q[2], -q[3])


def quat_normalize(q):
    n = math.sqrt(sum(c * c for c in q))
    return tuple(c / n for c in q)


def quat_rotate(q, v):
    p = (0.0, v[0], v[1], v[2])
    r = quat_mul(quat_mul(q, p), quat_conj(q))
    return (r[1], r[2], r[3])


def quat_euler_deg(x=0.0, y=0.0, z=0.0):
    """Turns about X first, then Y, then Z, each about the fixed parent axes."""
    qx = quat_axis_angle(UNIT_X, math.radians(x))
    qy = quat_axis_angle(UNIT_Y, math.radians(y))
    qz = quat_axis_angle(UNIT_Z, math.radians(z))
    return quat_normalize(quat_mul(quat_mul(qz, qy), qx))


def quat_to_axis_angle(q):
    """(angle in radians, axis); the identity yields (0, UNIT_X)."""
    w, x, y, z = quat_normalize(q)
    if w < 0.0:
        w, x, y, z = -w, -x, -y, -z
    s = math.sqrt(max(0.0, 1.0 - w * w))
    if s < 1e-9:
        return 0.0, UNIT_X
    return 2.0 * math.acos(min(1.0, w)), (x / s, y / s, z / s)


def smoothstep(e0, e1, x):
    if e1 == e0:
        return 1.0 if x >= e1 else 0.0
    t = min(1.0, max(0.0, (x - e0) / (e1 - e0)))
    return t * t * (3.0 - 2.0 * t)


def clamp(x, lo, hi):
    return lo if x < lo else hi if x > hi else x

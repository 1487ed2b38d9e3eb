"""Authoring helpers for skeletal animations.

Poses are written as channels per bone: [rx, ry, rz, tx, ty, tz], Euler
degrees and translations relative to the bind pose. Channel poses add up, so
a gesture can be layered on a breathing cycle; only the finished sum turns
into quaternions. Key poses are joined by Hermite curves with tangents from
the neighbouring keys, which eases into and out of every held pose.
"""

import math

from . import rig

ZERO = (0.0, 0.0, 0.0, 0.0, 0.0, 0.0)


def ch(rx=0.0, ry=0.0, rz=0.0, tx=0.0, ty=0.0, tz=0.0):
    return [rx, ry, rz, tx, ty, tz]


def add(*poses):
    out = {}
    for pose in poses:
        for bone, c in pose.items():
            acc = out.setdefault(bone, [0.0] * 6)
            for i in range(6):
                acc[i] += c[i]
    return out


def scaled(pose, s):
    return {bone: [v * s for v in c] for bone, c in pose.items()}


def mirror(pose):
    """Left-right mirror of a pose: swaps L/R bones and negates the turns
    about Y and Z and the sideways translation."""
    out = {}
    for bone, c in pose.items():
        if bone.endswith("L"):
            other = bone[:-1] + "R"
        elif bone.endswith("R"):
            other = bone[:-1] + "L"
        else:
            other = bone
        out[other] = [c[0], -c[1], -c[2], -c[3], c[4], c[5]]
    return out


def to_pose(channels):
    return {bone: (rig.rot(c[0], c[1], c[2]), (c[3], c[4], c[5])) for bone, c in channels.items()}


def animation(name, length, channel_fn, loop=True, fps=24):
    return rig.Animation(name, length, lambda t: to_pose(channel_fn(t)), loop=loop, fps=fps)


class Keyed:
    """Key poses at times; returns channel poses at any time in between.
    keys: [(time, {bone: channels})]. Missing bones count as the bind pose."""

    def __init__(self, length, keys, loop):
        self.length = float(length)
        self.loop = loop
        self.times = [float(t) for t, _ in keys]
        if self.times != sorted(self.times) or len(set(self.times)) != len(self.times):
            raise ValueError("key times must rise: %s" % self.times)
        bones = sorted({b for _, pose in keys for b in pose})
        self.values = {b: [list(pose.get(b, ZERO)) for _, pose in keys] for b in bones}
        if loop and self.times[0] != 0.0:
            raise ValueError("a looping key track starts at time 0")

    def __call__(self, t):
        times = self.times
        n = len(times)
        if self.loop:
            t = t % self.length
        else:
            t = min(max(t, times[0]), times[-1])
        # segment i runs from key i to key i+1 (the last wraps to key 0 when looping)
        i = 0
        while i + 1 < n and times[i + 1] <= t:
            i += 1
        if not self.loop and i == n - 1:
            return {b: list(v[-1]) for b, v in self.values.items()}
        t0 = times[i]
        if i + 1 < n:
            j, t1 = i + 1, times[i + 1]
        else:
            j, t1 = 0, self.length
        span = t1 - t0
        u = (t - t0) / span if span > 0 else 0.0

        def time_of(k):
            if k < 0:
                return times[k % n] - self.length
            if k >= n:
                return times[k % n] + self.length
            return times[k]

        out = {}
        for bone, vals in self.values.items():
            res = []
            for c in range(6):
                p0 = vals[i][c]
                p1 = vals[j][c]
                if self.loop:
                    pm = vals[(i - 1) % n][c]
                    pn = vals[(j + 1) % n][c]
                    tm = time_of(i - 1)
                    tn = time_of(i + 2)
                    m0 = (p1 - pm) / (t1 - tm) * span
                    m1 = (pn - p0) / (tn - t0) * span
                else:
                    m0 = 0.0 if i == 0 else (p1 - vals[i - 1][c]) / (t1 - times[i - 1]) * span
                    m1 = 0.0 if j == n - 1 else (vals[j + 1][c] - p0) / (times[j + 1] - t0) * span
                u2 = u * u
                u3 = u2 * u
                res.append((2 * u3 - 3 * u2 + 1) * p0 + (u3 - 2 * u2 + u) * m0
                           + (-2 * u3 + 3 * u2) * p1 + (u3 - u2) * m1)
            out[bone] = res
        return out


def wave(t, period, phase=0.0):
    """sin over a period, phase in cycles."""
    return math.sin(2.0 * math.pi * (t / period + phase))


def wave01(t, period, phase=0.0):
    return 0.5 + 0.5 * wave(t, period, phase)

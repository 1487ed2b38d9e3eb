"""One-off sounds of the game, all mono (the scene places them on the
enemy, the ball or the listener):

- the enemies' death cries, one per kind ("spider_cry", "spider_queen_cry",
  "zombie_cry"); the scene names a cry after its enemy (entity name +
  "_cry") and chooses the file by the enemy's kind. The enemy vanishes when
  its cry ends, so each is short;
- the energy ball's flight ("bullet1FlyS", a seamless loop: a ball flies
  for up to 30 s) and its hit ("bullet1HitS");
- the heartbeat of the game-over pictures ("heartbeat"), eight beats.
"""

import os
import random

from . import sfx, soxkit
from .sfx import Event, n, s, tone


def _finish(raw, out_dir, name, kind="effect"):
    return soxkit.finish_wav(raw, os.path.join(out_dir, name + ".wav"), kind, sfx.RATE, 1)


def _p(work, name):
    return os.path.join(work, name + ".wav")


def build_spider_cry(out_dir, work):
    """A hiss that rises into a shriek and breaks."""
    length = n(1.3)
    hiss = sfx.bed(_p(work, "hiss"), length, "noise", "bandpass", "3800", "1.5q", "lowpass", "8000",
                   "fade", "q", "0.05", s(length), "0.7")
    shriek = sfx.lane(_p(work, "shriek"), length, [
        (n(0.15), tone(0.8, "sawtooth", "1300:650", 0.08, 0.45, 1.0, "bandpass", "2000", "1q",
                       "tremolo", "45", "70")),
        (n(0.6), tone(0.55, "square", "900:380", 0.03, 0.4, 0.6, "bandpass", "1500", "1.5q",
                      "tremolo", "31", "80")),
    ])
    clicks = sfx.lane(_p(work, "clicks"), length, [
        (n(0.02 + 0.045 * k), Event(n(0.006), ["synth", s(n(0.006)), "noise", "gain", "-10", "highpass", "2500",
                                               "fade", "t", "0", s(n(0.006)), s(n(0.005))]))
        for k in range(8)])
    raw = sfx.mix(_p(work, "spider_cry.raw"), [(hiss, 0.5), (shriek, 1.0), (clicks, 0.6)],
                  "reverb", "30", "50", "40", "pad", "0", s(length), "trim", "0", s(length))
    return [_finish(raw, out_dir, "spider_cry")]


def build_spider_queen_cry(out_dir, work):
    """Twice the spider: lower, longer, with a roar beneath the shriek."""
    length = n(2.4)
    roar = sfx.bed(_p(work, "roar"), length, "brownnoise", "lowpass", "900", "tremolo", "17", "60",
                   "fade", "q", "0.15", s(length), "1.2")
    shriek = sfx.lane(_p(work, "shriek"), length, [
        (n(0.1), tone(1.5, "sawtooth", "760:240", 0.12, 0.9, 1.0, "bandpass", "1100", "0.9q",
                      "tremolo", "23", "75")),
        (n(0.5), tone(1.6, "square", "390:120", 0.1, 1.0, 0.7, "lowpass", "1400", "tremolo", "13", "60")),
    ])
    hiss = sfx.bed(_p(work, "hiss"), length, "noise", "bandpass", "3000", "1q", "lowpass", "7000",
                   "fade", "q", "0.3", s(length), "1.6")
    raw = sfx.mix(_p(work, "spider_queen_cry.raw"), [(roar, 0.7), (shriek, 1.0), (hiss, 0.35)],
                  "reverb", "60", "50", "90", "pad", "0", s(length), "trim", "0", s(length))
    return [_finish(raw, out_dir, "spider_queen_cry")]


def build_zombie_cry(out_dir, work):
    """A drowned man's last groan: an "oh" from a throat full of water."""
    length = n(2.0)
    groan = sfx.lane(_p(work, "groan"), length, [
        (n(0.05), Event(n(1.85), ["synth", s(n(1.85)), "sawtooth", "128:82", "synth", s(n(1.85)), "sawtooth",
                                  "mix", "131:80", "gain", "-22", "equalizer", "480", "1.5q", "+12",
                                  "equalizer", "820", "2q", "+9", "lowpass", "1800",
                                  "tremolo", "8.5", "35", "overdrive", "6", "0",
                                  "fade", "q", s(n(0.18)), s(n(1.85)), s(n(0.9))])),
    ])
    breath = sfx.bed(_p(work, "breath"), length, "pinknoise", "bandpass", "1200", "1.2q", "tremolo", "3.1", "70",
                     "fade", "q", "0.1", s(length), "1.0")
    gurgle = sfx.lane(_p(work, "gurgle"), length, [
        (n(0.9 + 0.07 * k), tone(0.05, "sine", "%d:%d" % (300 + 40 * (k % 3), 520 + 40 * (k % 2)), 0.005, 0.02,
                                 0.5 + 0.1 * (k % 3)))
        for k in range(9)])
    raw = sfx.mix(_p(work, "zombie_cry.raw"), [(groan, 1.0), (breath, 0.35), (gurgle, 0.45)],
                  "reverb", "20", "50", "40", "pad", "0", s(length), "trim", "0", s(length))
    return [_finish(raw, out_dir, "zombie_cry")]


def build_ball_flight(out_dir, work):
    """A humming, shimmering ball of energy, as a 2 s loop: every tone and
    tremolo makes whole cycles in it, and its noise repeats (sfx.py)."""
    length = n(2.0)
    hum = sfx.bed(_p(work, "hum"), length, "sine 220", "synth", s(length), "sine", "mix", "330",
                  "synth", s(length), "sawtooth", "mix", "110", "lowpass", "900", "tremolo", "8", "45", period=True)
    shimmer = sfx.bed(_p(work, "shimmer"), length, "pinknoise", "bandpass", "4200", "2q", "lowpass", "7000",
                      "tremolo", "16", "80", period=True)
    whoosh = sfx.bed(_p(work, "whoosh"), length, "pinknoise", "bandpass", "900", "1q", "tremolo", "1", "50",
                     period=True)
    raw = sfx.mix(_p(work, "flight.raw"), [(hum, 0.8), (shimmer, 0.3), (whoosh, 0.5)])
    return [_finish(raw, out_dir, "bullet1FlyS") + ", loops"]


def build_ball_hit(out_dir, work):
    """The ball bursts: a thump, a blast of noise closing down, sparks."""
    rng = random.Random(707)
    length = n(1.6)
    thump = sfx.lane(_p(work, "thump"), length, [(0, tone(0.5, "sine", "150:38", 0.002, 0.45, 1.0))])
    blast = sfx.bed(_p(work, "blast"), length, "brownnoise", "synth", s(length), "noise", "mix",
                    "lowpass", "2500", "fade", "l", "0.003", s(length), "1.5")
    sparks = sfx.lane(_p(work, "sparks"), length, [
        (n(rng.uniform(0.05, 0.9)), Event(n(0.012), ["synth", s(n(0.012)), "noise", "gain", "-10",
                                                      "highpass", "3500", "fade", "t", "0", s(n(0.012)),
                                                      s(n(0.01)), "vol", "%.2f" % rng.uniform(0.3, 1.0)]))
        for _ in range(22)])
    raw = sfx.mix(_p(work, "hit.raw"), [(thump, 1.0), (blast, 0.8), (sparks, 0.5)],
                  "reverb", "50", "50", "70", "pad", "0", s(length), "trim", "0", s(length))
    return [_finish(raw, out_dir, "bullet1HitS")]


def build_heartbeat(out_dir, work):
    """Eight beats, each a low "lub" and a softer "dub", slowing from 66 to
    54 a minute and quickening again; long enough for the game-over
    pictures, and if the scene loops it the rhythm runs on unbroken."""
    gaps = [0.92, 0.97, 1.03, 1.08, 1.11, 1.06, 1.0, 0.93]  # seconds from beat to beat
    length = n(sum(gaps))
    beats, t = [], 0
    for k, gap in enumerate(gaps):
        beats.append((t, tone(0.16, "sine", "62:42", 0.004, 0.12, 1.0, "lowpass", "300")))
        beats.append((t + n(0.27), tone(0.13, "sine", "70:48", 0.004, 0.1, 0.65, "lowpass", "300")))
        t += n(gap)
    lub = sfx.lane(_p(work, "beats"), length, beats)
    # the body around the beats: the same rhythm as a dull thud that small speakers can play
    thuds = [(at, tone(0.1, "pinknoise", "0", 0.003, 0.08, 0.6, "lowpass", "500", "highpass", "90"))
             for at, _ in beats]
    thud = sfx.lane(_p(work, "thuds"), length, thuds)
    raw = sfx.mix(_p(work, "heartbeat.raw"), [(lub, 1.0), (thud, 0.5)])
    return [_finish(raw, out_dir, "heartbeat")]


def build_cries(out_dir, work):
    return build_spider_cry(out_dir, work) + build_spider_queen_cry(out_dir, work) + build_zombie_cry(out_dir, work)


def build_energy_ball(out_dir, work):
    return build_ball_flight(out_dir, work) + build_ball_hit(out_dir, work)

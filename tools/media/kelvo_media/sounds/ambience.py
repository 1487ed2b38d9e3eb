"""The island's ambient loops, played from the scene's sound sources as
looped 3D sounds (mono): birds ("vogel"), the sea ("meer"), the well
("brunnen"), crows ("krah"), the pond ("teich") and the spiders' cave
("spi_sound").

Each is built from layers of shaped noise and scattered calls, periodic
by construction (sfx.py): the loop's end runs on into its start sample for
sample. Calls keep clear of the loop's last seconds so that none is cut;
the rooms they echo in wrap round the join.
"""

import functools
import os
import random

from . import sfx, soxkit
from .sfx import Event, n, s, tone

MARGIN = 1.5  # seconds at the loop's end where no call starts

_bed = functools.partial(sfx.bed, period=True)
_lane = functools.partial(sfx.lane, period=True)


def _loop(name, seconds, layers, out_dir, work_dir, *effects):
    """layers(loop_samples, calls_until, work_dir) -> [(file, volume)]."""
    length = n(seconds)
    parts = layers(length, length - n(MARGIN), work_dir)
    raw = sfx.mix(os.path.join(work_dir, name + ".take.wav"), parts, *effects, total=length, period=True)
    line = soxkit.finish_wav(raw, os.path.join(out_dir, name + ".wav"), "ambience", sfx.RATE, 1, measure_rate=22050)
    return [line + ", loops"]


def _path(work_dir, name):
    return os.path.join(work_dir, name + ".wav")


# --- birds ---------------------------------------------------------------------

def _whistle(rng, pitch):
    a = tone(0.16, "sine", "%d:%d" % (pitch, pitch * 1.18), 0.02, 0.05, 0.9)
    b = tone(0.3, "sine", "%d:%d" % (pitch * 1.3, pitch * 1.1), 0.02, 0.15, 0.8)
    gap = Event(n(0.07), ["synth", s(n(0.07)), "sine", "0", "vol", "0"])
    return _join([a, gap, b])


def _trill(rng, pitch, count):
    notes = []
    for k in range(count):
        notes.append(tone(0.045, "sine", "%d:%d" % (pitch, pitch * 1.25), 0.006, 0.02, 0.7 + 0.3 * (k % 2)))
        notes.append(Event(n(0.03), ["synth", s(n(0.03)), "sine", "0", "vol", "0"]))
    return _join(notes)


def _warble(rng, pitch):
    notes = []
    for k in range(5):
        up = rng.uniform(0.9, 1.2)
        notes.append(tone(0.07, "sine", "%d:%d" % (pitch * up, pitch * up * rng.choice((0.8, 1.25))),
                          0.01, 0.03, 0.8))
    return _join(notes)


def _join(events):
    """Events one after another as one event."""
    chain = []
    for i, e in enumerate(events):
        if i:
            chain.append(":")
        chain += e.chain
    return Event(sum(e.length for e in events), chain)


def _birds(take, until, work):
    rng = random.Random(101)
    wind = _bed(_path(work, "leaves"), take, "pinknoise", "highpass", "300", "lowpass", "2500",
                   "tremolo", "0.13", "50", "tremolo", "0.31", "30")
    near = [(t, _whistle(rng, rng.choice((2600, 2800, 3000)))) for t in sfx.scatter(rng, until, 2.2, 4.5)]
    far = [(t, _trill(rng, rng.choice((4200, 4600)), rng.randint(5, 9))) for t in sfx.scatter(rng, until, 3.0, 6.0)]
    other = [(t, _warble(rng, rng.choice((3300, 3600)))) for t in sfx.scatter(rng, until, 4.0, 7.0, first=1.3)]
    return [(wind, 0.35),
            (_lane(_path(work, "near"), take, near), 0.9),
            (_lane(_path(work, "far"), take, far, ["lowpass", "6000", "reverb", "40", "50", "60"]), 0.4),
            (_lane(_path(work, "other"), take, other, ["reverb", "30", "50", "50"]), 0.6)]


# --- the sea -----------------------------------------------------------------------

def _sea(take, until, work):
    rng = random.Random(202)
    swell, foam = [], []
    t = 0
    while t < take:
        length = n(rng.uniform(6.0, 8.5))
        rise = rng.uniform(0.45, 0.6)
        swell.append((t, Event(length, ["synth", s(length), "pinknoise", "gain", "-12", "lowpass", "900",
                                       "fade", "q", s(length * rise), s(length), s(length * (1 - rise)),
                                       "vol", "%.3f" % rng.uniform(0.7, 1.0)])))
        crash = t + int(length * rise) - n(0.2)
        foam_len = n(rng.uniform(2.5, 3.5))
        foam.append((crash, Event(foam_len, ["synth", s(foam_len), "noise", "gain", "-12", "highpass", "1200",
                                             "lowpass", "7000", "fade", "t", s(n(0.25)), s(foam_len),
                                             s(foam_len - n(0.25)), "vol", "%.3f" % rng.uniform(0.5, 0.8)])))
        t += length - n(rng.uniform(1.5, 2.5))  # waves overlap: the sea never stops
    rumble = _bed(_path(work, "rumble"), take, "brownnoise", "lowpass", "350", "tremolo", "0.09", "30")
    # two lanes each, so overlapping waves can both sound
    return [(rumble, 0.8),
            (_lane(_path(work, "swell_a"), take, swell[0::2]), 0.9),
            (_lane(_path(work, "swell_b"), take, swell[1::2]), 0.9),
            (_lane(_path(work, "foam_a"), take, foam[0::2]), 0.45),
            (_lane(_path(work, "foam_b"), take, foam[1::2]), 0.45)]


# --- the well --------------------------------------------------------------------

def _well(take, until, work):
    rng = random.Random(303)
    splash = _bed(_path(work, "splash"), take, "noise", "highpass", "900", "lowpass", "6500",
                     "tremolo", "7.3", "40", "tremolo", "11.1", "35", "tremolo", "0.4", "20")
    body = _bed(_path(work, "body"), take, "pinknoise", "bandpass", "500", "1.2q", "tremolo", "5.1", "30")
    drops = []
    for t in sfx.scatter(rng, until, 0.08, 0.45):
        pitch = rng.uniform(700, 1500)
        drops.append((t, tone(rng.uniform(0.025, 0.05), "sine", "%d:%d" % (pitch, pitch * rng.uniform(1.6, 2.2)),
                              0.003, 0.015, rng.uniform(0.3, 0.9))))
    return [(splash, 0.5), (body, 0.6),
            (_lane(_path(work, "drops"), take, drops, ["reverb", "50", "60", "40"]), 0.7)]


# --- crows -----------------------------------------------------------------------

def _caw(rng, pitch, level):
    # a hoarse saw, its rasp from a fast flutter and a little breath
    length = n(rng.uniform(0.28, 0.4))
    return Event(length, ["synth", s(length), "noise", "synth", s(length), "sawtooth", "mix",
                          "%d:%d" % (pitch, pitch * 0.78), "synth", s(length), "sawtooth", "mix",
                          "%d:%d" % (pitch * 1.01, pitch * 0.79), "gain", "-18",
                          "bandpass", "1300", "0.8q", "equalizer", "2400", "1q", "+6",
                          "tremolo", "38", "55", "overdrive", "8", "0", "lowpass", "4000", "lowpass", "5000",
                          "fade", "q", s(n(0.02)), s(length), s(n(0.12)), "vol", "%.3f" % level])


def _crows(take, until, work):
    rng = random.Random(404)
    wind = _bed(_path(work, "wind"), take, "pinknoise", "lowpass", "800", "highpass", "100",
                   "tremolo", "0.11", "60", "tremolo", "0.23", "30")
    lanes = []
    for crow, (pitch, gaps, level) in enumerate(((620, (3.0, 6.0), 0.9), (520, (4.0, 8.0), 0.5))):
        calls = []
        for t in sfx.scatter(rng, until - n(1.5), *gaps):
            at = t
            for _ in range(rng.randint(2, 4)):
                caw = _caw(rng, pitch * rng.uniform(0.95, 1.05), level)
                calls.append((at, caw))
                at += caw.length + n(rng.uniform(0.12, 0.25))
        lanes.append((_lane(_path(work, "crow%d" % crow), take, calls,
                               ["reverb", "35", "50", "70"] if crow else []), 0.8))
    return [(wind, 0.45)] + lanes


# --- the pond --------------------------------------------------------------------

def _croak(rng, pitch):
    length = n(rng.uniform(0.25, 0.45))
    return Event(length, ["synth", s(length), "square", "%d:%d" % (pitch, pitch * 0.9), "gain", "-16",
                          "lowpass", "1100", "tremolo", "%d" % rng.randint(24, 32), "95",
                          "fade", "q", s(n(0.02)), s(length), s(n(0.06)), "vol", "0.9"])


def _pond(take, until, work):
    rng = random.Random(505)
    water = _bed(_path(work, "water"), take, "brownnoise", "lowpass", "400", "tremolo", "0.27", "40")
    frogs = []
    for frog, pitch in enumerate((165, 230)):
        calls = []
        for t in sfx.scatter(rng, until, 1.2, 3.5, first=0.3 + frog):
            at = t
            for _ in range(rng.randint(1, 3)):
                croak = _croak(rng, pitch * rng.uniform(0.97, 1.03))
                calls.append((at, croak))
                at += croak.length + n(0.12)
        frogs.append((_lane(_path(work, "frog%d" % frog), take, calls,
                               ["reverb", "25", "50", "40"] if frog else []), 0.9 if frog == 0 else 0.55))
    chirps = []
    for t in sfx.scatter(rng, until, 0.5, 1.1):
        chirps.append((t, tone(0.22, "sine", "4400", 0.01, 0.05, 0.5, "tremolo", "48", "100")))
    return [(water, 0.5), (_lane(_path(work, "insects"), take, chirps, ["lowpass", "6000"]), 0.25)] + frogs


# --- the spiders' cave -----------------------------------------------------------

def _cave(take, until, work):
    rng = random.Random(606)
    drone = _bed(_path(work, "drone"), take, "sine 55", "synth", s(take), "sine", "mix", "82.5",
                    "tremolo", "0.17", "40")
    air = _bed(_path(work, "air"), take, "brownnoise", "lowpass", "300", "tremolo", "0.07", "50")
    hollow = _bed(_path(work, "hollow"), take, "pinknoise", "bandpass", "420", "3q", "tremolo", "0.19", "60")
    drips = []
    for t in sfx.scatter(rng, until, 0.9, 2.6):
        pitch = rng.uniform(1500, 2400)
        drips.append((t, tone(0.03, "sine", "%d:%d" % (pitch, pitch * 0.55), 0.002, 0.02, rng.uniform(0.5, 1.0))))
    legs = []
    for t in sfx.scatter(rng, until - n(1.0), 3.5, 7.0, first=2.0):
        at = t
        for _ in range(rng.randint(6, 14)):
            click = Event(n(0.004), ["synth", s(n(0.004)), "noise", "gain", "-12", "bandpass", "3200", "2q",
                                     "fade", "t", "0", s(n(0.004)), s(n(0.003)),
                                     "vol", "%.3f" % rng.uniform(0.4, 1.0)])
            legs.append((at, click))
            at += n(rng.uniform(0.02, 0.06))
    return [(drone, 0.35), (air, 0.7), (hollow, 0.35),
            (_lane(_path(work, "drips"), take, drips, ["reverb", "60", "40", "100", "100", "20"]), 0.5),
            (_lane(_path(work, "legs"), take, legs, ["reverb", "60", "50", "80"]), 0.5)]


LOOPS = {
    # name: (seconds, layers, effects on the whole take)
    "vogel": (23.0, _birds, []),
    "meer": (26.0, _sea, []),
    "brunnen": (14.0, _well, ["reverb", "30", "50", "40", "100", "0", "-6"]),
    "krah": (21.0, _crows, []),
    "teich": (19.0, _pond, []),
    "spi_sound": (24.0, _cave, ["reverb", "50", "50", "100", "100", "10", "-8"]),
}


def builder(name):
    seconds, layers, effects = LOOPS[name]

    def build(out_dir, work_dir):
        return _loop(name, seconds, layers, out_dir, work_dir, *effects)
    return build


def build_vogel(out_dir, work_dir):
    return builder("vogel")(out_dir, work_dir)


def build_meer(out_dir, work_dir):
    return builder("meer")(out_dir, work_dir)


def build_brunnen(out_dir, work_dir):
    return builder("brunnen")(out_dir, work_dir)


def build_krah(out_dir, work_dir):
    return builder("krah")(out_dir, work_dir)


def build_teich(out_dir, work_dir):
    return builder("teich")(out_dir, work_dir)


def build_spi_sound(out_dir, work_dir):
    return builder("spi_sound")(out_dir, work_dir)

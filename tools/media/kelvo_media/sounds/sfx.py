"""Building blocks of the ambient loops and the effects: short sounds
("events", each a sox synth chain of an exact number of samples) laid on a
lane at chosen times, beds of shaped noise, and mixes of lanes. Everything
is mono float at 44.1 kHz until a sound is finished.

Loops are periodic by construction: a bed's raw noise, a lane's events and
a mix are played twice and their filters, tremolos and rooms applied to
both rounds; the second round is kept. It starts in the state the first
round ended in, so its end runs on into its start sample for sample, with
no cross-fade to dip or swell.
"""

import os

from . import soxkit

RATE = 44100
FLOAT = ("-e", "floating-point", "-b", "32")


def n(seconds):
    return max(1, int(round(seconds * RATE)))


def s(samples):
    return "%ds" % int(samples)


class Event:
    """One short sound: `length` samples made by `chain`, the sox effects
    that follow the null input (beginning with synth). The chain must keep
    its length: any fade must end at the event's length."""

    def __init__(self, length, chain):
        self.length = int(length)
        self.chain = [str(t) for t in chain]


def tone(seconds, wave, freq, attack, release, level, *effects, shape="q"):
    """A tone (freq may be "a:b" for a sweep) with a soft start and end."""
    length = n(seconds)
    return Event(length, ["synth", s(length), wave, freq, "gain", "-12", *effects,
                          "fade", shape, s(n(attack)), s(length), s(min(length - 1, n(release))),
                          "vol", "%.4f" % level])


_WAVES = ("sine", "square", "triangle", "sawtooth", "trapezium", "exp")


def whole_cycles(tokens, total):
    """A loop's steady tones and tremolos turned to whole cycles in it:
    a tone or a tremolo that ends in another phase than it starts in
    clicks or jumps in level at the join."""
    out = [str(t) for t in tokens]
    seconds = total / float(RATE)

    def rounded(text):
        try:
            value = float(text)
        except ValueError:
            return text  # a sweep ("a:b") or a note name: left as written
        return "%.6f" % (max(1.0, round(value * seconds)) / seconds)

    for i, token in enumerate(out[:-1]):
        if token == "tremolo":
            out[i + 1] = rounded(out[i + 1])
        elif token in _WAVES:
            k = i + 1
            if out[k] in ("create", "mix", "amod", "fmod") and k + 1 < len(out):
                k += 1
            out[k] = rounded(out[k])
    return out


def shaped(total, effects, period):
    """Effects for a sound of `total` samples; applied round a loop when
    `period` is set (see above)."""
    if not effects:
        return []
    if period:
        return ["repeat", "1", *whole_cycles(effects, total), "trim", s(total), s(total)]
    return [*effects, "pad", "0", s(total), "trim", "0", s(total)]


def lane(path, total, placed, effects=(), period=False):
    """Events at sample positions, silence between, `total` samples long;
    events that would overlap the one before are moved to follow it."""
    args = ["-r", str(RATE), "-c", "1", "-n", *FLOAT, path]
    cursor = 0
    chains = []
    for start, event in sorted(placed, key=lambda item: item[0]):
        start = max(int(start), cursor)
        if start + event.length > total:
            break
        if start > cursor:
            chains.append(["synth", s(start - cursor), "sine", "0", "vol", "0"])
        chains.append(event.chain)
        cursor = start + event.length
    if cursor < total:
        chains.append(["synth", s(total - cursor), "sine", "0", "vol", "0"])
    for i, chain in enumerate(chains):
        if i:
            args.append(":")
        args += chain
    soxkit.sox(*args, what="lane " + os.path.basename(path))
    if effects:
        out = path + ".fx.wav"
        soxkit.sox(path, *FLOAT, out, *shaped(total, effects, period), what="effects on " + os.path.basename(path))
        os.replace(out, path)
    return path


def bed(path, total, colour, *effects, period=False):
    """A noise bed of `total` samples (colour: noise, pinknoise, brownnoise,
    or any synth wave with its frequency, e.g. "sine 55"), shaped by the
    effects; with `period`, the raw noise repeats and the bed loops."""
    head = ["synth", s(total), *colour.split(), "gain", "-12"]
    if period:
        head = whole_cycles(head, total)
        tail = ["repeat", "1", *whole_cycles(effects, total), "trim", s(total), s(total)]
    else:
        tail = list(effects)
    soxkit.sox("-r", str(RATE), "-c", "1", "-n", *FLOAT, path, *head, *tail, what="bed " + os.path.basename(path))
    return path


def mix(path, parts, *effects, total=None, period=False):
    """parts: [(file, volume)] mixed, then effects (round a loop of `total`
    samples with `period`); the length is the longest part's or `total`."""
    if len(parts) == 1:
        inputs = ["-v", "%.4f" % parts[0][1], parts[0][0]]
    else:
        inputs = ["-m"] + [x for p, v in parts for x in ("-v", "%.4f" % v, p)]
    tail = shaped(total, effects, period) if total else list(effects)
    soxkit.sox(*inputs, *FLOAT, path, *tail, what="mixing " + os.path.basename(path))
    for p, _ in parts:
        if p != path:
            os.remove(p)
    return path


def scatter(rng, total, gap_min, gap_max, first=0.0):
    """Random moments across `total` samples, gaps between gap_min and
    gap_max seconds."""
    t = n(first) if first else n(rng.uniform(0, gap_max))
    while t < total:
        yield t
        t += n(rng.uniform(gap_min, gap_max))

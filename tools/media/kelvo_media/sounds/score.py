"""Our score engine: notes written in beats and bars, played by the
instruments of instruments.py, rendered by our synthesiser into the
game's stereo file.

A score is written out as a list of notes for our synthesiser (synth.c),
which plays every instrument, places it left to right and puts all of
them in one shared room. Times are whole samples throughout, so a loop's
end meets its start exactly.

Writing music:
  score = Score(seed, instruments.orchestra())
  part = score.section(bars=8, bpm=84)      # or seconds=34.0: the tempo fits the bars to it
  part.melody("flute", "D5:1.5 E5:.5 F5 A5 | G5:1.5 F5:.5 D5:2", bar=0)
  part.chords("strings", "Dm Bb | F C", ...)
Pitches are scientific names (C4 is middle C, Bb3, F#5); durations are
beats (1 = a quarter note in 4/4).
"""

import hashlib
import math
import os
import random
import re
import shutil

from . import soxkit

RATE = 44100

_NOTE = re.compile(r"^([A-Ga-g])([#b]?)(-?\d)$")
_STEPS = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}


class ScoreError(ValueError):
    pass


def pitch(name):
    """MIDI number of a note name such as "C4" (60), "Bb3", "F#5"."""
    if isinstance(name, int):
        return name
    match = _NOTE.match(name)
    if not match:
        raise ScoreError("%r is not a note name (like C4, Bb3, F#5)" % name)
    letter, accidental, octave = match.groups()
    value = _STEPS[letter.upper()] + (1 if accidental == "#" else -1 if accidental == "b" else 0)
    return value + 12 * (int(octave) + 1)


def hz(midi):
    return 440.0 * 2.0 ** ((midi - 69) / 12.0)


# --- chords ------------------------------------------------------------------

_CHORD = re.compile(r"^([A-G])([#b]?)(m|dim|aug|sus2|sus4|5)?(maj7|7|6|9|add9)?(?:/([A-G][#b]?))?$")
_QUALITY = {None: (0, 4, 7), "m": (0, 3, 7), "dim": (0, 3, 6), "aug": (0, 4, 8),
            "sus2": (0, 2, 7), "sus4": (0, 5, 7), "5": (0, 7)}
_EXTENSION = {None: (), "maj7": (11,), "7": (10,), "6": (9,), "9": (10, 14), "add9": (14,)}


def chord(symbol):
    """(root pitch class, intervals, bass pitch class) of a symbol such as
    "Dm", "Bb", "A7", "Gm/Bb", "Dsus4", "Fmaj7"."""
    match = _CHORD.match(symbol)
    if not match:
        raise ScoreError("%r is not a chord symbol (like Dm, Bb, A7, C/E)" % symbol)
    letter, accidental, quality, extension, bass = match.groups()
    root = (_STEPS[letter] + (1 if accidental == "#" else -1 if accidental == "b" else 0)) % 12
    intervals = _QUALITY[quality] + _EXTENSION[extension]
    bass_pc = root if bass is None else pitch(bass + "0") % 12
    return root, intervals, bass_pc


def voicing(symbol, low, high, previous=None, voices=4):
    """Chord tones between low and high (MIDI), `voices` of them, as close as
    possible to the previous voicing: voices move by small steps."""
    root, intervals, _ = chord(symbol)
    classes = [(root + i) % 12 for i in intervals]
    candidates = [m for m in range(low, high + 1) if m % 12 in classes]
    if len(candidates) < voices:
        raise ScoreError("%s has too few tones between %d and %d" % (symbol, low, high))
    best = None
    # every window of `voices` consecutive chord tones is a voicing
    for i in range(len(candidates) - voices + 1):
        option = candidates[i:i + voices]
        if len({m % 12 for m in option}) < min(len(classes), voices):
            continue  # a voicing leaves out no tone it has room for
        if previous:
            cost = sum(abs(a - b) for a, b in zip(option, sorted(previous)))
        else:
            cost = abs(sum(option) / voices - (low + high) / 2.0)
        if best is None or cost < best[0]:
            best = (cost, option)
    if best is None:
        raise ScoreError("%s cannot be voiced in %d voices between %d and %d" % (symbol, voices, low, high))
    return best[1]


def bass_note(symbol, low):
    """The chord's bass at or above `low` (MIDI)."""
    _, _, bass_pc = chord(symbol)
    return low + (bass_pc - low) % 12


def chord_tones(symbol):
    root, intervals, _ = chord(symbol)
    return [(root + i) % 12 for i in intervals]


# --- notation ----------------------------------------------------------------

def parse_line(text, beats_per_bar=4, transpose=0):
    """A melody line: "D5:1.5 E5:.5 F5 A5 | G5:2 r:2". Each token is a note
    or r (rest) with its length in beats (default 1); a trailing ! accents
    the note. Bars are separated by | and each must add up to the bar.
    Returns [(beat, length, midi or None, accent)]."""
    events = []
    beat = 0.0
    for bar_index, bar in enumerate(text.split("|")):
        bar_beats = 0.0
        for token in bar.split():
            accent = token.endswith("!")
            token = token.rstrip("!")
            name, _, length = token.partition(":")
            try:
                length = float(length) if length else 1.0
            except ValueError:
                raise ScoreError("bar %d: %r has no length in beats" % (bar_index + 1, token))
            if length <= 0:
                raise ScoreError("bar %d: %r is not a positive length" % (bar_index + 1, token))
            midi = None if name == "r" else pitch(name) + transpose
            events.append((beat, length, midi, accent))
            beat += length
            bar_beats += length
        if abs(bar_beats - beats_per_bar) > 1e-6 and bar.strip():
            raise ScoreError("bar %d of %r has %g beats, not %g"
                             % (bar_index + 1, text[:40] + "...", bar_beats, beats_per_bar))
    return events


def parse_bars(text):
    """Chord bars: "Dm | Bb | F C | A7" gives one list of symbols per bar;
    several symbols share their bar equally."""
    return [bar.split() for bar in text.split("|")]


# --- the score ---------------------------------------------------------------

class Note:
    """start and length in samples; seed: the note's own noise and phases."""
    __slots__ = ("start", "length", "midi", "velocity", "seed")

    def __init__(self, start, length, midi, velocity, seed=0):
        self.start = start
        self.length = length
        self.midi = midi
        self.velocity = velocity
        self.seed = seed


class Section:
    """A stretch of bars at one tempo. Positions are (bar, beat) within it."""

    def __init__(self, score, start, bars, beat_samples, beats_per_bar):
        self.score = score
        self.start = start
        self.bars = bars
        self.beat = beat_samples
        self.beats_per_bar = beats_per_bar
        self.length = bars * beats_per_bar * beat_samples

    @property
    def end(self):
        return self.start + self.length

    def at(self, bar, beat=0.0):
        return self.start + int(round((bar * self.beats_per_bar + beat) * self.beat))

    def note(self, instrument, bar, beat, length, midi, velocity=0.8, humanise=True):
        """One note; length in beats. Notes may reach past the section's end."""
        if not 0 <= bar < self.bars + 1:
            raise ScoreError("bar %d is outside a section of %d bars" % (bar, self.bars))
        start = self.at(bar, beat)
        if humanise:
            start += self.score.jitter(instrument)
        samples = max(1, int(round(length * self.beat)))
        self.score.add(instrument, Note(max(0, start), samples, midi, velocity))

    def melody(self, instrument, text, bar=0, velocity=0.8, transpose=0, legato=1.0, swell=0.0):
        """A written line from `bar` on. legato < 1 shortens each note (detached
        playing); swell raises the velocity towards each phrase's middle."""
        events = parse_line(text, self.beats_per_bar, transpose)
        total = events[-1][0] + events[-1][1] if events else 1.0
        for beat, length, midi, accent in events:
            if midi is None:
                continue
            v = velocity * (1.15 if accent else 1.0)
            if swell:
                v *= 1.0 + swell * math.sin(math.pi * (beat + length / 2) / total)
            v *= self.score.rng.uniform(0.94, 1.04)
            self.note(instrument, bar, beat, length * legato, midi, min(v, 1.0))

    def chords(self, instrument, text, bar=0, low=55, high=76, voices=4, velocity=0.6, rhythm=None):
        """Sustained chords, one symbol per bar (or several sharing it),
        voiced close to each other. rhythm: beats at which the chord is
        struck within its span, with lengths, e.g. [(0, 1.5), (1.5, 2.5)]."""
        previous = None
        for i, symbols in enumerate(parse_bars(text)):
            span = self.beats_per_bar / len(symbols)
            for k, symbol in enumerate(symbols):
                notes = voicing(symbol, low, high, previous, voices)
                previous = notes
                hits = rhythm or [(0.0, span)]
                for offset, length in hits:
                    for midi in notes:
                        self.note(instrument, bar + i, k * span + offset, length, midi,
                                  velocity * self.score.rng.uniform(0.92, 1.03))

    def bass(self, instrument, text, bar=0, low=38, pattern=None, velocity=0.75):
        """The chords' bass notes; pattern: [(beat, length, semitones above the bass)]."""
        for i, symbols in enumerate(parse_bars(text)):
            span = self.beats_per_bar / len(symbols)
            for k, symbol in enumerate(symbols):
                root = bass_note(symbol, low)
                for offset, length, step in (pattern or [(0.0, span, 0)]):
                    if offset < span:
                        self.note(instrument, bar + i, k * span + offset, min(length, span - offset),
                                  root + step, velocity * self.score.rng.uniform(0.9, 1.03))

    def arpeggio(self, instrument, text, bar=0, low=57, high=84, step=0.5, order=(0, 1, 2, 3, 2, 1),
                 ring=1.5, velocity=0.6):
        """Broken chords: chord tones from low upwards in `order`, one every
        `step` beats, each ringing `ring` beats."""
        for i, symbols in enumerate(parse_bars(text)):
            span = self.beats_per_bar / len(symbols)
            for k, symbol in enumerate(symbols):
                tones = [m for m in range(low, high + 1) if m % 12 in chord_tones(symbol)]
                count = int(round(span / step))
                for n in range(count):
                    midi = tones[order[n % len(order)] % len(tones)]
                    accent = 1.1 if n == 0 else 1.0
                    self.note(instrument, bar + i, k * span + n * step, ring, midi,
                              velocity * accent * self.score.rng.uniform(0.85, 1.05))

    def drums(self, instrument, pattern, bar=0, bars=1, step=0.25, velocity=0.8, midi=0):
        """A rhythm written one character per `step` beats and repeated over
        `bars` bars: x struck, X accented, o soft, . rest, - ghost."""
        levels = {"x": 0.8, "X": 1.0, "o": 0.5, "-": 0.3}
        per_bar = int(round(self.beats_per_bar / step))
        for b in range(bars):
            for n in range(per_bar):
                c = pattern[(b * per_bar + n) % len(pattern)]
                if c in levels:
                    self.note(instrument, bar + b, n * step, step, midi,
                              velocity * levels[c] * self.score.rng.uniform(0.9, 1.05))


class Score:
    def __init__(self, seed, instruments):
        self.rng = random.Random(seed)
        self.instruments = instruments
        self.notes = {}
        self.cursor = 0
        self.sections = []

    def section(self, bars, bpm=None, seconds=None, beats_per_bar=4):
        """The next stretch of bars; give bpm, or seconds to fit the bars to."""
        if (bpm is None) == (seconds is None):
            raise ScoreError("a section needs either bpm or seconds")
        beats = bars * beats_per_bar
        beat_samples = int(round(RATE * 60.0 / bpm)) if bpm else int(round(seconds * RATE / beats))
        section = Section(self, self.cursor, bars, beat_samples, beats_per_bar)
        self.cursor = section.end
        self.sections.append(section)
        return section

    def add(self, instrument, note):
        if instrument not in self.instruments:
            raise ScoreError("no instrument %r (instruments: %s)"
                             % (instrument, ", ".join(sorted(self.instruments))))
        fixed = self.instruments[instrument].fixed
        if fixed:
            note.length = int(fixed * RATE)
        if not note.seed:
            note.seed = sum(len(n) for n in self.notes.values()) + 1
        self.notes.setdefault(instrument, []).append(note)

    def jitter(self, instrument):
        """A player's small unevenness, a few milliseconds either way (a note
        is never moved before the score's start)."""
        spread = self.instruments[instrument].jitter
        return int(self.rng.uniform(-spread, spread) * RATE) if spread else 0

    @property
    def length(self):
        return self.cursor

    def looped(self, window=4.0):
        """The score preceded by its own last seconds: every note still
        sounding in the last `window` seconds, and all that starts after the
        first of them. Rendered, the score's stretch then begins with the
        ring and echoes its end hands on when it repeats. Returns the new
        score and the sample where the score's stretch begins."""
        period = self.length
        edge = period - int(window * RATE)
        first = edge
        for name, notes in self.notes.items():
            release = int(float(self.instruments[name].patch.get("release", 0.05)) * RATE)
            for note in notes:
                if note.start < edge < note.start + note.length + release:
                    first = min(first, note.start)
        first = max(0, first)
        preroll = period - first
        copy = Score(0, self.instruments)
        for name, notes in self.notes.items():
            for n in notes:
                if n.start >= first:
                    copy.add(name, Note(n.start - first, n.length, n.midi, n.velocity, n.seed))
                copy.add(name, Note(n.start + preroll, n.length, n.midi, n.velocity, n.seed))
        copy.cursor = preroll + period
        return copy, preroll


# --- rendering ---------------------------------------------------------------

SYNTH_SOURCE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "synth.c")


def build_synth(work_dir):
    """The synthesiser, compiled once per source and compiler: kept beside
    the pipeline's stamps when the task runs in the pipeline's work folder
    (five pieces would otherwise compile it five times), else in work_dir."""
    compiler = shutil.which("cc") or shutil.which("gcc")
    if compiler is None:
        raise RuntimeError("sound: no C compiler for the music synthesiser; install the Debian package "
                           "build-essential")
    flags = ["-O2", "-std=c99"]
    with open(SYNTH_SOURCE, "rb") as f:
        key = hashlib.sha256(f.read() + os.path.realpath(compiler).encode() + " ".join(flags).encode())
    work_dir = os.path.abspath(work_dir)
    parent = os.path.dirname(work_dir)
    cache = os.path.join(os.path.dirname(parent), "tools") if os.path.basename(parent) == "work" else work_dir
    os.makedirs(cache, exist_ok=True)
    binary = os.path.join(cache, "kelvo_synth-" + key.hexdigest()[:16])
    if not os.path.exists(binary):
        # two tasks may compile at once: each into its own name, the same bytes renamed into place
        scratch = os.path.join(work_dir, "kelvo_synth")
        soxkit.run([compiler] + flags + ["-o", scratch, SYNTH_SOURCE, "-lm"], what="compiling synth.c")
        os.replace(scratch, binary)
    return binary


class Room:
    """The shared reverberation: size, damping of the highs, stereo width and
    how much of it is heard, each 0 to 1."""

    def __init__(self, size=0.6, damping=0.4, width=0.9, wet=0.25):
        self.size, self.damping, self.width, self.wet = size, damping, width, wet


def script(score, total, room, out_path, seed, finish):
    lines = ["rate %d" % RATE, "length %d" % total, "seed %d" % seed,
             "reverb %.3f %.3f %.3f %.3f" % (room.size, room.damping, room.width, room.wet)]
    used = sorted(score.notes)
    lines += [score.instruments[name].line() for name in used]
    events = []
    for name in used:
        instrument = score.instruments[name]
        for note in score.notes[name]:
            freq = hz(note.midi) if note.midi else instrument.hz
            if not freq:
                raise ScoreError("%s has no pitch of its own; give its notes one" % name)
            if note.start < total:
                events.append((note.start, name, note.length, freq, note.velocity, note.seed))
    events.sort()
    lines += ["note %s %d %d %.4f %.4f %d" % (name, start, length, freq, velocity, seed)
              for start, name, length, freq, velocity, seed in events]
    lines += finish
    lines.append("output %s %s" % (out_path, "float" if out_path.endswith(".float.wav") else "pcm16"))
    return "\n".join(lines) + "\n", len(events)


def render(score, out_path, work_dir, room, tail=0.0, seed=1, keep=None, fade=0.0, level=None, period=None,
           synth=None):
    """Renders the score with `tail` seconds of ring after its last bar.
    keep: (first sample, count) written; fade: seconds faded out at the end
    of what is kept; level: (loudness, ceiling) in dBFS; period: samples
    after which the piece repeats, if it loops. A path ending in
    ".float.wav" gets float samples, any other 16-bit. Returns the
    synthesiser's report: frames, loudness, peak, gain, and the notes played."""
    if not score.notes:
        raise ScoreError("the score has no notes")
    total = score.length + int(tail * RATE)
    finish = []
    if period:
        finish.append("period %d" % period)
    if keep:
        finish.append("keep %d %d" % keep)
    if fade:
        finish.append("fade %.3f" % fade)
    if level:
        finish.append("level %.2f %.2f" % level)
    text, count = script(score, total, room, out_path, seed, finish)
    path = os.path.join(work_dir, os.path.basename(out_path) + ".score")
    with open(path, "w") as f:
        f.write(text)
    out = soxkit.run([synth or build_synth(work_dir), path], what="kelvo_synth for " + os.path.basename(out_path),
                     stdout=True).decode().split()
    report = {out[i]: float(out[i + 1]) for i in range(0, len(out) - 1, 2)}
    expected = keep[1] if keep else total
    if report.get("frames") != expected:
        raise RuntimeError("kelvo_synth made %s samples of %s, not %d" % (report.get("frames"), out_path, expected))
    report["notes"] = count
    return report

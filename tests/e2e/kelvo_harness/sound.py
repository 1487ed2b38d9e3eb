"""The sound finder: whether and when a sound file the game plays occurs in
the captured sound, found by cross-correlation with the decoded file.

A level says nothing about which sound played once ambient loops, voices and
effects mix; the shape of the wave does. The capture is correlated with the
sound file over the span where the sound may start; the best match's
normalised correlation (1 = the same wave, scaled) says whether it is there,
its lag says when.
"""

import os
import subprocess

import numpy

from .process import SOURCE_DIR, HarnessError, WaveFormat

# A match at least this close counts as found. The sound alone scores
# near 1, under a louder ambient loop about 0.7; sounds that were not
# played stay below 0.15.
FOUND_SCORE = 0.3
EMPHASIS = 0.9


class Finding:
    def __init__(self, score, at):
        self.score = score
        self.at = at  # seconds into the capture where the sound starts

    @property
    def found(self):
        return self.score >= FOUND_SCORE

    def __repr__(self):
        return "Finding(score %.3f at %.3f s)" % (self.score, self.at)


def media_file(name):
    """The path of a file of the game's media by its name (e.g. "StopSoundNein1.wav")."""
    for folder, _, files in os.walk(os.path.join(SOURCE_DIR, "media")):
        if name in files:
            return os.path.join(folder, name)
    raise HarnessError("no media file named %s" % name)


def read_wave(path):
    """A WAV file as (mono samples as floats in -1..1, rate). 16-bit PCM is
    read directly; anything else is decoded through sox."""
    with open(path, "rb") as source:
        data = source.read()
    try:
        layout = WaveFormat(data)
        if layout.width != 2:
            raise HarnessError("not 16 bit")
    except HarnessError:
        data = subprocess.run(["sox", path, "-t", "wav", "-b", "16", "-e", "signed-integer", "-"],
                              check=True, stdout=subprocess.PIPE, stderr=subprocess.PIPE).stdout
        layout = WaveFormat(data)
    samples = numpy.frombuffer(layout.frames(data), dtype="<i2").astype(numpy.float64) / 32768.0
    return samples.reshape(-1, layout.channels).mean(axis=1), layout.rate


def _resampled(samples, rate, target_rate):
    if rate == target_rate:
        return samples
    count = int(round(len(samples) * target_rate / float(rate)))
    return numpy.interp(numpy.arange(count) * (rate / float(target_rate)), numpy.arange(len(samples)), samples)


def _emphasised(samples):
    """Low tones, which many sounds share, damped (a first-order
    pre-emphasis, as speech analysis uses): different sounds would
    otherwise look alike."""
    return samples - EMPHASIS * numpy.concatenate([[0.0], samples[:-1]])


def doppler_pitches(speed, doppler_factor=0.5, speed_of_sound=343.3, spacing=0.0025):
    """The pitches a sound on a source moving at up to `speed` units a second
    towards or away from the listener is heard at, `spacing` apart: the game
    shifts moving sounds (half the true Doppler effect), and one per cent of
    pitch is enough to hide a sound from a plain comparison. The shift
    changes from frame to frame as the source slows or turns, so compare
    a short piece (a tenth of a second) at these pitches."""
    lowest = speed_of_sound / (speed_of_sound + doppler_factor * speed)
    highest = speed_of_sound / (speed_of_sound - doppler_factor * speed)
    return tuple(numpy.union1d(numpy.arange(lowest, highest + spacing, spacing), [1.0]))


def find_sound(capture_path, sound_path, start_seconds, end_seconds, longest=2.0, pitches=(1.0,)):
    """Looks for the sound starting between start_seconds and end_seconds of
    the capture. Only its first `longest` seconds are compared: enough to
    tell sounds apart, and a sound cut short still matches. A sound on a
    moving source is looked for at each of `pitches` (see doppler_pitches);
    the best match counts."""
    capture, rate = read_wave(capture_path)
    sound, sound_rate = read_wave(sound_path)
    if len(sound) == 0 or not numpy.any(sound):
        raise HarnessError("%s holds no sound" % sound_path)
    capture = _emphasised(capture)
    findings = [_best_match(capture, _emphasised(_resampled(sound, sound_rate * pitch, rate)[:int(longest * rate)]),
                            rate, start_seconds, end_seconds)
                for pitch in pitches]
    return max(findings, key=lambda finding: finding.score)


def _best_match(capture, sound, rate, start_seconds, end_seconds):
    first = max(0, int(start_seconds * rate))
    last = min(len(capture), int(end_seconds * rate))
    if last <= first:
        raise HarnessError("the capture (%.2f s) does not reach %.2f s" % (len(capture) / float(rate), start_seconds))
    window = capture[first:last + len(sound)]
    window = numpy.concatenate([window, numpy.zeros(max(0, last - first + len(sound) - len(window)))])
    size = 1 << int(numpy.ceil(numpy.log2(len(window) + len(sound))))
    correlation = numpy.fft.irfft(numpy.fft.rfft(window, size) * numpy.conj(numpy.fft.rfft(sound, size)), size)
    lags = last - first
    correlation = correlation[:lags]
    # The capture's energy under the sound at each lag, for the normalisation.
    energy = numpy.concatenate([[0.0], numpy.cumsum(window * window)])
    under = energy[len(sound):len(sound) + lags] - energy[:lags]
    scores = correlation / numpy.sqrt(numpy.maximum(under, 1e-12) * numpy.dot(sound, sound))
    best = int(numpy.argmax(scores))
    return Finding(float(scores[best]), (first + best) / float(rate))

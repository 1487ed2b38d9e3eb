"""The sound finder's own rules, on captures made here: a sound under a
louder loop is found at its sample, a sound that was not played is not, the
span decides which of two plays is meant, and files at another rate or in
another format are decoded. No game, no display (label "unit")."""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest
import wave

import numpy

sys.path.insert(0, os.path.dirname(__file__))
from kelvo_harness.sound import doppler_pitches, find_sound  # noqa: E402

RATE = 44100


def voice(seed, seconds=0.8, rate=RATE):
    """A made-up spoken word: a buzzing voice whose pitch wanders between
    90 and 260 Hz, in syllables, with breath noise."""
    generator = numpy.random.RandomState(seed)
    t = numpy.arange(int(seconds * rate)) / float(rate)
    pitch = numpy.interp(t, numpy.linspace(0, seconds, 6), generator.uniform(90, 260, 6))
    phase = 2 * numpy.pi * numpy.cumsum(pitch) / rate
    buzz = sum(numpy.sin(k * phase) / k for k in range(1, 12))
    syllables = numpy.interp(t, numpy.linspace(0, seconds, 9), generator.uniform(0.1, 1, 9))
    breath = generator.normal(0, 1, len(t)) * numpy.interp(t, numpy.linspace(0, seconds, 9),
                                                            generator.uniform(0, 0.3, 9))
    word = numpy.sin(numpy.pi * t / seconds) ** 0.5 * (syllables * buzz + breath)
    return 0.3 * word / numpy.max(numpy.abs(word))


def sea(seconds, seed=99):
    """A loud noisy loop, as the sea's: filtered noise."""
    generator = numpy.random.RandomState(seed)
    noise = generator.normal(0, 1, int(seconds * RATE))
    smooth = numpy.convolve(noise, numpy.ones(30) / 30.0, mode="same")
    return 0.35 * smooth / numpy.max(numpy.abs(smooth))


def write_wave(path, samples, rate=RATE, channels=2):
    frames = numpy.clip(numpy.repeat(samples[:, None], channels, axis=1) * 32767, -32768, 32767)
    with wave.open(path, "wb") as out:
        out.setnchannels(channels)
        out.setsampwidth(2)
        out.setframerate(rate)
        out.writeframes(frames.astype("<i2").tobytes())


class SoundFinderTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="kelvo_sound_finder_")
        self.addCleanup(shutil.rmtree, self.folder)

    def path(self, name):
        return os.path.join(self.folder, name)

    def capture_with(self, plays, seconds=6.0):
        """A stereo capture of the sea with sounds mixed in at (seconds, samples, gain)."""
        mix = sea(seconds)
        for at, samples, gain in plays:
            start = int(at * RATE)
            mix[start:start + len(samples)] += gain * samples[:len(mix) - start]
        write_wave(self.path("capture.wav"), mix)
        return self.path("capture.wav")

    def test_a_sound_under_a_louder_loop_is_found_at_its_sample(self):
        refusal = voice(1)
        write_wave(self.path("refusal.wav"), refusal, channels=1)
        capture = self.capture_with([(2.345, refusal, 0.7)])
        finding = find_sound(capture, self.path("refusal.wav"), 1.5, 3.5)
        self.assertTrue(finding.found, finding)
        self.assertAlmostEqual(2.345, finding.at, delta=0.001)

    def test_a_sound_that_was_not_played_is_not_found(self):
        played, other = voice(1), voice(2)
        write_wave(self.path("other.wav"), other, channels=1)
        capture = self.capture_with([(2.0, played, 0.7)])
        finding = find_sound(capture, self.path("other.wav"), 0.0, 5.0)
        self.assertFalse(finding.found, finding)

    def test_the_span_decides_which_play_is_meant(self):
        refusal = voice(3)
        write_wave(self.path("refusal.wav"), refusal, channels=1)
        capture = self.capture_with([(1.0, refusal, 0.7), (3.5, refusal, 0.4)])
        self.assertAlmostEqual(1.0, find_sound(capture, self.path("refusal.wav"), 0.0, 2.0).at, delta=0.001)
        self.assertAlmostEqual(3.5, find_sound(capture, self.path("refusal.wav"), 2.0, 5.0).at, delta=0.001)

    def test_files_at_another_rate_or_format_are_decoded(self):
        refusal = voice(4, rate=22050)
        write_wave(self.path("refusal22.wav"), refusal, rate=22050, channels=1)
        # The same sound as the game hears it: at the device's rate.
        heard = numpy.interp(numpy.arange(len(refusal) * 2) / 2.0, numpy.arange(len(refusal)), refusal)
        capture = self.capture_with([(2.5, heard, 0.7)])
        finding = find_sound(capture, self.path("refusal22.wav"), 2.0, 3.0)
        self.assertTrue(finding.found, finding)
        self.assertAlmostEqual(2.5, finding.at, delta=0.002)
        # 32-bit float files go through sox.
        subprocess.run(["sox", "-q", self.path("refusal22.wav"), "-e", "floating-point", "-b", "32",
                        self.path("float.wav")], check=True)
        self.assertAlmostEqual(2.5, find_sound(capture, self.path("float.wav"), 2.0, 3.0).at, delta=0.002)

    def test_a_sound_on_a_moving_source_is_found_at_its_shifted_pitch(self):
        # A ball flying away at 100 km/h is heard about 4 % lower: enough to
        # hide it from the plain comparison, not from the pitch search.
        hum = voice(5)
        write_wave(self.path("hum.wav"), hum, channels=1)
        pitch = doppler_pitches(27.8)[0]
        heard = numpy.interp(numpy.arange(0, len(hum) - 1, pitch), numpy.arange(len(hum)), hum)
        capture = self.capture_with([(2.0, heard, 0.7)])
        self.assertFalse(find_sound(capture, self.path("hum.wav"), 1.5, 2.5, longest=0.1).found)
        finding = find_sound(capture, self.path("hum.wav"), 1.5, 2.5, longest=0.1, pitches=doppler_pitches(27.8))
        self.assertTrue(finding.found, finding)
        self.assertAlmostEqual(2.0, finding.at, delta=0.002)
        # Searching more pitches does not find what was not played.
        write_wave(self.path("other.wav"), voice(6), channels=1)
        other = find_sound(capture, self.path("other.wav"), 0.0, 5.0, longest=0.1, pitches=doppler_pitches(27.8))
        self.assertFalse(other.found, other)

    def test_a_span_outside_the_capture_is_refused_in_words(self):
        write_wave(self.path("refusal.wav"), voice(1), channels=1)
        capture = self.capture_with([], seconds=2.0)
        with self.assertRaisesRegex(AssertionError, "does not reach"):
            find_sound(capture, self.path("refusal.wav"), 5.0, 6.0)


if __name__ == "__main__":
    unittest.main()

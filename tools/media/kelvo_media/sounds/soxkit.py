"""What every sound task is made with: sox and espeak-ng runs that give the
same bytes on every build, loudness measured and set to one house level per
kind of sound, and MP3 written through libsndfile.

sox's own dither and noise are random unless it runs with -R, so every run
goes through sox() below. Durations are passed as sample counts ("44100s"):
seconds would be rounded differently by different effects, and loops and
scores need every sample where it was meant to be.
"""

import array
import ctypes
import math
import operator
import os
import shutil
import subprocess

# Loudness of each kind of sound, as the RMS of its audible 50 ms windows in
# dBFS. Speech and music share a level so a line is never drowned by the
# score; ambience sits a little lower as a bed under both; one-off effects
# (cries, hits) a little higher, since the game plays them from a distance.
TARGET_DB = {
    "speech": -20.0,
    "music": -20.0,
    "ambience": -24.0,
    "effect": -19.0,
}
# No sample above this (dBFS): room for the resampling of the mixer.
PEAK_CEILING_DB = -1.0
# MP3 decoding overshoots a little; the encoder gets a lower ceiling.
MP3_PEAK_CEILING_DB = -1.6
# Windows quieter than this count as silence when measuring loudness.
GATE_DB = -50.0
WINDOW_SECONDS = 0.05

_TOOLS = {"sox": "sox", "soxi": "sox", "espeak-ng": "espeak-ng"}


def require(tool):
    if shutil.which(tool) is None:
        raise RuntimeError("sound: %s is missing; install the Debian package %s"
                           % (tool, _TOOLS.get(tool, tool)))


def _env():
    env = dict(os.environ)
    env.pop("SOX_OPTS", None)  # a user's options must not change the files
    env["LC_ALL"] = "C"
    return env


def run(args, what=None, stdout=False):
    """Runs a tool; a failure or a clipping warning raises with the tool's
    own message. Returns stdout bytes when asked for."""
    require(args[0])
    result = subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=_env())
    err = result.stderr.decode("utf-8", "replace").strip()
    label = what or " ".join(args[:1] + [a for a in args[1:] if os.sep in a][:2])
    # sox reports some failures of an effect in mid-chain only as a FAIL line
    if result.returncode != 0 or " FAIL " in err:
        raise RuntimeError("%s failed (exit %d): %s" % (label, result.returncode, err[-2000:]))
    if "clipped" in err:
        # clipping inside a chain distorts the sound; the levels of that chain are wrong
        raise RuntimeError("%s clipped: %s" % (label, err[-1000:]))
    return result.stdout if stdout else None


def sox(*args, what=None):
    return run(["sox", "-R", "-V2"] + [str(a) for a in args], what=what)


def rate(path):
    return int(run(["soxi", "-r", path], stdout=True).decode().strip())


def channels(path):
    return int(run(["soxi", "-c", path], stdout=True).decode().strip())


def read_mono(path, at_rate=None):
    """The file's samples as floats, channels mixed down, optionally
    resampled (measuring loudness of long files at a low rate is enough)."""
    args = ["sox", "-R", "-V1", path, "-t", "f32", "-c", "1"]
    if at_rate:
        args += ["-r", str(at_rate)]
    args += ["-"]
    data = array.array("f")
    data.frombytes(run(args, what="reading " + os.path.basename(path), stdout=True))
    return data


class Windows:
    """A sound's 50 ms window energies (mono) and its peak, measured once;
    its gated loudness at any gain is then quick to work out (the gate is
    absolute, so a gain changes which windows count: level at the level the
    file will have)."""

    def __init__(self, data, sample_rate):
        self.window = max(1, int(sample_rate * WINDOW_SECONDS))
        self.rate = sample_rate
        w = self.window
        self.energies = [sum(map(operator.mul, data[i:i + w], data[i:i + w])) / w
                         for i in range(0, len(data) - w + 1, w)]
        self.peak = max(max(data), -min(data)) if data else 0.0

    def loudness(self, gain_db=0.0):
        """(gated RMS in dBFS, audible seconds, peak in dBFS) after gain_db."""
        scale = 10.0 ** (gain_db / 10.0)
        gate = 10.0 ** (GATE_DB / 10.0) / scale
        loud = [e for e in self.energies if e > gate]
        peak = _db(self.peak) + gain_db
        if not loud:
            return GATE_DB, 0.0, peak
        return 10.0 * math.log10(math.fsum(loud) * scale / len(loud)), len(loud) * self.window / self.rate, peak


def loudness(data, sample_rate, gain_db=0.0):
    """(gated RMS in dBFS, audible seconds, peak in dBFS) of mono samples
    after gain_db."""
    return Windows(data, sample_rate).loudness(gain_db)


def _db(x):
    return 20.0 * math.log10(x) if x > 1e-9 else -180.0


def peak_db(path):
    """Sample peak over all channels, from sox's own statistics."""
    err = subprocess.run(["sox", "-R", "-V2", path, "-n", "stats"], stdout=subprocess.PIPE,
                         stderr=subprocess.PIPE, env=_env()).stderr.decode()
    for line in err.splitlines():
        if line.startswith("Pk lev dB"):
            return float(line.split()[3])
    raise RuntimeError("sox stats gave no peak for %s" % path)


def level_gain(path, kind, ceiling_db=PEAK_CEILING_DB, measure_rate=None):
    """The gain in dB that brings a file to its kind's loudness, held back
    where the peak would pass the ceiling; with the loudness and peak it
    leads to and the frames measured. Loudness of the mono mix (what a 3D
    source plays), at measure_rate if given (the peak then comes from the
    file itself)."""
    if kind not in TARGET_DB:
        raise ValueError("unknown kind of sound %r (kinds: %s)" % (kind, ", ".join(sorted(TARGET_DB))))
    target = TARGET_DB[kind]
    sample_rate = measure_rate or rate(path)
    data = read_mono(path, measure_rate)
    peak = None
    if measure_rate or channels(path) > 1:
        peak = peak_db(path)
    windows = Windows(data, sample_rate)
    gain = 0.0
    for _ in range(4):  # the gate moves with the gain: settle it
        level, audible, data_peak = windows.loudness(gain)
        if audible == 0.0:
            raise RuntimeError("%s is silent" % os.path.basename(path))
        gain += target - level
    level, audible, data_peak = windows.loudness(gain)
    peak = data_peak if peak is None else peak + gain
    if peak > ceiling_db:
        gain -= peak - ceiling_db
        level, audible, data_peak = windows.loudness(gain)
        peak = ceiling_db
    return gain, level, peak, len(data)


def finish_wav(src, dst, kind, out_rate, out_channels, effects=(), measure_rate=None):
    """Writes the game's 16-bit WAV: src levelled to its kind. Returns a
    line for the progress output."""
    gain, level, peak, count = level_gain(src, kind, measure_rate=measure_rate)
    sox(src, "-b", "16", "-e", "signed-integer", "-r", out_rate, "-c", out_channels, dst,
        "gain", "%.3f" % gain, *effects, what="finishing " + os.path.basename(dst))
    seconds = count / float(measure_rate or rate(src))
    return "%s: %.2f s, %s, %d Hz, %.1f dBFS (peak %.1f)" % (
        os.path.basename(dst), seconds, "mono" if out_channels == 1 else "stereo", out_rate, level, peak)


# --- MP3 through libsndfile --------------------------------------------------
# sox here has no MP3 writer, and lame's command line pads the start (a loop
# would click). libsndfile writes MP3 through liblame with the gap recorded,
# so its own decoder (the game's) gives back every sample in place.

class _Info(ctypes.Structure):
    _fields_ = [("frames", ctypes.c_int64), ("samplerate", ctypes.c_int), ("channels", ctypes.c_int),
                ("format", ctypes.c_int), ("sections", ctypes.c_int), ("seekable", ctypes.c_int)]


_SFM_READ = 0x10
_SFM_WRITE = 0x20
SF_FORMAT_MPEG_LAYER_III = 0x230000 | 0x0082
_SFC_SET_COMPRESSION_LEVEL = 0x1301
_SFC_SET_BITRATE_MODE = 0x1305
_SF_BITRATE_MODE_VARIABLE = 2


def _sndfile():
    try:
        lib = ctypes.CDLL("libsndfile.so.1")
    except OSError:
        raise RuntimeError("sound: libsndfile is missing; install the Debian package libsndfile1")
    lib.sf_open.restype = ctypes.c_void_p
    lib.sf_open.argtypes = [ctypes.c_char_p, ctypes.c_int, ctypes.POINTER(_Info)]
    lib.sf_readf_float.restype = ctypes.c_int64
    lib.sf_readf_float.argtypes = [ctypes.c_void_p, ctypes.c_void_p, ctypes.c_int64]
    lib.sf_writef_float.restype = ctypes.c_int64
    lib.sf_writef_float.argtypes = [ctypes.c_void_p, ctypes.c_void_p, ctypes.c_int64]
    lib.sf_command.restype = ctypes.c_int
    lib.sf_command.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_void_p, ctypes.c_int]
    lib.sf_close.argtypes = [ctypes.c_void_p]
    lib.sf_strerror.restype = ctypes.c_char_p
    lib.sf_strerror.argtypes = [ctypes.c_void_p]
    return lib


def write_mp3(src, dst, quality=0.2):
    """Encodes a WAV as MP3 (variable bit rate; quality 0 best .. 1 smallest)."""
    lib = _sndfile()
    info = _Info()
    handle = lib.sf_open(src.encode(), _SFM_READ, ctypes.byref(info))
    if not handle:
        raise RuntimeError("libsndfile cannot read %s: %s" % (src, lib.sf_strerror(None).decode()))
    count = info.frames * info.channels
    buffer = (ctypes.c_float * count)()
    got = lib.sf_readf_float(handle, buffer, info.frames)
    lib.sf_close(handle)
    if got != info.frames:
        raise RuntimeError("libsndfile read %d of %d frames of %s" % (got, info.frames, src))
    out = _Info(0, info.samplerate, info.channels, SF_FORMAT_MPEG_LAYER_III, 0, 0)
    handle = lib.sf_open(dst.encode(), _SFM_WRITE, ctypes.byref(out))
    if not handle:
        raise RuntimeError("libsndfile cannot write MP3 %s: %s" % (dst, lib.sf_strerror(None).decode()))
    mode = ctypes.c_int(_SF_BITRATE_MODE_VARIABLE)
    level = ctypes.c_double(quality)
    lib.sf_command(handle, _SFC_SET_BITRATE_MODE, ctypes.byref(mode), ctypes.sizeof(mode))
    lib.sf_command(handle, _SFC_SET_COMPRESSION_LEVEL, ctypes.byref(level), ctypes.sizeof(level))
    written = lib.sf_writef_float(handle, buffer, info.frames)
    lib.sf_close(handle)
    if written != info.frames:
        raise RuntimeError("libsndfile wrote %d of %d frames of %s" % (written, info.frames, dst))


def sndfile_frames(path):
    """Frames, rate and channels as the game's decoder (libsndfile) sees them."""
    lib = _sndfile()
    info = _Info()
    handle = lib.sf_open(path.encode(), _SFM_READ, ctypes.byref(info))
    if not handle:
        raise RuntimeError("libsndfile cannot read %s: %s" % (path, lib.sf_strerror(None).decode()))
    lib.sf_close(handle)
    return info.frames, info.samplerate, info.channels

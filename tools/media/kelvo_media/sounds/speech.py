"""The spoken lines: espeak-ng's German voices, shaped by sox into two
people. The old man speaks low, slow and a little shaky, in the small room
of his hut; the hero is younger, quicker and brighter, out in the open.

Each line of tools/media/text/dialogue_de.txt becomes KEY.wav, mono (the
scene may place any line as a 3D sound at the speaker), 22050 Hz (what the
synthesiser makes; nothing above 11 kHz is lost).
"""

import os
import shutil

from . import dialogue, soxkit

RATE = 22050

# espeak-ng: variant, words a minute, pitch (0-99), pause between words (10 ms);
# then the sox effects that make the person.
VOICES = {
    "oldman": {
        "espeak": ["-v", "de+grandpa", "-s", "132", "-p", "18", "-g", "2"],
        # an old man's unsteady voice, a chesty low end, a small wooden room
        "sox": ["tremolo", "4.7", "18", "bass", "+4", "150", "treble", "-3", "4500",
                "reverb", "35", "60", "30", "0", "8", "-3"],
    },
    "hero": {
        "espeak": ["-v", "de+m3", "-s", "152", "-p", "64"],
        # young and clear, outdoors: presence, no room
        "sox": ["highpass", "110", "equalizer", "2800", "1q", "+3", "bass", "-2", "200"],
    },
}

# Both voices are evened out, from a known peak (-3 dBFS): a gentle
# compressor (2:1 above -24 dBFS) for loud syllables, then a limiter with
# 2 ms look-ahead for the synthesiser's sharp voice pulses, which otherwise
# held some lines' level 3 dB below the house loudness for a single peak.
EVEN = ["gain", "-n", "-3",
        "compand", "0.005,0.12", "-90,-90,-24,-24,0,-12", "0", "-90", "0.005",
        "compand", "0,0.05", "-90,-90,-12,-12,0,-9", "0", "-90", "0.002"]

# Silence around each line, so a line neither starts nor ends abruptly and
# the next speaker does not tread on the room's echo.
LEAD_SECONDS = 0.08
TAIL_SECONDS = 0.25


def _table():
    path = dialogue.table_path()
    return dialogue.check_complete(dialogue.load(path), path)


def speak(line, out_path, work_dir):
    voice = VOICES[line.voice]
    raw = os.path.join(work_dir, line.key + ".raw.wav")
    shaped = os.path.join(work_dir, line.key + ".shaped.wav")
    # -b 1: the text is UTF-8 whatever the locale says (umlauts, ß)
    soxkit.run(["espeak-ng", "-b", "1"] + voice["espeak"] + ["-w", raw, dialogue.spoken(line)],
               what="espeak-ng for " + line.key)
    if not os.path.isfile(raw) or os.path.getsize(raw) <= 44:
        # espeak-ng answers a bad option with its help text and success
        raise RuntimeError("espeak-ng made no speech for %s (line %d)" % (line.key, line.lineno))
    # trim the synthesiser's own silence, then lay our own margins around the voice
    soxkit.sox(raw, "-e", "floating-point", "-b", "32", shaped, "gain", "-8",
               "silence", "1", "0.01", "0.1%", "reverse", "silence", "1", "0.01", "0.1%", "reverse",
               "pad", str(LEAD_SECONDS), str(TAIL_SECONDS), *voice["sox"], *EVEN,
               what="shaping " + line.key)
    return soxkit.finish_wav(shaped, out_path, "speech", RATE, 1)


def _build(out_dir, work_dir, keys):
    table = _table()
    return [speak(table[key], os.path.join(out_dir, key + ".wav"), work_dir) for key in keys]


def build_oldman(out_dir, work_dir):
    return _build(out_dir, work_dir, dialogue.OLDMAN_KEYS)


def build_hero(out_dir, work_dir):
    return _build(out_dir, work_dir, dialogue.HERO_KEYS)


def build_refusals(out_dir, work_dir):
    return _build(out_dir, work_dir, dialogue.REFUSAL_KEYS)


def build_table(out_dir, work_dir):
    """The table itself, where the game's subtitles find it."""
    table = _table()
    shutil.copyfile(dialogue.table_path(), os.path.join(out_dir, "dialogue_de.txt"))
    return ["dialogue_de.txt: %d lines, %d by the old man, %d by the hero"
            % (len(table), len(dialogue.OLDMAN_KEYS), len(table) - len(dialogue.OLDMAN_KEYS))]

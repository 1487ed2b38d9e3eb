"""The credits ("credit_sound"): plays for as long as the credits are
shown, looping. A light sailor's dance on the island's theme: guitar and
hand drum, the theme in the major on the flute, the answering phrase on
the clarinet, then the violins take the theme and hand it back to the start.
"""

from .. import themes
from ..score import Room
from . import loop, new_score

NAME = "credit_sound.wav"
STRUM = [(0, 0.5), (1, 0.5), (1.5, 0.5), (2.5, 0.5), (3, 1)]


def compose():
    s = new_score(seed=41)
    a = s.section(24, bpm=100)
    rounds = [(0, themes.THEME_MAJOR, themes.THEME_MAJOR_CHORDS, "flute", 0),
              (8, themes.ANSWER, themes.ANSWER_CHORDS, "clarinet", -12),
              (16, themes.THEME_MAJOR, themes.THEME_MAJOR_CHORDS, "violins", 0)]
    for bar, melody, chords, lead, transpose in rounds:
        a.melody(lead, melody, bar=bar, velocity=0.7, transpose=transpose, swell=0.25)
        a.chords("guitar", chords, bar=bar, low=52, high=71, voices=4, velocity=0.45, rhythm=STRUM)
        a.bass("bass", chords, bar=bar, low=38, pattern=[(0, 1, 0), (1.5, .5, 7), (2, 1, 0), (3, 1, 7)],
               velocity=0.6)
        a.drums("hand", "x..xx.x.x..xx.x.", bar=bar, bars=8, velocity=0.55)
        a.drums("shaker", "..x...x...x...x.", bar=bar, bars=8, velocity=0.4)
    a.chords("strings", themes.THEME_MAJOR_CHORDS, bar=16, low=55, high=72, voices=3, velocity=0.35)
    a.arpeggio("harp", themes.ANSWER_CHORDS, bar=8, low=55, high=84, step=0.5, order=(0, 2, 4, 2), velocity=0.4)
    a.melody("flute", "r:4 | r:4 | r:4 | r:2 A5 G5 | r:4 | r:4 | r:4 | r:2 E5 C#5", bar=8, velocity=0.45)
    a.melody("celesta", "r:4 | r:4 | r:4 | r:4 | r:4 | r:4 | r:2 A5 B5 | C#6:2 E6:2", bar=16, velocity=0.5)
    return s


def build(out_dir, work_dir):
    return loop(compose(), out_dir + "/" + NAME, work_dir, Room(size=0.55, damping=0.45, width=0.9, wet=0.18),
                seed=41)

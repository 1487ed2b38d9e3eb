"""The outro ("outro_sound"): the hero reaches the ship. It starts with the
camera's 13.5 s flight to the ship and plays under the closing pictures
(13.5, 28, 50.5 and 73.5 s) until the game returns to the menu at 126 s.

The island's theme, at last in the major, broad and bright; the answering
phrase, a bright step away in F; the old minor theme once more,
remembered on the clarinet; then everything together and a long last chord.
"""

from .. import themes
from ..score import Room
from . import new_score, once

NAME = "outro_sound.wav"
LENGTH = 127.0


def compose():
    s = new_score(seed=31)

    # 0 - 28 s: the ship; the theme in the major
    a = s.section(8, seconds=28.0)
    a.note("cymbal", 0, 0, 1, 0, 0.8)
    a.note("timpani", 0, 0, 1, 38, 0.9)
    a.melody("horn", themes.THEME_MAJOR, velocity=0.8, transpose=-12, swell=0.2)
    a.melody("violins", themes.THEME_MAJOR, velocity=0.7, swell=0.25)
    a.chords("strings", themes.THEME_MAJOR_CHORDS, low=50, high=69, velocity=0.6)
    a.arpeggio("harp", themes.THEME_MAJOR_CHORDS, low=50, high=81, step=0.5, order=(0, 1, 2, 3, 4, 3, 2, 1),
               velocity=0.5)
    a.bass("bass", themes.THEME_MAJOR_CHORDS, low=38, pattern=[(0, 2, 0), (2, 1.5, 7), (3.5, .5, 0)])
    a.bass("cellos", themes.THEME_MAJOR_CHORDS, low=38, velocity=0.5)
    a.drums("timpani", "X.......x.......", bars=8, velocity=0.55, midi=38)

    # 28 - 50.5 s: the answering phrase on the flute
    b = s.section(8, seconds=22.5)
    b.note("cymbal", 0, 0, 1, 0, 0.4)
    b.melody("flute", themes.ANSWER, velocity=0.7, swell=0.3)
    b.chords("strings", themes.ANSWER_CHORDS, low=53, high=72, voices=3, velocity=0.45)
    b.arpeggio("harp", themes.ANSWER_CHORDS, low=48, high=77, velocity=0.5)
    b.bass("cellos", themes.ANSWER_CHORDS, low=36, pattern=[(0, 2, 0), (2, 2, 7)], velocity=0.5)
    b.drums("shaker", "..x...x...x...x.", bars=8, velocity=0.4)

    # 50.5 - 73.5 s: remembering; the minor theme on the clarinet
    c = s.section(8, seconds=23.0)
    c.melody("clarinet", themes.THEME, velocity=0.6, transpose=-12, swell=0.25)
    c.arpeggio("harp", themes.THEME_CHORDS, low=50, high=74, step=1.0, order=(0, 2, 1, 3), ring=2.5,
               velocity=0.45)
    c.chords("strings", themes.THEME_CHORDS, low=53, high=69, voices=3, velocity=0.32)
    c.bass("cellos", themes.THEME_CHORDS, low=38, velocity=0.4)
    c.melody("flute", "r:4 | r:4 | r:4 | r:2 G5 A5 | r:4 | r:4 | r:4 | r:2 E5 C#5", velocity=0.4)

    # 73.5 - 126 s: all together, the call in the major, and home
    d = s.section(16, seconds=52.5)
    d.note("cymbal", 0, 0, 1, 0, 0.9)
    d.note("timpani", 0, 0, 1, 38, 1.0)
    d.melody("horn", themes.THEME_MAJOR, velocity=0.9, transpose=-12, swell=0.15)
    d.melody("violins", themes.THEME_MAJOR, velocity=0.8, swell=0.2)
    d.melody("flute", themes.THEME_MAJOR, velocity=0.5, transpose=12)
    d.chords("strings", themes.THEME_MAJOR_CHORDS, low=50, high=69, velocity=0.65)
    d.chords("choir", themes.THEME_MAJOR_CHORDS, low=55, high=72, voices=3, velocity=0.45)
    d.arpeggio("harp", themes.THEME_MAJOR_CHORDS, low=50, high=81, step=0.5, velocity=0.5)
    d.bass("bass", themes.THEME_MAJOR_CHORDS, low=38, pattern=[(0, 2, 0), (2, 2, 7)])
    d.drums("timpani", "X.......x...x.x.", bars=8, velocity=0.6, midi=38)
    d.drums("snare", "............x.x.", bars=8, velocity=0.35)
    call = "D4:1.5 A4:.5 A4:2 | G4:1.5 F#4:.5 D4:2 | F#4:1.5 A4:.5 D5:2 | E5:3 r"
    d.melody("horn", call, bar=8, velocity=0.95, swell=0.15)
    d.melody("violins", call, bar=8, velocity=0.7, transpose=12)
    d.chords("strings", "D | G | D/F# | A", bar=8, low=50, high=69, velocity=0.6)
    d.bass("bass", "D | G | D/F# | A", bar=8, low=38, pattern=[(0, 3, 0), (3, 1, 7)])
    d.drums("timpani", "X.......X.......", bar=8, bars=4, velocity=0.7, midi=38)
    ending = "G | A7 | D | D"
    d.melody("violins", "B5:2 D6:2 | C#6:2 E6:2 | D6:4 | D6:4", bar=12, velocity=0.7, swell=0.2)
    d.melody("horn", "G4:2 B4:2 | A4:2 C#5:2 | D5:4 | A4:4", bar=12, velocity=0.75)
    d.chords("strings", ending, bar=12, low=50, high=69, velocity=0.6)
    d.chords("choir", ending, bar=12, low=55, high=72, voices=3, velocity=0.5)
    d.bass("bass", ending, bar=12, low=38, pattern=[(0, 4, 0)])
    d.drums("timpani", "XxXxXxXxXxXxXXXX", bar=13, bars=1, velocity=0.55, midi=33)
    d.note("cymbal", 14, 0, 1, 0, 0.8)
    d.note("timpani", 14, 0, 1, 38, 0.9)
    for k, midi in enumerate((38, 45, 50, 54, 57, 62, 66, 69)):
        d.note("harp", 14, 0.2 * k, 6, midi, 0.55)
    return s


def build(out_dir, work_dir):
    score = compose()
    return once(score, out_dir + "/" + NAME, work_dir, Room(size=0.75, damping=0.4, width=0.9, wet=0.22),
                tail=LENGTH - score.length / 44100.0, fade=5.0, seed=31)

"""The dead of the valley ("ZombiWar.mp3"): starts when the hero climbs
down the well and fades out when he leaves the zombies' ground. It loops.
A driving ostinato of low strings and war drums, a lament of the horns, the
choir of the drowned, and the island's call turned grim before it starts
again.
"""

from .. import score as sc, themes
from ..score import Room
from . import loop, new_score

NAME = "ZombiWar.mp3"
# root, root, root, fifth, root, root, octave, fifth: menace that fits any chord
PULSE = (0, 0, 0, 7, 0, 0, 12, 7)


def ostinato(section, chords, bar, velocity):
    for i, symbols in enumerate(sc.parse_bars(chords)):
        root = sc.bass_note(symbols[0], 38)
        for k, step in enumerate(PULSE):
            section.note("staccato", bar + i, 0.5 * k, 0.45, root + step, velocity * (1.15 if k % 4 == 0 else 1.0))


def compose():
    s = new_score(seed=53)
    a = s.section(24, bpm=104)
    # bars 0-3: the ground trembles
    for bar in range(4):
        a.melody("staccato", themes.MARCH, bar=bar, velocity=0.55 + 0.05 * bar)
    a.note("drone", 0, 0, 16, 26, 0.7)
    a.drums("taiko", "X.....x.X.......", bars=4, velocity=0.8)
    a.note("swell", 3, 2, 2, 60, 0.8)
    # bars 4-11: the lament in the horns
    ostinato(a, themes.LAMENT_CHORDS, 4, 0.6)
    a.melody("horn", themes.LAMENT, bar=4, velocity=0.8, swell=0.2)
    a.chords("choir", themes.LAMENT_CHORDS, bar=4, low=55, high=70, voices=3, velocity=0.4)
    a.bass("bass", themes.LAMENT_CHORDS, bar=4, low=38, pattern=[(0, .5, 0), (1.5, .5, 0), (2, .5, 0), (3.5, .5, 0)])
    a.drums("taiko", "X.....x.X...x...", bar=4, bars=8, velocity=0.85)
    a.drums("snare", "....x.......x...", bar=4, bars=8, velocity=0.45)
    a.note("cymbal", 4, 0, 1, 0, 0.7)
    # bars 12-19: the drowned sing it, higher and fuller
    ostinato(a, themes.LAMENT_CHORDS, 12, 0.7)
    a.melody("violins", themes.LAMENT, bar=12, velocity=0.75, transpose=12, swell=0.2)
    a.chords("choir", themes.LAMENT_CHORDS, bar=12, low=57, high=74, voices=4, velocity=0.5)
    a.chords("horn", themes.LAMENT_CHORDS, bar=12, low=50, high=65, voices=3, velocity=0.5,
             rhythm=[(0, 1.5), (1.5, 2.5)])
    a.bass("bass", themes.LAMENT_CHORDS, bar=12, low=38, pattern=[(0, .5, 0), (1.5, .5, 0), (2, .5, 0), (3.5, .5, 0)])
    a.drums("taiko", "X..x..x.X.x...x.", bar=12, bars=8, velocity=0.9)
    a.drums("tom", "......x.......xx", bar=12, bars=8, velocity=0.5)
    a.drums("snare", "....x.......x..x", bar=12, bars=8, velocity=0.5)
    a.note("cymbal", 12, 0, 1, 0, 0.8)
    # bars 20-23: the island's call, grim, and a fill back to the start
    ostinato(a, themes.CALL_CHORDS, 20, 0.65)
    a.melody("horn", themes.CALL, bar=20, velocity=0.95)
    a.chords("strings", themes.CALL_CHORDS, bar=20, low=50, high=69, velocity=0.55)
    a.drums("taiko", "X.......X.......", bar=20, bars=3, velocity=0.85)
    a.drums("tom", "x.x.x.x.xxxxXXXX", bar=23, bars=1, velocity=0.7)
    a.drums("timpani", "X.......X.......", bar=20, bars=3, velocity=0.7, midi=38)
    return s


def build(out_dir, work_dir):
    return loop(compose(), out_dir + "/" + NAME, work_dir, Room(size=0.7, damping=0.5, width=0.9, wet=0.22),
                seed=53)

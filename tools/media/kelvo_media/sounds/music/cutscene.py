"""The first cut-scene ("CutSceneSound1"): the camera's 46.8 s flight over
the spiders' land when the hero first walks towards the cave. It follows
the flight's screen effects: creeping unease, a shock where the picture
inverts (12.4 to 14.6 s), a nervous stretch, a chase while the picture
blurs (21.5 to 27.7 s), then the cave's own brooding until the camera lands.
"""

from .. import themes
from ..score import Room
from . import new_score, once

NAME = "CutSceneSound1.wav"
LENGTH = 47.0


def compose():
    s = new_score(seed=23)

    # 0 - 12.4 s: something lives here
    a = s.section(4, seconds=12.4)
    a.note("drone", 0, 0, 16, 26, 0.8)
    a.note("drone", 0, 0, 16, 33, 0.5)
    for bar in range(4):
        a.melody("cellos", themes.CREEP, bar=bar, velocity=0.35 + 0.08 * bar, legato=0.8)
    a.chords("choir", "Dm | Eb | Dm | Bbm", low=55, high=70, voices=3, velocity=0.35)
    a.melody("bell", "r:3 A5 | r:2 Bb5:2 | r:3 A5 | Eb6:2 D6:2", velocity=0.45)
    a.drums("hand", "x.......x.......", bars=4, velocity=0.5, midi=0)
    a.note("swell", 3, 2, 2, 60, 0.8)

    # 12.4 - 14.6 s: the shock
    b = s.section(1, seconds=2.2)
    b.note("taiko", 0, 0, 1, 0, 1.0)
    b.note("cymbal", 0, 0, 1, 0, 0.9)
    b.note("timpani", 0, 0, 1, 38, 1.0)
    for midi in (50, 51, 57, 58, 62, 63):
        b.note("staccato", 0, 0, 0.6, midi, 0.9)
        b.note("strings", 0, 0, 4, midi, 0.6)
    b.note("horn", 0, 0, 3.5, 51, 0.8)
    b.note("horn", 0, 0, 3.5, 50, 0.8)

    # 14.6 - 21.5 s: nerves; the creeping line quickens and climbs
    c = s.section(3, seconds=6.9)
    c.note("drone", 0, 0, 12, 26, 0.7)
    for bar in range(3):
        c.melody("staccato", themes.CREEP, bar=bar, velocity=0.55, transpose=12 + 2 * bar)
    c.chords("strings", "Dm | Eb | E", low=55, high=70, voices=3, velocity=0.45)
    c.drums("hand", "x..x..x.x..x..x.", bars=3, velocity=0.55)
    c.note("swell", 2, 0, 4, 60, 1.0)

    # 21.5 - 27.7 s: the chase, while the picture blurs
    d = s.section(3, seconds=6.2)
    d.note("cymbal", 0, 0, 1, 0, 0.8)
    chase = "D3:.25 D3:.25 F3:.25 D3:.25 Eb3:.25 D3:.25 G3:.25 F3:.25 " * 2
    for bar in range(3):
        d.melody("staccato", chase.strip(), bar=bar, velocity=0.7, transpose=12)
    d.melody("horn", "D4:1.5 A4:.5 A4:2 | Bb4:1.5 A4:.5 G4:2 | A4:4", velocity=0.9)
    d.chords("strings", "Dm | Gm | A", low=50, high=69, velocity=0.55)
    d.bass("bass", "Dm | Gm | A", low=38, pattern=[(0, .5, 0), (1, .5, 0), (2, .5, 0), (3, .5, 0)])
    d.drums("taiko", "X.x.x.X.X.x.x.xx", bars=3, velocity=0.85)
    d.drums("tom", "..x...x...x..xxx", bars=3, velocity=0.6)
    d.drums("snare", "....x.......x...", bars=3, velocity=0.5)

    # 27.7 - 46.8 s: the cave broods; the camera comes to rest
    e = s.section(6, seconds=19.1)
    e.note("timpani", 0, 0, 1, 38, 0.8)
    e.note("drone", 0, 0, 24, 26, 0.75)
    e.note("drone", 0, 0, 24, 33, 0.45)
    for bar in range(5):
        e.melody("cellos", themes.CREEP, bar=bar, velocity=0.5 - 0.05 * bar, legato=0.8)
    e.chords("choir", "Dm | Eb | Dm | Bbm | Dm | Dm", low=55, high=70, voices=3, velocity=0.4)
    e.melody("clarinet", "A4:3 Bb4 | A4:4 | F4:2 E4:2 | Eb4:4 | D4:4 | r:4", velocity=0.5)
    e.melody("bell", "r:4 | r:2 Eb6:2 | r:4 | r:3 A5 | r:4 | D5:4", velocity=0.4)
    e.drums("hand", "x.......x.......", bars=5, velocity=0.4)
    e.note("taiko", 5, 0, 1, 0, 0.7)
    e.note("timpani", 5, 0, 1, 26, 0.8)
    return s


def build(out_dir, work_dir):
    score = compose()
    return once(score, out_dir + "/" + NAME, work_dir, Room(size=0.8, damping=0.5, width=0.9, wet=0.3),
                tail=LENGTH - score.length / 44100.0, fade=0.6, seed=23)

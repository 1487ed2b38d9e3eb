"""The intro ("intro_sound"): the music under the picture story that opens
every game. It starts with the world, 2 s before the sequence clock's first
picture change, so the picture times are heard 2 s earlier: the title at
8.8 s, the story pictures at 43, 66, 84, 104, 118, 135, 152 and 158 s, the
fade into the game at 163 s. Each section is fitted to its stretch of
pictures; the music ends in its own ring by 168 s.

The story it tells: a call over the sea (the title and the island's theme),
the voyage (the answering phrase), the storm rising and breaking (the theme
in the horns over driving strings), the calm after it and the shore.
"""

from .. import themes
from ..score import Room
from . import new_score, once

NAME = "intro_sound.wav"
LENGTH = 168.0


def compose():
    s = new_score(seed=11)

    # 0 - 8.8 s: the pretitle; a low drone and a far call of bells
    a = s.section(2, seconds=8.8)
    a.note("drone", 0, 0, 8, 38, 0.7)
    a.note("drone", 0, 0, 8, 45, 0.5)
    a.note("choir", 0, 2, 6, 62, 0.35)
    a.note("choir", 0, 2, 6, 69, 0.3)
    a.melody("bell", "r:2 D5:1.5 E5:.5 | F5 A5:3", velocity=0.55)
    a.note("swell", 1, 2, 2, 60, 0.9)

    # 8.8 - 43 s: the title, the island's theme in full, then the horns' call
    t = s.section(12, seconds=34.2)
    t.note("cymbal", 0, 0, 1, 0, 0.8)
    t.note("timpani", 0, 0, 1, 38, 0.9)
    t.melody("violins", themes.THEME, velocity=0.75, swell=0.25)
    t.melody("horn", themes.THEME, velocity=0.6, transpose=-12, legato=0.95)
    t.chords("strings", themes.THEME_CHORDS, low=50, high=69, velocity=0.6)
    t.arpeggio("harp", themes.THEME_CHORDS, low=50, high=77, step=0.5, velocity=0.55)
    t.bass("cellos", themes.THEME_CHORDS, low=38, pattern=[(0, 2, 0), (2, 2, 7)], velocity=0.6)
    t.bass("bass", themes.THEME_CHORDS, low=38, pattern=[(0, 1.5, 0), (1.5, 0.5, 7), (2, 2, 0)])
    t.drums("timpani", "X...............o.......x.......", bars=8, velocity=0.55, midi=38)
    t.melody("horn", themes.CALL, bar=8, velocity=0.85, swell=0.2)
    t.chords("strings", themes.CALL_CHORDS, bar=8, low=50, high=69, velocity=0.55)
    t.bass("bass", themes.CALL_CHORDS, bar=8, low=38, pattern=[(0, 3, 0), (3, 1, 7)])
    t.drums("timpani", "X.......x.......", bar=8, bars=3, velocity=0.7, midi=38)
    t.drums("timpani", "x.x.x.x.XXXXXXXX", bar=11, bars=1, velocity=0.5, midi=33)
    t.note("swell", 11, 2, 2, 60, 0.6)

    # 43 - 84 s: the voyage; the answering phrase on the flute, the theme's
    # head on the clarinet, the harp rocking like a boat
    v = s.section(14, seconds=41.0)
    v.note("cymbal", 0, 0, 1, 0, 0.4)
    v.melody("flute", themes.ANSWER, velocity=0.7, swell=0.3)
    v.chords("strings", themes.ANSWER_CHORDS, low=53, high=72, voices=3, velocity=0.4)
    v.arpeggio("harp", themes.ANSWER_CHORDS, low=48, high=74, step=0.5, order=(0, 2, 1, 3, 2, 1, 0, 2),
               velocity=0.5)
    v.bass("bass", themes.ANSWER_CHORDS, low=36, pattern=[(0, 2, 0), (2, 2, 7)], velocity=0.55)
    v.drums("shaker", "..x...x...x...xx", bars=8, velocity=0.45)
    head = "D5:1.5 E5:.5 F5 A5 | G5:1.5 F5:.5 D5:2 | C5:1.5 D5:.5 F5 C5 | E5:3 r"
    v.melody("clarinet", head, bar=8, velocity=0.65, transpose=-12, swell=0.2)
    v.chords("strings", "Dm | Bb | F | C | Gm | A", bar=8, low=53, high=72, voices=3, velocity=0.42)
    v.arpeggio("harp", "Dm | Bb | F | C", bar=8, low=50, high=74, velocity=0.45)
    v.bass("cellos", "Dm | Bb | F | C | Gm | A", bar=8, low=38, velocity=0.45)
    v.melody("flute", "r:2 D5 E5 | F5:1.5 E5:.5 C#5:2", bar=12, velocity=0.5)

    # 84 - 104 s: the wind rises; strings start a restless ostinato
    w = s.section(8, seconds=20.0)
    storm = "Dm | Dm | Bb | Bb | Gm | Gm | A | A"
    for bar in range(8):
        w.melody("staccato", themes.MARCH, bar=bar, velocity=0.45 + 0.05 * bar, transpose=12)
    w.bass("cellos", storm, low=38, pattern=[(0, 4, 0)], velocity=0.55)
    w.chords("strings", storm, low=50, high=67, voices=3, velocity=0.35)
    w.drums("taiko", "x.......x...x...", bars=4, velocity=0.5)
    w.drums("taiko", "x.......x...x.x.", bar=4, bars=4, velocity=0.7)
    w.melody("horn", "r:4 | r:4 | D4:3 F4 | E4:4 | r:4 | r:4 | G4:3 Bb4 | A4:4", velocity=0.55)
    w.note("swell", 7, 0, 4, 60, 0.9)

    # 104 - 135 s: the storm; the theme in the horns over everything
    st = s.section(12, seconds=31.0)
    st.note("cymbal", 0, 0, 1, 0, 0.9)
    for bar in range(12):
        st.melody("staccato", themes.MARCH, bar=bar, velocity=0.6, transpose=12)
    st.melody("horn", themes.THEME, velocity=0.9, swell=0.15)
    st.melody("violins", themes.THEME, velocity=0.7, transpose=12, swell=0.2)
    st.chords("strings", themes.THEME_CHORDS, low=50, high=69, velocity=0.6)
    st.bass("bass", themes.THEME_CHORDS, low=38, pattern=[(0, .5, 0), (1, .5, 0), (2, .5, 0), (3, .5, 7)])
    st.drums("taiko", "X..x..x.X...x.x.", bars=8, velocity=0.85)
    st.drums("snare", "....x.......x..x", bars=8, velocity=0.5)
    climax = "Bb | C | Dm | A7"
    st.melody("horn", "F5:2 E5 D5 | E5:2 G5:2 | F5:1.5 E5:.5 D5:2 | C#5:4", bar=8, transpose=-12, velocity=0.95)
    st.melody("violins", "D6:2 C6 Bb5 | C6:2 E6:2 | D6:1.5 C6:.5 A5:2 | A5:4", bar=8, velocity=0.8)
    st.chords("strings", climax, bar=8, low=50, high=69, velocity=0.65)
    st.bass("bass", climax, bar=8, low=38, pattern=[(0, 2, 0), (2, 2, 0)])
    st.drums("taiko", "X...X...X..xX.x.", bar=8, bars=3, velocity=0.9)
    st.drums("timpani", "X...............", bar=8, bars=3, velocity=0.8, midi=38)
    st.drums("timpani", "XxXxXxXxXxXxXXXX", bar=11, bars=1, velocity=0.6, midi=33)
    st.note("cymbal", 11, 3.5, 1, 0, 0.6)

    # 135 - 158 s: the calm after it; alone on the shore
    c = s.section(8, seconds=23.0)
    c.note("cymbal", 0, 0, 1, 0, 0.5)
    c.note("timpani", 0, 0, 1, 38, 0.6)
    c.melody("flute", head + " | D5:1.5 E5:.5 F5 A5 | Bb5:1.5 A5:.5 G5 F5 | E5:2 C#5:2 | D5:4",
             velocity=0.55, swell=0.3)
    c.arpeggio("harp", themes.THEME_CHORDS, low=50, high=74, step=1.0, order=(0, 2, 1, 3), ring=2.5,
               velocity=0.45)
    c.chords("strings", themes.THEME_CHORDS, low=53, high=69, voices=3, velocity=0.3)
    c.bass("cellos", themes.THEME_CHORDS, low=38, velocity=0.35)

    # 158 - 166 s: the shore; the theme's cadence, then the last chord rings to 168 s
    e = s.section(3, seconds=8.0)
    e.chords("strings", "Bb | A7 | Dm", low=50, high=69, velocity=0.5)
    e.chords("choir", "Bb | A | Dm", low=55, high=69, voices=3, velocity=0.45)
    e.melody("violins", "F5:2 D5:2 | E5:2 C#5:2 | D5:4", velocity=0.5)
    e.bass("bass", "Bb | A | D", low=38, velocity=0.5)
    e.note("harp", 2, 0, 4, 38, 0.6)
    e.note("harp", 2, 0.25, 4, 50, 0.5)
    e.note("harp", 2, 0.5, 4, 57, 0.5)
    e.note("harp", 2, 0.75, 4, 62, 0.5)
    e.note("timpani", 2, 0, 1, 38, 0.5)
    return s


def build(out_dir, work_dir):
    score = compose()
    return once(score, out_dir + "/" + NAME, work_dir, Room(size=0.7, damping=0.4, width=0.9, wet=0.22),
                tail=LENGTH - score.length / 44100.0, fade=4.0, seed=11)

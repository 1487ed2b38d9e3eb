"""The game's musical material, shared by its pieces so that the intro, the
outro and the credits are heard as one story: the island's theme (a
sailor's song in D minor that turns to the major when the hero wins), its
answering phrase, and the darker figures of the cave and of the dead.

Melodies are in the score notation of score.py; harmonies one chord a bar.
"""

# The island's theme: rises to the fifth like a call over the water, and
# falls home through the raised seventh.
THEME = ("D5:1.5 E5:.5 F5 A5 | G5:1.5 F5:.5 D5:2 | C5:1.5 D5:.5 F5 C5 | E5:3 r | "
         "D5:1.5 E5:.5 F5 A5 | Bb5:1.5 A5:.5 G5 F5 | E5 F5:.5 E5:.5 C#5 E5 | D5:4")
THEME_CHORDS = "Dm | Bb | F | C | Dm | Gm | A7 | Dm"

# The same in D major, for the hero's way home.
THEME_MAJOR = ("D5:1.5 E5:.5 F#5 A5 | G5:1.5 F#5:.5 D5:2 | B4:1.5 D5:.5 F#5 B4 | E5:3 r | "
               "D5:1.5 E5:.5 F#5 A5 | B5:1.5 A5:.5 G5 F#5 | E5 F#5:.5 E5:.5 C#5 E5 | D5:4")
THEME_MAJOR_CHORDS = "D | G | Bm | A | D | G | A7 | D"

# The answer: wider and calmer, in the relative major, ending open.
ANSWER = ("A5 G5 F5 C5 | E5:1.5 D5:.5 C5:2 | D5 E5 F5 A5 | G5:3 F5 | "
          "Bb4 D5 G5:1.5 F5:.5 | E5:2 C5:2 | D5:1.5 C5:.5 Bb4 G4 | A4:4")
ANSWER_CHORDS = "F | C | Dm | Bb | Gm | C | Bb | A"

# A four-bar call of the horns, the theme's head made into a fanfare.
CALL = "D4:1.5 A4:.5 A4:2 | G4:1.5 F4:.5 D4:2 | F4:1.5 A4:.5 D5:2 | C#5:3 r"
CALL_CHORDS = "Dm | Bb | Dm/F | A"

# The cave: a creeping line a half step above home (Phrygian), low.
CREEP = "D3:.5 D3:.5 Eb3:.5 D3:.5 D3:.5 F3:.5 Eb3:.5 C3:.5"
CREEP_CHORDS = "Dm | Eb | Dm | Bbm | Dm | Eb | Gm | A"

# The dead: a driving ostinato and a lament above it.
MARCH = "D3:.5 D3:.5 D3:.5 F3:.5 D3:.5 D3:.5 Eb3:.5 C3:.5"
LAMENT = ("A4:2 Bb4:1 A4:1 | G4:1.5 F4:.5 E4:2 | F4:1 G4:1 A4:1 C5:1 | Bb4:3 A4:1 | "
          "D5:2 C5:1 Bb4:1 | A4:1.5 G4:.5 F4:2 | G4:1 F4:1 E4:1 C#4:1 | D4:4")
LAMENT_CHORDS = "Dm | C | F | Gm | Bb | F | A7 | Dm"

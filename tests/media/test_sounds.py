"""Tests of the sound generators' own rules (tools/media/kelvo_media/sounds):
the dialogue table's reader, the score notation, the intro's fit to its
pictures, looping, and the synthesiser's answers to bad input. The files
themselves are checked by the media check (SoundCheck.cpp). Run by ctest as
media.sounds, with Debian's python3."""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

SOURCE = os.environ.get("KELVO_SOURCE_DIR",
                        os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))))
sys.path.insert(0, os.path.join(SOURCE, "tools", "media"))

from kelvo_media.sounds import dialogue, instruments, score, sfx  # noqa: E402
from kelvo_media.sounds.music import intro  # noqa: E402

RATE = score.RATE


class DialogueTable(unittest.TestCase):
    def test_the_table_gives_every_line_the_game_plays(self):
        lines = dialogue.check_complete(dialogue.load())
        self.assertEqual(len(lines), 17 + 21 + 10)
        self.assertTrue(all(line.text.strip() for line in lines.values()))
        # the game's refusals must end before the next may start, 3 s later:
        # a line of more than about 40 letters does not fit in the hero's voice
        for key in dialogue.REFUSAL_KEYS:
            self.assertLess(len(lines[key].text), 45, key)

    def test_mistakes_are_named_with_their_line(self):
        cases = [
            ("oldman0 = Hallo\n", 1, "oldman0 comes before any [voice NAME]"),
            ("[voice oldman]\noldman0 = a\noldman0 = b\n", 3, "oldman0 is already given on line 2"),
            ("[voice narrator]\n", 1, "unknown voice 'narrator'"),
            ("[voice hero]\nplayer0 =\n", 2, "player0 has no text"),
            ("[voice hero]\nplayer0 Hallo\n", 2, "expected KEY = TEXT"),
            ("[voice hero]\nplayer0.say = Hallo\n", 2, "player0.say belongs to no line player0"),
            ("[voice hero]\nplayer-0 = Hallo\n", 2, "'player-0' is not a sound name"),
        ]
        for text, lineno, message in cases:
            with self.assertRaises(dialogue.TableError) as caught:
                dialogue.parse(text, "t.txt")
            self.assertIn("t.txt:%d: %s" % (lineno, message), str(caught.exception))

    def test_a_spoken_form_replaces_the_text_only_for_the_voice(self):
        lines = dialogue.parse("[voice hero]\nplayer0 = Hm.\nplayer0.say = Hmm.\n")
        self.assertEqual(lines[0].text, "Hm.")
        self.assertEqual(dialogue.spoken(lines[0]), "Hmm.")

    def test_an_incomplete_table_names_what_is_missing_or_misplaced(self):
        lines = [line for line in dialogue.load() if line.key != "player7"]
        lines = [line._replace(voice="hero") if line.key == "oldman3" else line for line in lines]
        lines.append(dialogue.Line("oldman17", "oldman", "Zu viel.", None, 999))
        with self.assertRaises(dialogue.TableError) as caught:
            dialogue.check_complete(lines)
        message = str(caught.exception)
        self.assertIn("player7 has no line", message)
        self.assertIn("oldman3", message)
        self.assertIn("is spoken by hero, not oldman", message)
        self.assertIn("oldman17 (line 999) is no sound the game plays", message)


class Notation(unittest.TestCase):
    def test_bars_must_add_up(self):
        with self.assertRaisesRegex(score.ScoreError, "bar 2 .* has 3.5 beats, not 4"):
            score.parse_line("D5 E5 F5 G5 | A5:2 G5:1.5")
        with self.assertRaisesRegex(score.ScoreError, "'H4' is not a note name"):
            score.parse_line("H4:4")
        with self.assertRaisesRegex(score.ScoreError, "'Dmi7b5' is not a chord symbol"):
            score.chord("Dmi7b5")

    def test_notes_and_chords(self):
        self.assertEqual(score.pitch("C4"), 60)
        self.assertEqual(score.pitch("Bb3"), 58)
        self.assertEqual(score.pitch("F#5"), 78)
        self.assertAlmostEqual(score.hz(69), 440.0)
        self.assertEqual(score.chord_tones("Gm"), [7, 10, 2])
        self.assertEqual(score.bass_note("Dm/F", 38), 41)

    def test_chords_keep_their_common_tones_and_move_by_small_steps(self):
        # Dm to Bb: D and F stay, A steps up to Bb
        self.assertEqual(score.voicing("Bb", 45, 84, [50, 53, 57, 62]), [50, 53, 58, 62])
        # a voicing high in the range stays high when the next chord allows it
        self.assertEqual(score.voicing("F", 45, 84, [69, 72, 77, 81]), [69, 72, 77, 81])
        previous = None
        for symbol in "Dm Bb F C Dm Gm A7 Dm".split():
            notes = score.voicing(symbol, 45, 84, previous)
            self.assertEqual(len(notes), 4)
            self.assertTrue(set(n % 12 for n in notes) <= set(score.chord_tones(symbol)))
            if previous:
                for a, b in zip(sorted(previous), notes):
                    self.assertLessEqual(abs(a - b), 4, "%s leaps from %s to %s" % (symbol, previous, notes))
            previous = notes


class IntroFitsItsPictures(unittest.TestCase):
    def test_sections_begin_where_the_pictures_change(self):
        # the sound starts with the world, at the sequence clock's 2 s: the
        # clock's picture times, 2 s earlier, are where the music turns
        starts = [section.start / float(RATE) for section in intro.compose().sections]
        for picture_clock in (10.8, 45.0, 86.0, 106.0, 137.0, 160.0):
            self.assertTrue(any(abs(start - (picture_clock - 2.0)) < 0.01 for start in starts),
                            "no section starts at %.1f s (%s)" % (picture_clock - 2.0, starts))


class Looping(unittest.TestCase):
    def test_the_preroll_holds_every_note_still_sounding_at_the_end(self):
        s = score.Score(1, instruments.orchestra())
        part = s.section(4, bpm=120)
        part.note("strings", 0, 0, 16, 62, humanise=False)     # the whole loop long
        part.note("harp", 3, 3, 1, 74, humanise=False)         # its last beat
        looped, preroll = s.looped(window=1.0)
        self.assertEqual(looped.length, preroll + s.length)
        starts = sorted((n.start, name) for name, notes in looped.notes.items() for n in notes)
        # the long note began a whole loop before the end: the preroll reaches back to it
        self.assertEqual(preroll, s.length)
        self.assertEqual(starts[0], (0, "strings"))
        self.assertIn((preroll, "strings"), starts)

    def test_tones_and_tremolos_turn_whole_cycles_in_a_loop(self):
        total = 14 * 44100
        tokens = sfx.whole_cycles(["synth", "100s", "sine", "mix", "82.5", "tremolo", "0.4", "40",
                                   "sawtooth", "300:200"], total)
        self.assertAlmostEqual(float(tokens[4]) * 14, round(float(tokens[4]) * 14), places=4)
        self.assertAlmostEqual(float(tokens[6]) * 14, 6.0, places=4)
        self.assertEqual(tokens[7], "40")          # the depth is no rate
        self.assertEqual(tokens[9], "300:200")     # a sweep is left as written


class Synthesiser(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix="kelvo_synth_")
        cls.binary = score.build_synth(cls.work)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.work, ignore_errors=True)

    def run_script(self, text):
        path = os.path.join(self.work, "s.score")
        with open(path, "w") as f:
            f.write(text)
        return subprocess.run([self.binary, path], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                              timeout=30)

    def test_bad_scores_are_refused_with_their_line(self):
        out = os.path.join(self.work, "x.wav")
        cases = [
            ("length 100\nwobble 3\n", "line 2: unknown instruction wobble"),
            ("patch a saw=1\nnote a 0 10 440 1\n", "line 2: length must come before the notes"),
            ("length 100\npatch a colour=3\n", "line 2: unknown patch key colour"),
            ("length 100\npatch a saw=loud\n", "line 2: not a number for saw"),
            ("length 100\nnote b 0 10 440 1\n", "line 2: no such patch: b"),
            ("length 100\npatch a saw=1\nnote a 0 0 440 1\n", "line 3: a note needs a start >= 0 and a length > 0"),
            ("length 100\nkeep 50 100\npatch a saw=1\nnote a 0 10 440 1\noutput %s pcm16\n" % out,
             "line 5: keep lies outside the rendered length"),
            ("length 100\nperiod 33\n", "line 2: a loop's period must be even"),
        ]
        for text, message in cases:
            result = self.run_script(text)
            self.assertEqual(result.returncode, 2, text)
            self.assertIn("kelvo_synth: " + message, result.stderr)

    def test_a_levelled_render_reports_the_house_level(self):
        out = os.path.join(self.work, "tone.wav")
        result = self.run_script("length 88200\npatch a saw=1 cutoff=2000 attack=0.01 release=0.2\n"
                                 "note a 0 60000 220 0.8\nlevel -20 -1\noutput %s pcm16\n" % out)
        self.assertEqual(result.returncode, 0, result.stderr)
        report = dict(zip(result.stdout.split()[::2], map(float, result.stdout.split()[1::2])))
        self.assertEqual(report["frames"], 88200)
        self.assertAlmostEqual(report["loudness"], -20.0, places=1)
        self.assertLessEqual(report["peak"], -1.0)
        self.assertEqual(os.path.getsize(out), 44 + 88200 * 4)


if __name__ == "__main__":
    unittest.main()

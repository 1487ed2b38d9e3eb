"""The game's music: one module per piece, each writing its score with the
material of themes.py for the ensemble of instruments.py. This module turns
a finished score into the game's file: a piece that plays once ends in its
own ring and a fade; a looping piece is rendered after its own last
seconds, so that it begins with the ring and echoes of its end and joins
itself without a seam. The synthesiser levels the music to the house loudness
(soxkit.TARGET_DB) as it writes it.

Music is stereo (it is never placed in the world); the long pieces are
16-bit WAV, because encoding three minutes of MP3 took longer than
composing them; "ZombiWar.mp3" is an MP3 by name.
"""

import os

from .. import instruments, score as sc, soxkit


def new_score(seed):
    return sc.Score(seed, instruments.orchestra())


def _render(score, out_path, work_dir, room, seed, notes=None, **finish):
    mp3 = out_path.endswith(".mp3")
    ceiling = soxkit.MP3_PEAK_CEILING_DB if mp3 else soxkit.PEAK_CEILING_DB
    target = os.path.join(work_dir, os.path.basename(out_path) + ".float.wav") if mp3 else out_path
    report = sc.render(score, target, work_dir, room, seed=seed,
                       level=(soxkit.TARGET_DB["music"], ceiling), **finish)
    if mp3:
        soxkit.write_mp3(target, out_path)
        decoded = soxkit.sndfile_frames(out_path)[0]
        if decoded != report["frames"]:
            raise RuntimeError("%s decodes to %d frames, not %d: the encoder moved the audio"
                               % (os.path.basename(out_path), decoded, report["frames"]))
        os.remove(target)
    return "%s: %.2f s, stereo, %d Hz, %.1f dBFS (peak %.1f), %d notes" % (
        os.path.basename(out_path), report["frames"] / sc.RATE, sc.RATE, report["loudness"], report["peak"],
        report["notes"] if notes is None else notes)


def once(score, out_path, work_dir, room, tail=2.0, fade=3.0, seed=1):
    """A piece that plays once: its bars, `tail` seconds of ring, the last
    `fade` seconds faded out."""
    return [_render(score, out_path, work_dir, room, seed, tail=tail, fade=fade)]


def loop(score, out_path, work_dir, room, seed=1):
    """A piece that loops: exactly its bars long, seamless at the join."""
    period = score.length
    notes = sum(len(n) for n in score.notes.values())
    looped, preroll = score.looped()
    return [_render(looped, out_path, work_dir, room, seed, notes=notes, keep=(preroll, period), period=period)
            + ", loops"]

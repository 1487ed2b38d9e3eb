"""The sound tasks: voices by speaker, each ambient loop, the effects in
three small groups, and one task per piece of music, so that editing a
line of dialogue or one piece remakes only that."""

from ..pipeline import Task
from . import dialogue

KIT = "tools/media/kelvo_media/sounds/"
SOX = [KIT + "__init__.py", KIT + "soxkit.py"]
SPEECH = SOX + [dialogue.TABLE, KIT + "dialogue.py", KIT + "speech.py"]
SFX = SOX + [KIT + "sfx.py"]
MUSIC = SOX + [KIT + f for f in ("score.py", "instruments.py", "themes.py", "synth.c", "music/__init__.py")]

AMBIENCE = ("vogel", "meer", "brunnen", "krah", "teich", "spi_sound")
PIECES = {
    # task: (module, file)
    "music_intro": ("intro", "intro_sound.wav"),
    "music_cutscene": ("cutscene", "CutSceneSound1.wav"),
    "music_outro": ("outro", "outro_sound.wav"),
    "music_credits": ("credits", "credit_sound.wav"),
    "music_zombie": ("zombie", "ZombiWar.mp3"),
}


def _wavs(keys):
    return [key + ".wav" for key in keys]


def tasks():
    speech = "kelvo_media.sounds.speech:"
    out = [
        Task("dialogue_table", ["dialogue_de.txt"], SPEECH, speech + "build_table"),
        Task("voice_oldman", _wavs(dialogue.OLDMAN_KEYS), SPEECH, speech + "build_oldman"),
        Task("voice_hero", _wavs(dialogue.HERO_KEYS), SPEECH, speech + "build_hero"),
        Task("voice_refusals", _wavs(dialogue.REFUSAL_KEYS), SPEECH, speech + "build_refusals"),
    ]
    for name in AMBIENCE:
        out.append(Task("ambience_" + name, [name + ".wav"], SFX + [KIT + "ambience.py"],
                        "kelvo_media.sounds.ambience:build_" + name))
    effects = "kelvo_media.sounds.effects:"
    fx = SFX + [KIT + "effects.py"]
    out += [
        Task("cries", ["spider_cry.wav", "spider_queen_cry.wav", "zombie_cry.wav"], fx, effects + "build_cries"),
        Task("energy_ball", ["bullet1FlyS.wav", "bullet1HitS.wav"], fx, effects + "build_energy_ball"),
        Task("heartbeat", ["heartbeat.wav"], fx, effects + "build_heartbeat"),
    ]
    for task, (module, name) in PIECES.items():
        out.append(Task(task, [name], MUSIC + [KIT + "music/%s.py" % module],
                        "kelvo_media.sounds.music.%s:build" % module))
    return out

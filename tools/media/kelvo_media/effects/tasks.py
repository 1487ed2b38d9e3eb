"""Effects: the sky's and the other effect textures (generated), and the
hand-written scripts that use them (copied and checked)."""

from ..pipeline import Task
from . import scripts, textures

KIT = "tools/media/kelvo_media/"
TEXTURE_KIT = [KIT + f for f in ("png.py", "texkit.py", "effects/textures.py")]


def tasks():
    return [
        Task("sky_textures", textures.SKY + textures.SPACE, TEXTURE_KIT, "kelvo_media.effects.textures:build_sky"),
        Task("effect_textures", textures.OTHER, TEXTURE_KIT, "kelvo_media.effects.textures:build_other"),
        # the catalogue is a source too: the check of texture names reads it
        Task("engine_scripts", scripts.files(),
             [scripts.SOURCE_FOLDER + n for n in scripts.files()]
             + [KIT + "effects/scripts.py", KIT + "catalogue.py", KIT + "effects/textures.py",
                KIT + "props/tasks.py"],
             "kelvo_media.effects.scripts:build"),
    ]

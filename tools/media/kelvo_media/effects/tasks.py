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
        # copied and checked as they are; what they name is checked by the
        # catalogue against every task's outputs
        Task("engine_scripts", scripts.files(),
             [scripts.SOURCE_FOLDER + n for n in scripts.files()] + [KIT + "effects/scripts.py"],
             "kelvo_media.effects.scripts:build"),
    ]

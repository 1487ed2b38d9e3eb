"""Effects: the sky's and the other effect textures (generated). The
hand-written scripts that use them stay in media/scripts/ and are checked by
the catalogue (scripts.py)."""

from ..pipeline import Task
from . import textures

KIT = "tools/media/kelvo_media/"
TEXTURE_KIT = [KIT + f for f in ("png.py", "texkit.py", "effects/textures.py")]


def tasks():
    return [
        Task("sky_textures", textures.SKY + textures.SPACE, TEXTURE_KIT, "kelvo_media.effects.textures:build_sky"),
        Task("effect_textures", textures.OTHER, TEXTURE_KIT, "kelvo_media.effects.textures:build_other"),
    ]

"""The animated characters: one task per character, so changing one
character's module remakes only that character."""

from ..pipeline import Task

KIT = "tools/media/kelvo_media/"
# what every skinned character is made with
COMMON = [KIT + f for f in ("vecmath.py", "png.py", "paint.py", "meshkit.py", "rig.py", "anim.py",
                            "materials.py")]
HUMANOID = [KIT + "characters/humanoid.py", KIT + "characters/moves.py"]


def _character(name, module, extra_sources, builder="build"):
    return Task(name, [name + ".mesh", name + ".skeleton", name + "_atlas.png", name + ".material"],
                COMMON + extra_sources + [KIT + "characters/%s.py" % module],
                "kelvo_media.characters.%s:%s" % (module, builder))


def tasks():
    return [
        _character("hero", "hero", HUMANOID),
        _character("oldman", "oldman", HUMANOID),
        _character("zombie", "zombie", HUMANOID),
        Task("zombie_sailor", ["zombie_sailor_atlas.png", "zombie_sailor.material"],
             COMMON + HUMANOID + [KIT + "characters/zombie.py"], "kelvo_media.characters.zombie:build_sailor"),
        _character("spider", "spider", []),
        _character("spider_queen", "spider", [], builder="build_queen"),
        _character("bird", "bird", []),
    ]

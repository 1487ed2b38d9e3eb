"""Terrain tasks: the heightmap follows the island's description, the
textures follow their painter; editing one does not remake the other."""

from ..pipeline import Task

KIT = "tools/media/kelvo_media/"
ISLAND = "tools/level/island.py"


def tasks():
    return [
        Task("island_heightmap", ["island_height.png"],
             [ISLAND, KIT + "terrain/__init__.py", KIT + "terrain/heightmap.py"],
             "kelvo_media.terrain.heightmap:build"),
        Task("terrain_textures", ["terrain_sand.png", "terrain_dirt.png", "terrain_grass.png", "terrain_rock.png"],
             [KIT + "png.py", KIT + "texkit.py", KIT + "terrain/__init__.py", KIT + "terrain/ground.py"],
             "kelvo_media.terrain.ground:build"),
    ]

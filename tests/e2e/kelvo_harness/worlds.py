"""Test worlds: the small world beside the island, played from a copy that a
test may change (add a trigger, a sound or an entity, take a sound out)
before the game starts. The tracked files are never written."""

import math
import os
import shutil
import sys
import xml.etree.ElementTree as ElementTree

from .process import SOURCE_DIR

# The media pipeline's PNG writer (tools/media).
sys.path.insert(0, os.path.join(SOURCE_DIR, "tools", "media"))
from kelvo_media import png  # noqa: E402

DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data")
SMALL_WORLD = os.path.abspath(os.path.join(DATA, "small_world"))

SCENE_FILE = "world.qormscene"
# Resource groups the copy takes over from the island.
WORLD_GROUPS = ("[SceneLoader]", "[Terrain]")


def write_small_world_media(folder):
    """The small test world's heightmap (a round hill, flat on top at 38
    units, in a shallow sea at 30) and its two ground textures."""
    side = 129

    def height(x, y):
        # 512 world units over 128 pixel steps: 4 units a pixel.
        distance = math.hypot(x - 64, y - 64) * 4.0
        top, floor = 38.0, 20.0
        if distance < 90:
            h = top
        elif distance < 150:
            h = top - (top - floor) * (distance - 90) / 60.0
        else:
            h = floor
        return int(round(h / 60.0 * 255))

    def picture(name, width, colour):
        rows = (bytes(v for x in range(width) for v in colour(x, y)) for y in range(width))
        png.write(os.path.join(folder, name), width, width, rows)

    # Grey as equal channels: the terrain reads the first channel.
    picture("small_world_height.png", side, lambda x, y: (height(x, y),) * 3)
    picture("small_world_sand.png", 64,
            lambda x, y: (200 + (x * 7 + y * 13) % 20, 180 + (x * 3 + y * 5) % 20, 120))
    picture("small_world_grass.png", 64,
            lambda x, y: (60 + (x * 5 + y * 11) % 25, 130 + (x * 13 + y * 7) % 30, 50))


def _xyz(element, tag, values):
    ElementTree.SubElement(element, tag, {axis: "%g" % value for axis, value in zip("xyz", values)})


class WorldCopy:
    """A copy of a test world next to the game's run folder; the game's
    scene and terrain resource groups point at it instead of the island.
    Changes are written at once, so they must come before game.start()."""

    def __init__(self, game, source):
        self.folder = os.path.join(game.root, "world")
        shutil.copytree(source, self.folder)
        if os.path.abspath(source) == SMALL_WORLD:
            write_small_world_media(self.folder)
        self._point_resources_at_copy(game)

    def _point_resources_at_copy(self, game):
        lines = []
        section = None
        for line in game.read_file("resources.cfg").splitlines():
            stripped = line.strip()
            if stripped.startswith("["):
                section = stripped
                lines.append(line)
                if section in WORLD_GROUPS:
                    lines.append("FileSystem=../world")
                continue
            if section in WORLD_GROUPS and "../media" in stripped:
                continue
            lines.append(line)
        game.write_file("resources.cfg", "\n".join(lines) + "\n")

    @property
    def scene_path(self):
        return os.path.join(self.folder, SCENE_FILE)

    def _edit(self, change):
        tree = ElementTree.parse(self.scene_path)
        self._root = tree.getroot()
        entities = self._root.find("entities")
        change(entities)
        ElementTree.indent(tree, "\t")
        tree.write(self.scene_path, encoding="unicode")

    def names(self, tag):
        """Names of the scene's records of a kind ("entity", "sound", ...)."""
        entities = ElementTree.parse(self.scene_path).getroot().find("entities")
        return [record.get("name") for record in entities.findall(tag)]

    def remove(self, tag, name):
        """Takes a record out of the scene, e.g. remove("sound", "meer_test")."""
        def change(entities):
            for record in entities.findall(tag):
                if record.get("name") == name:
                    entities.remove(record)
                    return
            raise KeyError("the world has no %s named %r" % (tag, name))
        self._edit(change)

    def add_trigger(self, name, radius, position, attached_type=""):
        """A trigger volume; with an attached type it wakes the entities of
        that type."""
        def change(entities):
            trigger = ElementTree.SubElement(entities, "trigger", {
                "name": name, "radius": "%g" % radius, "parent": "", "attachedType": attached_type})
            _xyz(trigger, "position", position)
        self._edit(change)

    def add_sound(self, name, file_name, kind="2D_SOUND", volume=1, min_distance=1, max_distance=100,
                  position=(0, 0, 0), parent=""):
        """A sound; with a parent it hangs on that entity, placed relative
        to it, in the parent's block after it."""
        def change(entities):
            if parent:
                entities = next(block for block in self._root.findall("entities")
                                if any(entity.get("name") == parent for entity in block.findall("entity")))
            sound = ElementTree.SubElement(entities, "sound", {
                "name": name, "type": kind, "file": file_name, "volume": "%g" % volume,
                "maxDistance": "%g" % max_distance, "minDistance": "%g" % min_distance, "parent": parent})
            _xyz(sound, "position", position)
        self._edit(change)

    def add_particle(self, name, template, position=(0, 0, 0), scale=(1, 1, 0)):
        """A particle system from an engine template; scale z is its speed
        factor (0: it stands still, as the island keeps its templates)."""
        def change(entities):
            particle = ElementTree.SubElement(entities, "particle", {
                "name": name, "file": template, "parent": ""})
            _xyz(particle, "position", position)
            _xyz(particle, "scale", scale)
        self._edit(change)

    def add_entity(self, name, mesh, kind, position, scale=(1, 1, 1), own_block=False):
        """An entity of a game kind ("Static", "Enemy", ...) from a mesh file.
        With own_block it gets an <entities> block of its own: the first
        block is the hero's, and his script moves that block's node with him."""
        def change(entities):
            if own_block:
                entities = ElementTree.SubElement(self._root, "entities")
            entity = ElementTree.SubElement(entities, "entity", {
                "name": name, "hidden": "false", "filename": mesh, "CastShadows": "no",
                "ReceiveShadows": "no"})
            _xyz(entity, "position", position)
            ElementTree.SubElement(entity, "rotation", {"x": "0", "y": "0", "z": "0", "w": "1"})
            _xyz(entity, "scale", scale)
            ElementTree.SubElement(entity, "material", {"name": "DefaultFromMesh"})
            ElementTree.SubElement(entity, "type", {"name": kind})
        self._edit(change)


class IslandCopy:
    """The island as the game plays it, from the game's own copy of the
    scene folder (the tracked scene is never written): a test moves records
    before game.start(), e.g. the hero to a start near the hut."""

    def __init__(self, game):
        self.scene_path = os.path.join(game.media_dir, "xmlScenes", SCENE_FILE)

    def move(self, tag, name, position, radius=None):
        """Puts a record ("entity", "trigger", ...) somewhere else; a trigger
        may get another radius too."""
        tree = ElementTree.parse(self.scene_path)
        for block in tree.getroot().findall("entities"):
            for record in block.findall(tag):
                if record.get("name") != name:
                    continue
                where = record.find("position")
                for axis, value in zip("xyz", position):
                    where.set(axis, "%g" % value)
                if radius is not None:
                    record.set("radius", "%g" % radius)
                tree.write(self.scene_path, encoding="unicode")
                return
        raise KeyError("the island has no %s named %r" % (tag, name))

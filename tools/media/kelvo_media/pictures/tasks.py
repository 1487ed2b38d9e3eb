"""The picture tasks: one per story picture (so changing one picture's
module remakes only that picture), the menu background, and one material
script for all the pictures.

The play state shows the pictures on full-screen overlay panels and fades
them by setting the alpha operation of the material's first texture unit
(texture alpha times a manual value), so each material is unlit, ignores
depth and blends by alpha."""

import importlib
import os
import random
import struct
import zlib

from ..pipeline import Task
from . import style

KIT = "tools/media/kelvo_media/"
COMMON = [KIT + "png.py"] + [KIT + "pictures/" + f for f in ("__init__.py", "magick.py", "shapes.py", "style.py",
                                                             "fontmetrics.py", "tasks.py")]

# (card module, material, texture), in the order the game shows them
PICTURES = [
    ("pretitel", "KELVO/PRETITEL", "picture_pretitel.png"),
    ("titel", "KELVO/TITEL", "picture_titel.png"),
] + [("intro%d" % i, "KELVO/Intro%d" % i, "picture_intro%d.png" % i) for i in range(1, 9)] + [
    ("outro%d" % i, "KELVO/Outro%d" % i, "picture_outro%d.png" % i) for i in range(4)] + [
    ("gameover", "KELVO/GAMEOVER", "picture_gameover.png"),
]
MENU_BACKGROUND = ("menu", "Menue_Background.png")
MATERIAL_FILE = "pictures.material"


def _draw(card, out_path, work_dir):
    module = importlib.import_module("kelvo_media.pictures.cards." + card)
    # a string seed is hashed the same way on every run and machine
    rng = random.Random("kelvo-picture-" + card)
    pic = style.new_picture(seed=zlib.crc32(card.encode()) % 100000)
    module.paint(pic, rng)
    pic.render(out_path, work_dir, with_alpha=getattr(module, "WITH_ALPHA", False))
    with open(out_path, "rb") as f:
        head = f.read(33)
    width, height, depth, colour = struct.unpack(">IIBB", head[16:26])
    if (width, height) != (style.WIDTH, style.HEIGHT) or depth != 8 or colour not in (2, 6):
        raise RuntimeError("%s came out %d x %d, %d bits, colour type %d; the game needs %d x %d RGB(A)"
                           % (os.path.basename(out_path), width, height, depth, colour, style.WIDTH, style.HEIGHT))
    return "%s: %d x %d %s (%d kB)" % (os.path.basename(out_path), width, height,
                                        "RGBA" if colour == 6 else "RGB", os.path.getsize(out_path) // 1024)


def _builder(card, texture):
    def build(out_dir, work_dir):
        return [_draw(card, os.path.join(out_dir, texture), work_dir)]
    return build


for _card, _material, _texture in PICTURES + [(MENU_BACKGROUND[0], None, MENU_BACKGROUND[1])]:
    globals()["build_" + _card] = _builder(_card, _texture)


def overlay_material(name, texture):
    return "\n".join([
        "material %s" % name,
        "{",
        "    technique",
        "    {",
        "        pass",
        "        {",
        "            lighting off",
        "            depth_check off",
        "            depth_write off",
        "            scene_blend alpha_blend",
        "",
        "            texture_unit",
        "            {",
        "                texture %s" % texture,
        "                tex_address_mode clamp",
        "                filtering trilinear",
        "            }",
        "        }",
        "    }",
        "}",
        "",
    ])


def build_materials(out_dir, work_dir):
    head = ("// The story pictures of the intro, the outro and the game over, shown on\n"
            "// full-screen overlay panels; the faders set texture unit 0's alpha.\n\n")
    with open(os.path.join(out_dir, MATERIAL_FILE), "w") as f:
        f.write(head + "\n".join(overlay_material(m, t) for _, m, t in PICTURES))
    return ["%s: %d picture materials" % (MATERIAL_FILE, len(PICTURES))]


def tasks():
    out = [Task("picture_" + card, [texture], COMMON + [KIT + "pictures/cards/%s.py" % card],
                "kelvo_media.pictures.tasks:build_" + card) for card, _, texture in PICTURES]
    # the end picture borrows the studio's name from the studio card
    out[[p[0] for p in PICTURES].index("outro3")].sources.append(KIT + "pictures/cards/pretitel.py")
    card, texture = MENU_BACKGROUND
    out.append(Task("menu_background", [texture], COMMON + [KIT + "pictures/cards/%s.py" % card],
                    "kelvo_media.pictures.tasks:build_" + card))
    out.append(Task("picture_materials", [MATERIAL_FILE], [KIT + "pictures/tasks.py"],
                    "kelvo_media.pictures.tasks:build_materials"))
    return out

"""Checks of the hand-written engine scripts (materials, programs, shaders,
compositors, particles, overlays, the font definition, the entity-type list)
in media/scripts/, which the game reads where they are: a few checks that
catch a broken edit before the engine does. Braces balance, and every file a
script names as a shader source or texture is made by some task or is a
script itself (check_against, run by the catalogue over all tasks' outputs).
Names defined twice are found after the build (definitions.py)."""

import os
import re

HERE = os.path.dirname(os.path.abspath(__file__))
SCRIPTS = os.path.normpath(os.path.join(HERE, "..", "..", "..", "..", "media", "scripts"))
SOURCE_FOLDER = "media/scripts/"
SCRIPT_KINDS = (".material", ".program", ".compositor", ".particle", ".overlay", ".fontdef")


def files():
    return sorted(n for n in os.listdir(SCRIPTS) if not n.startswith(".") and os.path.isfile(os.path.join(SCRIPTS, n)))


def _check_braces(name, text):
    depth = 0
    for number, line in enumerate(text.splitlines(), 1):
        line = line.split("//")[0]
        depth += line.count("{") - line.count("}")
        if depth < 0:
            raise ValueError("%s%s:%d: a } closes nothing" % (SOURCE_FOLDER, name, number))
    if depth != 0:
        raise ValueError("%s%s: %d { left open at the end" % (SOURCE_FOLDER, name, depth))


def _check_references(name, text, known):
    for number, line in enumerate(text.splitlines(), 1):
        m = re.match(r"\s*(source|texture|cubic_texture)\s+(\S+)", line.split("//")[0])
        if not m:
            continue
        ref = m.group(2)
        if name.endswith(".compositor"):
            continue  # compositors declare render textures, not files
        if m.group(1) == "cubic_texture" or line.split("//")[0].split()[-1] == "cubic":
            stem, ext = os.path.splitext(ref)
            refs = [stem + "_" + face + ext for face in ("fr", "bk", "lf", "rt", "up", "dn")]
        else:
            refs = [ref]
        for r in refs:
            if r not in known:
                raise ValueError("%s%s:%d: %s is made by no media task" % (SOURCE_FOLDER, name, number, r))


def _read(name):
    with open(os.path.join(SCRIPTS, name), encoding="utf-8") as f:
        return f.read()


def check_against(outputs):
    """Checks the scripts against the files every media task makes (the
    catalogue calls it with them): no script is empty or leaves a brace
    open, no name clashes with a generated file, and every shader source or
    texture a script names is made somewhere."""
    mine = set(files())
    if name_clash := sorted(mine & (set(outputs) - mine)):
        raise ValueError("hand-written scripts clash with generated files: %s" % ", ".join(name_clash))
    known = set(outputs) | mine | {"DejaVuSans.ttf"}
    for name in files():
        text = _read(name)
        if not text.strip():
            raise ValueError("%s%s is empty" % (SOURCE_FOLDER, name))
        if name.endswith(SCRIPT_KINDS):
            _check_braces(name, text)
            _check_references(name, text, known)

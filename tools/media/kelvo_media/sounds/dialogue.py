"""Reads the table of spoken lines (tools/media/text/dialogue_de.txt; its
header explains the format). A mistake in the table stops the build with
the file's line number, never with a half-spoken set of lines."""

import collections
import os
import re

TABLE = "tools/media/text/dialogue_de.txt"
VOICES = ("oldman", "hero")

# The sound names the game plays; the table gives their texts.
OLDMAN_KEYS = ["oldman%d" % i for i in range(17)]
HERO_KEYS = ["player%d" % i for i in range(21)]
REFUSAL_KEYS = (["StopSoundMeer%d" % i for i in range(1, 5)] + ["StopSoundTal%d" % i for i in range(1, 5)]
                + ["StopSoundNein1", "StopSoundNein2"])
SPEAKERS = {"oldman": OLDMAN_KEYS, "hero": HERO_KEYS + REFUSAL_KEYS}

Line = collections.namedtuple("Line", "key voice text say lineno")

_KEY = re.compile(r"^[A-Za-z][A-Za-z0-9_]*$")
_VOICE = re.compile(r"^\[voice\s+(\S+)\]$")


class TableError(ValueError):
    pass


def parse(text, source=TABLE):
    """Lines in file order. Raises TableError naming the file and line."""
    lines = []
    by_key = {}
    says = []
    voice = None

    def fail(lineno, message):
        raise TableError("%s:%d: %s" % (source, lineno, message))

    for lineno, raw in enumerate(text.splitlines(), 1):
        line = raw.strip()
        if not line or line.startswith("#"):
            continue
        if line.startswith("["):
            match = _VOICE.match(line)
            if not match:
                fail(lineno, "expected [voice NAME], found %r" % line)
            if match.group(1) not in VOICES:
                fail(lineno, "unknown voice %r (voices: %s)" % (match.group(1), ", ".join(VOICES)))
            voice = match.group(1)
            continue
        if "=" not in line:
            fail(lineno, "expected KEY = TEXT, found %r" % line)
        key, value = (part.strip() for part in line.split("=", 1))
        if not value:
            fail(lineno, "%s has no text" % key)
        if key.endswith(".say"):
            says.append((lineno, key[:-4], value))
            continue
        if not _KEY.match(key):
            fail(lineno, "%r is not a sound name (letters, digits and _ only)" % key)
        if voice is None:
            fail(lineno, "%s comes before any [voice NAME]" % key)
        if key in by_key:
            fail(lineno, "%s is already given on line %d" % (key, by_key[key].lineno))
        by_key[key] = Line(key, voice, value, None, lineno)
        lines.append(key)
    for lineno, key, value in says:
        if key not in by_key:
            fail(lineno, "%s.say belongs to no line %s" % (key, key))
        if by_key[key].say is not None:
            fail(lineno, "%s.say is given twice" % key)
        by_key[key] = by_key[key]._replace(say=value)
    return [by_key[k] for k in lines]


def table_path():
    here = os.path.dirname(os.path.abspath(__file__))
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.dirname(here))))
    return os.path.join(root, TABLE)


def check_complete(lines, source=TABLE):
    """Every sound the game plays has its line, spoken by the right voice,
    and the table has no line the game would never find."""
    by_key = {line.key: line for line in lines}
    problems = []
    for voice, keys in SPEAKERS.items():
        for key in keys:
            if key not in by_key:
                problems.append("%s has no line" % key)
            elif by_key[key].voice != voice:
                problems.append("%s (line %d) is spoken by %s, not %s"
                                % (key, by_key[key].lineno, by_key[key].voice, voice))
    known = {key for keys in SPEAKERS.values() for key in keys}
    for line in lines:
        if line.key not in known:
            problems.append("%s (line %d) is no sound the game plays" % (line.key, line.lineno))
    if problems:
        raise TableError("%s: %s" % (source, "; ".join(problems)))
    return by_key


def load(path=None):
    path = path or table_path()
    try:
        with open(path, encoding="utf-8") as f:
            text = f.read()
    except UnicodeDecodeError as exc:
        raise TableError("%s is not UTF-8 text: %s" % (path, exc))
    return parse(text, path)


def spoken(line):
    """What the voice is given: the .say form where there is one."""
    return line.say if line.say is not None else line.text

"""The names the engine's scripts define, and the names defined twice.

The engine keeps one namespace per kind of script object for all the
resource locations of a group: a material, program, compositor, particle
template, overlay, overlay element or font defined in two files (or twice in
one) is either refused or silently replaced, depending on the load order.
The game's "General" group reads both the generated media and the
hand-written scripts, so the media build checks the two folders together;
a file name found in both is an error too (the engine sees only one)."""

import os
import re

# kind of object -> the script lines that define one; group 1 is the name
_TOP_LEVEL = {
    "material": re.compile(r'^\s*material\s+("[^"]+"|[^\s:{]+)'),
    "GPU program": re.compile(r'^\s*(?:vertex|fragment|geometry)_program\s+("[^"]+"|\S+)'),
    "compositor": re.compile(r'^\s*compositor\s+("[^"]+"|[^\s{]+)'),
    "particle template": re.compile(r'^\s*particle_system\s+("[^"]+"|[^\s{]+)'),
    "overlay": re.compile(r'^\s*overlay\s+("[^"]+"|[^\s{]+)'),
    "font": re.compile(r'^\s*font\s+("[^"]+"|[^\s{]+)'),
}
# overlay elements are named wherever they nest
_ELEMENT = re.compile(r'^\s*(?:overlay_element|element|container)\s+("[^"]+"|[^\s(]+)')
_SCRIPT_KINDS = (".material", ".program", ".compositor", ".particle", ".overlay", ".fontdef")


def _uncommented(line):
    return line.split("//")[0]


def definitions_in(path):
    """(kind, name, line number) for each object the script file defines."""
    found = []
    depth = 0
    with open(path, encoding="utf-8", errors="replace") as f:
        for number, raw in enumerate(f, 1):
            line = _uncommented(raw)
            if path.endswith(".overlay"):
                m = _ELEMENT.match(line)
                if m:
                    found.append(("overlay element", m.group(1).strip('"'), number))
            if depth == 0:
                for kind, pattern in _TOP_LEVEL.items():
                    m = pattern.match(line)
                    if m:
                        found.append((kind, m.group(1).strip('"'), number))
                        break
            depth += line.count("{") - line.count("}")
    return found


def duplicates(folders):
    """One message for each name defined more than once across the folders
    (each 'kind "name": file:line, file:line'), and one for each file name
    found in more than one folder. An empty list when all is well."""
    where = {}
    files = {}
    for folder in folders:
        if not os.path.isdir(folder):
            continue
        for name in sorted(os.listdir(folder)):
            path = os.path.join(folder, name)
            if name.startswith(".") or not os.path.isfile(path):
                continue
            shown = os.path.join(os.path.basename(folder), name)
            files.setdefault(name, []).append(shown)
            if name.endswith(_SCRIPT_KINDS):
                for kind, defined, number in definitions_in(path):
                    where.setdefault((kind, defined), []).append("%s:%d" % (shown, number))
    messages = ["%s \"%s\" is defined %d times: %s" % (kind, name, len(places), ", ".join(places))
                for (kind, name), places in sorted(where.items()) if len(places) > 1]
    messages += ["the file %s is in %d folders: %s" % (name, len(places), ", ".join(places))
                 for name, places in sorted(files.items()) if len(places) > 1]
    return messages

"""Where the level editor's widgets are on the 1024 x 768 screen, read from
the editor's own layout file, so a test clicks a widget by its name and a
change of the layout moves the clicks with it.

A frame window's children are placed in its client area, which lies
FRAME_CLIENT_OFFSET inside the frame's corner and is FRAME_CLIENT_SHRINK
smaller than the frame (TaharezLook's title bar and borders, as measured on
the scene window)."""

import os
import re
import xml.etree.ElementTree as ElementTree

from .process import SOURCE_DIR

LAYOUT = os.path.join(SOURCE_DIR, "media", "gui", "layouts", "leveledit_gui.xml")
SCREEN = (1024, 768)
FRAME_CLIENT_OFFSET = (5, 24)
FRAME_CLIENT_SHRINK = (10, 29)
# A list's first row's middle, below the list's top, and the rows' height.
LIST_FIRST_ROW = 15
LIST_ROW_HEIGHT = 15.5

_AREA = re.compile(r"\{\{([-\d.]+),([-\d.]+)\},\{([-\d.]+),([-\d.]+)\},\{([-\d.]+),([-\d.]+)\},\{([-\d.]+),([-\d.]+)\}\}")
_rects = None


def _load():
    rects = {}

    def walk(element, client):
        for child in element.findall("Window"):
            area = child.find("Property[@name='Area']")
            rect = client
            if area is not None:
                v = [float(value) for value in _AREA.match(area.get("value")).groups()]
                x, y, w, h = client
                left, top = x + v[0] * w + v[1], y + v[2] * h + v[3]
                right, bottom = x + v[4] * w + v[5], y + v[6] * h + v[7]
                rect = (left, top, right - left, bottom - top)
            rects[child.get("name")] = rect
            inner = rect
            if child.get("type", "").endswith("FrameWindow"):
                inner = (rect[0] + FRAME_CLIENT_OFFSET[0], rect[1] + FRAME_CLIENT_OFFSET[1],
                         rect[2] - FRAME_CLIENT_SHRINK[0], rect[3] - FRAME_CLIENT_SHRINK[1])
            walk(child, inner)

    root = ElementTree.parse(LAYOUT).getroot()
    walk(root, (0, 0, SCREEN[0], SCREEN[1]))
    return rects


def rect(name):
    """(left, top, width, height) of a widget on the screen."""
    global _rects
    if _rects is None:
        _rects = _load()
    return _rects[name]


def centre(name):
    left, top, width, height = rect(name)
    return int(left + width / 2), int(top + height / 2)


def list_row(name, row):
    """The middle of a list's row (0 first), when the list is not scrolled."""
    left, top, width, _ = rect(name)
    return int(left + width / 2), int(top + LIST_FIRST_ROW + row * LIST_ROW_HEIGHT)

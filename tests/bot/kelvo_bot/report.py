"""The bot's report, written as it goes into a folder of its own:
report.md (for people) and report.json (for programs) after every stage,
a screenshot a stage, and at the end the way taken drawn over the island's
map.

The map is the island test's picture from straight above
(build/tests/island/island_map.png, made by `ctest -R window.island`); its
camera stands at (0, 1600, 0) looking down with the engine's default
45 degree field of view, north (-z) up. Without that picture the way is
drawn over the coast line of the level's data."""

import json
import math
import os
import shutil
import subprocess
import sys
import time

MAP_SIZE = (1024, 768)
MAP_CAMERA_HEIGHT = 1600.0
MAP_FIELD_OF_VIEW = 45.0
GROUND_HEIGHT = 38.0


def map_pixel(x, z, height=GROUND_HEIGHT, size=MAP_SIZE):
    """Where the ground point (x, height, z) lies in the map picture."""
    width, tall = size
    half_height = (MAP_CAMERA_HEIGHT - height) * math.tan(math.radians(MAP_FIELD_OF_VIEW / 2))
    half_width = half_height * width / float(tall)
    return (width / 2.0 + x / half_width * width / 2.0, tall / 2.0 + z / half_height * tall / 2.0)


def _coast():
    here = os.path.dirname(os.path.abspath(__file__))
    sys.path.insert(0, os.path.join(here, "..", "..", "..", "tools", "level"))
    try:
        import island
        return island.COAST
    except ImportError:
        return []
    finally:
        sys.path.pop(0)


class Report:
    def __init__(self, folder, title="KELVO bot"):
        self.folder = os.path.abspath(folder)
        os.makedirs(self.folder, exist_ok=True)
        self.title = title
        self.started = time.time()
        self.stages = []
        self.games = []
        self.notes = []
        self.outcome = "running"
        self.map_file = None
        self.path = []
        self.write()

    def seconds(self):
        return round(time.time() - self.started, 1)

    def new_game(self, number, reason):
        self.games.append({"game": number, "seconds": self.seconds(), "reason": reason})
        self.write()

    def stage(self, name, log, screenshot=None, note="", reached_at=None):
        """A stage reached (at the time.time() reached_at, or now): its time,
        the hero's health and the kills so far, with a copy of the screenshot."""
        reached_at = reached_at or time.time()
        entry = {
            "stage": name,
            "game": len(self.games),
            "seconds": round(reached_at - self.started, 1),
            "clock": time.strftime("%H:%M:%S", time.localtime(reached_at)),
            "health": log.health,
            "killed": list(log.killed),
            "position": [round(log.hero.x, 1), round(log.hero.y, 1), round(log.hero.z, 1)] if log.hero else None,
            "screenshot": None,
            "note": note,
        }
        if screenshot and os.path.exists(screenshot):
            target = "stage_%02d_%s.png" % (len(self.stages) + 1, name.replace(" ", "_"))
            shutil.copy(screenshot, os.path.join(self.folder, target))
            entry["screenshot"] = target
        self.stages.append(entry)
        self.write()
        return entry

    def note(self, text):
        self.notes.append(text)
        self.write()

    def finish(self, outcome, path, map_source=None):
        """The end: the outcome and the way taken drawn over the map."""
        self.outcome = outcome
        # None: a break in the way (the game put him somewhere else).
        self.path = [None if point is None else (round(point[0], 1), round(point[1], 1)) for point in path]
        self.map_file = self.draw_map(map_source)
        self.write()

    # --- files ---------------------------------------------------------------------

    def write(self):
        data = {
            "title": self.title,
            "outcome": self.outcome,
            "seconds": self.seconds(),
            "games": self.games,
            "stages": self.stages,
            "notes": self.notes,
            "map": self.map_file,
            "path": self.path,
        }
        self._replace("report.json", json.dumps(data, indent=1))
        self._replace("report.md", self.markdown())

    def _replace(self, name, text):
        # A report read while the bot writes it is the previous one, whole.
        target = os.path.join(self.folder, name)
        with open(target + ".new", "w") as out:
            out.write(text)
        os.replace(target + ".new", target)

    def markdown(self):
        lines = ["# %s" % self.title, "",
                 "Outcome: %s after %.0f s, %d game(s)." % (self.outcome, self.seconds(), max(1, len(self.games))),
                 ""]
        for game in self.games[1:]:
            lines.append("- fresh game %d at %.0f s: %s" % (game["game"], game["seconds"], game["reason"]))
        lines += ["", "| Stage | Game | Time (s) | Clock | Health | Killed | Where | Screenshot |",
                  "|---|---|---|---|---|---|---|---|"]
        for entry in self.stages:
            where = "(%.0f, %.0f)" % (entry["position"][0], entry["position"][2]) if entry["position"] else "-"
            shot = "[%s](%s)" % (entry["screenshot"], entry["screenshot"]) if entry["screenshot"] else "-"
            lines.append("| %s | %d | %.1f | %s | %.0f | %d | %s | %s |" % (
                entry["stage"] + (" (%s)" % entry["note"] if entry["note"] else ""), entry["game"],
                entry["seconds"], entry["clock"], entry["health"], len(entry["killed"]), where, shot))
        if self.notes:
            lines += ["", "Notes:"] + ["- " + note for note in self.notes]
        if self.map_file:
            lines += ["", "The way taken: ![map](%s)" % self.map_file]
        return "\n".join(lines) + "\n"

    def draw_map(self, map_source):
        if not self.path:
            return None
        target = os.path.join(self.folder, "way_taken.png")
        command = ["convert"]
        if map_source and os.path.exists(map_source):
            command.append(map_source)
            size = _picture_size(map_source) or MAP_SIZE
        else:
            size = MAP_SIZE
            coast = " ".join("%.0f,%.0f" % map_pixel(x, z, size=size) for x, z in _coast())
            command += ["-size", "%dx%d" % size, "xc:#1d3550"]
            if coast:
                command += ["-fill", "#b9a877", "-stroke", "none", "-draw", "polygon " + coast]
        # One line a leg: ImageMagick's polyline closes on itself where the
        # way repeats a point (the hero standing, or passing a place twice).
        pixels = [None if point is None else map_pixel(point[0], point[1], size=size) for point in self.path]
        legs = " ".join("line %.0f,%.0f %.0f,%.0f" % (a + b) for a, b in zip(pixels, pixels[1:])
                        if a is not None and b is not None and a != b)
        command += ["-fill", "none", "-stroke", "#ff3020", "-strokewidth", "3", "-draw", legs or "point 0,0"]
        for entry in self.stages:
            if entry["position"]:
                px, py = map_pixel(entry["position"][0], entry["position"][2], size=size)
                command += ["-fill", "#ffe040", "-stroke", "black", "-strokewidth", "1",
                            "-draw", "circle %.0f,%.0f %.0f,%.0f" % (px, py, px + 6, py)]
        command.append(target)
        subprocess.run(command, check=True)
        return os.path.basename(target)


def _picture_size(path):
    try:
        output = subprocess.run(["identify", "-format", "%w %h", path], check=True, capture_output=True,
                                text=True).stdout.split()
        return int(output[0]), int(output[1])
    except (subprocess.CalledProcessError, IndexError, ValueError):
        return None
